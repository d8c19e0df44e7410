#pragma once

#include "core/log/CLogEntry.h"

#include <memory>
#include <vector>

// Entries in blocks of fixed size: appending never moves the entries already made, so a growing
// list of a million entries never needs twice its memory for a moment.
class CLogEntryStore
{
public:
    static constexpr int BlockBits = 15;
    static constexpr quint32 BlockSize = 1u << BlockBits;

    quint32 Count() const { return m_count; }
    const CLogEntry& At(quint32 index) const { return m_blocks[index >> BlockBits][index & (BlockSize - 1)]; }
    CLogEntry& At(quint32 index) { return m_blocks[index >> BlockBits][index & (BlockSize - 1)]; }
    void Append(const CLogEntry& entry);
    // Keeps the first `count` entries.
    void Truncate(quint32 count);
    void Clear();

private:
    std::vector<std::unique_ptr<CLogEntry[]>> m_blocks;
    quint32 m_count = 0;
};
