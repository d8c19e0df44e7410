#include "core/net/CPop3Connection.h"

#include "core/net/ProtocolText.h"

CPop3Connection::~CPop3Connection()
{
    m_connection.Close();
}

QString CPop3Connection::LastResponse() const
{
    return QString::fromUtf8(ProtocolText::Printable(m_lastResponse));
}

bool CPop3Connection::readReply()
{
    qsizetype budget = MaxReplyBytes;
    QByteArray line;
    if (!m_connection.ReadLine(CLineConnection::DeadlineInMs(m_timeoutMs), &budget, &line)) {
        QByteArray unfinished = m_connection.Unfinished();
        if (unfinished.endsWith('\r'))
            unfinished.chop(1);
        if (!unfinished.isEmpty())
            m_lastResponse = unfinished;
        return false;
    }
    if (m_log)
        m_log(line, true);
    m_lastResponse = line;
    if (line.left(3).toUpper() != "+OK")
        return m_connection.SetError(CLineConnection::UnexpectedReply);
    return true;
}

bool CPop3Connection::command(const QByteArray& line, const QByteArray& shown)
{
    // A line break would end the command early and run the rest as another one.
    if (line.contains('\r') || line.contains('\n') || line.contains('\0'))
        return m_connection.SetError(CLineConnection::BadCommand);
    if (m_log)
        m_log(shown.isEmpty() ? line : shown, false);
    return m_connection.Send(line + "\r\n", CLineConnection::DeadlineInMs(m_timeoutMs)) && readReply();
}

bool CPop3Connection::Connect(
    const QByteArray& host, const QByteArray& user, const QByteArray& password, int port)
{
    m_connection.Close();
    m_lastResponse.clear();
    auto handshake
        = [&] { return m_connection.StartTls(host, m_pinned, CLineConnection::DeadlineInMs(m_timeoutMs)); };
    auto stls = [&] {
        if (command("STLS"))
            return handshake();
        if (m_connection.Error() == CLineConnection::UnexpectedReply)
            m_connection.SetError(CLineConnection::TlsNotOffered);
        return false;
    };
    // Asked for TLS, the user name and password never go out before the handshake.
    if (m_connection.Open(host, port, m_timeoutMs) && (m_tlsMode != 2 || handshake()) && readReply()
        && (m_tlsMode != 1 || stls()) && command("USER " + user) && command("PASS " + password, "PASS ****"))
        return true;
    m_connection.Close();
    return false;
}

bool CPop3Connection::Disconnect()
{
    if (!m_connection.IsOpen())
        return false;
    const bool ok = command("QUIT");
    m_connection.Close();
    return ok;
}
