#include "core/net/ProtocolText.h"

#include <algorithm>
#include <cstring>

namespace ProtocolText {

bool IsCommandText(QByteArrayView text, qsizetype maxLength)
{
    if (text.size() > maxLength)
        return false;
    return std::none_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F || byte == 0xFF;
    });
}

void SplitLines(QByteArrayView block, QByteArray* partial, qsizetype maxLine, QList<QByteArray>* lines)
{
    const char* data = block.data();
    qsizetype left = block.size();
    while (left > 0) {
        const auto* end = static_cast<const char*>(std::memchr(data, '\n', static_cast<size_t>(left)));
        const qsizetype length = end ? end - data : left;
        const qsizetype kept = std::min(length, std::max<qsizetype>(0, maxLine - partial->size()));
        if (!end) {
            partial->append(data, kept);
            return;
        }
        // Each line gets a buffer of its own size: a listing holds many of them.
        if (partial->isEmpty()) {
            lines->append(QByteArray(data, kept));
        } else {
            partial->append(data, kept);
            partial->squeeze();
            lines->append(std::move(*partial));
            partial->clear();
        }
        data = end + 1;
        left -= length + 1;
    }
}

} // namespace ProtocolText
