// zeph-cli recipe ... and zeph-cli recipes ...: recipe definitions and the recipe file.
#include "cli/CliCommand.h"
#include "core/common/Prompt.h"
#include "core/recipes/CActionBuilder.h"
#include "core/recipes/CRecipeDefinition.h"
#include "core/recipes/CRecipeDefinitionJson.h"
#include "core/recipes/CRecipeFile.h"
#include "core/recipes/CRecipeSummary.h"

#include <QFile>
#include <QFileInfo>

namespace {

// Messages that the core shows in a box go to stderr as the command's own.
void PromptsToStderr()
{
    Prompt::SetPresenter([](const Prompt::Record& record) {
        CliErr(QStringLiteral("zeph-cli: ") + record.text + QLatin1Char('\n'));
        return record.defaultButton;
    });
}

bool ReadDefinition(
    const QString& path, CRecipeDefinition* definition, RecipeTextSettings* settings, int* code)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *code = CliFail(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
        return false;
    }
    QString error;
    if (!CRecipeDefinitionJson::FromJson(file.readAll(), definition, settings, &error)) {
        *code = CliFail(QStringLiteral("%1: %2").arg(path, error));
        return false;
    }
    return true;
}

int RunRecipe(const QStringList& args)
{
    PromptsToStderr();
    const QString usage
        = QStringLiteral("usage: zeph-cli recipe build|block|summary DEF.json | export FILE.zeph | "
                         "import DEF.json OUT.zeph");
    if (args.isEmpty())
        return CliFail(usage, 2);
    const QString what = args.at(0);
    if (what == QLatin1String("build") || what == QLatin1String("block")
        || what == QLatin1String("summary")) {
        if (args.size() != 2)
            return CliFail(usage, 2);
        CRecipeDefinition definition;
        RecipeTextSettings settings;
        int code = 0;
        if (!ReadDefinition(args.at(1), &definition, &settings, &code))
            return code;
        if (what == QLatin1String("build")) {
            CliOutBytes(CActionBuilder::BuildRecipeText(definition, settings));
        } else if (what == QLatin1String("summary")) {
            CliOutBytes(CRecipeSummary::BuildSummaryText(definition));
            CliOutBytes("\n");
        } else {
            CliOutBytes(CRecipeFile::BuildRecipeBlock(definition.GetName(),
                CRecipeSummary::BuildSummaryText(definition),
                CActionBuilder::BuildRecipeText(definition, settings)));
        }
        return 0;
    }
    if (what == QLatin1String("export")) {
        if (args.size() != 2)
            return CliFail(usage, 2);
        CRecipeDefinition definition;
        QString error;
        if (!definition.LoadRecipeDataFrom(args.at(1), &error))
            return CliFail(QStringLiteral("%1: %2").arg(args.at(1), error));
        CliOutBytes(CRecipeDefinitionJson::ToJson(definition));
        return 0;
    }
    if (what == QLatin1String("import")) {
        if (args.size() != 3)
            return CliFail(usage, 2);
        CRecipeDefinition definition;
        int code = 0;
        if (!ReadDefinition(args.at(1), &definition, nullptr, &code))
            return code;
        QString error;
        if (!definition.SaveRecipeDataTo(args.at(2), &error))
            return CliFail(QStringLiteral("%1: %2").arg(args.at(2), error));
        return 0;
    }
    return CliFail(usage, 2);
}

// The single entry of that name, or -1 after telling why there is none.
qsizetype FindEntry(
    const QList<CRecipeListEntry>& list, const QString& file, const QByteArray& name, int* code)
{
    qsizetype found = -1;
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (list.at(i).name != name)
            continue;
        if (found >= 0) {
            *code = CliFail(
                QStringLiteral("%1 holds more than one recipe named \"%2\"; edit the file to tell them "
                               "apart")
                    .arg(file, QString::fromUtf8(name)));
            return -1;
        }
        found = i;
    }
    if (found < 0)
        *code = CliFail(QStringLiteral("%1 holds no recipe named \"%2\"").arg(file, QString::fromUtf8(name)));
    return found;
}

int RunRecipes(const QStringList& args)
{
    PromptsToStderr();
    const QString usage
        = QStringLiteral("usage: zeph-cli recipes list FILE | enable|disable|delete FILE NAME | "
                         "move FILE NAME POSITION");
    if (args.size() < 2)
        return CliFail(usage, 2);
    const QString what = args.at(0);
    const QString path = args.at(1);
    const bool list = what == QLatin1String("list");
    const bool change = what == QLatin1String("enable") || what == QLatin1String("disable")
        || what == QLatin1String("delete");
    const bool move = what == QLatin1String("move");
    if ((list && args.size() != 2) || (change && args.size() != 3) || (move && args.size() != 4)
        || (!list && !change && !move))
        return CliFail(usage, 2);
    if (!QFileInfo(path).isFile())
        return CliFail(QStringLiteral("%1 is not a file").arg(path));

    QList<CRecipeListEntry> entries;
    QList<QByteArray> groups;
    QString error;
    if (!CRecipeFile::ParseRecipeList(path, &entries, &groups, {}, &error))
        return 1;
    if (list) {
        QByteArray out;
        for (const CRecipeListEntry& entry : entries) {
            out += entry.unparsed ? "unparsed\t" : (entry.disabled ? "disabled\t" : "enabled\t");
            out += entry.name + "\n";
        }
        CliOutBytes(out);
        return 0;
    }

    const QByteArray name = args.at(2).toUtf8();
    int code = 1;
    const qsizetype index = FindEntry(entries, path, name, &code);
    if (index < 0)
        return code;
    CRecipeListEntry& entry = entries[index];
    if (what == QLatin1String("enable")) {
        if (!entry.disabled)
            return 0;
        entry.text = CRecipeFile::EnableRecipeText(entry.text);
        entry.disabled = false;
    } else if (what == QLatin1String("disable")) {
        if (entry.disabled)
            return 0;
        entry.text = CRecipeFile::DisableRecipeText(entry.text, entry.name);
        entry.disabled = true;
    } else if (what == QLatin1String("delete")) {
        entries.removeAt(index);
    } else {
        bool ok = false;
        const int position = args.at(3).toInt(&ok);
        if (!ok)
            return CliFail(QStringLiteral("the position \"%1\" is not a number").arg(args.at(3)), 2);
        if (position < 1 || position > entries.size())
            return CliFail(QStringLiteral("the position %1 is out of range (1 to %2)")
                               .arg(position)
                               .arg(entries.size()));
        entries.move(index, position - 1);
    }
    return CRecipeFile::WriteRecipeList(path, entries, &error) ? 0 : 1;
}

const CliCommandRegistration recipeCommand({
    "recipe",
    "  recipe build DEF.json              the recipe text (procmail) of a definition\n"
    "  recipe block DEF.json              the whole block: markers, summary comment, text\n"
    "  recipe summary DEF.json            the plain-language summary text\n"
    "  recipe export FILE.zeph            a recipe data file as DEF.json\n"
    "  recipe import DEF.json OUT.zeph    write a recipe data file",
    RunRecipe,
});

const CliCommandRegistration recipesCommand({
    "recipes",
    "  recipes list FILE                  one line per entry: enabled|disabled|unparsed<TAB>NAME\n"
    "  recipes enable|disable|delete FILE NAME\n"
    "  recipes move FILE NAME POSITION    POSITION counts from 1",
    RunRecipes,
});

} // namespace
