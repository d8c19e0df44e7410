#include "core/log/CLogEntrySorter.h"

#include "core/log/CLogParser.h"

#include <QtEndian>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <optional>
#include <thread>

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

// An entry's sort key, found once per sort: a slice of the log, or of the date keys put together.
struct Key
{
    const char* data;
    quint32 size;
};

// ASCII capitals of eight bytes at once made small, as LogText::Fold does byte by byte.
inline quint64 foldEight(quint64 x)
{
    constexpr quint64 ones = 0x0101010101010101ull;
    constexpr quint64 high = 0x8080808080808080ull;
    const quint64 seven = x & ~high;
    const quint64 atLeastA = seven + (0x80 - 'A') * ones;
    const quint64 pastZ = seven + (0x80 - 'Z' - 1) * ones;
    const quint64 capital = atLeastA & ~pastZ & ~x & high;
    return x | (capital >> 2);
}

// Up to eight key bytes from byte `at` on, folded, zero-padded, in memory order.
inline quint64 foldedBytes(const Key& key, quint32 at)
{
    const quint32 taken = std::min<quint32>(8, key.size - at);
    quint64 value = 0;
    std::memcpy(&value, key.data + at, taken);
    return foldEight(value);
}

// Eight folded key bytes from byte `skip` on, big-endian, zero-padded; `count` gets how many
// of them belong to the key.
inline void chunkAt(const Key& key, quint64 skip, quint64* chunk, quint32* count)
{
    if (skip >= key.size) {
        *chunk = 0;
        *count = 0;
        return;
    }
    *chunk = qFromBigEndian(foldedBytes(key, static_cast<quint32>(skip)));
    *count = std::min<quint32>(8, static_cast<quint32>(key.size - skip));
}

// The item's chunk at a depth, mirrored for a descending sort.
inline void setChunk(Item& item, const Key& key, quint64 depth, bool ascending)
{
    chunkAt(key, depth * 8, &item.chunk, &item.count);
    if (!ascending) {
        item.chunk = ~item.chunk;
        item.count = 8 - item.count;
    }
}

// Date keys put together, in blocks that never move once written, so that keys may point in.
class KeyArena
{
public:
    const char* Add(const QByteArrayView* pieces, int n, quint32* size)
    {
        qsizetype length = 0;
        for (int i = 0; i < n; ++i)
            length += pieces[i].size();
        if (m_used + length > m_capacity) {
            m_capacity = std::max<qsizetype>(kBlock, length);
            m_blocks.push_back(std::make_unique_for_overwrite<char[]>(static_cast<size_t>(m_capacity)));
            m_used = 0;
        }
        char* start = m_blocks.back().get() + m_used;
        char* out = start;
        for (int i = 0; i < n; ++i) {
            if (!pieces[i].isEmpty())
                std::memcpy(out, pieces[i].data(), static_cast<size_t>(pieces[i].size()));
            out += pieces[i].size();
        }
        m_used += length;
        *size = static_cast<quint32>(length);
        return start;
    }

private:
    static constexpr qsizetype kBlock = 1 << 20;
    std::vector<std::unique_ptr<char[]>> m_blocks;
    qsizetype m_used = 0;
    qsizetype m_capacity = 0;
};

// Runs `work(part, begin, end)` over the entries shared out between threads: finding the keys
// reads every entry's lines again.
template <typename Work> void shareOut(quint32 total, int threads, Work work)
{
    auto run = [&](int part) {
        work(part, static_cast<quint32>(quint64(total) * part / threads),
            static_cast<quint32>(quint64(total) * (part + 1) / threads));
    };
    std::vector<std::thread> helpers;
    for (int part = 1; part < threads; ++part)
        helpers.emplace_back(run, part);
    run(0);
    for (std::thread& helper : helpers)
        helper.join();
}

// Sorts items by (chunk, count, index), a strict order: a long run is split around a pivot and
// its two sides are sorted side by side.
void sortItems(std::vector<Item>::iterator first, std::vector<Item>::iterator last, int threads)
{
    if (threads < 2 || last - first < 65536) {
        std::sort(first, last, lessItem);
        return;
    }
    // The middle of three items as the pivot; the index in the order keeps equal keys apart.
    Item a = first[0], b = first[(last - first) / 2], c = last[-1];
    if (lessItem(b, a))
        std::swap(a, b);
    if (lessItem(c, b))
        b = lessItem(c, a) ? a : c;
    const Item pivot = b;
    const auto middle = std::partition(first, last, [&pivot](const Item& x) { return lessItem(x, pivot); });
    std::thread helper([first, middle] { std::sort(first, middle, lessItem); });
    std::sort(middle, last, lessItem);
    helper.join();
}

inline unsigned char foldByte(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 'A' && byte <= 'Z' ? static_cast<unsigned char>(byte | 0x20) : byte;
}

