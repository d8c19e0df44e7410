#pragma once

#include "core/settings/Profile.h"

#include <QFont>

// Fonts in the settings store (a logical font description); heights are negative pixel sizes.
bool LoadFontSetting(Settings::Key setting, QFont* font);
bool StoreFontSetting(Settings::Key setting, const QFont& font);
