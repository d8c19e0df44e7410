#pragma once

#include "core/settings/SettingsTable.h"

class QHeaderView;

// The column layout of a list with a header, kept in the identity's settings as an integer
// array setting. Each returns true when it saved, respectively applied, a stored layout.
bool SaveColumnOrder(const QHeaderView* header, Settings::Key setting);
// A stored order that is not a permutation of the current columns is ignored.
bool RestoreColumnOrder(QHeaderView* header, Settings::Key setting);
bool SaveColumnWidths(const QHeaderView* header, Settings::Key setting);
// Without a stored array every column gets (width - 50) / columns, at least 50 pixels and at
// least its header text.
bool RestoreColumnWidths(QHeaderView* header, Settings::Key setting);
