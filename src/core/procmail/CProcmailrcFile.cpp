#include "core/procmail/CProcmailrcFile.h"

#include "core/common/AtomicFile.h"
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

bool CProcmailrcFile::ReplaceSettingLine(
    QByteArrayView marker, QByteArrayView prefix, const QByteArray& line, QString* error)
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
    const QByteArray text = file.readAll();
    file.close();

    QByteArray changed;
    const QString markerText = QString::fromLatin1(marker.data(), marker.size());
    switch (ReplaceSettingLine(text, marker, prefix, line, &changed)) {
    case Failure::None:
        break;
    case Failure::MarkerMissing:
        return fail(Failure::MarkerMissing,
            QStringLiteral("The line %1 is missing from %2.").arg(markerText, m_path), error);
    case Failure::MarkerRepeated:
        return fail(Failure::MarkerRepeated,
            QStringLiteral("The line %1 stands more than once in %2.").arg(markerText, m_path), error);
    default:
        return fail(Failure::InvalidValue,
            QStringLiteral("The new line for %1 contains a line break or another control character.")
                .arg(markerText),
            error);
    }
    if (!SaveFileAtomically(m_path, changed, &reason))
        return fail(Failure::FileError,
            QStringLiteral("The file %1 could not be written: %2").arg(m_path, reason), error);
    m_failure = Failure::None;
    return true;
}

void CProcmailrcFile::MarkForUpload() const
{
    AddPending(m_path, QStringLiteral(".procmailrc"));
}
