#pragma once

#include "core/log/CLogEntry.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The user's colour rules for log entries: at most seven (field, text, colour) rules read from
// "Log Settings"; the first rule whose text occurs in its field (case-sensitive) gives the colour.
class CLogColourRules
{
public:
    // Field numbers of a rule, in the order of the options page's list.
    enum Field { EnvelopeSender = 0, Folder = 1, HeaderFrom = 2, RecipeName = 3, Subject = 4, HeaderTo = 5 };

    struct Rule
    {
        int field = -1;
        QString text;
        quint32 colour = CLogEntry::AutomaticColour; // 0x00RRGGBB or AutomaticColour
    };

    // Clears the rules and reads rules 1 to 7; a rule counts when its text is not empty and
    // neither its field nor its colour is -1.
    void Load();
    void SetRules(const QList<Rule>& rules);
    const QList<Rule>& Rules() const { return m_rules; }
    // The colour for an entry; AutomaticColour when no rule matches.
    quint32 Apply(const LogFields& entry) const;
    // The parts of an entry (a set of CLogParser::Part) that the rules read.
    unsigned Parts() const;

private:
    QList<Rule> m_rules;
    QList<QByteArray> m_asciiText; // the rule's text as bytes when it is ASCII, else empty
};
