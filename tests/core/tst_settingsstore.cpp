#include "FileSizeLimit.h"
#include "TestEnvironment.h"
#include "core/common/Clock.h"
#include "core/common/Prompt.h"
#include "core/settings/CAppData.h"
#include "core/settings/CAppState.h"
#include "core/settings/CArchive.h"
#include "core/settings/CFileCipher.h"
#include "core/settings/Profile.h"
#include "core/settings/ProtectedKeys.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <memory>

namespace {

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Enciphers hand-made content as a data file, for damage the program itself never writes.
void writeDataFile(const QString& path, const QByteArray& plain)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    CFileCipher cipher;
    QVERIFY(cipher.EncryptToFile(plain, path, DataFileKey()));
}

QByteArray header(quint32 version, const QByteArray& magic, quint32 users, quint32 records)
{
    CArchive archive;
    archive.WriteDword(version);
    archive.WriteString(magic);
    archive.WriteString("filler bytes here..");
    archive.WriteDword(users);
    archive.WriteDword(records);
    return archive.Data();
}

CUserData sampleUser(const QString& name)
{
    CUserData user;
    user.name = name;
    user.SetString(
        QStringLiteral("Settings"), QStringLiteral("Document Directory"), QStringLiteral("/home/x/ZEPH/"));
    user.SetInt(QStringLiteral("Setup"), QStringLiteral("Setup wiz run"), 1);
    user.SetTime(QStringLiteral("Log Settings"), QStringLiteral("Log download time"),
        QDateTime(QDate(2007, 3, 5), QTime(14, 7, 9)));
    CFontDescription font;
    font.height = -13;
    font.weight = 700;
    font.italic = 1;
    font.faceName = QStringLiteral("DejaVu Sans Mono");
    user.SetFont(QStringLiteral("Log Settings"), QStringLiteral("Font"), font);
    user.SetStringArray(
        QStringLiteral("StartFiles"), { QStringLiteral("/a/b.txt"), QString(), QStringLiteral("é ü") });
    user.SetIntArray(QStringLiteral("Log columns"), { 3, 0, -1, 2147483647 });
    user.SetString(QStringLiteral("Long"), QStringLiteral("text"), QString(70000, QLatin1Char('L')));
    user.byteArraySections.append({ QStringLiteral("kept"), QByteArray("\x00\x01\xff", 3) });
    return user;
}

CRemoteFilesFoldersMgr sampleRemoteFiles(const QString& name)
{
    CRemoteFilesFoldersMgr record;
    record.identityName = name;
    CRemoteFileEntry file;
    file.remoteName = QStringLiteral(".procmail/zeph.recipes");
    file.localName = QStringLiteral("/home/x/ZEPH/Default/zeph.recipes");
    file.dateUploaded = COleDateTime::FromDateTime(QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5)));
    file.localFileTime.status = COleDateTime::Invalid;
    file.permissions = 644;
    record.files.append(file);
    record.directories.append({ QStringLiteral("$HOME"), 711 });
    record.directories.append({ QStringLiteral(".procmail"), -1 });
    return record;
}

} // namespace

class TestSettingsStore : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void profileLookups();
    void emptyAndDeletedValues();
    void times_data();
    void times();
    void fontRoundTrip();
    void leadingInt_data();
    void leadingInt();
    void dataFileRoundTrip();
    void fillerAndFreshness();
    void versionAndMagic_data();
    void versionAndMagic();
    void versionZeroKeepsWhatIsAdded();
    void craftedCounts_data();
    void craftedCounts();
    void putUserKeepsPosition();
    void identityDataKeepsOtherIdentities();
    void ftpTlsOfOldAndNewIdentities();
    void unreadableDataFileIsKeptAside_data();
    void unreadableDataFileIsKeptAside();
    void failedSaveKeepsPreviousFile();
    void nothingWrittenWhenNotLoaded();

private:
    std::unique_ptr<TestEnvironment> m_env;
};

void TestSettingsStore::init()
{
    m_env = std::make_unique<TestEnvironment>();
    StartFreshIdentity();
}

void TestSettingsStore::cleanup()
{
    Clock::SetNow(std::nullopt);
    m_env.reset();
}

