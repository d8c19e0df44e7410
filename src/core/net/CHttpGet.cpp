#include "core/net/CHttpGet.h"

#include "core/net/ProtocolText.h"

namespace {

bool isHostChar(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.' || c == ':';
}

bool allDigits(QByteArrayView text)
{
    if (text.isEmpty())
        return false;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

QString socketError(int code)
{
    switch (code) {
    case CLineConnection::UnknownHost:
        return QStringLiteral("the host name does not resolve");
    case CLineConnection::ConnectFailed:
        return QStringLiteral("the connection was refused");
    case CLineConnection::TimedOut:
        return QStringLiteral("the server did not answer in time");
    case CLineConnection::Canceled:
        return QStringLiteral("canceled");
    case CLineConnection::ReplyTooLong:
        return QStringLiteral("the response is too long");
    default:
        return QStringLiteral("the connection ended early");
    }
}

} // namespace

bool CHttpGet::SplitUrl(const QByteArray& url, Url* parts)
{
    // The scheme and host are read from an upper-case copy, the path from the address as given.
    const QByteArray upper = url.toUpper();
    qsizetype at = 0;
    const qsizetype colon = upper.indexOf(':');
    if (colon < 0) {
        parts->scheme = "HTTP";
    } else {
        parts->scheme = upper.left(colon);
        at = colon + 1;
        if (upper.mid(at, 2) == "//")
            at += 2;
    }
    qsizetype end = at;
    while (end < upper.size() && isHostChar(upper[end]))
        ++end;
    parts->host = upper.mid(at, end - at);
    parts->path = url.mid(end);
    if (parts->path.isEmpty())
        parts->path = "/";
    const qsizetype portColon = parts->host.indexOf(':');
    parts->hostName = portColon < 0 ? parts->host : parts->host.left(portColon);
    parts->port = 80;
    if (portColon >= 0) {
        const QByteArray port = parts->host.mid(portColon + 1);
        if (!allDigits(port) || port.size() > 5 || port.toInt() < 1 || port.toInt() > 65535)
            return false;
        parts->port = port.toInt();
    }
    return !parts->hostName.isEmpty();
}

QByteArray CHttpGet::BuildRequest(const Url& url)
{
    // No Accept-Encoding: nothing here would decode a compressed body.
    return "GET " + url.path + " HTTP/1.0\r\n"
        + "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, application/vnd.ms-excel, "
          "application/msword, application/vnd.ms-powerpoint, */*\r\n"
          "Accept-Language: en-us\r\n"
          "User-Agent: Mozilla/4.0\r\n"
          "Host: "
        + url.host + "\r\n\r\n";
}

bool CHttpGet::fail(const QString& text)
{
    m_errorText = text;
    m_connection.Close();
    return false;
}

bool CHttpGet::Get(const QByteArray& url, QByteArray* request, QByteArray* header, QByteArray* body)
{
    m_errorText.clear();
    Url parts;
    if (!SplitUrl(url, &parts))
        return fail(QStringLiteral("The address %1 names no host.").arg(QString::fromUtf8(url)));
    if (parts.scheme != "HTTP")
        return fail(QStringLiteral("The address %1 is not an http address.").arg(QString::fromUtf8(url)));
    const QByteArray sent = BuildRequest(parts);
    // The path goes into the request line: no control character may break it.
    if (!ProtocolText::IsCommandText(parts.path))
        return fail(QStringLiteral("The address %1 holds a control character.").arg(QString::fromUtf8(url)));
    if (!m_connection.Open(parts.hostName, parts.port, m_timeoutMs)
        || !m_connection.Send(sent, CLineConnection::DeadlineInMs(m_timeoutMs)))
        return fail(QStringLiteral("No response: %1.").arg(socketError(m_connection.Error())));

    // One deadline for the whole response.
    const auto deadline = CLineConnection::DeadlineInMs(m_timeoutMs);
    qsizetype budget = MaxHeaderBytes + MaxBodyBytes;
    QByteArray headerText;
    QByteArray statusLine;
    qint64 contentLength = -1;
    for (;;) {
        QByteArray line;
        if (!m_connection.ReadLine(deadline, &budget, &line))
            return fail(
                QStringLiteral("Incomplete response header: %1.").arg(socketError(m_connection.Error())));
        headerText += line + "\r\n";
        if (headerText.size() > MaxHeaderBytes)
            return fail(QStringLiteral("The response header is too long."));
        if (line.count('\r') == line.size())
            break;
        if (statusLine.isEmpty()) {
            statusLine = line;
            continue;
        }
        const qsizetype colon = line.indexOf(':');
        if (colon < 0)
            continue;
        const QByteArray name = line.left(colon).trimmed().toLower();
        const QByteArray value = line.mid(colon + 1).trimmed().toLower();
        if (name == "content-length") {
            if (!allDigits(value) || value.size() > 9)
                return fail(QStringLiteral("The response has a bad Content-Length."));
            contentLength = value.toLongLong();
        } else if ((name == "transfer-encoding" || name == "content-encoding") && value != "identity") {
            return fail(QStringLiteral("The response is encoded (%1), which is not read here.")
                            .arg(QString::fromLatin1(ProtocolText::Printable(value))));
        }
    }
    // "HTTP/1.0 200 OK": the version, a blank, three digits, then a blank or nothing.
    const QList<QByteArray> words = statusLine.split(' ');
    if (!statusLine.startsWith("HTTP/") || words.size() < 2 || words[1].size() != 3 || !allDigits(words[1]))
        return fail(QStringLiteral("The response is not HTTP."));
    if (words[1] != "200")
        return fail(QStringLiteral("The server answered %1.")
                        .arg(QString::fromLatin1(ProtocolText::Printable(statusLine.left(200)))));
    QByteArray received;
    if (contentLength > MaxBodyBytes)
        return fail(QStringLiteral("The response is too long."));
    if (!m_connection.ReadToEnd(deadline, MaxBodyBytes, &received, contentLength))
        return fail(QStringLiteral("Incomplete response: %1.").arg(socketError(m_connection.Error())));
    m_connection.Close();
    if (contentLength >= 0 && received.size() != contentLength)
        return fail(QStringLiteral("The response ended after %1 of %2 bytes.")
                        .arg(received.size())
                        .arg(contentLength));
    *request = sent;
    *header = headerText;
    *body = received;
    return true;
}
