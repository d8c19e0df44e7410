#include "ProcmailSandbox.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>

#include <unistd.h>

namespace {

bool WriteBytes(const QString& path, const QByteArray& content, QFileDevice::Permissions permissions)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(content) != content.size())
        return false;
    file.close();
    return file.setPermissions(permissions);
}

const QFileDevice::Permissions Readable
    = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;
const QFileDevice::Permissions Executable
    = Readable | QFileDevice::ExeOwner | QFileDevice::ExeGroup | QFileDevice::ExeOther;

} // namespace

ProcmailSandbox::ProcmailSandbox() = default;

ProcmailSandbox::~ProcmailSandbox()
{
    // A .procmailrc without DEFAULT (ZEPH's own) makes procmail create the user's system mailbox;
    // it goes with the user.
    if (!m_user.isEmpty())
        QFile::remove(QStringLiteral("/var/mail/") + m_user);
}

bool ProcmailSandbox::Run(const QString& program, const QStringList& arguments, QByteArray* output)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForStarted(30000)) {
        m_error = QStringLiteral("%1 could not be started: %2").arg(program, process.errorString());
        return false;
    }
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished(5000);
        m_error = QStringLiteral("%1 did not finish").arg(program);
        return false;
    }
    const QByteArray out = process.readAll();
    if (output)
        *output = out;
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        m_error = QStringLiteral("%1 %2 failed (%3): %4")
                      .arg(program, arguments.join(QLatin1Char(' ')))
                      .arg(process.exitCode())
                      .arg(QString::fromLocal8Bit(out));
        return false;
    }
    return true;
}

bool ProcmailSandbox::Chown(const QString& path)
{
    return Run(QStringLiteral("chown"), { QStringLiteral("-R"), m_user + QLatin1Char(':') + m_user, path });
}

bool ProcmailSandbox::Start(const Options& options)
{
    if (geteuid() != 0) {
        m_error
            = QStringLiteral("The real-procmail tests must run as root: they create a throwaway user and run "
                             "procmail as that user.  Run them as root (as CI does).");
        return false;
    }
    for (const char* tool : { "procmail", "formail" }) {
        if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty()) {
            m_error
                = QStringLiteral("%1 is missing: install the Debian package procmail (scripts/install-deps)")
                      .arg(QLatin1String(tool));
            return false;
        }
    }
    if (QStandardPaths::findExecutable(QStringLiteral("setpriv")).isEmpty()) {
        m_error = QStringLiteral("setpriv is missing: install the Debian package util-linux");
        return false;
    }

    m_dir = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/zeph-procmail-XXXXXX"));
    if (!m_dir->isValid()) {
        m_error = QStringLiteral("no temporary folder: %1").arg(m_dir->errorString());
        return false;
    }
    // The user must be able to walk into its home below this folder.
    QFile::setPermissions(m_dir->path(), Executable);

    const bool login = !options.loginPassword.isEmpty();
    const QString shell = login ? QStringLiteral("/bin/sh") : QStringLiteral("/usr/sbin/nologin");
    if (!m_account.Create(QStringLiteral("zephpm"), Home(), shell, true, &m_error)
        || (login && !m_account.SetPassword(options.loginPassword, &m_error)))
        return false;
    m_user = m_account.Name();

    const QString stub = SendmailStubPath();
    const QString sent = SentFolder();
    if (!QDir().mkpath(ZephDir()) || !QDir().mkpath(MailDir()) || !QDir().mkpath(sent)) {
        m_error = QStringLiteral("cannot create the sandbox folders");
        return false;
    }
    const QByteArray stubText = "#!/bin/sh\n"
                                "# Keeps what procmail hands to sendmail: arguments and message.\n"
                                "f=\""
        + sent.toUtf8()
        + "/$(date +%s%N).$$\"\n"
          "printf '%s\\n' \"$@\" > \"$f.args\"\n"
          "cat > \"$f.eml\"\n";
    QByteArray rc = "SHELL=/bin/sh\n"
                    "ZEPH_DIR=$HOME/.procmail\n"
                    "NL=\"\n\"\n"
                    "LOGFILE=$ZEPH_DIR/zeph.log\n"
                    "MAILDIR=$HOME/mail\n";
    rc += options.verbose ? "VERBOSE=yes\n" : "VERBOSE=no\n";
    rc += "COMSAT=no\n"
          "DEFAULT=$MAILDIR/inbox\n"
          "ORGMAIL=$MAILDIR/inbox\n"
          "SENDMAIL="
        + stub.toUtf8() + "\n";
    rc += options.extraRcLines;
    rc += "INCLUDERC=$ZEPH_DIR/zeph.recipes\n";
    if (!WriteBytes(stub, stubText, Executable)
        || !WriteBytes(Home() + QStringLiteral("/.procmailrc"), rc, Readable)
        || !WriteBytes(ZephDir() + QStringLiteral("/zeph.recipes"), QByteArray(), Readable)) {
        m_error = QStringLiteral("cannot write the sandbox files");
        return false;
    }
    // A login user uploads into its home; procmail accepts a home only its owner may write to.
    QFile::setPermissions(Home(), login ? Executable | QFileDevice::WriteOwner : Executable);
    return Chown(Home()) && Chown(sent);
}

