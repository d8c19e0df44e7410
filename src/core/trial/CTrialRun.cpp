#include "CTrialRun.h"

#include "core/recipes/CRecipeFile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>
#include <unistd.h>

namespace {

const QByteArray kMarker = "ZEPH_TRY_AT";

QString ProcmailPath()
{
    return QStandardPaths::findExecutable(QStringLiteral("procmail"),
        { QStringLiteral("/usr/bin"), QStringLiteral("/bin"), QStringLiteral("/usr/local/bin") });
}

QString UnsharePath()
{
    return QStandardPaths::findExecutable(
        QStringLiteral("unshare"), { QStringLiteral("/usr/bin"), QStringLiteral("/bin") });
}

bool WriteFile(const QString& path, const QByteArray& data, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size()) {
        *error = QStringLiteral("Cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

// Only shell builtins and absolute paths: PATH holds nothing but the stubs.
QByteArray SendmailStub(const QString& sentDir)
{
    const QByteArray dir = QFile::encodeName(sentDir);
    return "#!/bin/sh\n"
           "n=$$.$(/usr/bin/date +%s%N)\n"
           "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > '"
        + dir + "'/$n.args\n/bin/cat > '" + dir + "'/$n.eml\n";
}

QString HeaderValue(const QByteArray& message, const QByteArray& name)
{
    const QList<QByteArray> lines = message.split('\n');
    for (const QByteArray& line : lines) {
        if (line.trimmed().isEmpty())
            break;
        if (line.toLower().startsWith(name.toLower() + ':'))
            return QString::fromUtf8(line.mid(name.size() + 1).trimmed());
    }
    return {};
}

bool IsStepLine(const QByteArray& line)
{
    static const QList<QByteArray> steps = { "Assigning ", "Match on ", "No match on ", "Locking ",
        "Unlocking ", "Opening ", "Acquiring kernel-lock", "Executing ", "Notified ", "[" };
    for (const QByteArray& step : steps)
        if (line.startsWith("procmail: " + step))
            return true;
    return false;
}

} // namespace

QString CTrialRun::Unavailable()
{
    if (ProcmailPath().isEmpty())
        return QStringLiteral("procmail is not installed on this computer (Debian package \"procmail\").");
    if (UnsharePath().isEmpty())
        return QStringLiteral("unshare is not installed on this computer (Debian package \"util-linux\").");
    return {};
}

bool CTrialRun::Run(
    const QByteArray& recipeText, const QByteArray& message, Result* result, QString* error, int timeoutMs)
{
    *result = Result();
    if (const QString missing = Unavailable(); !missing.isEmpty()) {
        *error = missing;
        return false;
    }
    QTemporaryDir root;
    if (!root.isValid()) {
        *error = QStringLiteral("Cannot make a temporary folder: %1").arg(root.errorString());
        return false;
    }
    const QDir base(root.path());
    const QString home = base.filePath(QStringLiteral("home"));
    const QString mailDir = home + QStringLiteral("/mail");
    const QString zephDir = home + QStringLiteral("/.procmail");
    const QString binDir = base.filePath(QStringLiteral("bin"));
    const QString sentDir = base.filePath(QStringLiteral("sent"));
    const QString logPath = base.filePath(QStringLiteral("log"));
    for (const QString& dir : { mailDir, zephDir, binDir, sentDir })
        if (!QDir().mkpath(dir)) {
            *error = QStringLiteral("Cannot make %1").arg(dir);
            return false;
        }

    QList<CRecipeListEntry> entries;
    QList<QByteArray> unparsed;
    CRecipeFile::ParseRecipeText(recipeText, &entries, &unparsed);
    QByteArray instrumented;
    for (int i = 0; i < entries.size(); ++i)
        instrumented += kMarker + '=' + QByteArray::number(i) + '\n' + entries[i].text;
    instrumented += kMarker + "=-1\n";

    const QString sendmail = binDir + QStringLiteral("/sendmail");
    const QString rcPath = base.filePath(QStringLiteral("rc"));
    const QString recipesPath = zephDir + QStringLiteral("/zeph.recipes");
    const QByteArray rc = "SHELL=/bin/sh\nHOME=" + QFile::encodeName(home)
        + "\nMAILDIR=" + QFile::encodeName(mailDir) + "\nZEPH_DIR=" + QFile::encodeName(zephDir)
        + "\nDEFAULT=" + QFile::encodeName(mailDir) + "/inbox\nSENDMAIL=" + QFile::encodeName(sendmail)
        + "\nLOGFILE=" + QFile::encodeName(logPath)
        + "\nVERBOSE=on\nLOGABSTRACT=all\nCOMSAT=no\nINCLUDERC=" + QFile::encodeName(recipesPath) + "\n";
    if (!WriteFile(recipesPath, instrumented, error) || !WriteFile(rcPath, rc, error)
        || !WriteFile(sendmail, SendmailStub(sentDir), error))
        return false;
    QFile::setPermissions(sendmail, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile::link(
        QStandardPaths::findExecutable(QStringLiteral("formail")), binDir + QStringLiteral("/formail"));

    QProcess process;
    QProcessEnvironment env;
    env.insert(QStringLiteral("PATH"), binDir);
    env.insert(QStringLiteral("HOME"), home);
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(home);
    // Its own session, so that a time-out stops whatever a recipe started along with procmail.
    process.setChildProcessModifier([] { ::setsid(); });
    process.start(UnsharePath(),
        { QStringLiteral("-rn"), ProcmailPath(), QStringLiteral("-p"), QStringLiteral("-m"), rcPath });
    QElapsedTimer clock;
    clock.start();
    if (!process.waitForStarted(timeoutMs)) {
        *error = QStringLiteral("Cannot start procmail: %1").arg(process.errorString());
        return false;
    }
    const pid_t group = static_cast<pid_t>(process.processId());
    QByteArray envelope = message;
    if (!envelope.startsWith("From "))
        envelope.prepend("From trial@localhost Thu Jan  1 00:00:00 1970\n");
    process.write(envelope);
    process.closeWriteChannel();
    // procmail does not wait for a pipe recipe without the `w` flag: what such a recipe sends is
    // recorded only once everything procmail started has ended, within the same limit.
    bool finished = process.waitForFinished(timeoutMs);
    while (finished && ::kill(-group, 0) == 0) {
        if (clock.elapsed() >= timeoutMs)
            finished = false;
        else
            QThread::msleep(10);
    }
    if (!finished) {
        ::kill(-group, SIGKILL);
        process.waitForFinished(2000);
        *error = QStringLiteral("procmail did not finish within %1 seconds and was stopped.")
                     .arg(timeoutMs / 1000);
        return false;
    }

    QFile log(logPath);
    QByteArray logText;
    if (log.open(QIODevice::ReadOnly))
        logText = log.readAll();
    const QByteArray stderrText = process.readAllStandardError();
    // Without user namespaces nothing ran; saying so beats an empty result that looks like "no match".
    if (process.exitStatus() != QProcess::NormalExit || stderrText.startsWith("unshare:")) {
        *error = QStringLiteral("procmail could not run in a private namespace: %1")
                     .arg(QString::fromUtf8(stderrText.trimmed()));
        return false;
    }
    for (const QByteArray& line : stderrText.split('\n'))
        if (!line.trimmed().isEmpty())
            result->errors << QString::fromUtf8(line);

    // A block matched when procmail acted inside it, or its conditions all held.
    int block = -1;
    bool matchSeen = false, noMatchSeen = false, acted = false;
    const auto closeBlock = [&] {
        if (block >= 0 && block < entries.size() && (acted || (matchSeen && !noMatchSeen)))
            result->matched << entries[block].name;
        matchSeen = noMatchSeen = acted = false;
    };
    static const QRegularExpression folderLine(QStringLiteral("^  Folder: (.*?)\\s+(\\d+)$"));
    const QByteArray markerLine = "procmail: Assigning \"" + kMarker + '=';
    for (const QByteArray& line : logText.split('\n')) {
        if (line.trimmed().isEmpty())
            continue;
        if (line.startsWith(markerLine)) {
            closeBlock();
            block = line.mid(markerLine.size()).chopped(1).toInt();
            continue;
        }
        if (line.startsWith("procmail: Match on "))
            matchSeen = true;
        else if (line.startsWith("procmail: No match on "))
            noMatchSeen = true;
        else if (line.startsWith("procmail: Assigning \"LASTFOLDER=")
            || line.startsWith("procmail: Executing "))
            acted = true;
        const QRegularExpressionMatch folder = folderLine.match(QString::fromUtf8(line));
        if (folder.hasMatch()) {
            QString where = folder.captured(1);
            // A pipe shows its command: a program among the stubs or at an absolute path.
            const QString program = where.trimmed().section(QLatin1Char(' '), 0, 0);
            const QFileInfo info(
                program.startsWith(QLatin1Char('/')) ? program : binDir + QLatin1Char('/') + program);
            if (info.isFile() && info.isExecutable())
                continue;
            if (where.startsWith(mailDir + QLatin1Char('/')))
                where = where.mid(mailDir.size() + 1);
            result->deliveries << Delivery { where, folder.captured(2).toLongLong() };
            continue;
        }
        if (line.startsWith(" Subject:") || line.startsWith("From ") || IsStepLine(line))
            continue;
        result->errors << QString::fromUtf8(line);
    }
    closeBlock();

    const QStringList sentFiles
        = QDir(sentDir).entryList({ QStringLiteral("*.eml") }, QDir::Files, QDir::Name);
    for (const QString& name : sentFiles) {
        QFile eml(QDir(sentDir).filePath(name));
        QFile args(QDir(sentDir).filePath(name.chopped(4) + QStringLiteral(".args")));
        if (!eml.open(QIODevice::ReadOnly) || !args.open(QIODevice::ReadOnly))
            continue;
        SentMail mail;
        mail.text = eml.readAll();
        const QList<QByteArray> argList = args.readAll().split('\n');
        for (const QByteArray& arg : argList)
            if (!arg.isEmpty() && !arg.startsWith('-'))
                mail.to << QString::fromUtf8(arg);
        // With -t the recipients are the message's own To line, as a reply made by formail has.
        if (argList.contains("-t"))
            mail.to << HeaderValue(mail.text, "To");
        mail.subject = HeaderValue(mail.text, "Subject");
        result->sent << mail;
    }
    return true;
}
