#include "TrialRecipes.h"

TrialRecipes TrialRecipes::FromFileText(const QByteArray& fileText)
{
    QList<CRecipeListEntry> entries;
    QList<QByteArray> unparsed;
    CRecipeFile::ParseRecipeText(fileText, &entries, &unparsed);
    return FromEntries(entries);
}

TrialRecipes TrialRecipes::FromEntries(const QList<CRecipeListEntry>& entries)
{
    TrialRecipes recipes;
    recipes.entries = entries;
    for (const CRecipeListEntry& entry : entries)
        recipes.text += entry.text + '\n';
    return recipes;
}

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

QByteArrayView SkipBlanks(QByteArrayView text)
{
    while (!text.isEmpty() && IsBlank(text.front()))
        text = text.sliced(1);
    return text;
}

} // namespace

bool TrialRecipes::TestsBody(const QByteArray& blockText)
{
    for (const QByteArray& rawLine : blockText.split('\n')) {
        const QByteArrayView line = SkipBlanks(rawLine);
        if (line.startsWith(":0")) {
            // The flags run up to the lock colon, a comment or the line end.
            for (char c : line.sliced(2)) {
                if (c == ':' || c == '#')
                    break;
                if (c == 'B')
                    return true;
            }
        } else if (line.startsWith('*')) {
            QByteArrayView condition = SkipBlanks(line.sliced(1));
            while (!condition.isEmpty() && (condition.front() == '!' || condition.front() == '$'))
                condition = SkipBlanks(condition.sliced(1));
            qsizetype letters = 0;
            while (letters < condition.size() && (condition[letters] == 'B' || condition[letters] == 'H'))
                ++letters;
            if (letters > 0 && condition.first(letters).contains('B')
                && SkipBlanks(condition.sliced(letters)).startsWith("??"))
                return true;
        }
    }
    return false;
}
