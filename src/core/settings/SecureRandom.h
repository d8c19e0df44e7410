#pragma once

#include <QByteArray>

// Bytes from the system's cryptographically secure generator, for IVs and padding.
QByteArray SecureRandomBytes(int count);

// Appends 1 to blockSize random bytes so the length becomes a multiple of blockSize, and records
// the count in the low bits of the last byte (0 standing for a whole block).
void AppendMarkedPadding(QByteArray* data, int blockSize);
// Removes that padding; false when the marked count is longer than the data.
bool RemoveMarkedPadding(QByteArray* data, int blockSize);
