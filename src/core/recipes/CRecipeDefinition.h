#pragma once

#include "core/recipes/CRecWizDataMgr.h"
#include "core/settings/Serializable.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The values of one condition of a recipe definition.
struct CRecipeCondition
{
    enum Field {
        To = 0,
        Cc = 1,
        From = 2,
        Sender = 3,
        Subject = 4,
        Received = 5,
        ReplyTo = 6,
        AnyHeader = 7,
        Body = 8,
        Size = 9,
        AllMessages = 10,
        CustomHeader = 11
    };
    enum ToKindValue { ToHeader = 100, ToMacro = 101, ToUnderscoreMacro = 102 };
    enum JoinValue { JoinNone = 0, JoinAnd = 1, JoinOr = 2 };

    qint32 field = 0;
    qint32 toKind = ToHeader;
    QByteArray customHeader; // field 11: the header name as typed
    qint32 invert = 0;
    QByteArray entries; // one word or phrase per line, CR LF between lines
    QByteArray size; // field 9: bytes, as digits
    qint32 join = JoinNone; // link to the next condition

    // The header a condition on fields 0-6 or 11 tests, as written after "^" in the recipe and in
    // the summary ("To:", the macros "TO" and "TO_", "Cc:" ...); empty for other fields and an
    // unknown To kind.
    QByteArray HeaderName() const;

    bool operator==(const CRecipeCondition&) const = default;
};

// Action types of a recipe definition.
enum RecipeActionType {
    ActionAddSubject = 0,
    ActionRemoveSubject = 1,
    ActionAddHeader = 2,
    ActionRemoveHeader = 3,
    ActionModifyBody = 4,
    ActionExitCode = 5,
    ActionDelete = 6,
    ActionForward = 7,
    ActionReply = 8,
    ActionSave = 9
};

// One detail value of an action: its name (also its key in the JSON form), where CActionDetails
// keeps it, what it holds and which action types use it.
struct CActionDetailField
{
    enum Kind { Number, Flag, Text, Lines };

    const char* name = nullptr;
    Kind kind = Number;
    qint32 CActionDetails::*number = nullptr; // Number and Flag
    QByteArray CActionDetails::*text = nullptr; // Text and Lines (one per line, CR LF between)
    unsigned owners = 0; // bit (1 << type) per action type; none: kept for the file only
    qint32 low = 0; // Number: the values a definition may give
    qint32 high = 0;
    const char* label = nullptr; // Text and Lines: how messages name the value

    bool UsedBy(int type) const { return type >= 0 && type < 32 && (owners & (1u << type)) != 0; }
};

// The body edit of a "modify body" action, as the generators read it.
struct CBodyEdit
{
    int modeCode = 0; // 3 x top mode + bottom mode
    bool removeBetween = false;
    QByteArray betweenTop;
    QByteArray betweenBottom;
    int topCount = 0;
    QByteArray topLine;
    int bottomCount = 0;
    QByteArray bottomLine;
};

// A recipe made with the Recipe Wizard: its conditions, actions, name and logging choice. The
// generators read it through the queries below; it is stored in a recipe data file named after
// the recipe so that the recipe can be edited again or handed to another user.
class CRecipeDefinition : public Serializable
{
public:
    // --- condition fields and entries ---
    QList<CRecipeCondition>& Conditions() { return m_conditions; }
    const QList<CRecipeCondition>& Conditions() const { return m_conditions; }
    int GetConditionCount() const { return static_cast<int>(m_conditions.size()); }
    int GetField(int k) const { return m_conditions.at(k).field; }
    int GetToKind(int k) const { return m_conditions.at(k).toKind; }
    QByteArray GetCustomHeader(int k) const { return m_conditions.at(k).customHeader; }
    bool IsInverted(int k) const { return m_conditions.at(k).invert != 0; }
    QByteArray GetEntries(int k) const { return m_conditions.at(k).entries; }
    QByteArray GetSize(int k) const { return m_conditions.at(k).size; }
    int GetJoin(int k) const { return m_conditions.at(k).join; }
    bool StartsOrGroup(int k) const;
    bool InOrGroup(int k) const;
    bool EndsOrGroup(int k) const;
    bool IsAllMessages() const;

