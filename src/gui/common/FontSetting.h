#pragma once

#include <QFont>
#include <QString>

// Fonts in the settings store (a logical font description); heights are negative pixel sizes.
bool LoadFontSetting(const QString& section, const QString& key, QFont* font);
bool StoreFontSetting(const QString& section, const QString& key, const QFont& font);
