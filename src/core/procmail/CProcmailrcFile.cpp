#include "core/procmail/CProcmailrcFile.h"

#include "core/common/AtomicFile.h"
#include "core/common/Prompt.h"
#include "core/common/RegularFileCheck.h"
#include "core/net/PendingFiles.h"
#include "core/settings/Profile.h"
#include "core/workspace/Workspace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>

#include <utility>

namespace {

// Line 30 has two blanks before "logging"; lines 26 and 27 together are the value of NL.
constexpr char Template[] = R"zeph(##_BEGIN_##
#  Lines that begin with the '#' character are comments.
######################################################################
#
#                        WARNING:
#    This file should not be modified except by advanced users.
#
#        Do not modify any lines that begin with "##_"
#                 e.g. ##_SHELL_##
#
######################################################################
#  The SHELL line should be the first non-comment line in this file.
##_SHELL_##
SHELL=/bin/sh

#  ZEPH_DIR should always be defined.  Where your files such as
#  zeph.recipes and automated replies will be stored.
#  If you change this value be certain the directory exists.
##_ZEPH_DIR_##
ZEPH_DIR=$HOME/.procmail

#  Do not modify NL, it's a 'new line' definition for logging.
#  Note the NL definition covers two lines, the quote mark on
#  the line under NL is required.
##_NL_##
NL="
"

#  The LOGFILE definition is recommended.  Set to /dev/null if
#  you don't want  logging.
##_LOGFILE_##
LOGFILE=$ZEPH_DIR/zeph.log

#  If you change the MAILDIR value be certain the directory exists.
#  Also be certain it contains a subdirectory named 'backup'.
##_MAILDIR_##
MAILDIR=$HOME/mail

#  VERBOSE should be 'no' except while debugging.
##_VERBOSE_##
VERBOSE=no

#  COMSAT should be 'no' unless you are an advanced user who
#  logs into the shell and wants comsat notified (see man comsat
#  and man procmailrc).
##_COMSAT_##
COMSAT=no

#  Do not add any lines between the TEMP_RECIPE markers.
##_BEGIN_TEMP_RECIPE_##
##_END_TEMP_RECIPE_##

##_INCLUDERC_##
INCLUDERC=$ZEPH_DIR/zeph.recipes

##_END_##
######################################################################)zeph";

const QString DefaultZephDir = QStringLiteral("$HOME/.procmail");
const QString DefaultMailDir = QStringLiteral("$HOME/mail");

// The lines of a text without their line ends. CR LF, a lone LF and a lone CR each end a line,
// so a file that went through a CR LF editor keeps its lines and loses every CR.
QList<QByteArray> splitLines(const QByteArray& text, bool* endsWithLineEnd)
{
    QList<QByteArray> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text.at(i);
        if (c != '\n' && c != '\r')
            continue;
        lines.append(text.mid(start, i - start));
        if (c == '\r' && i + 1 < text.size() && text.at(i + 1) == '\n')
            ++i;
        start = i + 1;
    }
    *endsWithLineEnd = start == text.size() && !text.isEmpty();
    if (start < text.size())
        lines.append(text.mid(start));
    return lines;
}

bool hasControlCharacter(QByteArrayView line)
{
    for (const char c : line) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F)
            return true;
    }
    return false;
}

} // namespace

CProcmailrcFile::CProcmailrcFile()
    : m_path(Workspace::GetProcmailrcPath())
{
}

CProcmailrcFile::CProcmailrcFile(QString path)
    : m_path(std::move(path))
{
}

QByteArray CProcmailrcFile::DefaultText()
{
    return QByteArray(Template, sizeof Template - 1);
}

bool CProcmailrcFile::fail(Failure failure, const QString& text, QString* error)
{
    m_failure = failure;
    if (error)
        *error = text;
    return false;
}

bool CProcmailrcFile::CreateDefault(QString* error)
{
    QString reason;
    // A new identity may not have its Document Folder yet.
    QDir().mkpath(QFileInfo(m_path).path());
    if (!SaveFileAtomically(m_path, DefaultText(), &reason))
        return fail(Failure::FileError,
            QStringLiteral("The file %1 could not be written: %2").arg(m_path, reason), error);
    m_failure = Failure::None;
    SetSetting(Settings::LoggingOn, 1);
    SetSetting(Settings::VerboseOn, 0);
    SetSetting(Settings::ZephDir, DefaultZephDir);
    SetSetting(Settings::MailDir, DefaultMailDir);
    return true;
}

