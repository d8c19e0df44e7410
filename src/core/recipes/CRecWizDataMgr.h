#pragma once

#include <QByteArray>
#include <QList>

// The detail values of one action of a recipe definition. Every action keeps all of them; only
// the values of its own type differ from the reset values below.
struct CActionDetails
{
    qint32 mailboxMode = 0; // save: 0 default mailbox, 1 custom mailbox
    qint32 exitCode = 99; // set exitcode
    QByteArray forwardAddresses; // forward: one per line, CR LF between lines
    QByteArray customMailbox; // save
    QByteArray headerName; // add header: the part after "X-"
    QByteArray headerValue; // add header
    QByteArray headerToRemove; // remove header
    QByteArray addSubject; // add string to Subject
    QByteArray removeSubject; // remove string from Subject
    qint32 removeBetween = 0; // modify body
    QByteArray betweenTop;
    QByteArray betweenBottom;
    qint32 topMode = 0; // 0 keep, 1 remove N lines, 2 remove everything before a line
    qint32 topCount = 0;
    QByteArray topLine;
    qint32 bottomMode = 0; // 0 keep, 1 remove N lines, 2 remove everything after a line
    qint32 bottomCount = 0;
    QByteArray bottomLine;
    QByteArray responseFile; // send reply: local path of the reply text
    qint32 includeBody = 0;
    qint32 includeHeaders = 0;
    qint32 reserved = 0; // always 0
    qint32 responseAtTop = 0;
    qint32 copy = 0; // forward, reply, save: act on a copy
    qint32 anotherAction = 0; // another action follows

    bool operator==(const CActionDetails&) const = default;
};

// Keeps the detail values of every action of the definition being edited, and the number of the
// action whose detail page is shown.
class CRecWizDataMgr
{
public:
    qsizetype Count() const { return m_details.size(); }
    const CActionDetails& Details(qsizetype j) const { return m_details.at(j); }
    const QList<CActionDetails>& AllDetails() const { return m_details; }
    void SetAllDetails(const QList<CActionDetails>& details) { m_details = details; }

    // The save step of a detail page: every value of action j goes back to its reset value (the
    // list is lengthened when needed), then the caller stores the values of the action's type
    // into the returned record.
    CActionDetails& ResetAction(qsizetype j);
    // Ending the actions at action j keeps j + 1 entries.
    void Truncate(qsizetype count);
    void Clear()
    {
        m_details.clear();
        m_currentAction = 0;
    }

    int GetCurrentAction() const { return m_currentAction; }
    void SetCurrentAction(int index) { m_currentAction = index; }

private:
    QList<CActionDetails> m_details;
    int m_currentAction = 0;
};