QString ProcmailSandbox::Home() const
{
    return m_dir ? m_dir->path() + QStringLiteral("/home") : QString();
}

QString ProcmailSandbox::SendmailStubPath() const
{
    return m_dir ? m_dir->path() + QStringLiteral("/sendmail-stub") : QString();
}

QString ProcmailSandbox::SentFolder() const
{
    return m_dir ? m_dir->path() + QStringLiteral("/sent") : QString();
}

bool ProcmailSandbox::SetSendmailStub(const QByteArray& script)
{
    if (!WriteBytes(SendmailStubPath(), script, Executable)) {
        m_error = QStringLiteral("cannot write the sendmail stub");
        return false;
    }
    return true;
}

bool ProcmailSandbox::SetRecipes(const QByteArray& text)
{
    return WriteFile(QStringLiteral(".procmail/zeph.recipes"), text);
}

bool ProcmailSandbox::WriteFile(const QString& relativeToHome, const QByteArray& content)
{
    const QString path = Home() + QLatin1Char('/') + relativeToHome;
    QDir().mkpath(QFileInfo(path).path());
    if (!WriteBytes(path, content, Readable)) {
        m_error = QStringLiteral("cannot write %1").arg(path);
        return false;
    }
    return Chown(path);
}

bool ProcmailSandbox::MakeDir(const QString& relativeToHome)
{
    const QString path = Home() + QLatin1Char('/') + relativeToHome;
    if (!QDir().mkpath(path)) {
        m_error = QStringLiteral("cannot make %1").arg(path);
        return false;
    }
    return Chown(Home() + QLatin1Char('/') + relativeToHome.section(QLatin1Char('/'), 0, 0));
}

QByteArray ProcmailSandbox::ReadFile(const QString& relativeToHome) const
{
    QFile file(Home() + QLatin1Char('/') + relativeToHome);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool ProcmailSandbox::FileExists(const QString& relativeToHome) const
{
    return QFileInfo::exists(Home() + QLatin1Char('/') + relativeToHome);
}

int ProcmailSandbox::Deliver(const QByteArray& message)
{
    QByteArray input = message;
    if (!input.startsWith("From ")) {
        QByteArray sender = Header(message, "From");
        const qsizetype lt = sender.indexOf('<');
        if (lt >= 0)
            sender = sender.mid(lt + 1, sender.indexOf('>', lt) - lt - 1);
        if (sender.isEmpty())
            sender = "nobody@example.net";
        input.prepend("From " + sender + "  Thu Dec 10 04:36:33 2026\n");
    }
    QProcess process;
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("PATH"), QStringLiteral("/usr/bin:/bin"));
    environment.insert(QStringLiteral("LANG"), QStringLiteral("C"));
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(m_dir->path());
    process.start(QStringLiteral("setpriv"),
        { QStringLiteral("--reuid=") + m_user, QStringLiteral("--regid=") + m_user,
            QStringLiteral("--clear-groups"), QStringLiteral("--"),
            QStandardPaths::findExecutable(QStringLiteral("procmail")) });
    if (!process.waitForStarted(30000)) {
        m_error = QStringLiteral("procmail could not be started: %1").arg(process.errorString());
        return -1;
    }
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished(5000);
        m_error = QStringLiteral("procmail did not finish within a minute");
        return -1;
    }
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