void TestSettingsStore::profileLookups()
{
    QCOMPARE(GetProfileInt(QStringLiteral("Setup"), QStringLiteral("Setup wiz run"), 0), 0);
    QCOMPARE(GetSetting(Settings::SetupWizRun), 0);
    QVERIFY(WriteProfileInt(QStringLiteral("Setup"), QStringLiteral("Setup wiz run"), 1));
    QCOMPARE(GetProfileInt(QStringLiteral("SETUP"), QStringLiteral("setup wiz run"), 0), 1);
    QVERIFY(WriteProfileInt(QStringLiteral("SETUP"), QStringLiteral("setup wiz run"), 5));
    QCOMPARE(GetSetting(Settings::SetupWizRun), 5);
    // One section, one key: the case of first use is kept.
    const CUserData& data = CurrentUserData();
    QCOMPARE(data.stringSections.size(), 1);
    QCOMPARE(data.stringSections[0].name, QStringLiteral("Setup"));
    QCOMPARE(data.stringSections[0].entries.size(), 1);
    QCOMPARE(data.stringSections[0].entries[0].first, QStringLiteral("Setup wiz run"));

    QCOMPARE(GetSettingString(Settings::ZephDir), QStringLiteral("$HOME/.procmail"));
    QVERIFY(!CurrentUserData().SetString(QString(), QStringLiteral("k"), QStringLiteral("v")));
    QVERIFY(!CurrentUserData().SetString(QStringLiteral("s"), QString(), QStringLiteral("v")));
    QVERIFY(!CurrentUserData().SetStringArray(QString(), {}));
    QVERIFY(!CurrentUserData().SetIntArray(QString(), {}));
}

void TestSettingsStore::emptyAndDeletedValues()
{
    QVERIFY(WriteProfileString(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("")));
    QCOMPARE(GetProfileInt(QStringLiteral("S"), QStringLiteral("K"), 42), 42);
    QCOMPARE(GetProfileString(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("dflt")), QString());
    QVERIFY(WriteProfileString(QStringLiteral("S"), QStringLiteral("K"), QString()));
    QCOMPARE(GetProfileString(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("dflt")),
        QStringLiteral("dflt"));
    QVERIFY(!CurrentUserData().DeleteKey(QStringLiteral("S"), QStringLiteral("K")));
    QVERIFY(!CurrentUserData().DeleteKey(QStringLiteral("nope"), QStringLiteral("K")));
    QStringList list { QStringLiteral("unchanged") };
    QVERIFY(!CurrentUserData().GetStringArray(QStringLiteral("missing"), &list));
    QCOMPARE(list, QStringList { QStringLiteral("unchanged") });
}

void TestSettingsStore::times_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::newRow("stored form") << QStringLiteral("2007,3,5,14,7,9,") << true;
    QTest::newRow("year 1969") << QStringLiteral("1969,1,1,0,0,0,") << false;
    QTest::newRow("month 13") << QStringLiteral("2007,13,1,0,0,0,") << false;
    QTest::newRow("hour 24") << QStringLiteral("2007,1,1,24,0,0,") << false;
    QTest::newRow("day missing") << QStringLiteral("2007,3") << false;
    QTest::newRow("year 2038") << QStringLiteral("2038,1,1,0,0,0,") << true;
    QTest::newRow("year 2039") << QStringLiteral("2039,1,1,0,0,0,") << false;
    QTest::newRow("empty") << QString() << false;
    QTest::newRow("garbage") << QStringLiteral("x,y,z,,,,") << false;
}

void TestSettingsStore::times()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    const QDateTime marker(QDate(2001, 1, 1), QTime(0, 0));
    QDateTime time = marker;
    QCOMPARE(CUserData::ParseTime(text, &time), valid);
    if (!valid)
        QCOMPARE(time, marker);
    else
        QCOMPARE(CUserData::FormatTime(time), text);
    QCOMPARE(CUserData::FormatTime(QDateTime(QDate(2007, 3, 5), QTime(14, 7, 9))),
        QStringLiteral("2007,3,5,14,7,9,"));
}

