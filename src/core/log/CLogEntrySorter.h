#pragma once

#include "core/log/CLogEntryStore.h"

#include <vector>

// Orders log entries by one column. Texts compare byte by byte with ASCII letters folded, dates
// by their sort keys, sizes as numbers; equal entries stay in file order, so the order is strict
// and the same on every run. Each entry's key is found once per sort; the keys are compared eight
// bytes at a time as integers, and only entries that tie on the first eight bytes look at the
// next eight.
class CLogEntrySorter
{
public:
    // Fills `order` with the indices of all entries of `store` in the order of the column.
    // Returns false, leaving `order` alone, for a column outside 0 to 7.
    static bool Sort(const CLogEntryStore& store, int column, bool ascending, std::vector<quint32>* order);

    // The sort key of an entry as pieces that run together (not for the size column).
    static int KeyPieces(
        const CLogEntry& entry, int column, QByteArrayView pieces[CLogEntry::MaxDateKeyPieces]);
    static int KeyPieces(
        const LogFields& fields, int column, QByteArrayView pieces[CLogEntry::MaxDateKeyPieces]);
};
