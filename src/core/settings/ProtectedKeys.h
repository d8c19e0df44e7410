#pragma once

#include <QByteArray>

// The key texts of the three enciphered things. Key texts are bytes with a length: the recipe
// data key may hold zero bytes.
QByteArray DataFileKey();
QByteArray RecipeDataKey();
// The saved passwords' key: a fixed text, a label, and a number derived from the machine id.
QByteArray PasswordKey();
