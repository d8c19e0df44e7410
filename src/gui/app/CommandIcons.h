#pragma once

#include <QIcon>

// The small toolbar image of a command (16 by 15 pixels); a null icon for commands without one.
QIcon CommandIcon(int id);
