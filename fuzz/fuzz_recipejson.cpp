// The recipe definition in its JSON form (zeph-cli recipe build|block|summary|import). Whatever
// passes FromJson and Validate must build without a crash and without a NUL in the text, read
// back from a recipe file as that recipe (see CheckBuilds), and survive ToJson and FromJson again.
#include "FuzzSupport.h"
#include "core/recipes/CActionBuilder.h"
#include "core/recipes/CRecipeDefinition.h"
#include "core/recipes/CRecipeDefinitionJson.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FuzzSupport::Init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CRecipeDefinition definition;
    RecipeTextSettings settings;
    QString error;
    if (!CRecipeDefinitionJson::FromJson(FuzzSupport::Bytes(data, size), &definition, &settings, &error)) {
        FuzzSupport::Check(!error.isEmpty(), "a refused definition gives no reason");
        return 0;
    }
    FuzzSupport::Check(definition.Validate(&error), "FromJson accepted a definition that does not validate");
    FuzzSupport::CheckBuilds(definition, settings);

    const QByteArray json = CRecipeDefinitionJson::ToJson(definition);
    CRecipeDefinition again;
    FuzzSupport::Check(CRecipeDefinitionJson::FromJson(json, &again, nullptr, &error),
        "the JSON of a definition is refused", json + '\n' + error.toUtf8());
    FuzzSupport::Check(FuzzSupport::Stored(again) == FuzzSupport::Stored(definition),
        "a definition changed on its way through JSON", json);
    return 0;
}
