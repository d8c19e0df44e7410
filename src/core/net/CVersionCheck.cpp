#include "core/net/CVersionCheck.h"

#include "core/net/CHttpGet.h"

#include <QByteArrayView>

#include <atomic>
#include <limits>
#include <mutex>
#include <thread>

struct CVersionCheck::State
{
    CHttpGet http;
    std::atomic<bool> busy { false };
    std::atomic<bool> canceled { false };
    std::mutex lock;
    QByteArray body;
    QString error;
};

CVersionCheck::CVersionCheck()
    : m_state(std::make_shared<State>())
{
}

CVersionCheck::~CVersionCheck()
{
    Cancel();
}

bool CVersionCheck::Start(const QByteArray& url, int timeoutMs)
{
    m_state->http.SetTimeout(timeoutMs);
    m_state->busy = true;
    try {
        std::thread([state = m_state, url] {
            QByteArray request;
            QByteArray header;
            QByteArray body;
            const bool ok = state->http.Get(url, &request, &header, &body);
            {
                std::lock_guard guard(state->lock);
                if (ok)
                    state->body = body;
                else
                    state->error = state->http.ErrorText();
            }
            state->busy = false;
        }).detach();
    } catch (...) {
        m_state->busy = false;
        m_state->error = QStringLiteral("No thread could be started.");
        return false;
    }
    return true;
}

bool CVersionCheck::Busy() const
{
    return m_state->busy.load();
}

void CVersionCheck::Cancel()
{
    if (!m_state->busy.load())
        return;
    m_state->canceled = true;
    m_state->http.Cancel();
}

QByteArray CVersionCheck::Fetched() const
{
    if (m_state->busy.load() || m_state->canceled.load())
        return QByteArray();
    std::lock_guard guard(m_state->lock);
    return m_state->body;
}

QString CVersionCheck::ErrorText() const
{
    std::lock_guard guard(m_state->lock);
    return m_state->error;
}

qint64 CVersionCheck::LeadingNumber(QByteArrayView text)
{
    qsizetype i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    if (i >= text.size() || text[i] < '0' || text[i] > '9')
        return -1;
    qint64 value = 0;
    constexpr qint64 limit = std::numeric_limits<qint64>::max();
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        const int digit = text[i] - '0';
        value = value > (limit - digit) / 10 ? limit : value * 10 + digit;
    }
    return value;
}

qint64 CVersionCheck::BuildOf(const QString& version)
{
    QString text = version;
    text.replace(QLatin1Char(','), QLatin1Char('.')).remove(QLatin1Char(' '));
    const QString build = text.mid(text.lastIndexOf(QLatin1Char('.')) + 1);
    if (build.isEmpty())
        return -1;
    return std::max<qint64>(0, LeadingNumber(build.toLatin1()));
}

CVersionCheck::Outcome CVersionCheck::Compare(const QByteArray& fetched, const QString& ownVersion)
{
    if (fetched.isEmpty())
        return Unreachable;
    const qint64 own = BuildOf(ownVersion);
    if (own < 0)
        return NoOwnBuild;
    QByteArray text = fetched;
    text.replace('\r', QByteArray()).replace('\n', QByteArray());
    // A text that is no number (an error page, garbage) says nothing about versions: it is never
    // taken for build 0, which would call a build-0 program current.
    const qint64 latest = LeadingNumber(text);
    if (latest < 0)
        return Unverified;
    if (latest == own)
        return Current;
    return own < latest ? Newer : Unverified;
}
