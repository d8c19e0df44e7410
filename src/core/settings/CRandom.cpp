#include "core/settings/CRandom.h"

#include "core/common/Clock.h"

namespace {

quint32 s0 = 3;
quint32 s1 = 1;
quint32 s2 = 1;

} // namespace

void CRandom::Seed(quint32 value)
{
    if (value == 0)
        value = Clock::TickCount();
    s0 = 8u * value + 3u;
    s1 = 2u * value + 1u;
    s2 = value | 1u;
}

quint32 CRandom::Next()
{
    const quint32 p = s1 * s0;
    s0 = s1;
    s1 = p;
    s2 = 30903u * (s2 & 0xFFFFu) + (s2 >> 16);
    return s2 + p;
}

quint32 CRandom::Below(quint32 n)
{
    if (n <= 1)
        return 0;
    return Next() / (0xFFFFFFFFu / n + 1u);
}

QByteArray CRandom::RandomString(int minLength, int maxLength)
{
    int length = minLength < 1 ? 1 : minLength;
    if (maxLength > length)
        length += static_cast<int>(Below(static_cast<quint32>(maxLength - length + 1)));
    QByteArray result(length, '\0');
    for (int i = 0; i < length; ++i)
        result[i] = static_cast<char>(Below(256));
    return result;
}
