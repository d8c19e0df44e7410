#include "core/net/ProtocolText.h"

#include <algorithm>
#include <cstdio>
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

QByteArray Printable(QByteArrayView bytes)
{
    QByteArray out;
    out.reserve(bytes.size());
    auto escape = [&out](unsigned char c) {
        char text[5];
        std::snprintf(text, sizeof text, "\\%03o", c);
        out += text;
    };
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        const auto next = i + 1 < bytes.size() ? static_cast<unsigned char>(bytes[i + 1]) : 0;
        if (c == 0xC2 && next >= 0x80 && next <= 0x9F) {
            escape(c);
            escape(next);
            ++i;
        } else if ((c < 0x20 && c != '\n') || c == 0x7F || c == '\\') {
            escape(c);
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

} // namespace ProtocolText