bool CProcmailrcFile::SetVerbose(bool on, QString* error)
{
    return ReplaceSettingLine("##_VERBOSE_##", "VERBOSE", on ? "VERBOSE=yes" : "VERBOSE=no", error);
}

bool CProcmailrcFile::SetLogging(bool on, QString* error)
{
    return ReplaceSettingLine(
        "##_LOGFILE_##", "LOGFILE", on ? "LOGFILE=$ZEPH_DIR/zeph.log" : "LOGFILE=/dev/null", error);
}

bool CProcmailrcFile::SetZephDir(const QString& dir, QString* error)
{
    // An empty value would put the recipe file and the log at the root of the host.
    if (dir.trimmed().isEmpty())
        return fail(Failure::InvalidValue, QStringLiteral("The ZEPH directory must not be empty."), error);
    return ReplaceSettingLine("##_ZEPH_DIR_##", "ZEPH_DIR", "ZEPH_DIR=" + dir.toUtf8(), error);
}

bool CProcmailrcFile::SetMailDir(const QString& dir, QString* error)
{
    if (dir.trimmed().isEmpty())
        return fail(Failure::InvalidValue, QStringLiteral("The mail directory must not be empty."), error);
    return ReplaceSettingLine("##_MAILDIR_##", "MAILDIR", "MAILDIR=" + dir.toUtf8(), error);
}

CProcmailrcFile::Failure CProcmailrcFile::ReplaceSettingLine(const QByteArray& text, QByteArrayView marker,
    QByteArrayView prefix, const QByteArray& line, QByteArray* result)
{
    // A line break in the value would add lines of its own to the file procmail runs.
    if (hasControlCharacter(line))
        return Failure::InvalidValue;
    bool endsWithLineEnd = false;
    const QList<QByteArray> lines = splitLines(text, &endsWithLineEnd);
    QByteArray out;
    out.reserve(text.size() + line.size() + 1);
    int hits = 0;
    for (const QByteArray& current : lines) {
        if (current == marker) {
            out += current + '\n' + line + '\n';
            ++hits;
        } else if (!current.startsWith(prefix)) {
            out += current + '\n';
        }
    }
    if (hits == 0)
        return Failure::MarkerMissing;
    if (hits > 1)
        return Failure::MarkerRepeated;
    // The file keeps its ending: a file without a final line end (the template) still has none.
    if (!endsWithLineEnd)
        out.chop(1);
    *result = out;
    return Failure::None;
}

bool CProcmailrcFile::readAll(QByteArray* text, QString* error)
{
    if (!QFileInfo::exists(m_path))
        return fail(Failure::FileMissing, QStringLiteral("The file %1 does not exist.").arg(m_path), error);
    QString reason;
    if (!RegularFileCheck::CanRead(m_path, QStringLiteral("as a .procmailrc"), &reason))
        return fail(Failure::FileError, reason, error);
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(Failure::FileError,
            QStringLiteral("The file %1 could not be read: %2").arg(m_path, file.errorString()), error);
    *text = file.readAll();
    return true;
}

bool CProcmailrcFile::writeChanged(
    Failure outcome, const QByteArray& changed, const QString& markerText, QString* error)
{
    switch (outcome) {
    case Failure::None:
        break;
    case Failure::MarkerMissing:
        return fail(Failure::MarkerMissing,
            QStringLiteral("The line %1 is missing from %2.").arg(markerText, m_path), error);
    case Failure::MarkerRepeated:
        return fail(Failure::MarkerRepeated,
            QStringLiteral("The line %1 stands more than once in %2.").arg(markerText, m_path), error);
    case Failure::MarkerOrder:
        return fail(Failure::MarkerOrder,
            QStringLiteral("The marker lines %1 stand in the wrong order in %2.").arg(markerText, m_path),
            error);
    default:
        return fail(Failure::InvalidValue,
            QStringLiteral("The new line for %1 contains a line break or another control character.")
                .arg(markerText),
            error);
    }
    QString reason;
    if (!SaveFileAtomically(m_path, changed, &reason))
        return fail(Failure::FileError,
            QStringLiteral("The file %1 could not be written: %2").arg(m_path, reason), error);
    m_failure = Failure::None;
    return true;
}

