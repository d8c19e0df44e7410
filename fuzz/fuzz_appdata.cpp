// The identities' data file (zeph.dat), fuzzed as the bytes inside the cipher so that the fuzzer
// reaches the records. A file that loads must save and load again to the same bytes, also
// through the cipher.
#include "FuzzSupport.h"
#include "core/settings/CAppData.h"
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
    CAppData appData(QString {});
    if (!appData.Load(archive)) {
        FuzzSupport::Check(!archive.Error().isEmpty(), "a refused file gives no reason");
        return 0;
    }
    // What the program reads from the records it loaded.
    for (const CUserData& user : appData.users) {
        user.GetString(QStringLiteral("Setup"), QStringLiteral("Name"));
        user.GetInt(QStringLiteral("Log Settings"), QStringLiteral("Date Format"), 0);
        QDateTime time;
        user.GetTime(QStringLiteral("Setup"), QStringLiteral("Last Backup"), &time);
        CFontDescription font;
        user.GetFont(QStringLiteral("Editor"), QStringLiteral("Font"), &font);
    }
    appData.GetUserNames();

    const QByteArray stored = FuzzSupport::Stored(appData);
    CArchive again(stored);
    CAppData reloaded(QString {});
    FuzzSupport::Check(reloaded.Load(again), "a saved data file does not load", again.Error().toUtf8());
    FuzzSupport::Check(
        FuzzSupport::Stored(reloaded) == stored, "the records changed on their way through the file");

    const QString path = FuzzSupport::ScratchPath(QStringLiteral("zeph.dat"));
    CProtectedFile file;
    FuzzSupport::Check(file.SaveObject(appData, path, DataFileKey()), "saving the protected file failed");
    CAppData deciphered(QString {});
    FuzzSupport::Check(file.LoadObject(deciphered, path, DataFileKey()), "the protected file does not load",
        file.GetErrorText().toUtf8());
    FuzzSupport::Check(
        FuzzSupport::Stored(deciphered) == stored, "the records changed on their way through the cipher");
    return 0;
}
