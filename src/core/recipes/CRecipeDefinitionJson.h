#pragma once

#include <QByteArray>
#include <QString>

class CRecipeDefinition;
struct RecipeTextSettings;

// The JSON form of a recipe definition used by the command line:
//   {"name": "Spam", "nameHeader": false, "logging": 1,
//    "conditions": [{"field": 4, "toKind": 100, "customHeader": "", "invert": false,
//                    "entries": ["cheap", "offer"], "size": "", "join": 0}],
//    "actions": [{"type": 9, "mailboxMode": 1, "customMailbox": "spam", "copy": false}],
//    "settings": {"maildirFormat": false, "returnAddress": "me@example.org", "name": "Your Name",
//                 "outOfMemory": false}}
// Absent keys take the definition's reset values; a condition's join defaults to AND before the
// last condition. Keys that do not apply to a condition's field or an action's type are refused.
class CRecipeDefinitionJson
{
public:
    // On failure `error` names the key and nothing is changed.
    static bool FromJson(
        const QByteArray& json, CRecipeDefinition* definition, RecipeTextSettings* settings, QString* error);
    static QByteArray ToJson(const CRecipeDefinition& definition);
};
