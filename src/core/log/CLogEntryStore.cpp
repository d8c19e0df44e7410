#include "core/log/CLogEntryStore.h"

CLogEntry& CLogEntryStore::Append()
{
    if ((m_count >> BlockBits) >= m_blocks.size())
        m_blocks.push_back(std::make_unique<CLogEntry[]>(BlockSize));
    CLogEntry& entry = At(m_count);
    entry = CLogEntry();
    ++m_count;
    return entry;
}

void CLogEntryStore::Clear()
{
    m_blocks.clear();
    m_count = 0;
}