// The order of the chunks: folded bytes compared unsigned, a key before any longer one it begins.
bool foldedLess(const Key& a, const Key& b)
{
    const quint32 common = std::min(a.size, b.size);
    for (quint32 i = 0; i < common; ++i) {
        const unsigned char x = foldByte(a.data[i]);
        const unsigned char y = foldByte(b.data[i]);
        if (x != y)
            return x < y;
    }
    return a.size < b.size;
}

bool foldedEqual(const Key& a, const Key& b)
{
    if (a.size != b.size)
        return false;
    for (quint32 at = 0; at < a.size; at += 8) {
        if (foldedBytes(a, at) != foldedBytes(b, at))
            return false;
    }
    return true;
}

quint64 foldedHash(const Key& key)
{
    quint64 hash = key.size;
    for (quint32 at = 0; at < key.size; at += 8) {
        hash = (hash ^ foldedBytes(key, at)) * 0x9E3779B97F4A7C15ull;
        hash ^= hash >> 32;
    }
    return hash;
}

// The distinct keys among those added (letters folded), numbered in the order first seen, up to
// a limit.
class DistinctKeys
{
public:
    explicit DistinctKeys(quint32 limit)
        : m_limit(limit)
        , m_slots(size_t(limit) * 4, -1)
    {
        Q_ASSERT((m_slots.size() & (m_slots.size() - 1)) == 0);
    }
    // The key's number, or -1 when it would be one past the limit.
    qint32 Add(const Key& key)
    {
        const size_t mask = m_slots.size() - 1;
        size_t slot = foldedHash(key) & mask;
        for (; m_slots[slot] >= 0; slot = (slot + 1) & mask) {
            if (foldedEqual(m_keys[static_cast<size_t>(m_slots[slot])], key))
                return m_slots[slot];
        }
        if (m_keys.size() == m_limit)
            return -1;
        m_slots[slot] = static_cast<qint32>(m_keys.size());
        m_keys.push_back(key);
        return m_slots[slot];
    }
    const std::vector<Key>& Keys() const { return m_keys; }

private:
    quint32 m_limit;
    std::vector<qint32> m_slots; // a power of two, at most a quarter used
    std::vector<Key> m_keys;
};

// Recipe names, folders and senders repeat: with few distinct keys, the distinct ones are ranked
// and the entries placed by rank in one stable pass, where sorting every entry by each eight
// bytes of a long shared name would cost several full sorts. Each thread numbers the distinct
// keys of its share as it finds them, while their bytes are at hand; the shares' numbers are
// then made one.
class FewKeys
{
public:
    FewKeys(quint32 total, int threads)
        : m_ids(total)
        , m_shares(static_cast<size_t>(threads), DistinctKeys(maxDistinct))
    {
    }
    // Numbers the key of entry `i` in share `part`, on that share's thread.
    void Add(int part, quint32 i, const Key& key)
    {
        if (m_tooMany.load(std::memory_order_relaxed))
            return;
        const qint32 id = m_shares[static_cast<size_t>(part)].Add(key);
        if (id < 0)
            m_tooMany = true;
        else
            m_ids[i] = static_cast<quint32>(id);
    }
    // The entries in key order; false when the keys were too many.
    bool Rank(bool ascending, std::vector<quint32>* order)
    {
        if (m_tooMany)
            return false;
        DistinctKeys all(maxDistinct);
        std::vector<std::vector<quint32>> toAll(m_shares.size());
        for (size_t part = 0; part < m_shares.size(); ++part) {
            for (const Key& key : m_shares[part].Keys()) {
                const qint32 id = all.Add(key);
                if (id < 0)
                    return false;
                toAll[part].push_back(static_cast<quint32>(id));
            }
        }
        const auto total = static_cast<quint32>(m_ids.size());
        shareOut(total, static_cast<int>(m_shares.size()), [&](int part, quint32 begin, quint32 end) {
            const std::vector<quint32>& map = toAll[static_cast<size_t>(part)];
            for (quint32 i = begin; i < end; ++i)
                m_ids[i] = map[m_ids[i]];
        });

        const std::vector<Key>& distinct = all.Keys();
        std::vector<quint32> byKey(distinct.size());
        for (quint32 id = 0; id < byKey.size(); ++id)
            byKey[id] = id;
        std::sort(byKey.begin(), byKey.end(),
            [&distinct](quint32 a, quint32 b) { return foldedLess(distinct[a], distinct[b]); });
        // Where each key's entries start; equal keys keep file order either way.
        std::vector<quint32> start(distinct.size() + 1, 0);
        for (const quint32 id : m_ids)
            ++start[id + 1];
        std::vector<quint32> position(distinct.size());
        quint32 next = 0;
        for (size_t k = 0; k < byKey.size(); ++k) {
            const quint32 id = byKey[ascending ? k : byKey.size() - 1 - k];
            position[id] = next;
            next += start[id + 1];
        }
        order->resize(total);
        for (quint32 i = 0; i < total; ++i)
            (*order)[position[m_ids[i]]++] = i;
        return true;
    }

private:
    static constexpr quint32 maxDistinct = 1 << 14;
    std::vector<quint32> m_ids;
    std::vector<DistinctKeys> m_shares;
    std::atomic<bool> m_tooMany { false };
};

