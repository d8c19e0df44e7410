#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>

// One entry of the recipe list: a recipe block, or a run of lines found outside any block that
// the parser wrapped into a block with a generated name.
struct CRecipeListEntry
{
    QByteArray name;
    QByteArray text; // from the begin line through the end line's line feed, LF line ends
    bool disabled = false; // some inner line carries the comment marker
    bool unparsed = false; // wrapped from outside lines
    // 1-based lines of the parsed text it came from (0 when not parsed); an unparsed group spans
    // its first through its last outside line.
    int firstLine = 0;
    int lastLine = 0;

    // Where an entry lies is not part of what it is.
    bool operator==(const CRecipeListEntry& other) const
    {
        return name == other.name && text == other.text && disabled == other.disabled
            && unparsed == other.unparsed;
    }
};

// The recipe file: every recipe is a block between a begin and an end marker line that carry the
// recipe's name. Every change replaces the file atomically, so a failure leaves it as it was.
// Every reader takes LF, CR LF and a lone CR as a line end; every writer writes LF.
// Failures are shown to the user (Prompt) and kept as the last error text.
class CRecipeFile
{
public:
    static const QByteArray BeginMarker; // "##_ZEPH_RECIPE_BEGIN_##"
    static const QByteArray EndMarker; // "##_ZEPH_RECIPE_END_##"
    static const QByteArray CommentMarker; // "##_ZEPH_COMMENT_##"
    static const QByteArray DescriptionPrefix; // "#  "

    // Every line end becomes one LF, as every reader here takes them: CR LF, LF, a lone CR, and
    // a run of CRs before a LF.
    static void ToLineFeeds(QByteArray* text);

    enum LocateResult { LocateError = 0, LocateFound = 1, LocateNotFound = 2 };

    explicit CRecipeFile(const QString& path);
    QString Path() const { return m_path; }

    // Finds the block of `name` (case-insensitive); begin and end are 1-based line numbers.
    LocateResult Locate(const QByteArray& name, int* beginLine, int* endLine);
    // Replaces the block of `name` by `block`, or appends `block` when there is none.
    bool ReplaceRecipe(const QByteArray& name, const QByteArray& block);
    // Appends `block` at the end of the file, creating the file if needed.
    bool AppendRecipe(const QByteArray& block);
    // Removes the block of `name`; succeeds without change when there is none.
    bool DeleteRecipe(const QByteArray& name);
    QString LastError() const { return m_lastError; }

    // Reports progress in percent; returns false when the user cancelled.
    using Progress = std::function<bool(int percent)>;
    // Reads every block in file order; lines outside blocks become entries with generated names
    // and their texts are listed in `unparsedGroups`. False when reading fails (`error` says why
    // and the user was told) or the user cancelled (`error` stays empty).
    static bool ParseRecipeList(const QString& path, QList<CRecipeListEntry>* list,
        QList<QByteArray>* unparsedGroups, const Progress& progress = {}, QString* error = nullptr);
    // The same on text already in memory; shows nothing.
    static bool ParseRecipeText(QByteArray text, QList<CRecipeListEntry>* list,
        QList<QByteArray>* unparsedGroups, const Progress& progress = {});
    // The names of the recipes in file order, as the list parser finds their blocks, plus the
    // names on begin lines that have no end line; empty names are left out. Safe on any thread
    // (no message, no generated names). `stop` is asked now and then; when it answers true the
    // result is empty.
    static QList<QByteArray> ReadRecipeNames(QByteArray text, const std::function<bool()>& stop = {});
    // Rewrites the file with the entries in the given order.
    static bool WriteRecipeList(
        const QString& path, const QList<CRecipeListEntry>& list, QString* error = nullptr);

    static QByteArray DisableRecipeText(const QByteArray& text, const QByteArray& name);
    static QByteArray EnableRecipeText(const QByteArray& text);
    static bool IsDisabledText(const QByteArray& text);
    // The block of a Recipe Wizard recipe: a leading line feed, the begin line, the description
    // as comment lines, the procmail text and the end line.
    static QByteArray BuildRecipeBlock(
        const QByteArray& name, const QByteArray& description, const QByteArray& body);
    // A new name for a run of outside lines: date and time, tick count, a letter and a counter.
    static QByteArray MakeGroupName();

private:
    bool RewriteLines(int beginLine, int endLine, const QByteArray& replacement);
    bool Fail(const QString& text);

    QString m_path;
    QString m_lastError;
};
