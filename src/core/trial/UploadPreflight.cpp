#include "UploadPreflight.h"

#include "CTrialRun.h"
#include "core/common/Prompt.h"
#include "core/settings/Profile.h"
#include "core/workspace/Workspace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

QList<QByteArray> Lines(const QByteArray& text)
{
    QByteArray copy = text;
    copy.replace("\r\n", "\n");
    copy.replace('\r', '\n');
    return copy.split('\n');
}

bool IsComment(const QByteArray& trimmed)
{
    return trimmed.startsWith('#');
}

// The first line (1-based) that holds `quoted`, preferring a recipe's first line when the quote
// is as short as a flag.
int LineHolding(const QList<QByteArray>& lines, const QByteArray& quoted)
{
    if (quoted.isEmpty())
        return 0;
    int fallback = 0;
    for (int i = 0; i < lines.size(); ++i) {
        const QByteArray trimmed = lines[i].trimmed();
        if (IsComment(trimmed) || !trimmed.contains(quoted))
            continue;
        if (trimmed.startsWith(":0") || quoted.size() > 3)
            return i + 1;
        if (fallback == 0)
            fallback = i + 1;
    }
    return fallback;
}

// The line of the brace that does not pair: the first closing one without an opening one, else
// the last opening one left open.
int UnbalancedBrace(const QList<QByteArray>& lines)
{
    QList<int> open;
    for (int i = 0; i < lines.size(); ++i) {
        const QByteArray trimmed = lines[i].trimmed();
        if (IsComment(trimmed))
            continue;
        if (trimmed.startsWith('{')) {
            if (!trimmed.endsWith('}') || trimmed.size() == 1)
                open.append(i + 1);
        } else if (trimmed.startsWith('}')) {
            if (open.isEmpty())
                return i + 1;
            open.removeLast();
        }
    }
    return open.isEmpty() ? 0 : open.last();
}

// The first recipe whose conditions are followed by no action: an empty line, a comment or the
// end of the file.
int MissingAction(const QList<QByteArray>& lines)
{
    for (int i = 0; i < lines.size(); ++i) {
        if (!lines[i].trimmed().startsWith(":0"))
            continue;
        int next = i + 1;
        while (next < lines.size()) {
            const QByteArray trimmed = lines[next].trimmed();
            if (!trimmed.startsWith('*'))
                break;
            // A condition continued on the next line.
            while (next < lines.size() && lines[next].endsWith('\\'))
                ++next;
            ++next;
        }
        if (next >= lines.size() || lines[next].trimmed().isEmpty() || IsComment(lines[next].trimmed()))
            return i + 1;
    }
    return 0;
}

bool IsRecipeFile(const QString& local)
{
    const QString recipeFile = Workspace::GetRecipeFilePath();
    return !recipeFile.isEmpty()
        && QDir::cleanPath(QFileInfo(local).absoluteFilePath())
        == QDir::cleanPath(QFileInfo(recipeFile).absoluteFilePath());
}

const QString kCaption = QStringLiteral("Recipe file check");

bool ReadFile(const QString& path, QByteArray* text, const QString& what)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Prompt::Tell(QStringLiteral("The %1 %2 could not be read: %3").arg(what, path, file.errorString()),
            kCaption, Prompt::Warning);
        return false;
    }
    *text = file.readAll();
    return true;
}

QString Capitalised(const QString& text)
{
    return text.left(1).toUpper() + text.mid(1);
}

} // namespace

namespace UploadPreflight {

QByteArray CanaryMessage()
{
    return "From zeph-check@invalid Thu Jan  1 00:00:00 1970\n"
           "From: ZEPH check <zeph-check@invalid>\n"
           "To: zeph-check@invalid\n"
           "Subject: ZEPH recipe file check\n"
           "Message-ID: <zeph-check@invalid>\n"
           "\n"
           "This message tries the recipe file before it is uploaded.\n";
}

int LineOf(const QString& complaint, const QByteArray& recipeText)
{
    const QList<QByteArray> lines = Lines(recipeText);
    if (complaint.contains(QLatin1String("brace")))
        return UnbalancedBrace(lines);
    if (complaint.contains(QLatin1String("Missing action"))
        || complaint.contains(QLatin1String("Incomplete recipe")))
        return MissingAction(lines);
    static const QRegularExpression quote(QStringLiteral("\"(.*)\"\\s*$"));
    const QRegularExpressionMatch match = quote.match(complaint);
    if (!match.hasMatch())
        return 0;
    QByteArray quoted = match.captured(1).toUtf8();
    // An include the run could not read names the throwaway home: the file name is what the user wrote.
    if (complaint.contains(QLatin1String("Couldn't read"))) {
        const QByteArray name = quoted.mid(quoted.lastIndexOf('/') + 1);
        for (int i = 0; i < lines.size(); ++i) {
            const QByteArray trimmed = lines[i].trimmed();
            if (!IsComment(trimmed) && trimmed.contains("RC=") && trimmed.contains(name))
                return i + 1;
        }
        return 0;
    }
    return LineHolding(lines, quoted);
}

namespace {

    // procmail's complaints among the lines a run wrote: each begins with its name; other lines are
    // the rest of a logged command that ran over several lines.
    QStringList Complaints(const QStringList& errors)
    {
        QStringList complaints;
        for (const QString& line : errors)
            if (line.startsWith(QLatin1String("procmail: ")))
                complaints << line.mid(10);
        return complaints;
    }

