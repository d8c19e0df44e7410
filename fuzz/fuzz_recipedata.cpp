// The recipe data file (*.zeph), fuzzed as the bytes inside the cipher so that the fuzzer reaches
// the record's structure. A file that loads must be a usable definition (it builds, see
// CheckBuilds), and must save and load again to the same bytes, also through the cipher.
#include "FuzzSupport.h"
#include "core/recipes/CActionBuilder.h"
#include "core/recipes/CRecipeDefinition.h"
#include "core/settings/CArchive.h"
#include "core/settings/CProtectedFile.h"
#include "core/settings/ProtectedKeys.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FuzzSupport::Init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CArchive archive(FuzzSupport::Bytes(data, size));
    CRecipeDefinition definition;
    if (!definition.Load(archive)) {
        FuzzSupport::Check(!archive.Error().isEmpty(), "a refused file gives no reason");
        FuzzSupport::Check(definition.GetConditionCount() == 0 && definition.GetName().isEmpty(),
            "a refused file changed the definition");
        return 0;
    }
    QString problem;
    FuzzSupport::Check(definition.Validate(&problem), "a loaded definition does not validate");
    FuzzSupport::CheckBuilds(definition, RecipeTextSettings());

    const QByteArray stored = FuzzSupport::Stored(definition);
    CArchive again(stored);
    CRecipeDefinition reloaded;
    FuzzSupport::Check(reloaded.Load(again), "a saved definition does not load", again.Error().toUtf8());
    FuzzSupport::Check(
        FuzzSupport::Stored(reloaded) == stored, "a definition changed on its way through the file");

    const QString path = FuzzSupport::ScratchPath(QStringLiteral("recipe.zeph"));
    CProtectedFile file;
    FuzzSupport::Check(
        file.SaveObject(definition, path, RecipeDataKey()), "saving the protected file failed");
    CRecipeDefinition deciphered;
    FuzzSupport::Check(file.LoadObject(deciphered, path, RecipeDataKey()), "the protected file does not load",
        file.GetErrorText().toUtf8());
    FuzzSupport::Check(
        FuzzSupport::Stored(deciphered) == stored, "a definition changed on its way through the cipher");
    return 0;
}