// The parts of an entry that a column's field is read from.
unsigned columnParts(int column)
{
    switch (column) {
    case CLogEntry::RecipeNameColumn:
        return CLogParser::RecipePart;
    case CLogEntry::HeaderFromColumn:
        return CLogParser::FromPart;
    case CLogEntry::SubjectColumn:
        return CLogParser::SubjectPart;
    case CLogEntry::HeaderToColumn:
        return CLogParser::ToPart;
    case CLogEntry::DateColumn:
    case CLogEntry::EnvelopeSenderColumn:
        return CLogParser::EnvelopePart;
    default:
        return CLogParser::FolderPart;
    }
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
    return KeyPieces(entry.Fields(), column, pieces);
}

int CLogEntrySorter::KeyPieces(
    const LogFields& fields, int column, QByteArrayView pieces[CLogEntry::MaxDateKeyPieces])
{
    switch (column) {
    case CLogEntry::RecipeNameColumn:
        pieces[0] = fields.recipe;
        return 1;
    case CLogEntry::HeaderFromColumn:
        pieces[0] = fields.from;
        return 1;
    case CLogEntry::SubjectColumn:
        pieces[0] = fields.SubjectSortKey();
        return 1;
    case CLogEntry::HeaderToColumn:
        pieces[0] = fields.to;
        return 1;
    case CLogEntry::DateColumn:
        return fields.DateSortKeyPieces(pieces);
    case CLogEntry::EnvelopeSenderColumn:
        pieces[0] = fields.sender;
        return 1;
    case CLogEntry::FolderColumn:
        pieces[0] = fields.folder;
        return 1;
    case CLogEntry::SizeColumn:
        pieces[0] = fields.size;
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
    const int threads = total < 65536 ? 1 : CLogParser::Threads();
    // Only the lines that hold the column's field are read again.
    const unsigned parts = columnParts(column);
    std::vector<Item> items;

    if (column == CLogEntry::SizeColumn) {
        items.resize(total);
        shareOut(total, threads, [&](int, quint32 begin, quint32 end) {
            for (quint32 i = begin; i < end; ++i) {
                const quint64 value = store.At(i).Parts(parts).SizeValue();
                items[i].chunk = ascending ? value : ~value;
                items[i].count = 0;
                items[i].index = i;
            }
        });
        sortItems(items.begin(), items.end(), threads);
    } else {
        // Each thread keeps the date keys it puts together. Dates hardly repeat to the minute.
        std::vector<Key> keys(total);
        std::vector<KeyArena> dates(static_cast<size_t>(threads));
        std::optional<FewKeys> few;
        if (column != CLogEntry::DateColumn)
            few.emplace(total, threads);
        shareOut(total, threads, [&](int part, quint32 begin, quint32 end) {
            for (quint32 i = begin; i < end; ++i) {
                QByteArrayView pieces[CLogEntry::MaxDateKeyPieces];
                const int n = KeyPieces(store.At(i).Parts(parts), column, pieces);
                if (column == CLogEntry::DateColumn) {
                    keys[i].data = dates[static_cast<size_t>(part)].Add(pieces, n, &keys[i].size);
                } else {
                    keys[i].data = pieces[0].data();
                    keys[i].size = static_cast<quint32>(pieces[0].size());
                    few->Add(part, i, keys[i]);
                }
            }
        });
        if (few && few->Rank(ascending, order))
            return true;
        few.reset();
        items.resize(total);
        shareOut(total, threads, [&](int, quint32 begin, quint32 end) {
            for (quint32 i = begin; i < end; ++i) {
                items[i].index = i;
                setChunk(items[i], keys[i], 0, ascending);
            }
        });
        std::vector<Range> pending;
        pending.push_back(Range { 0, items.size(), 0 });
        const quint32 fullChunk = ascending ? 8 : 0;
        while (!pending.empty()) {
            const Range range = pending.back();
            pending.pop_back();
            for (size_t k = range.begin; k < range.end && range.depth > 0; ++k)
                setChunk(items[k], keys[items[k].index], range.depth, ascending);
            const auto first = items.begin() + static_cast<std::ptrdiff_t>(range.begin);
            const auto last = items.begin() + static_cast<std::ptrdiff_t>(range.end);
            // Entries that tied before are in file order; with equal keys again nothing moves.
            if (!std::is_sorted(first, last, lessItem))
                sortItems(first, last, threads);
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