    // The findings of `complaints` about the file `text`, with a brace left open that procmail passed
    // in silence counted as one more.
    QList<Finding> FindingsIn(const QStringList& complaints, const QByteArray& text)
    {
        QList<Finding> findings;
        const QList<QByteArray> lines = Lines(text);
        const auto add = [&](const QString& complaint) {
            Finding finding;
            finding.complaint = complaint;
            finding.line = LineOf(complaint, text);
            if (finding.line > 0 && finding.line <= lines.size())
                finding.lineText = lines[finding.line - 1];
            findings.append(finding);
        };
        bool braceSeen = false;
        for (const QString& complaint : complaints) {
            braceSeen = braceSeen || complaint.contains(QLatin1String("brace"));
            add(complaint);
        }
        if (!braceSeen && UnbalancedBrace(lines) > 0)
            add(QStringLiteral(
                "Opening brace without a closing brace: every recipe after it is inside its block"));
        return findings;
    }

} // namespace

bool Check(const QByteArray& recipeText, QList<Finding>* findings, QString* error, int timeoutMs)
{
    findings->clear();
    CTrialRun::Result result;
    if (!CTrialRun::Run(recipeText, CanaryMessage(), &result, error, timeoutMs))
        return false;
    *findings = FindingsIn(Complaints(result.errors), recipeText);
    return true;
}

bool CheckProcmailrc(const QByteArray& procmailrcText, const QByteArray& recipeText, QList<Finding>* findings,
    QString* error, int timeoutMs)
{
    findings->clear();
    CTrialRun::Request request;
    request.recipes = recipeText;
    request.message = CanaryMessage();
    request.timeoutMs = timeoutMs;
    CTrialRun::Result alone;
    if (!CTrialRun::Run(request, &alone, error))
        return false;
    request.procmailrc = procmailrcText;
    CTrialRun::Result around;
    if (!CTrialRun::Run(request, &around, error))
        return false;
    // What the recipe file says on its own, it says inside the .procmailrc too: the rest is the
    // .procmailrc's. Each run has a throwaway home of its own, which procmail names in what it
    // says of a path, so complaints are compared with every quoted path cut to its file name.
    static const QRegularExpression quotedPath(QStringLiteral("\"/(?:[^\"]*/)?([^\"/]*)\""));
    const auto withoutFolders
        = [](QString complaint) { return complaint.replace(quotedPath, QStringLiteral("\"\\1\"")); };
    QStringList aloneComplaints;
    for (const QString& complaint : Complaints(alone.errors))
        aloneComplaints << withoutFolders(complaint);
    QStringList ownComplaints;
    for (const QString& complaint : Complaints(around.errors))
        if (!aloneComplaints.removeOne(withoutFolders(complaint)))
            ownComplaints << complaint;
    *findings = FindingsIn(ownComplaints, procmailrcText);
    return true;
}

bool ConfirmUpload(const QList<QPair<QString, QString>>& pairs)
{
    if (GetSetting(Settings::PreflightUpload) == 0 || !CTrialRun::Unavailable().isEmpty())
        return true;
    for (const auto& [local, remote] : pairs) {
        const bool recipeFile = IsRecipeFile(local);
        if (!recipeFile && remote != QLatin1String(".procmailrc"))
            continue;
        QByteArray text;
        if (!ReadFile(local, &text, recipeFile ? QStringLiteral("recipe file") : QStringLiteral("file")))
            return false;
        QList<Finding> findings;
        QString error;
        bool tried;
        if (recipeFile) {
            tried = Check(text, &findings, &error);
        } else {
            // The .procmailrc is tried around the recipe file it includes, as the host will run it.
            QByteArray recipes;
            const QString recipePath = Workspace::GetRecipeFilePath();
            if (QFileInfo::exists(recipePath)
                && !ReadFile(recipePath, &recipes, QStringLiteral("recipe file")))
                return false;
            tried = CheckProcmailrc(text, recipes, &findings, &error);
        }
        const QString what = recipeFile ? QStringLiteral("the recipe file %1").arg(local)
                                        : QStringLiteral("your .procmailrc %1").arg(local);
        QString question;
        if (!tried) {
            question = QStringLiteral(
                "%1 could not be tried with procmail before the upload: %2\n\nUpload anyway?")
                           .arg(Capitalised(what), error);
        } else if (!findings.isEmpty()) {
            QString list;
            for (const Finding& finding : std::as_const(findings)) {
                if (finding.line > 0)
                    list += QStringLiteral("Line %1: %2\n    %3\n")
                                .arg(finding.line)
                                .arg(finding.complaint, QString::fromUtf8(finding.lineText.trimmed()));
                else
                    list += finding.complaint + QLatin1Char('\n');
            }
            question
                = QStringLiteral("procmail found problems in %1, which is about to be uploaded:\n\n%2\nWith "
                                 "these problems procmail may skip recipes or file your mail where you do "
                                 "not expect it.  %3\n\nUpload anyway?")
                      .arg(what, list,
                          recipeFile
                              ? QStringLiteral("Open the file with Recipes > Manually Edit to correct it.")
                              : QStringLiteral("Open the file with File > Open to correct it."));
        }
        if (!question.isEmpty()
            && Prompt::Ask(question, kCaption, Prompt::Warning, Prompt::Yes | Prompt::No, Prompt::No)
                != Prompt::Yes)
            return false;
    }
    return true;
}

QString Note()
{
    if (GetSetting(Settings::PreflightUpload) == 0)
        return {};
    const QString missing = CTrialRun::Unavailable();
    if (missing.isEmpty())
        return {};
    return QStringLiteral("The recipe file and the .procmailrc are not tried before they are uploaded: %1")
        .arg(missing);
}

} // namespace UploadPreflight
