#pragma once

#include <QIcon>
#include <QString>

// The icon called `name` (a freedesktop icon name such as "document-open") from the desktop's
// icon theme, so that ZEPH looks like the other programs of the desktop. Where the desktop has
// no theme, or its theme lacks the name, the copy bundled with the program stands in; a name
// that is in neither gives a null icon.
QIcon ThemeIcon(const QString& name);