void TestSettingsStore::fontRoundTrip()
{
    CFontDescription font;
    font.height = -16;
    font.width = 7;
    font.escapement = 900;
    font.orientation = -900;
    font.weight = 400;
    font.italic = 1;
    font.underline = 1;
    font.strikeOut = 1;
    font.charSet = 238;
    font.outPrecision = 3;
    font.clipPrecision = 2;
    font.quality = 5;
    font.pitchAndFamily = 49;
    font.faceName = QStringLiteral("Courier New Bold Italic");
    QVERIFY(CurrentUserData().SetFont(QStringLiteral("Log Settings"), QStringLiteral("Font"), font));
    CFontDescription back;
    QVERIFY(CurrentUserData().GetFont(QStringLiteral("log settings"), QStringLiteral("font"), &back));
    QCOMPARE(back, font);
    QVERIFY(!CurrentUserData().GetFont(QStringLiteral("Log Settings"), QStringLiteral("None"), &back));

    // A stored face name longer than a font description holds is cut to 31 characters.
    font.faceName = QString(40, QLatin1Char('F'));
    QVERIFY(CUserData::ParseFont(
        CUserData::FormatFont(font).replace(QString(31, QLatin1Char('F')), QString(40, QLatin1Char('F'))),
        &back));
    QCOMPARE(back.faceName.size(), 31);
}

void TestSettingsStore::leadingInt_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");
    QTest::newRow("plain") << QStringLiteral("644") << 644;
    QTest::newRow("blanks and sign") << QStringLiteral("  -12abc") << -12;
    QTest::newRow("no digits") << QStringLiteral("abc") << 0;
    QTest::newRow("overflow clamps") << QStringLiteral("99999999999") << 2147483647;
    QTest::newRow("negative overflow clamps") << QStringLiteral("-99999999999") << int(-2147483647 - 1);
}

void TestSettingsStore::leadingInt()
{
    QFETCH(QString, text);
    QFETCH(int, value);
    QCOMPARE(CUserData::LeadingInt(text), value);
}

void TestSettingsStore::dataFileRoundTrip()
{
    CAppData data(m_env->DataFilePath());
    data.users = { sampleUser(QStringLiteral("Default")), sampleUser(QStringLiteral("Work")) };
    data.remoteFiles = { sampleRemoteFiles(QStringLiteral("Default")) };
    QVERIFY2(data.Save(), qPrintable(data.GetErrorText()));

    CAppData back(m_env->DataFilePath());
    QVERIFY2(back.Load(), qPrintable(back.GetErrorText()));
    QCOMPARE(back.GetUserNames(), (QStringList { QStringLiteral("Default"), QStringLiteral("Work") }));
    const CUserData& user = back.users[1];
    const CUserData expected = sampleUser(QStringLiteral("Work"));
    QCOMPARE(user.stringSections.size(), expected.stringSections.size());
    for (qsizetype i = 0; i < expected.stringSections.size(); ++i)
        QCOMPARE(user.stringSections[i].entries, expected.stringSections[i].entries);
    QCOMPARE(user.stringArraySections[0].values, expected.stringArraySections[0].values);
    QCOMPARE(user.intArraySections[0].values, expected.intArraySections[0].values);
    QCOMPARE(user.byteArraySections[0].values, expected.byteArraySections[0].values);
    QDateTime time;
    QVERIFY(user.GetTime(QStringLiteral("Log Settings"), QStringLiteral("Log download time"), &time));
    QCOMPARE(time, QDateTime(QDate(2007, 3, 5), QTime(14, 7, 9)));
    QVERIFY(back.remoteFiles[0] == sampleRemoteFiles(QStringLiteral("Default")));
    QCOMPARE(
        back.remoteFiles[0].files[0].dateUploaded.ToDateTime(), QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5)));
}

void TestSettingsStore::fillerAndFreshness()
{
    CAppData data(m_env->DataFilePath());
    data.users = { sampleUser(QStringLiteral("Default")) };
    QVERIFY(data.Save());
    const QByteArray first = readFile(data.Path());
    QVERIFY(data.Save());
    QVERIFY(readFile(data.Path()) != first);

    CFileCipher cipher;
    for (int i = 0; i < 20; ++i) {
        QVERIFY(data.Save());
        QByteArray plain;
        QVERIFY(cipher.DecryptFromFile(&plain, data.Path(), DataFileKey()));
        CArchive archive(plain);
        quint32 version = 0;
        QByteArray magic, filler;
        QVERIFY(archive.ReadDword(&version) && archive.ReadString(&magic) && archive.ReadString(&filler));
        QCOMPARE(version, 1u);
        QCOMPARE(magic, QByteArray("ZEPH data file"));
        QVERIFY2(filler.size() >= 19 && filler.size() <= 57, QByteArray::number(filler.size()).constData());
    }
}

