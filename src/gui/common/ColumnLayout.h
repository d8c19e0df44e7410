#pragma once

#include <QString>

class QHeaderView;

// The column layout of a list with a header, kept in the identity's settings as an integer
// array named `name`. Each returns true when it saved, respectively applied, a stored layout.
bool SaveColumnOrder(const QHeaderView* header, const QString& name);
// A stored order that is not a permutation of the current columns is ignored.
bool RestoreColumnOrder(QHeaderView* header, const QString& name);
bool SaveColumnWidths(const QHeaderView* header, const QString& name);
// Without a stored array every column gets (width - 50) / columns, at least 50 pixels.
bool RestoreColumnWidths(QHeaderView* header, const QString& name);
