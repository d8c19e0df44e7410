#include "core/log/CLogEntrySorter.h"

#include "core/log/LogText.h"

#include <algorithm>

namespace {

struct Item
{
    quint64 chunk;
    quint32 count; // key bytes in the chunk, 0 to 8 (mirrored for a descending sort)
    quint32 index;
};

inline bool lessItem(const Item& a, const Item& b)
{
    if (a.chunk != b.chunk)
        return a.chunk < b.chunk;
    if (a.count != b.count)
        return a.count < b.count;
    return a.index < b.index;
}

inline bool sameKey(const Item& a, const Item& b)
{
    return a.chunk == b.chunk && a.count == b.count;
}

// Eight folded key bytes from byte `skip` on, big-endian, zero-padded; `count` gets how many
// of them belong to the key.
void chunkAt(const QByteArrayView* pieces, int n, quint64 skip, quint64* chunk, quint32* count)
{
    quint64 value = 0;
    quint32 taken = 0;
    for (int i = 0; i < n && taken < 8; ++i) {
        const auto length = static_cast<quint64>(pieces[i].size());
        if (skip >= length) {
            skip -= length;
            continue;
        }
        const auto* p = reinterpret_cast<const unsigned char*>(pieces[i].data());
        for (quint64 k = skip; k < length && taken < 8; ++k, ++taken)
            value = (value << 8) | LogText::Fold(p[k]);
        skip = 0;
    }
    if (taken > 0 && taken < 8)
        value <<= 8 * (8 - taken);
    *chunk = value;
    *count = taken;
}

struct Range
{
    size_t begin;
    size_t end;
    quint64 depth;
};

} // namespace

int CLogEntrySorter::KeyPieces(
    const CLogEntry& entry, int column, QByteArrayView pieces[CLogEntry::MaxDateKeyPieces])
{
    switch (column) {
    case CLogEntry::RecipeNameColumn:
        pieces[0] = entry.RecipeName();
        return 1;
    case CLogEntry::HeaderFromColumn:
        pieces[0] = entry.HeaderFrom();
        return 1;
    case CLogEntry::SubjectColumn:
        pieces[0] = entry.SubjectSortKey();
        return 1;
    case CLogEntry::HeaderToColumn:
        pieces[0] = entry.HeaderTo();
        return 1;
    case CLogEntry::DateColumn:
        return entry.DateSortKeyPieces(pieces);
    case CLogEntry::EnvelopeSenderColumn:
        pieces[0] = entry.EnvelopeSender();
        return 1;
    case CLogEntry::FolderColumn:
        pieces[0] = entry.Folder();
        return 1;
    case CLogEntry::SizeColumn:
        pieces[0] = entry.Size();
        return 1;
    default:
        return 0;
    }
}

bool CLogEntrySorter::Sort(
    const CLogEntryStore& store, int column, bool ascending, std::vector<quint32>* order)
{
    if (column < 0 || column >= CLogEntry::ColumnCount)
        return false;
    const quint32 total = store.Count();
    std::vector<Item> items(total);
    for (quint32 i = 0; i < total; ++i)
        items[i].index = i;

    if (column == CLogEntry::SizeColumn) {
        for (Item& item : items) {
            const quint64 value = store.At(item.index).SizeValue();
            item.chunk = ascending ? value : ~value;
            item.count = 0;
        }
        std::sort(items.begin(), items.end(), lessItem);
    } else {
        std::vector<Range> pending;
        pending.push_back(Range { 0, items.size(), 0 });
        const quint32 fullChunk = ascending ? 8 : 0;
        while (!pending.empty()) {
            const Range range = pending.back();
            pending.pop_back();
            QByteArrayView pieces[CLogEntry::MaxDateKeyPieces];
            for (size_t k = range.begin; k < range.end; ++k) {
                Item& item = items[k];
                const int n = KeyPieces(store.At(item.index), column, pieces);
                chunkAt(pieces, n, range.depth * 8, &item.chunk, &item.count);
                if (!ascending) {
                    item.chunk = ~item.chunk;
                    item.count = 8 - item.count;
                }
            }
            const auto first = items.begin() + static_cast<std::ptrdiff_t>(range.begin);
            const auto last = items.begin() + static_cast<std::ptrdiff_t>(range.end);
            // Entries that tied before are in file order; with equal keys again nothing moves.
            if (!std::is_sorted(first, last, lessItem))
                std::sort(first, last, lessItem);
            size_t runStart = range.begin;
            for (size_t k = range.begin + 1; k <= range.end; ++k) {
                if (k < range.end && sameKey(items[k], items[runStart]))
                    continue;
                if (k - runStart > 1 && items[runStart].count == fullChunk)
                    pending.push_back(Range { runStart, k, range.depth + 1 });
                runStart = k;
            }
        }
    }

    order->resize(total);
    for (quint32 i = 0; i < total; ++i)
        (*order)[i] = items[i].index;
    return true;
}
