#include "core/log/CLogColourRules.h"

#include "core/log/CLogParser.h"
#include "core/log/LogText.h"
#include "core/settings/Profile.h"
#include "core/settings/SettingsTable.h"

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

unsigned CLogColourRules::Parts() const
{
    unsigned parts = 0;
    for (const Rule& rule : m_rules) {
        switch (rule.field) {
        case EnvelopeSender:
            parts |= CLogParser::EnvelopePart;
            break;
        case Folder:
            parts |= CLogParser::FolderPart;
            break;
        case HeaderFrom:
            parts |= CLogParser::FromPart;
            break;
        case RecipeName:
            parts |= CLogParser::RecipePart;
            break;
        case Subject:
            parts |= CLogParser::SubjectPart;
            break;
        case HeaderTo:
            parts |= CLogParser::ToPart;
            break;
        default:
            break;
        }
    }
    return parts;
}

quint32 CLogColourRules::Apply(const LogFields& entry) const
{
    for (qsizetype i = 0; i < m_rules.size(); ++i) {
        const Rule& rule = m_rules[i];
        QByteArrayView field;
        switch (rule.field) {
        case EnvelopeSender:
            field = entry.sender;
            break;
        case Folder:
            field = entry.folder;
            break;
        case HeaderFrom:
            field = entry.from;
            break;
        case RecipeName:
            field = entry.recipe;
            break;
        case Subject:
            field = entry.subject;
            break;
        case HeaderTo:
            field = entry.to;
            break;
        default:
            // A rule that names no field ends the search.
            return CLogEntry::AutomaticColour;
        }
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
