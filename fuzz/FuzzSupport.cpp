#include "FuzzSupport.h"

#include "core/common/Clock.h"
#include "core/common/Prompt.h"
#include "core/recipes/CActionBuilder.h"
#include "core/recipes/CRecipeDefinition.h"
#include "core/recipes/CRecipeFile.h"
#include "core/recipes/CRecipeSummary.h"
#include "core/settings/CArchive.h"
#include "core/settings/Serializable.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace FuzzSupport {

namespace {

    QTemporaryDir* scratch = nullptr;

} // namespace

void Init()
{
    if (scratch)
        return;
    // scripts/fuzz hands over a folder that it removes after the run, whatever way the run ends.
    QString base = qEnvironmentVariable("ZEPH_FUZZ_SCRATCH");
    if (base.isEmpty()) {
        const QFileInfo shm(QStringLiteral("/dev/shm"));
        base = shm.isDir() && shm.isWritable() ? shm.filePath() : QDir::tempPath();
    }
    scratch = new QTemporaryDir(base + QStringLiteral("/zeph-fuzz-XXXXXX"));
    if (!scratch->isValid())
        Fail("no scratch folder");
    const QByteArray home = QFile::encodeName(scratch->path());
    qputenv("HOME", home);
    qputenv("XDG_DATA_HOME", home + "/.local/share");
    qputenv("XDG_CONFIG_HOME", home + "/.config");
    qputenv("XDG_CACHE_HOME", home + "/.cache");
    qputenv("XDG_RUNTIME_DIR", home);
    // The record of what was asked is dropped too: a run asks millions of times.
    Prompt::SetPresenter([](const Prompt::Record& record) {
        Prompt::ClearHistory();
        return record.defaultButton;
    });
    Clock::SetNow(QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5), Qt::UTC));
    Clock::SetTickCount(123456789u);
    std::atexit([] {
        delete scratch;
        scratch = nullptr;
    });
}

QString ScratchPath(const QString& name)
{
    return scratch->filePath(name);
}

void Fail(const char* what, const QByteArray& detail)
{
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    if (!detail.isEmpty())
        std::fprintf(
            stderr, "%s\n", detail.toPercentEncoding(" !\"#$&'()*+,-./:;<=>?@[\\]^_`{|}~").constData());
    std::abort();
}

QByteArray Stored(const Serializable& record)
{
    CArchive archive;
    record.Store(archive);
    return archive.Data();
}

void CheckBuilds(const CRecipeDefinition& definition, const RecipeTextSettings& settings)
{
    const QByteArray text = CActionBuilder::BuildRecipeText(definition, settings);
    const QByteArray summary = CRecipeSummary::BuildSummaryText(definition);
    const QByteArray name = definition.GetName();
    const QByteArray block = CRecipeFile::BuildRecipeBlock(name, summary, text);
    Check(!text.contains('\0'), "the recipe text holds a NUL", text);
    Check(!summary.contains('\0'), "the summary holds a NUL", summary);
    Check(!block.contains('\0'), "the recipe block holds a NUL", block);

    // The block as it stands in the recipe file (after the line feed that separates it).
    QList<CRecipeListEntry> list;
    QList<QByteArray> groups;
    CRecipeFile::ParseRecipeText(block, &list, &groups);
    Check(list.size() == 1 && groups.isEmpty(), "the block does not read back as one recipe", block);
    const CRecipeListEntry& entry = list.first();
    Check(!entry.unparsed && entry.name == name && entry.text == block.mid(1) && !entry.disabled,
        "the block reads back as another recipe", block);

    const QByteArray disabled = CRecipeFile::DisableRecipeText(entry.text, name);
    Check(CRecipeFile::IsDisabledText(disabled), "the disabled block is not disabled", disabled);
    Check(
        CRecipeFile::EnableRecipeText(disabled) == entry.text, "enabling does not undo disabling", disabled);
    CRecipeFile::ParseRecipeText(disabled, &list, &groups);
    Check(list.size() == 1 && groups.isEmpty() && list.first().name == name && list.first().disabled,
        "the disabled block does not read back as one disabled recipe", disabled);
}

} // namespace FuzzSupport