void TestSettingsStore::versionAndMagic_data()
{
    QTest::addColumn<QByteArray>("plain");
    QTest::addColumn<bool>("loads");
    QTest::newRow("version 0: no identities") << header(0, "ZEPH data file", 0, 0).left(4 + 15) << true;
    QTest::newRow("magic in other case") << header(1, "ZEPH Data File", 0, 0) << false;
    QTest::newRow("version 2") << header(2, "ZEPH data file", 0, 0) << false;
    QTest::newRow("empty lists") << header(1, "ZEPH data file", 0, 0) << true;
    QTest::newRow("truncated header") << header(1, "ZEPH data file", 0, 0).left(10) << false;
    auto remote = [](const QByteArray& magic) {
        CArchive record;
        record.WriteString("Default");
        record.WriteString(magic);
        record.WriteDword(2);
        record.WriteDword(0);
        record.WriteDword(0);
        return header(1, "ZEPH data file", 0, 1) + record.Data();
    };
    QTest::newRow("remote-files record") << remote("Remote file and folders dlg info") << true;
    QTest::newRow("remote-files magic with one letter in other case")
        << remote("Remote file and folders dlg Info") << false;
    QTest::newRow("remote-files magic in upper case") << remote("REMOTE FILE AND FOLDERS DLG INFO") << false;
}

void TestSettingsStore::versionAndMagic()
{
    QFETCH(QByteArray, plain);
    QFETCH(bool, loads);
    writeDataFile(m_env->DataFilePath(), plain);
    CAppData data(m_env->DataFilePath());
    QCOMPARE(data.Load(), loads);
    QVERIFY(data.users.isEmpty());
    if (!loads)
        QCOMPARE(data.GetErrorText(), QStringLiteral("The file has a bad format."));
}

// A version-0 file loads as an empty store that keeps the identity's settings at the next save.
void TestSettingsStore::versionZeroKeepsWhatIsAdded()
{
    writeDataFile(m_env->DataFilePath(), header(0, "ZEPH data file", 0, 0).left(4 + 15));
    CAppState& state = CAppState::Instance();
    state.LoadIdentityData();
    QVERIFY(state.DataLoaded());
    SetSetting(Settings::ZephDir, QStringLiteral("kept"));
    QVERIFY(state.SaveIdentityData());

    CAppData back(m_env->DataFilePath());
    QVERIFY2(back.Load(), qPrintable(back.GetErrorText()));
    QCOMPARE(back.version, 1u);
    QCOMPARE(back.GetUserNames(), QStringList { QStringLiteral("Default") });
    state.Reset();
    state.LoadIdentityData();
    QCOMPARE(GetSettingString(Settings::ZephDir), QStringLiteral("kept"));
    QVERIFY(Prompt::History().isEmpty());
}

void TestSettingsStore::craftedCounts_data()
{
    QTest::addColumn<QByteArray>("plain");
    QTest::newRow("huge user count") << header(1, "ZEPH data file", 0xFFFFFFFF, 0);
    QTest::newRow("huge record count") << header(1, "ZEPH data file", 0, 0xFFFFFFFF);
    CArchive user;
    user.WriteDword(1);
    user.WriteString("Default");
    user.WriteDword(0xFFFFFFFF);
    user.WriteDword(0);
    user.WriteDword(0);
    user.WriteDword(0);
    QTest::newRow("huge section count") << header(1, "ZEPH data file", 1, 0) + user.Data();
    CArchive longString;
    longString.WriteDword(1);
    longString.WriteByte(0xFF);
    longString.WriteWord(0xFFFF);
    longString.WriteDword(0xFFFFFFF0);
    QTest::newRow("huge string length") << header(1, "ZEPH data file", 1, 0) + longString.Data();
    CArchive schema;
    schema.WriteDword(7);
    QTest::newRow("unknown record schema")
        << header(1, "ZEPH data file", 1, 0) + schema.Data() + QByteArray(40, '\0');
    CArchive remote;
    remote.WriteString("Default");
    remote.WriteString("Remote file and folders dlg info");
    remote.WriteDword(3);
    remote.WriteDword(0);
    remote.WriteDword(0);
    QTest::newRow("remote record version") << header(1, "ZEPH data file", 0, 1) + remote.Data();
}

