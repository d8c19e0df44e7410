#include "core/settings/SecureRandom.h"

#include <cstdlib>
#include <openssl/rand.h>

QByteArray SecureRandomBytes(int count)
{
    QByteArray bytes(count, '\0');
    if (count > 0 && RAND_bytes(reinterpret_cast<unsigned char*>(bytes.data()), count) != 1) {
        // Without a working secure generator no IV can be trusted; refuse to go on.
        std::abort();
    }
    return bytes;
}

void AppendMarkedPadding(QByteArray* data, int blockSize)
{
    const int q = blockSize - static_cast<int>(data->size() % blockSize);
    data->append(SecureRandomBytes(q));
    const int mask = blockSize - 1;
    const auto last = static_cast<unsigned char>(data->back());
    // A whole block of padding sets the bit just above the mask, so the low bits read 0.
    const int marked = (last & ~mask & 0xFF) | q;
    data->back() = static_cast<char>(static_cast<unsigned char>(marked));
}

bool RemoveMarkedPadding(QByteArray* data, int blockSize)
{
    if (data->isEmpty())
        return false;
    int q = static_cast<unsigned char>(data->back()) & (blockSize - 1);
    if (q == 0)
        q = blockSize;
    if (q > data->size())
        return false;
    data->chop(q);
    return true;
}
