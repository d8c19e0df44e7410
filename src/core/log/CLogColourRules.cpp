#include "core/log/CLogColourRules.h"

#include "core/log/CLogParser.h"
#include "core/log/LogText.h"
#include "core/settings/Profile.h"
#include "core/settings/SettingsTable.h"

#include <iterator>

void CLogColourRules::Load()
{
    QList<Rule> rules;
    for (int n = 1; n <= Settings::LogColourRuleCount; ++n) {
        const QString rule = QString::number(n);
        const QString text = GetSettingString({ Settings::LogColourRuleText, rule });
        const int field = GetSetting({ Settings::LogColourRuleField, rule });
        const int colour = GetSetting({ Settings::LogColourRuleColour, rule });
        if (text.isEmpty() || field == -1 || colour == -1)
            continue;
        rules.append(Rule { field, text, static_cast<quint32>(colour) });
    }
    SetRules(rules);
}

void CLogColourRules::SetRules(const QList<Rule>& rules)
{
    m_rules = rules;
    m_asciiText.clear();
    for (const Rule& rule : m_rules) {
        QByteArray bytes;
        if (LogText::EncodeLike(QByteArrayView(), rule.text, &bytes))
            m_asciiText.append(bytes);
        else
            m_asciiText.append(QByteArray());
    }
}

namespace {

// Where each rule field is found in an entry, by the rule's field number.
struct RuleField
{
    QByteArrayView LogFields::*member;
    unsigned part;
};
constexpr RuleField ruleFields[] = {
    { &LogFields::sender, CLogParser::EnvelopePart },
    { &LogFields::folder, CLogParser::FolderPart },
    { &LogFields::from, CLogParser::FromPart },
    { &LogFields::recipe, CLogParser::RecipePart },
    { &LogFields::subject, CLogParser::SubjectPart },
    { &LogFields::to, CLogParser::ToPart },
};

const RuleField* ruleField(int field)
{
    return field >= 0 && field < static_cast<int>(std::size(ruleFields)) ? &ruleFields[field] : nullptr;
}

} // namespace

unsigned CLogColourRules::Parts() const
{
    unsigned parts = 0;
    for (const Rule& rule : m_rules) {
        if (const RuleField* field = ruleField(rule.field))
            parts |= field->part;
    }
    return parts;
}

quint32 CLogColourRules::Apply(const LogFields& entry) const
{
    for (qsizetype i = 0; i < m_rules.size(); ++i) {
        const Rule& rule = m_rules[i];
        const RuleField* where = ruleField(rule.field);
        // A rule that names no field ends the search.
        if (!where)
            return CLogEntry::AutomaticColour;
        const QByteArrayView field = entry.*(where->member);
        if (!m_asciiText[i].isEmpty()) {
            if (LogText::IndexOf(field, m_asciiText[i]) >= 0)
                return rule.colour;
            continue;
        }
        QByteArray bytes;
        if (LogText::EncodeLike(field, rule.text, &bytes) && LogText::IndexOf(field, bytes) >= 0)
            return rule.colour;
    }
    return CLogEntry::AutomaticColour;
}
