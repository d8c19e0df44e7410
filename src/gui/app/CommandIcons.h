#pragma once

#include <QIcon>

// The image of a command on toolbars, in menus and on the button page: from the desktop's icon
// theme, else the bundled copy; a null icon for commands without one.
QIcon CommandIcon(int id);