bool CProcmailrcFile::ReplaceSettingLine(
    QByteArrayView marker, QByteArrayView prefix, const QByteArray& line, QString* error)
{
    QByteArray text;
    if (!readAll(&text, error))
        return false;
    QByteArray changed;
    const Failure outcome = ReplaceSettingLine(text, marker, prefix, line, &changed);
    return writeChanged(outcome, changed, QString::fromLatin1(marker.data(), marker.size()), error);
}

CProcmailrcFile::Failure CProcmailrcFile::ReplaceTempSlot(const QByteArray& text, QByteArrayView begin,
    QByteArrayView end, const QByteArray& slotText, QByteArray* result)
{
    bool endsWithLineEnd = false;
    const QList<QByteArray> lines = splitLines(text, &endsWithLineEnd);
    QByteArray out;
    out.reserve(text.size() + slotText.size());
    int begins = 0;
    int ends = 0;
    bool inside = false;
    bool afterEnd = false;
    for (const QByteArray& line : lines) {
        if (line == begin) {
            ++begins;
            if (ends > 0)
                return Failure::MarkerOrder;
            out += line + '\n' + slotText;
            inside = true;
            continue;
        }
        if (line == end) {
            ++ends;
            out += line + '\n';
            afterEnd = true;
            continue;
        }
        // The old slot contents are dropped.
        if (!inside || afterEnd)
            out += line + '\n';
    }
    if (begins == 0 || ends == 0)
        return Failure::MarkerMissing;
    if (begins > 1 || ends > 1)
        return Failure::MarkerRepeated;
    if (!endsWithLineEnd)
        out.chop(1);
    *result = out;
    return Failure::None;
}

bool CProcmailrcFile::ReplaceTempSlot(
    QByteArrayView begin, QByteArrayView end, const QByteArray& slotText, QString* error)
{
    QByteArray text;
    if (!readAll(&text, error))
        return false;
    QByteArray changed;
    const Failure outcome = ReplaceTempSlot(text, begin, end, slotText, &changed);
    return writeChanged(outcome, changed,
        QString::fromLatin1(begin.data(), begin.size()) + QStringLiteral(" and ")
            + QString::fromLatin1(end.data(), end.size()),
        error);
}

bool CProcmailrcFile::SetTempRecipe(const QByteArray& text)
{
    QString error;
    if (ReplaceTempSlot(TempBegin, TempEnd, text, &error))
        return true;
    // A file that cannot be read or written is named as such before the reset is offered.
    if (m_failure == Failure::FileError)
        Prompt::Tell(error, QStringLiteral("File Error"), Prompt::Warning);
    const Prompt::Button answer = Prompt::Ask(
        QStringLiteral(
            "There was an unexpected error while trying to update the .procmailrc file.  You should "
            "create a new default .procmailrc file or, if you are an advanced user, edit the file "
            "manually.\n\nIt's strongly recommended that you reset the .procmailrc file now (hit "
            "'Yes'), that will overwrite the existing file with the default .procmailrc file.  You "
            "should also upload this file as soon as possible by selecting \"Pending Files\" from "
            "the \"Upload\" menu.\n\nOkay to reset the .procmailrc file now?"),
        QString(), Prompt::Question, Prompt::Yes | Prompt::No | Prompt::Cancel);
    if (answer != Prompt::Yes)
        return false;
    QString resetError;
    if (!CreateDefault(&resetError)) {
        Prompt::Tell(resetError, QStringLiteral("File Error"), Prompt::Warning);
        return false;
    }
    MarkForUpload();
    Prompt::Tell(
        QStringLiteral("The .procmailrc file has been reset to the default settings.  You should upload "
                       "this file as soon as possible by selecting \"Pending Files\" from the "
                       "\"Upload\" menu."),
        QString(), Prompt::Information);
    return false;
}

void CProcmailrcFile::MarkForUpload() const
{
    AddPending(m_path, QStringLiteral(".procmailrc"));
}