void TestSettingsStore::craftedCounts()
{
    QFETCH(QByteArray, plain);
    writeDataFile(m_env->DataFilePath(), plain);
    CAppData data(m_env->DataFilePath());
    QVERIFY(!data.Load());
    QCOMPARE(data.GetErrorText(), QStringLiteral("The file has a bad format."));
}

void TestSettingsStore::putUserKeepsPosition()
{
    CAppData data(QString {});
    data.users = { sampleUser(QStringLiteral("Default")), sampleUser(QStringLiteral("Work")) };
    CUserData replacement;
    replacement.name = QStringLiteral("default");
    replacement.SetInt(QStringLiteral("A"), QStringLiteral("B"), 9);
    QVERIFY(data.PutUser(replacement));
    QCOMPARE(data.GetUserNames(), (QStringList { QStringLiteral("default"), QStringLiteral("Work") }));
    QCOMPARE(data.users[0].GetInt(QStringLiteral("A"), QStringLiteral("B"), 0), 9);
    QVERIFY(!data.PutUser(CUserData()));
    QVERIFY(!data.Save());
}

// A record saved before the FTP TLS option keeps its plain connection; an identity created now
// starts with explicit TLS, and a choice saved for it is what it loads with later.
void TestSettingsStore::ftpTlsOfOldAndNewIdentities()
{
    CAppData data(m_env->DataFilePath());
    data.users = { sampleUser(QStringLiteral("Old")) };
    QVERIFY(data.Save());
    CAppState& state = CAppState::Instance();
    state.SetIdentity(QStringLiteral("Old"));
    state.LoadIdentityData();
    QCOMPARE(GetSetting(Settings::FtpTls), 0);

    state.SetIdentity(QStringLiteral("New"));
    state.LoadIdentityData();
    QCOMPARE(GetSetting(Settings::FtpTls), 1);
    SetSetting(Settings::FtpTls, 2);
    QVERIFY(state.SaveIdentityData());
    state.Reset();
    state.LoadIdentityData();
    QCOMPARE(GetSetting(Settings::FtpTls), 2);
    SetSetting(Settings::FtpTls, 0);
    QVERIFY(state.SaveIdentityData());
    state.Reset();
    state.LoadIdentityData();
    QCOMPARE(GetSetting(Settings::FtpTls), 0);
}

void TestSettingsStore::identityDataKeepsOtherIdentities()
{
    CAppState& state = CAppState::Instance();
    state.SetIdentity(QStringLiteral("Work"));
    state.LoadIdentityData();
    QVERIFY(state.DataLoaded());
    SetSetting(Settings::ZephDir, QStringLiteral("work-dir"));
    QVERIFY(state.SaveIdentityData());

    state.SetIdentity(QStringLiteral("Home"));
    state.LoadIdentityData();
    QCOMPARE(GetSettingString(Settings::ZephDir), QStringLiteral("$HOME/.procmail"));
    SetSetting(Settings::ZephDir, QStringLiteral("home-dir"));
    QVERIFY(state.SaveIdentityData());
    QCOMPARE(state.GetIdentityNames(), (QStringList { QStringLiteral("Work"), QStringLiteral("Home") }));

    state.SetIdentity(QStringLiteral("WORK"));
    state.LoadIdentityData();
    QCOMPARE(GetSettingString(Settings::ZephDir), QStringLiteral("work-dir"));
    CRemoteFilesFoldersMgr record;
    QVERIFY(state.GetRemoteFilesOf(QStringLiteral("home"), &record));
    QCOMPARE(record.identityName, QStringLiteral("Home"));

    QVERIFY(state.DeleteIdentityData(QStringLiteral("home")));
    QCOMPARE(state.GetIdentityNames(), QStringList { QStringLiteral("Work") });
    QVERIFY(Prompt::History().isEmpty());
}

void TestSettingsStore::unreadableDataFileIsKeptAside_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("garbage") << QByteArray(500, 'g');
    QTest::newRow("truncated") << QByteArray("cut");
    QTest::newRow("foreign cipher text") << QByteArray(160, '\x5a');
}

