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

bool Check(const QByteArray& recipeText, QList<Finding>* findings, QString* error, int timeoutMs)
{
    findings->clear();
    CTrialRun::Result result;
    if (!CTrialRun::Run(recipeText, CanaryMessage(), &result, error, timeoutMs))
        return false;
    const QList<QByteArray> lines = Lines(recipeText);
    const auto add = [&](const QString& complaint) {
        Finding finding;
        finding.complaint = complaint;
        finding.line = LineOf(complaint, recipeText);
        if (finding.line > 0 && finding.line <= lines.size())
            finding.lineText = lines[finding.line - 1];
        findings->append(finding);
    };
    bool braceSeen = false;
    // procmail begins each complaint with its name; other lines are the rest of a logged command
    // that ran over several lines.
    for (const QString& line : std::as_const(result.errors)) {
        if (!line.startsWith(QLatin1String("procmail: ")))
            continue;
        const QString complaint = line.mid(10);
        braceSeen = braceSeen || complaint.contains(QLatin1String("brace"));
        add(complaint);
    }
    if (!braceSeen && UnbalancedBrace(lines) > 0)
        add(QStringLiteral(
            "Opening brace without a closing brace: every recipe after it is inside its block"));
    return true;
}

bool ConfirmUpload(const QList<QPair<QString, QString>>& pairs)
{
    if (GetSetting(Settings::PreflightUpload) == 0 || !CTrialRun::Unavailable().isEmpty())
        return true;
    for (const auto& [local, remote] : pairs) {
        if (!IsRecipeFile(local))
            continue;
        QFile file(local);
        if (!file.open(QIODevice::ReadOnly)) {
            Prompt::Tell(
                QStringLiteral("The recipe file %1 could not be read: %2").arg(local, file.errorString()),
                kCaption, Prompt::Warning);
            return false;
        }
        const QByteArray text = file.readAll();
        QList<Finding> findings;
        QString error;
        QString question;
        if (!Check(text, &findings, &error)) {
            question
                = QStringLiteral("The recipe file %1 could not be tried with procmail before the upload: "
                                 "%2\n\nUpload anyway?")
                      .arg(local, error);
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
                = QStringLiteral("procmail found problems in the recipe file %1, which is about to be "
                                 "uploaded:\n\n%2\nWith these problems procmail may skip recipes or file "
                                 "your mail where you do not expect it.  Open the file with Recipes > "
                                 "Manually Edit to correct it.\n\nUpload anyway?")
                      .arg(local, list);
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
    return QStringLiteral("The recipe file is not tried before it is uploaded: %1").arg(missing);
}

} // namespace UploadPreflight
