#include "core/log/CLogEntryStore.h"

#include "core/common/HugePages.h"

void CLogEntryStore::Append(const CLogEntry& entry)
{
    if ((m_count >> BlockBits) >= m_blocks.size()) {
        m_blocks.push_back(std::make_unique_for_overwrite<CLogEntry[]>(BlockSize));
        AdviseHugePages(m_blocks.back().get(), static_cast<qsizetype>(BlockSize * sizeof(CLogEntry)));
    }
    At(m_count) = entry;
    ++m_count;
}

void CLogEntryStore::Truncate(quint32 count)
{
    if (count >= m_count)
        return;
    m_count = count;
    m_blocks.resize((count + BlockSize - 1) >> BlockBits);
}

void CLogEntryStore::Clear()
{
    m_blocks.clear();
    m_count = 0;
}