void TestSettingsStore::unreadableDataFileIsKeptAside()
{
    QFETCH(QByteArray, content);
    Clock::SetNow(QDateTime(QDate(2026, 12, 10), QTime(8, 9, 10)));
    const QString path = m_env->DataFilePath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();

    CAppState& state = CAppState::Instance();
    state.LoadIdentityData();
    const QString aside = path + QStringLiteral(".bad-20261210-080910");
    QCOMPARE(readFile(aside), content);
    QVERIFY(!QFile::exists(path));
    const auto history = Prompt::History();
    QCOMPARE(history.size(), 1);
    QCOMPARE(history[0].caption, QStringLiteral("Data file not readable"));
    QCOMPARE(history[0].icon, Prompt::Warning);
    QVERIFY(
        history[0].text.startsWith(QStringLiteral("The ZEPH data file %1 could not be read (").arg(path)));
    QVERIFY(
        history[0].text.endsWith(QStringLiteral(").  It has been renamed to %1 and kept; ZEPH uses default "
                                                "settings for this identity.")
                                     .arg(aside)));
    QCOMPARE(GetSetting(Settings::SetupWizRun), 0);

    // The next save starts a new file; the kept one is never touched.
    QVERIFY(state.SaveIdentityData());
    QCOMPARE(readFile(aside), content);
    QCOMPARE(Prompt::History().size(), 1);
}

void TestSettingsStore::failedSaveKeepsPreviousFile()
{
    CAppState& state = CAppState::Instance();
    state.LoadIdentityData();
    SetSetting(Settings::ZephDir, QStringLiteral("first"));
    QVERIFY(state.SaveIdentityData());
    const QByteArray before = readFile(m_env->DataFilePath());

    SetSetting(Settings::ZephDir, QString(20000, QLatin1Char('x')));
    QString error;
    {
        FileSizeLimit limit(before.size() + 100);
        QVERIFY(!state.SaveIdentityData(&error));
    }
    QVERIFY(!error.isEmpty());
    QCOMPARE(readFile(m_env->DataFilePath()), before);
    {
        // Saves made along the way tell the user once per run, not at every attempt.
        FileSizeLimit limit(before.size() + 100);
        QVERIFY(!state.SaveIdentityDataAndReport());
        QVERIFY(!state.SaveIdentityDataAndReport());
    }
    QCOMPARE(Prompt::History().size(), 1);
    QCOMPARE(Prompt::History()[0].caption, QStringLiteral("Error!"));
    QCOMPARE(Prompt::History()[0].text, state.SaveFailureText(error));
    const QStringList leftovers
        = QDir(QFileInfo(m_env->DataFilePath()).absolutePath()).entryList(QDir::Files | QDir::Hidden);
    QCOMPARE(leftovers, QStringList { QStringLiteral("zeph.dat") });

    state.LoadIdentityData();
    QCOMPARE(GetSettingString(Settings::ZephDir), QStringLiteral("first"));
}

void TestSettingsStore::nothingWrittenWhenNotLoaded()
{
    // A start that never loaded the data file (a refused identity, a second instance) has only
    // defaults in memory; writing them back would replace the user's settings.
    CAppState& state = CAppState::Instance();
    QVERIFY(!state.DataLoaded());
    SetSetting(Settings::ZephDir, QStringLiteral("never stored"));
    QVERIFY(state.SaveAtExit());
    QVERIFY(!QFile::exists(m_env->DataFilePath()));

    // Another identity's file is there: it stays byte for byte.
    CAppState::Instance().SetIdentity(QStringLiteral("Other"));
    state.LoadIdentityData();
    SetSetting(Settings::ZephDir, QStringLiteral("other's"));
    QVERIFY(state.SaveAtExit());
    const QByteArray stored = readFile(m_env->DataFilePath());
    QVERIFY(stored.size() > 0);
    CAppState::Instance().SetIdentity(QStringLiteral("Default"));
    state.Reset();
    SetSetting(Settings::ZephDir, QStringLiteral("never stored"));
    QVERIFY(state.SaveAtExit());
    QCOMPARE(readFile(m_env->DataFilePath()), stored);
    QVERIFY(Prompt::History().isEmpty());
}

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
