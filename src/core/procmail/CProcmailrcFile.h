#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The user's .procmailrc. ZEPH writes it from one fixed template and later changes only the
// settings line under a marker line ("##_VERBOSE_##" ...), so hand edits elsewhere survive. The
// rest of the file is never parsed. Every write replaces the file atomically and uses LF line
// ends, whatever the file had before: procmail skips lines that end in CR.
class CProcmailrcFile
{
public:
    enum class Failure {
        None,
        FileMissing,
        MarkerMissing,
        MarkerRepeated,
        InvalidValue,
        FileError,
        MarkerOrder
    };

    // The markers of the temporary recipe's slot.
    static constexpr const char* TempBegin = "##_BEGIN_TEMP_RECIPE_##";
    static constexpr const char* TempEnd = "##_END_TEMP_RECIPE_##";

    // The identity's local copy in the Document Folder.
    CProcmailrcFile();
    explicit CProcmailrcFile(QString path);

    // The template: 57 lines, LF line ends, none after the last line.
    static QByteArray DefaultText();

    // Writes the template over the file, then the four Setup settings it implies (logging on,
    // verbose off, the two default directories). On a file error nothing else is written.
    bool CreateDefault(QString* error);

    bool SetVerbose(bool on, QString* error);
    bool SetLogging(bool on, QString* error);
    bool SetZephDir(const QString& dir, QString* error);
    bool SetMailDir(const QString& dir, QString* error);

    // Writes `line` directly under the one line that equals `marker` and drops every other line
    // that begins with `prefix`. Fails, leaving the file as it was, when the file is missing, the
    // marker stands there not exactly once, or `line` holds a control character.
    bool ReplaceSettingLine(
        QByteArrayView marker, QByteArrayView prefix, const QByteArray& line, QString* error);

    // The same change on the text alone; the result always has LF line ends.
    static Failure ReplaceSettingLine(const QByteArray& text, QByteArrayView marker, QByteArrayView prefix,
        const QByteArray& line, QByteArray* result);

    // Replaces every line strictly between the line `begin` and the line `end` by `slotText`,
    // written as it is. Each marker must stand exactly once and `begin` above `end`: with the
    // markers the other way round a copy would write both twice and every later change would fail.
    // Fails, leaving the file as it was, otherwise.
    bool ReplaceTempSlot(
        QByteArrayView begin, QByteArrayView end, const QByteArray& slotText, QString* error);
    static Failure ReplaceTempSlot(const QByteArray& text, QByteArrayView begin, QByteArrayView end,
        const QByteArray& slotText, QByteArray* result);

    // Puts `text` (empty: nothing) into the temporary recipe's slot. When that fails the user is
    // offered a reset to the template (which is then marked for upload); the result stays a failure.
    bool SetTempRecipe(const QByteArray& text);

    // Adds the file to the pending files as ".procmailrc" (nothing happens when it is listed).
    void MarkForUpload() const;

    QString Path() const { return m_path; }
    // Why the last change failed; FileError is the one the user must be shown as such.
    Failure LastFailure() const { return m_failure; }

private:
    bool fail(Failure failure, const QString& text, QString* error);
    bool readAll(QByteArray* text, QString* error);
    bool writeChanged(Failure outcome, const QByteArray& changed, const QString& markerText, QString* error);

    QString m_path;
    Failure m_failure = Failure::None;
};
