// What an FTP server sends: reply bytes split into lines as they arrive in blocks of any size,
// the reply codes, the sizes of 150 replies and the addresses of 227 replies, and LIST lines.
// The lines must not depend on how the bytes were cut into blocks.
#include "FuzzSupport.h"
#include "core/net/CFtpListing.h"
#include "core/net/CFtpSession.h"
#include "core/net/ProtocolText.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FuzzSupport::Init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    // Two bytes choose the block size and the line limit: odd ones the limit of the FTP session,
    // even ones a small limit that cuts many lines.
    const qsizetype block = data[0] + 1;
    const qsizetype maxLine = data[1] % 2 ? CFtpSession::MaxReplyLine : data[1] / 2;
    const QByteArray bytes = FuzzSupport::Bytes(data + 2, size - 2);

    QByteArray partial;
    QList<QByteArray> lines;
    for (qsizetype at = 0; at < bytes.size(); at += block)
        ProtocolText::SplitLines(
            QByteArrayView(bytes).sliced(at, qMin(block, bytes.size() - at)), &partial, maxLine, &lines);
    QByteArray wholePartial;
    QList<QByteArray> wholeLines;
    ProtocolText::SplitLines(bytes, &wholePartial, maxLine, &wholeLines);
    FuzzSupport::Check(lines == wholeLines && partial == wholePartial, "the lines depend on the block size");
    FuzzSupport::Check(lines.size() == bytes.count('\n'), "a line was lost or made up");
    FuzzSupport::Check(partial.size() <= maxLine, "the unfinished line outgrew the limit");

    for (const QByteArray& line : lines) {
        FuzzSupport::Check(line.size() <= maxLine && !line.contains('\n'), "a line outgrew the limit", line);
        const QByteArray code = CFtpSession::ParseReplyCode(line);
        FuzzSupport::Check(
            code.isEmpty() || (code.size() == 4 && code.endsWith(' ')), "a malformed reply code", line);
        FuzzSupport::Check(CFtpSession::ParseExpectedSize(line) >= 0, "a negative expected size", line);
        QByteArray address;
        int port = 0;
        if (CFtpSession::ParsePasvReply(line, &address, &port))
            FuzzSupport::Check(
                port > 0 && port < 65536 && address.count('.') == 3, "a bad passive address", line);
        ProtocolText::IsCommandText(line, CFtpSession::MaxCommandLength);
    }
    const CFtpListingResult listing = CFtpListing::ParseAll(lines);
    FuzzSupport::Check(
        listing.entries.size() + listing.unparsed.size() <= lines.size(), "more results than lines");
    for (const CFtpListEntry& entry : listing.entries) {
        FuzzSupport::Check(!entry.name.isEmpty(), "a listed entry without a name");
        FuzzSupport::Check(
            entry.type == 'd' || entry.type == '-' || entry.type == 'l', "an unknown type", entry.name);
        FuzzSupport::Check(
            entry.type != 'l' || !entry.linkTarget.isEmpty(), "a link without a target", entry.name);
        const int mode = CFtpListing::PermissionValue(entry.permissions);
        FuzzSupport::Check(mode >= -1 && mode <= 777, "a mode out of range", entry.permissions);
        // A name that may become a local file name has no path separator and no control character.
        if (CFtpListing::IsUsableLocalName(entry.name)) {
            for (char c : entry.name)
                FuzzSupport::Check(c != '/' && static_cast<unsigned char>(c) >= 0x20 && c != 0x7F,
                    "a usable local name with a separator or control character", entry.name);
        }
    }
    return 0;
}
