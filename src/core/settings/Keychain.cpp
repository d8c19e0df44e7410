#include "core/settings/Keychain.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>
#include <qt6keychain/keychain.h>

#include <atomic>
#include <memory>

namespace {

std::atomic<int> waitLimit { 20000 };
// Set once the keychain did not answer in time: its job queue is then stuck behind that call.
std::atomic<bool> stalled { false };

// Done when the keychain may be asked now.
Keychain::Status reachability(QString* reason)
{
    if (stalled) {
        *reason = QStringLiteral("the desktop keychain did not answer in time earlier in this run");
        return Keychain::Status::Unavailable;
    }
    // Without a session bus, libsecret would try to start one; a desktop session always names it.
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) {
        *reason = QStringLiteral("no D-Bus session");
        return Keychain::Status::Unavailable;
    }
    // QtKeychain runs its jobs one at a time through a queue that lives in the thread that first
    // used it, and libsecret answers through the calling thread's event loop: only the main
    // thread has both for sure.
    const QCoreApplication* app = QCoreApplication::instance();
    if (!app || QThread::currentThread() != app->thread()) {
        *reason = QStringLiteral("the keychain can only be used from the main thread");
        return Keychain::Status::Failed;
    }
    return Keychain::Status::Done;
}

struct Answer
{
    bool arrived = false;
    QKeychain::Error error = QKeychain::NoError;
    QString errorText;
    QString text;
};

} // namespace

// "<identity>/<purpose>" under the service "ZEPH". Identity names are case-folded like the
// registry file's name, as "Work" and "work" are the same identity.
Keychain::Keychain(const QString& identity, Purpose purpose)
    : m_key(identity.toCaseFolded()
        + (purpose == Purpose::Ftp ? QStringLiteral("/ftp") : QStringLiteral("/smtp")))
{
}

bool Keychain::ForgetIdentity(const QString& identity, QString* error)
{
    bool forgotten = true;
    for (Purpose purpose : { Purpose::Ftp, Purpose::Smtp }) {
        QString reason;
        if (Keychain(identity, purpose).Remove(&reason) == Status::Failed) {
            forgotten = false;
            if (error)
                *error = reason;
        }
    }
    return forgotten;
}

bool Keychain::IsReachable(QString* reason)
{
    QString why;
    const bool reachable = reachability(&why) == Status::Done;
    if (reason)
        *reason = why;
    return reachable;
}

void Keychain::SetWaitLimit(int milliseconds)
{
    waitLimit = milliseconds;
}

Keychain::Status Keychain::Read(QString* text, QString* error) const
{
    return run(Operation::Read, text, error);
}

Keychain::Status Keychain::Write(const QString& text, QString* error) const
{
    QString copy = text;
    return run(Operation::Write, &copy, error);
}

Keychain::Status Keychain::Remove(QString* error) const
{
    return run(Operation::Remove, nullptr, error);
}

Keychain::Status Keychain::run(Operation operation, QString* text, QString* error) const
{
    QString reason;
    const Status reachable = reachability(&reason);
    if (reachable != Status::Done) {
        if (error)
            *error = reason;
        return reachable;
    }

    const QString service = QStringLiteral("ZEPH");
    QKeychain::Job* job = nullptr;
    switch (operation) {
    case Operation::Read:
        job = new QKeychain::ReadPasswordJob(service);
        break;
    case Operation::Write: {
        auto* write = new QKeychain::WritePasswordJob(service);
        write->setTextData(*text);
        job = write;
        break;
    }
    case Operation::Remove:
        job = new QKeychain::DeletePasswordJob(service);
        break;
    }
    job->setKey(m_key);
    // Never a plain-text copy in a settings file of QtKeychain's own.
    job->setInsecureFallback(false);
    // The job deletes itself when it ends, also when we stopped waiting for it before: libsecret
    // still holds a pointer to it until its answer comes.
    job->setAutoDelete(true);

    auto answer = std::make_shared<Answer>();
    QEventLoop loop;
    // The connection ends with the loop, so a late answer reaches nothing of this call.
    QObject::connect(job, &QKeychain::Job::finished, &loop, [answer, &loop](QKeychain::Job* done) {
        answer->arrived = true;
        answer->error = done->error();
        answer->errorText = done->errorString();
        if (const auto* read = qobject_cast<const QKeychain::ReadPasswordJob*>(done))
            answer->text = read->textData();
        loop.quit();
    });
    const int limit = waitLimit;
    QTimer::singleShot(limit, &loop, &QEventLoop::quit);
    job->start();
    loop.exec(QEventLoop::ExcludeUserInputEvents);

    if (!answer->arrived) {
        stalled = true;
        if (error)
            *error = QStringLiteral("no answer within %1 seconds").arg((limit + 999) / 1000);
        return Status::Failed;
    }
    switch (answer->error) {
    case QKeychain::NoError:
        if (operation == Operation::Read)
            *text = answer->text;
        return Status::Done;
    case QKeychain::EntryNotFound:
        return Status::NotFound;
    case QKeychain::NoBackendAvailable:
    case QKeychain::NotImplemented:
        if (error)
            *error = answer->errorText;
        return Status::Unavailable;
    default:
        if (error)
            *error = answer->errorText;
        // A session bus on which no Secret Service is provided: no keychain runs here.
        if (answer->errorText.contains(QStringLiteral("org.freedesktop.secrets")))
            return Status::Unavailable;
        return Status::Failed;
    }
}