QList<QByteArray> ProcmailSandbox::Folder(const QString& relativeToMailDir) const
{
    const QString path = MailDir() + QLatin1Char('/') + relativeToMailDir;
    const QFileInfo info(path);
    QList<QByteArray> messages;
    if (info.isDir()) {
        QStringList files;
        const bool maildir = QFileInfo(path + QStringLiteral("/new")).isDir();
        const QStringList parts = maildir ? QStringList { QStringLiteral("new"), QStringLiteral("cur") }
                                          : QStringList { QString() };
        for (const QString& part : parts) {
            QDir dir(path + QLatin1Char('/') + part);
            for (const QFileInfo& file : dir.entryInfoList(QDir::Files, QDir::Time | QDir::Reversed))
                files.append(file.filePath());
        }
        for (const QString& file : files) {
            QFile f(file);
            if (f.open(QIODevice::ReadOnly))
                messages.append(f.readAll());
        }
        return messages;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return messages;
    return SplitMbox(file.readAll());
}

QList<ProcmailSandbox::SentMail> ProcmailSandbox::Sent() const
{
    QList<SentMail> mails;
    QDir dir(SentFolder());
    for (const QString& name : dir.entryList({ QStringLiteral("*.eml") }, QDir::Files, QDir::Name)) {
        SentMail mail;
        QFile message(dir.filePath(name));
        if (message.open(QIODevice::ReadOnly))
            mail.message = message.readAll();
        QFile arguments(dir.filePath(name.chopped(4) + QStringLiteral(".args")));
        if (arguments.open(QIODevice::ReadOnly))
            mail.arguments
                = QString::fromUtf8(arguments.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        mails.append(mail);
    }
    return mails;
}

QByteArray ProcmailSandbox::Log() const
{
    return ReadFile(QStringLiteral(".procmail/zeph.log"));
}

void ProcmailSandbox::ClearOutputs()
{
    QDir mail(MailDir());
    mail.removeRecursively();
    QDir().mkpath(MailDir());
    const_cast<ProcmailSandbox*>(this)->Chown(MailDir());
    QDir sent(SentFolder());
    for (const QString& name : sent.entryList(QDir::Files))
        sent.remove(name);
    QFile::remove(ZephDir() + QStringLiteral("/zeph.log"));
    QFile::remove(ZephDir() + QStringLiteral("/zeph_reply.txt"));
}

QByteArray ProcmailSandbox::Message(const QByteArray& from, const QByteArray& to, const QByteArray& subject,
    const QByteArray& body, const QByteArray& extraHeaders)
{
    QByteArray message = "From: " + from + "\nTo: " + to + "\n";
    if (!subject.isNull())
        message += "Subject: " + subject + "\n";
    message += "Date: Thu, 10 Dec 2026 04:36:33 +0000\nMessage-ID: <"
        + QByteArray::number(QRandomGenerator::global()->generate()) + "@example.net>\n";
    message += extraHeaders;
    message += "\n" + body;
    return message;
}

QList<QByteArray> ProcmailSandbox::SplitMbox(const QByteArray& mbox)
{
    QList<QByteArray> messages;
    const QList<QByteArray> lines = mbox.split('\n');
    QByteArray current;
    bool inMessage = false;
    bool previousEmpty = true;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray& line = lines.at(i);
        if (previousEmpty && line.startsWith("From ")) {
            if (inMessage) {
                if (current.endsWith("\n\n"))
                    current.chop(1);
                messages.append(current);
            }
            current.clear();
            inMessage = true;
        } else if (inMessage) {
            current += line;
            if (i + 1 < lines.size())
                current += '\n';
        }
        previousEmpty = line.isEmpty();
    }
    if (inMessage) {
        if (current.endsWith("\n\n"))
            current.chop(1);
        messages.append(current);
    }
    return messages;
}

QList<QByteArray> ProcmailSandbox::Headers(const QByteArray& message, const QByteArray& name)
{
    QList<QByteArray> values;
    const qsizetype end = message.indexOf("\n\n");
    const QList<QByteArray> lines = message.left(end < 0 ? message.size() : end).split('\n');
    QList<QByteArray> unfolded;
    for (const QByteArray& line : lines) {
        if ((line.startsWith(' ') || line.startsWith('\t')) && !unfolded.isEmpty())
            unfolded.last() += " " + line.trimmed();
        else
            unfolded.append(line);
    }
    for (const QByteArray& line : unfolded) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).compare(name, Qt::CaseInsensitive) == 0)
            values.append(line.mid(colon + 1).trimmed());
    }
    return values;
}

QByteArray ProcmailSandbox::Header(const QByteArray& message, const QByteArray& name)
{
    const QList<QByteArray> values = Headers(message, name);
    return values.isEmpty() ? QByteArray() : values.first();
}

QByteArray ProcmailSandbox::Body(const QByteArray& message)
{
    const qsizetype end = message.indexOf("\n\n");
    return end < 0 ? QByteArray() : message.mid(end + 2);
}