    // --- actions ---
    QList<qint32>& ActionTypes() { return m_actionTypes; }
    const QList<qint32>& ActionTypes() const { return m_actionTypes; }
    CRecWizDataMgr& DataMgr() { return m_dataMgr; }
    const CRecWizDataMgr& DataMgr() const { return m_dataMgr; }
    // Appends an action of the given type whose details are the reset values plus `details`'
    // values of that type; keeps the another-action flags consistent with the order.
    void AddAction(int type, const CActionDetails& details);

    int GetActionCount() const { return static_cast<int>(m_actionTypes.size()); }
    int GetActionType(int j) const { return m_actionTypes.at(j); }
    const CActionDetails& Action(int j) const { return m_dataMgr.Details(j); }
    bool IsCopy(int j) const { return Action(j).copy == 1; }
    int GetExitCode(int j) const { return Action(j).exitCode; }
    QByteArray GetForwardAddresses(int j) const { return Action(j).forwardAddresses; }
    QByteArray GetHeaderName(int j) const { return Action(j).headerName; }
    QByteArray GetHeaderValue(int j) const { return Action(j).headerValue; }
    QByteArray GetHeaderToRemove(int j) const { return Action(j).headerToRemove; }
    QByteArray GetAddSubject(int j) const { return Action(j).addSubject; }
    QByteArray GetRemoveSubject(int j) const { return Action(j).removeSubject; }
    QByteArray GetResponseFile(int j) const { return Action(j).responseFile; }
    QByteArray GetMailbox(int j) const;
    int GetReplyMode(int j) const;
    QByteArray GetResponseRemoteName(int j) const;
    // False when either mode is outside 0-2.
    bool GetBodyEdit(int j, CBodyEdit* edit) const;
    // Whether the action before the current action index (at Finish: the last action) takes the
    // message away: delete, or forward, reply or save without a copy. When the index does not
    // point behind an action (a definition just loaded), the last action is used.
    bool Delivers() const;

    // --- name and logging ---
    QByteArray GetName() const { return m_name; }
    void SetName(const QByteArray& name) { m_name = name; }
    bool HasNameHeader() const { return m_nameHeader != 0; }
    void SetNameHeader(bool on) { m_nameHeader = on ? 1 : 0; }
    int GetLoggingChoice() const { return m_loggingChoice; }
    void SetLoggingChoice(int choice) { m_loggingChoice = choice; }
    // 0 none, 1 normal, 2 extended for a delivering recipe, 3 extended otherwise, 4 unknown.
    int GetLoggingLevel() const;

    void Clear();

    // The remote name of a response file: its file name with every character that the shell or
    // procmail would read specially replaced by "_".
    static QByteArray MakeResponseRemoteName(const QByteArray& localPath);

    // Every detail value of an action, in the order of the recipe data file.
    static const QList<CActionDetailField>& DetailFields();

    // The checks a definition must pass before the generators may use it. The text names the
    // first problem.
    bool Validate(QString* error) const;

    // --- recipe data file ---
    static QString RecipeDataPath(const QByteArray& name);
    static bool RecipeDataExists(const QByteArray& name);
    // Writes the data file of the definition's name into the recipe data folder; tells the user
    // on failure.
    bool SaveRecipeData(const QByteArray& name) const;
    // Both without a message box: the error text says what went wrong.
    bool SaveRecipeDataTo(const QString& path, QString* error) const;
    bool LoadRecipeDataFrom(const QString& path, QString* error);
    // Replaces the definition by the file's content; tells the user on failure and then leaves
    // the definition unchanged.
    bool LoadRecipeData(const QString& path);

    void Store(CArchive& archive) const override;
    bool Load(CArchive& archive) override;

    static constexpr quint32 FileVersion = 2;
    static constexpr quint32 SectionSchema = 1;
    static const char Magic[];

private:
    QList<CRecipeCondition> m_conditions;
    QList<qint32> m_actionTypes;
    CRecWizDataMgr m_dataMgr;
    QByteArray m_name;
    qint32 m_nameHeader = 0;
    qint32 m_loggingChoice = 1;
};
