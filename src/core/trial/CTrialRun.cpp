#include "CTrialRun.h"

#include "core/recipes/CRecipeFile.h"
#include "core/trial/MessageChanges.h"
#include "core/trial/ProcmailrcCopy.h"
#include "core/trial/RunsPrograms.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
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

// Hides the user's home and mail spool behind empty folders and puts the sendmail stub where a
// hand-written recipe may call sendmail by its absolute path; then runs procmail. Exit code 125
// with a line on stderr when that cannot be done, so nothing runs unisolated.
const char kIsolation[] = R"sh(p=$1 rc=$2 stub=$3
shift 3
for d in "$@"; do
  /bin/mount -t tmpfs none "$d" || { echo "cannot hide $d" >&2; exit 125; }
done
for s in /usr/sbin/sendmail /usr/lib/sendmail; do
  if [ -e "$s" ]; then
    /bin/mount --bind "$stub" "$s" || { echo "cannot replace $s" >&2; exit 125; }
  fi
done
exec "$p" -p -m "$rc"
)sh";

// The user's real mail: the home and the spool, unless the throwaway folder lies inside one.
QStringList MaskedFolders(const QString& throwaway)
{
    QStringList folders;
    for (const QString& folder : { QDir::homePath(), QStringLiteral("/var/mail") }) {
        const QString canonical = QFileInfo(folder).canonicalFilePath();
        if (!canonical.isEmpty() && canonical != QLatin1String("/")
            && !(throwaway + QLatin1Char('/')).startsWith(canonical + QLatin1Char('/')))
            folders << canonical;
    }
    return folders;
}

QStringList IsolatedArguments(
    const QString& program, const QString& rc, const QString& stub, const QString& throwaway)
{
    return QStringList { QStringLiteral("-rnm"), QStringLiteral("/bin/sh"), QStringLiteral("-c"),
        QString::fromLatin1(kIsolation), QStringLiteral("sh"), program, rc, stub }
    + MaskedFolders(throwaway);
}

QByteArray RecipeName(const CRecipeListEntry& entry)
{
    if (!entry.unparsed)
        return entry.name;
    if (entry.firstLine == entry.lastLine)
        return "line " + QByteArray::number(entry.firstLine);
    return "lines " + QByteArray::number(entry.firstLine) + '-' + QByteArray::number(entry.lastLine);
}

// procmail pauses a second after its first write into an empty mbox file read no earlier than
// written, so that mail readers see new mail. In a throwaway home every folder is new: the plain
// folder names a recipe file delivers to, and the default mailbox, are made empty beforehand with
// a last read long ago, which changes nothing a delivery writes.
bool MakeFolderFiles(const QByteArray& recipes, const QString& mailDir, QString* error)
{
    static const QRegularExpression plainName(QStringLiteral("^[A-Za-z0-9][A-Za-z0-9._+-]*$"));
    QSet<QString> names { QStringLiteral("inbox") };
    for (const QByteArray& line : recipes.split('\n')) {
        const QString name = QString::fromUtf8(line.trimmed());
        if (plainName.match(name).hasMatch())
            names.insert(name);
    }
    for (const QString& name : std::as_const(names)) {
        QFile file(mailDir + QLatin1Char('/') + name);
        if (file.exists())
            continue;
        if (!file.open(QIODevice::WriteOnly)
            || !file.setFileTime(QDateTime::fromSecsSinceEpoch(0), QFileDevice::FileAccessTime)) {
            *error = QStringLiteral("Cannot make %1: %2").arg(file.fileName(), file.errorString());
            return false;
        }
    }
    return true;
}

// Whether the text ends in a recipe still waiting for its action: procmail would take whatever
// comes next for it.
bool EndsWithoutAction(const QByteArray& text)
{
    bool waiting = false;
    bool continued = false;
    for (const QByteArray& raw : text.split('\n')) {
        const QByteArray line = raw.trimmed();
        const bool continues = line.endsWith('\\');
        if (continued) {
            continued = continues;
            continue;
        }
        continued = continues;
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        if (line.startsWith(":0"))
            waiting = true;
        else if (!line.startsWith('*'))
            waiting = false;
    }
    return waiting;
}

QByteArray ReadSlice(const QString& path, qint64 offset, qint64 size)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(offset))
        return {};
    return file.read(size);
}

} // namespace

QString CTrialRun::StoppedText()
{
    return QStringLiteral("The run was stopped.");
}

QString CTrialRun::Unavailable()
{
    if (ProcmailPath().isEmpty())
        return QStringLiteral("procmail is not installed on this computer (Debian package \"procmail\").");
    return {};
}

bool CTrialRun::NamespacesWork()
{
    static const bool works = [] {
        const QString unshare = UnsharePath();
        QTemporaryDir probe;
        if (unshare.isEmpty() || !probe.isValid())
            return false;
        QProcess process;
        process.start(unshare,
            IsolatedArguments(
                QStringLiteral("/bin/true"), probe.path(), QStringLiteral("/bin/true"), probe.path()));
        return process.waitForFinished(10000) && process.exitStatus() == QProcess::NormalExit
            && process.exitCode() == 0;
    }();
    return works;
}

