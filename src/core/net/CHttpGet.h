#pragma once

#include "core/net/CLineConnection.h"

#include <QByteArray>
#include <QString>

// The minimal HTTP/1.0 client of the version check: one GET, and only a complete "200" response
// counts. Every connect, send and the whole response are bounded in time, the header and the
// body in size, and Cancel stops the waits from another thread.
class CHttpGet
{
public:
    static constexpr int DefaultTimeoutMs = 20000;
    static constexpr qsizetype MaxHeaderBytes = 16 * 1024;
    static constexpr qsizetype MaxBodyBytes = 4 * 1024;

    struct Url
    {
        QByteArray scheme; // upper case
        QByteArray host; // upper case, with ":port" when the address has one: the Host line
        QByteArray hostName; // without the port
        int port = 80;
        QByteArray path; // as given; "/" when empty
    };
    // Splits an address the way the program always has (see the implementation); false when
    // it names no usable host or port.
    static bool SplitUrl(const QByteArray& url, Url* parts);
    static QByteArray BuildRequest(const Url& url);

    void SetTimeout(int ms) { m_timeoutMs = ms; }
    // On success the request as sent, the response header (status line and header lines, each
    // with CR LF, and the empty line) and the body; on failure the outputs are unchanged and
    // ErrorText() says why.
    bool Get(const QByteArray& url, QByteArray* request, QByteArray* header, QByteArray* body);
    void Cancel() { m_connection.Cancel(); }
    QString ErrorText() const { return m_errorText; }

private:
    bool fail(const QString& text);

    CLineConnection m_connection;
    int m_timeoutMs = DefaultTimeoutMs;
    QString m_errorText;
};
