#include "core/log/LogText.h"

#include <cstring>

namespace LogText {

bool IsAscii(QByteArrayView bytes)
{
    // Eight bytes at a time: a log holds hundreds of megabytes of fields.
    const char* p = bytes.data();
    const qsizetype n = bytes.size();
    quint64 high = 0;
    qsizetype i = 0;
    for (; i + 8 <= n; i += 8) {
        quint64 word;
        std::memcpy(&word, p + i, sizeof word);
        high |= word;
    }
    for (; i < n; ++i)
        high |= static_cast<unsigned char>(p[i]);
    return (high & 0x8080808080808080ull) == 0;
}

bool IsValidUtf8(QByteArrayView bytes)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        const unsigned char c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        int extra = 0;
        unsigned int code = 0;
        if (c >= 0xC2 && c <= 0xDF) {
            extra = 1;
            code = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2;
            code = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3;
            code = c & 0x07;
        } else {
            return false;
        }
        if (n - i <= extra)
            return false;
        for (int k = 1; k <= extra; ++k) {
            if ((p[i + k] & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (p[i + k] & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
        if ((extra == 2 && code < 0x800) || (extra == 3 && (code < 0x10000 || code > 0x10FFFF))
            || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += extra + 1;
    }
    return true;
}

QString Decode(QByteArrayView bytes)
{
    if (IsAscii(bytes) || IsValidUtf8(bytes))
        return QString::fromUtf8(bytes);
    return QString::fromLatin1(bytes);
}

bool EncodeLike(QByteArrayView field, const QString& text, QByteArray* bytes)
{
    bool textAscii = true;
    for (QChar c : text) {
        if (c.unicode() >= 0x80) {
            textAscii = false;
            break;
        }
    }
    if (textAscii) {
        *bytes = text.toLatin1();
        return true;
    }
    if (IsAscii(field))
        return false;
    if (IsValidUtf8(field)) {
        *bytes = text.toUtf8();
        return true;
    }
    for (QChar c : text) {
        if (c.unicode() > 0xFF)
            return false;
    }
    *bytes = text.toLatin1();
    return true;
}

QByteArray Folded(QByteArrayView bytes)
{
    QByteArray out(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        out[i] = static_cast<char>(Fold(static_cast<unsigned char>(bytes[i])));
    return out;
}

qsizetype IndexOf(QByteArrayView haystack, QByteArrayView needle)
{
    if (needle.isEmpty())
        return 0;
    if (needle.size() > haystack.size())
        return -1;
    const void* hit = memmem(haystack.data(), static_cast<size_t>(haystack.size()), needle.data(),
        static_cast<size_t>(needle.size()));
    return hit ? static_cast<const char*>(hit) - haystack.data() : -1;
}

qsizetype IndexOfFolded(QByteArrayView haystack, QByteArrayView foldedNeedle)
{
    const qsizetype n = haystack.size();
    const qsizetype m = foldedNeedle.size();
    if (m == 0)
        return 0;
    if (m > n)
        return -1;
    const auto* h = reinterpret_cast<const unsigned char*>(haystack.data());
    const auto* f = reinterpret_cast<const unsigned char*>(foldedNeedle.data());
    // Candidates are found by memchr for each form of the first byte: a small letter also
    // stands for its capital. The nearer of the two is tried, the farther one is kept.
    const unsigned char small = f[0];
    const unsigned char capital
        = (small >= 'a' && small <= 'z') ? static_cast<unsigned char>(small - 32) : small;
    const unsigned char* const stop = h + (n - m) + 1;
    auto next = [stop](const unsigned char* from, unsigned char c) {
        const void* hit = from < stop ? std::memchr(from, c, static_cast<size_t>(stop - from)) : nullptr;
        return hit ? static_cast<const unsigned char*>(hit) : stop;
    };
    const unsigned char* nextSmall = next(h, small);
    const unsigned char* nextCapital = capital != small ? next(h, capital) : stop;
    while (true) {
        const unsigned char* at = nextSmall < nextCapital ? nextSmall : nextCapital;
        if (at == stop)
            return -1;
        qsizetype k = 1;
        while (k < m && Fold(at[k]) == f[k])
            ++k;
        if (k == m)
            return at - h;
        if (at == nextSmall)
            nextSmall = next(at + 1, small);
        else
            nextCapital = next(at + 1, capital);
    }
}

} // namespace LogText
