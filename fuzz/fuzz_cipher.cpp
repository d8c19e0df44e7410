// The cipher layer of the protected files: arbitrary bytes as a recipe data file and as the
// identities' data file, and as an enciphered value. Damage must be refused with a reason and
// never be taken for a record.
#include "FuzzSupport.h"
#include "core/recipes/CRecipeDefinition.h"
#include "core/settings/CAppData.h"
#include "core/settings/CFileCipher.h"
#include "core/settings/CProtectedFile.h"
#include "core/settings/ProtectedKeys.h"

#include <QFile>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FuzzSupport::Init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = FuzzSupport::Bytes(data, size);
    for (const QByteArray& key : { RecipeDataKey(), DataFileKey(), PasswordKey() }) {
        CFileCipher cipher;
        QByteArray plain;
        if (!cipher.DecryptText(&plain, bytes, key))
            FuzzSupport::Check(!cipher.GetErrorText().isEmpty(), "a refused value gives no reason");
    }

    const QString path = FuzzSupport::ScratchPath(QStringLiteral("protected"));
    {
        QFile file(path);
        FuzzSupport::Check(
            file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size(),
            "writing the scratch file failed");
    }
    CProtectedFile file;
    CRecipeDefinition definition;
    if (!file.LoadObject(definition, path, RecipeDataKey()))
        FuzzSupport::Check(
            definition.GetConditionCount() == 0, "a refused recipe data file changed the definition");
    CAppData appData(path);
    if (!appData.Load())
        FuzzSupport::Check(appData.users.isEmpty() && appData.remoteFiles.isEmpty(),
            "a refused data file left records behind");
    return 0;
}