// A recipe left without its action takes the next line for one: on the host that is the next
// block's ":0" after its empty line, which procmail refuses with "Missing action"; in the run it
// would be the marker assignment, taken for a folder. Such a block is run again followed by an
// empty line and a recipe that never matches, so that procmail says what it says on the host.
bool CTrialRun::Run(const Request& request, Result* result, QString* error)
{
    QSet<int> unfinished;
    for (;;) {
        int swallowed = -1;
        if (!RunOnce(request, unfinished, result, error, &swallowed))
            return false;
        if (swallowed < 0 || unfinished.contains(swallowed))
            return true;
        unfinished.insert(swallowed);
    }
}

bool CTrialRun::RunOnce(
    const Request& request, const QSet<int>& unfinished, Result* result, QString* error, int* swallowed)
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
    const QString throwaway = QFileInfo(root.path()).canonicalFilePath();
    const QDir base(throwaway);
    const QString home = base.filePath(QStringLiteral("home"));
    const QString mailDir = home + QStringLiteral("/mail");
    const QString zephDir = home + QStringLiteral("/.procmail");
    const QString binDir = base.filePath(QStringLiteral("bin"));
    const QString sentDir = base.filePath(QStringLiteral("sent"));
    const QString logPath = base.filePath(QStringLiteral("log"));
    // The folders a host set up for the recipes: the backup copies go below MAILDIR.
    for (const QString& dir : { mailDir + QStringLiteral("/backup"), zephDir, binDir, sentDir })
        if (!QDir().mkpath(dir)) {
            *error = QStringLiteral("Cannot make %1").arg(dir);
            return false;
        }

    const bool isolate = request.mayIsolate && NamespacesWork();
    const QByteArray rcCopy = ProcmailrcCopy(request.procmailrc);
    if (!isolate && RunsPrograms(rcCopy)) {
        *error = QStringLiteral(
            "The .procmailrc runs programs, and this computer cannot run procmail in a private "
            "namespace, so it was not tried.");
        return false;
    }
    QList<CRecipeListEntry> entries;
    QList<QByteArray> unparsed;
    CRecipeFile::ParseRecipeText(request.recipes, &entries, &unparsed);
    // Hand-written lines run as they stand, empty lines included: procmail reads meaning into them.
    QByteArray lineFeeds = request.recipes;
    CRecipeFile::ToLineFeeds(&lineFeeds);
    const QList<QByteArray> fileLines = lineFeeds.split('\n');
    const auto linesOf = [&fileLines](const CRecipeListEntry& entry) {
        QByteArray text;
        for (int line = entry.firstLine; line <= entry.lastLine && line <= fileLines.size(); ++line)
            text += fileLines[line - 1] + '\n';
        return text;
    };
    QByteArray instrumented;
    QList<QByteArray> leftOut;
    for (int i = 0; i < entries.size(); ++i) {
        Recipe recipe;
        recipe.name = RecipeName(entries[i]);
        recipe.handWritten = entries[i].unparsed;
        recipe.firstLine = entries[i].firstLine;
        recipe.lastLine = entries[i].lastLine;
        recipe.tried = isolate || !RunsPrograms(entries[i].text);
        instrumented += kMarker + '=' + QByteArray::number(i) + '\n';
        if (recipe.tried) {
            instrumented += entries[i].unparsed ? linesOf(entries[i]) : entries[i].text;
            if (unfinished.contains(i) || EndsWithoutAction(entries[i].text))
                instrumented += "\n:0\n* ^^" + kMarker + "_NEVER^^\n/dev/null\n";
        } else
            leftOut << recipe.name;
        result->recipes << recipe;
    }
    if (!leftOut.isEmpty())
        result->note
            = QStringLiteral("This computer cannot run procmail in a private namespace, so recipes that run "
                             "other programs than formail and $SENDMAIL, or write outside the mail folder, "
                             "were not tried: %1.")
                  .arg(QString::fromUtf8(leftOut.join(", ")));

    const QString sendmail = binDir + QStringLiteral("/sendmail");
    const QString rcPath = base.filePath(QStringLiteral("rc"));
    const QString recipesPath = zephDir + QStringLiteral("/zeph.recipes");
    const QString userRcPath = home + QStringLiteral("/.procmailrc");
    const QByteArray rc = "SHELL=/bin/sh\nHOME=" + QFile::encodeName(home)
        + "\nMAILDIR=" + QFile::encodeName(mailDir) + "\nZEPH_DIR=" + QFile::encodeName(zephDir)
        + "\nDEFAULT=" + QFile::encodeName(mailDir) + "/inbox\nSENDMAIL=" + QFile::encodeName(sendmail)
        + "\nLOGFILE=" + QFile::encodeName(logPath) + "\nVERBOSE=on\nLOGABSTRACT=all\nCOMSAT=no\nINCLUDERC="
        + QFile::encodeName(request.procmailrc.isEmpty() ? recipesPath : userRcPath)
        + "\n"
        // After the include: a complaint procmail makes at the end of the recipe file, such as
        // an unclosed brace, still falls to the last recipe.
        + kMarker + "=-1\n";
    if (!MakeFolderFiles(request.recipes, mailDir, error) || !WriteFile(recipesPath, instrumented, error)
        || !WriteFile(rcPath, rc, error) || !WriteFile(sendmail, SendmailStub(sentDir), error)
        || (!request.procmailrc.isEmpty() && !WriteFile(userRcPath, rcCopy, error)))
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
    if (isolate)
        process.start(UnsharePath(), IsolatedArguments(ProcmailPath(), rcPath, sendmail, throwaway));
    else
        process.start(ProcmailPath(), { QStringLiteral("-p"), QStringLiteral("-m"), rcPath });
    QElapsedTimer clock;
    clock.start();
    if (!process.waitForStarted(request.timeoutMs)) {
        *error = QStringLiteral("Cannot start procmail: %1").arg(process.errorString());
        return false;
    }
    const pid_t group = static_cast<pid_t>(process.processId());
    QByteArray envelope = request.message;
    if (!envelope.startsWith("From "))
        envelope.prepend("From trial@localhost Thu Jan  1 00:00:00 1970\n");
    process.write(envelope);
    process.closeWriteChannel();
    // procmail does not wait for a pipe recipe without the `w` flag: what such a recipe sends is
    // recorded only once everything procmail started has ended, within the same limit. The wait
    // goes in short steps, so that a stop asked for ends the run at once.
    const auto stopped = [&request] { return request.stop && request.stop->load(); };
    bool finished = false;
    while (!finished && !stopped() && clock.elapsed() < request.timeoutMs)
        finished = process.state() == QProcess::NotRunning || process.waitForFinished(50);
    while (finished && ::kill(-group, 0) == 0) {
        if (clock.elapsed() >= request.timeoutMs || stopped())
            finished = false;
        else
            QThread::msleep(10);
    }
    if (!finished) {
        ::kill(-group, SIGKILL);
        process.waitForFinished(2000);
        *error = stopped() ? StoppedText()
                           : QStringLiteral("procmail did not finish within %1 seconds and was stopped.")
                                 .arg(request.timeoutMs / 1000);
        return false;
    }

    QFile log(logPath);
    QByteArray logText;
    if (log.open(QIODevice::ReadOnly))
        logText = log.readAll();
    const QByteArray stderrText = process.readAllStandardError();
    // Nothing ran then; saying so beats an empty result that looks like "no match".
    if (process.exitStatus() != QProcess::NormalExit || (isolate && process.exitCode() == 125)
        || stderrText.startsWith("unshare:")) {
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
        if (block >= 0 && block < result->recipes.size() && (acted || (matchSeen && !noMatchSeen))) {
            result->recipes[block].matched = true;
            result->matched << result->recipes[block].name;
        }
        matchSeen = noMatchSeen = acted = false;
    };
    // Each copy is read back where procmail wrote it: several may share one mbox folder.
    QHash<QString, qint64> written;
    static const QRegularExpression folderLine(QStringLiteral("^  Folder: (.*?)\\s+(\\d+)$"));
    const QByteArray markerLine = "procmail: Assigning \"" + kMarker + '=';
    // A quoted value with line breaks (an assignment, a command on continued lines) is logged
    // over several lines, up to the one that ends with the closing quote.
    bool inValue = false;
    for (const QByteArray& line : logText.split('\n')) {
        if (inValue) {
            inValue = !line.endsWith('"');
            continue;
        }
        if (line.trimmed().isEmpty())
            continue;
        if (line.startsWith("procmail: ") && line.contains('"') && !line.endsWith('"')) {
            inValue = true;
            if (line.startsWith("procmail: Executing "))
                acted = true;
            continue;
        }
        if (line.startsWith(markerLine)) {
            closeBlock();
            const int next = line.mid(markerLine.size()).chopped(1).toInt();
            // A marker that never showed was read as the action of the recipe before it, one
            // whose conditions did not hold.
            if (next > block + 1 && block >= 0 && *swallowed < 0)
                *swallowed = block;
            block = next;
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
            if (where.startsWith(QString::fromLatin1(kMarker + '='))) {
                *swallowed = block;
                continue;
            }
            const QString path
                = where.startsWith(QLatin1Char('/')) ? where : mailDir + QLatin1Char('/') + where;
            if (where.startsWith(mailDir + QLatin1Char('/')))
                where = where.mid(mailDir.size() + 1);
            Delivery delivery { where, folder.captured(2).toLongLong(), {} };
            if (QFileInfo(path).isFile() && path != QLatin1String("/dev/null")) {
                delivery.changes
                    = MessageChanges(request.message, ReadSlice(path, written.value(path), delivery.bytes));
                written[path] += delivery.bytes;
            }
            result->deliveries << delivery;
            continue;
        }
        if (line.startsWith(" Subject:") || line.startsWith("From ") || IsStepLine(line))
            continue;
        result->errors << QString::fromUtf8(line);
        if (block >= 0 && block < result->recipes.size())
            result->recipes[block].complaints << QString::fromUtf8(line);
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
