#include "TestEnvironment.h"
#include "core/settings/CFileCipher.h"
#include "core/settings/CRandom.h"
#include "core/settings/CRegistryCipher.h"
#include "core/settings/CSha1.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

const QString PasswordPath
    = QStringLiteral("HKEY_CURRENT_USER\\Software\\Talvenor\\ZEPH\\Work\\Settings\\Password");

} // namespace

class TestProtectedValues : public QObject
{
    Q_OBJECT

private slots:
    void knownAnswers();
    void randomGenerator();
    void aesKeyFromKeyText_data();
    void aesKeyFromKeyText();
    void keyTextRefusals_data();
    void keyTextRefusals();
    void fileSizes_data();
    void fileSizes();
    void roundTripAndFreshness();
    void piecesRestartFromBodyIv();
    void damagedFiles_data();
    void damagedFiles();
    void registryValueSizes();
    void registryValueDamage_data();
    void registryValueDamage();
    void registryStoreRoundTrip();
    void registryPaths_data();
    void registryPaths();

private:
    QTemporaryDir m_dir;
};

void TestProtectedValues::knownAnswers()
{
    // SHA-1 of "abc" and of data read in pieces from a device.
    QCOMPARE(CSha1::Hash("abc").toHex(), QByteArray("a9993e364706816aba3e25717850c26c9cd0d89d"));
    QByteArray big(1024 * 3 + 5, 'z');
    QBuffer buffer(&big);
    buffer.open(QIODevice::ReadOnly);
    QByteArray digest;
    CSha1 sha;
    QVERIFY(sha.HashFile(buffer, &digest));
    QCOMPARE(digest, CSha1::Hash(big));

    // AES-128: the standard's example block, deciphered with a zero IV; its last byte 0xff marks
    // 15 padding bytes, leaving the first plain byte.
    QByteArray aesKey;
    for (int i = 0; i < 16; ++i)
        aesKey.append(static_cast<char>(i));
    CFileCipher aes;
    QByteArray plain;
    QVERIFY(aes.DecryptText(
        &plain, QByteArray(16, '\0') + QByteArray::fromHex("69c4e0d86a7b0430d8cdb78070b4c55a"), aesKey));
    QCOMPARE(plain, QByteArray(1, '\0'));

    // Blowfish, plain: all-zero key and block.
    CRegistryCipher zero;
    QVERIFY(zero.SetKey(QByteArray(8, '\0')));
    QByteArray text = "x";
    QVERIFY(zero.Decode(
        QByteArray::fromHex("1000") + QByteArray(8, '\0') + QByteArray::fromHex("4ef997456198dd78"), &text));
    QCOMPARE(text, QByteArray());

    // Blowfish, CBC: the published chained example; the last block's final zero byte marks a
    // whole block of padding.
    CRegistryCipher cbc;
    QVERIFY(cbc.SetKey(QByteArray::fromHex("0123456789ABCDEFF0E1D2C3B4A59687")));
    const QByteArray value = QByteArray::fromHex("2800") + QByteArray::fromHex("FEDCBA9876543210")
        + QByteArray::fromHex("6b77b4d63006dee605b156e27403979358deb9e7154616d959f1652bd5ff92cc");
    QVERIFY(cbc.Decode(value, &text));
    QCOMPARE(text, QByteArray("7654321 Now is the time "));
}

void TestProtectedValues::randomGenerator()
{
    CRandom random;
    random.Seed(1);
    QCOMPARE(random.Next(), 30936u);
    QCOMPARE(random.Next(), 954995508u);
    QCOMPARE(random.Next(), 148877590u);
    random.Seed(0xDEADBEEF);
    QCOMPARE(random.Next(), 2657355435u);
    QCOMPARE(random.Next(), 1253211406u);

    // The state is shared: seeding another instance reseeds this one.
    CRandom other;
    other.Seed(1);
    QCOMPARE(random.Next(), 30936u);

    QCOMPARE(random.Below(0), 0u);
    QCOMPARE(random.Below(1), 0u);
    for (int i = 0; i < 200; ++i) {
        QVERIFY(random.Below(7) < 7u);
        const QByteArray filler = random.RandomString(19, 57);
        QVERIFY(filler.size() >= 19 && filler.size() <= 57);
    }
    QCOMPARE(random.RandomString(0, 0).size(), 1);
    QCOMPARE(random.RandomString(16, 16).size(), 16);
}

void TestProtectedValues::aesKeyFromKeyText_data()
{
    QTest::addColumn<QByteArray>("keyText");
    QTest::addColumn<QByteArray>("key");
    QTest::newRow("5 characters: 128 bits, repeated")
        << QByteArray("abcde") << QByteArray("abcdeabcdeabcdea");
    QTest::newRow("16 characters: itself")
        << QByteArray("0123456789abcdef") << QByteArray("0123456789abcdef");
    QTest::newRow("20 characters: 192 bits")
        << QByteArray("ABCDEFGHIJKLMNOPQRST") << QByteArray("ABCDEFGHIJKLMNOPQRSTABCD");
    QTest::newRow("40 characters: first 32") << QByteArray("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcd")
                                             << QByteArray("0123456789ABCDEFGHIJKLMNOPQRSTUV");
    QTest::newRow("zero bytes count") << QByteArray("a\0b\0c", 5) << QByteArray("a\0b\0ca\0b\0ca\0b\0ca", 16);
}

void TestProtectedValues::aesKeyFromKeyText()
{
    QFETCH(QByteArray, keyText);
    QFETCH(QByteArray, key);
    CFileCipher cipher;
    QVERIFY(cipher.SetKey(keyText));
    QCOMPARE(cipher.Key(), key);
}

void TestProtectedValues::keyTextRefusals_data()
{
    QTest::addColumn<QByteArray>("keyText");
    QTest::addColumn<QString>("error");
    QTest::newRow("empty") << QByteArray() << QStringLiteral("No key was given!");
    QTest::newRow("three") << QByteArray("abc")
                           << QStringLiteral("The key must be at least four characters long.");
    QTest::newRow("one zero byte") << QByteArray(1, '\0')
                                   << QStringLiteral("The key must be at least four characters long.");
}

void TestProtectedValues::keyTextRefusals()
{
    QFETCH(QByteArray, keyText);
    QFETCH(QString, error);
    const QString path = m_dir.filePath(QStringLiteral("refused.bin"));
    CFileCipher cipher;
    QVERIFY(!cipher.EncryptToFile("plain", path, keyText));
    QCOMPARE(cipher.GetErrorText(), error);
    QVERIFY(!QFile::exists(path));

    CRegistryCipher registry;
    QCOMPARE(registry.GetErrorText(), QStringLiteral("No key was given!"));
    QVERIFY(!registry.SetKey(keyText));
    QCOMPARE(registry.GetErrorText(), error);
    QVERIFY(!registry.WriteValue("secret", PasswordPath));
}

void TestProtectedValues::fileSizes_data()
{
    QTest::addColumn<int>("plainSize");
    QTest::addColumn<int>("fileSize");
    QTest::newRow("empty") << 0 << 80;
    QTest::newRow("digest-sized") << 20 << 96;
    QTest::newRow("one block less one") << 15 << 80;
    QTest::newRow("one block") << 16 << 96;
    QTest::newRow("one piece") << 4096 << 4176;
    QTest::newRow("piece less one") << 4095 << 4160;
    QTest::newRow("two pieces and some") << 8200 << 64 + 8192 + 16;
}

void TestProtectedValues::fileSizes()
{
    QFETCH(int, plainSize);
    QFETCH(int, fileSize);
    QByteArray plain(plainSize, '\0');
    for (int i = 0; i < plainSize; ++i)
        plain[i] = static_cast<char>(i * 7);
    const QString path = m_dir.filePath(QStringLiteral("sized.bin"));
    CFileCipher cipher;
    QVERIFY(cipher.EncryptToFile(plain, path, "file key text"));
    QCOMPARE(QFileInfo(path).size(), qint64(fileSize));
    QByteArray back;
    QVERIFY2(cipher.DecryptFromFile(&back, path, "file key text"), qPrintable(cipher.GetErrorText()));
    QCOMPARE(back, plain);
}

void TestProtectedValues::roundTripAndFreshness()
{
    const QString a = m_dir.filePath(QStringLiteral("a.bin"));
    const QString b = m_dir.filePath(QStringLiteral("b.bin"));
    CFileCipher cipher;
    QVERIFY(cipher.EncryptToFile("same content", a, "a key text"));
    QVERIFY(cipher.EncryptToFile("same content", b, "a key text"));
    QCOMPARE(readFile(a).size(), readFile(b).size());
    QVERIFY(readFile(a) != readFile(b));

    // Deciphering only reads: a read-only file is enough.
    QFile::setPermissions(a, QFileDevice::ReadOwner);
    QByteArray back;
    QVERIFY(cipher.DecryptFromFile(&back, a, "a key text"));
    QCOMPARE(back, QByteArray("same content"));
    QFile::setPermissions(a, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

void TestProtectedValues::piecesRestartFromBodyIv()
{
    const QByteArray piece(4096, 'P');
    const QString path = m_dir.filePath(QStringLiteral("pieces.bin"));
    CFileCipher cipher;
    QVERIFY(cipher.EncryptToFile(piece + piece, path, "piece key"));
    const QByteArray content = readFile(path);
    QCOMPARE(content.size(), 64 + 8192 + 16);
    QCOMPARE(content.mid(64, 4096), content.mid(64 + 4096, 4096));
}

void TestProtectedValues::damagedFiles_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QString>("error");
    QTest::newRow("wrong key") << QStringLiteral("key") << QStringLiteral("File check value is incorrect.");
    QTest::newRow("changed body byte")
        << QStringLiteral("body") << QStringLiteral("File check value is incorrect.");
    QTest::newRow("changed check block")
        << QStringLiteral("check") << QStringLiteral("File check value is incorrect.");
    QTest::newRow("cut by one byte") << QStringLiteral("cut")
                                     << QStringLiteral("The file size was incorrect.");
    QTest::newRow("one byte added") << QStringLiteral("grow")
                                    << QStringLiteral("The file size was incorrect.");
    QTest::newRow("shorter than a protected file")
        << QStringLiteral("short") << QStringLiteral("The file size was incorrect.");
    QTest::newRow("empty") << QStringLiteral("empty") << QStringLiteral("The file size was incorrect.");
}

void TestProtectedValues::damagedFiles()
{
    QFETCH(QString, damage);
    QFETCH(QString, error);
    const QString path = m_dir.filePath(QStringLiteral("damaged.bin"));
    CFileCipher cipher;
    QVERIFY(cipher.EncryptToFile(QByteArray(100, 'x'), path, "right key"));
    QByteArray content = readFile(path);
    QByteArray key = "right key";
    if (damage == QLatin1String("key"))
        key = "wrong key";
    else if (damage == QLatin1String("body"))
        content[content.size() - 20] = static_cast<char>(content.at(content.size() - 20) ^ 0x01);
    else if (damage == QLatin1String("check"))
        content[20] = static_cast<char>(content.at(20) ^ 0x40);
    else if (damage == QLatin1String("cut"))
        content.chop(1);
    else if (damage == QLatin1String("grow"))
        content.append('!');
    else if (damage == QLatin1String("short"))
        content = content.left(64);
    else if (damage == QLatin1String("empty"))
        content.clear();
    writeFile(path, content);
    QByteArray out = "untouched";
    QVERIFY(!cipher.DecryptFromFile(&out, path, key));
    QCOMPARE(cipher.GetErrorText(), error);
    QCOMPARE(out, QByteArray("untouched"));

    QVERIFY(!cipher.DecryptText(&out, QByteArray(16, 'i'), key));
    QCOMPARE(cipher.GetErrorText(),
        QStringLiteral("The size of the cipher text must be a multiple of sixteen bytes."));
}

void TestProtectedValues::registryValueSizes()
{
    CRegistryCipher cipher;
    QVERIFY(cipher.SetKey("registry key"));
    QByteArray value;
    QVERIFY(cipher.Encode("8charpwd", &value));
    QCOMPARE(value.size(), 26);
    QCOMPARE(value.left(2), QByteArray::fromHex("1800"));
    QVERIFY(cipher.Encode("", &value));
    QCOMPARE(value.size(), 18);
    QCOMPARE(value.left(2), QByteArray::fromHex("1000"));

    QByteArray first, second, text;
    QVERIFY(cipher.Encode("same", &first));
    QVERIFY(cipher.Encode("same", &second));
    QVERIFY(first != second);
    QVERIFY(cipher.Decode(first, &text));
    QCOMPARE(text, QByteArray("same"));
}

void TestProtectedValues::registryValueDamage_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::newRow("count 8 and 8 bytes") << QByteArray::fromHex("0800") + QByteArray(8, 'a');
    QTest::newRow("count larger than the value") << QByteArray::fromHex("2000") + QByteArray(16, 'a');
    QTest::newRow("count smaller than the value") << QByteArray::fromHex("1000") + QByteArray(24, 'a');
    QTest::newRow("not whole blocks") << QByteArray::fromHex("1400") + QByteArray(20, 'a');
    QTest::newRow("huge count") << QByteArray::fromHex("ffffffffffff") + QByteArray(16, 'a');
    QTest::newRow("nothing") << QByteArray();
}

void TestProtectedValues::registryValueDamage()
{
    QFETCH(QByteArray, value);
    CRegistryCipher cipher;
    QVERIFY(cipher.SetKey("registry key"));
    QByteArray text;
    QVERIFY(!cipher.Decode(value, &text));
    QCOMPARE(cipher.GetErrorText(),
        QStringLiteral("The size of the string stored in the registry was incorrect."));
}

void TestProtectedValues::registryStoreRoundTrip()
{
    TestEnvironment home;
    CRegistryCipher writer;
    QVERIFY(writer.SetKey("password key"));
    QVERIFY2(writer.WriteValue("s3cr3t pass", PasswordPath), qPrintable(writer.GetErrorText()));

    CRegistryCipher reader;
    QVERIFY(reader.SetKey("password key"));
    QByteArray text;
    QVERIFY(reader.ReadValue(&text, PasswordPath));
    QCOMPARE(text, QByteArray("s3cr3t pass"));

    // The identity's store is one file, found whatever the case of the identity name.
    QVERIFY(reader.ReadValue(
        &text, QStringLiteral("hkey_current_user\\Software\\Talvenor\\ZEPH\\WORK\\Settings\\Password")));

    CRegistryCipher deleter;
    QVERIFY(deleter.DeleteValue(PasswordPath));
    QVERIFY(!reader.ReadValue(&text, PasswordPath));
    QCOMPARE(reader.GetErrorText(),
        QStringLiteral("Unexpected error while trying to read data from registry value "
                       "Software\\Talvenor\\ZEPH\\Work\\Settings\\Password."));
    QVERIFY(!deleter.DeleteValue(PasswordPath));
    QCOMPARE(deleter.GetErrorText(),
        QStringLiteral("Unexpected error while trying to delete value "
                       "Software\\Talvenor\\ZEPH\\Work\\Settings\\Password from registry."));
}

void TestProtectedValues::registryPaths_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("error");
    QTest::newRow("abbreviated root")
        << QStringLiteral("HKCU\\Software\\Talvenor\\ZEPH\\Work\\Settings\\Password")
        << QStringLiteral(
               "The registry HKEY value of \"HKCU\" is invalid.  Valid values are HKEY_CLASSES_ROOT, "
               "HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS, HKEY_PERFORMANCE_DATA, "
               "HKEY_CURRENT_CONFIG, or HKEY_DYN_DATA.");
    QTest::newRow("outside the program's tree")
        << QStringLiteral("HKEY_CURRENT_USER\\Software\\Other\\Password")
        << QStringLiteral("Unexpected error while trying to open registry Software\\Other for reading.");
    QTest::newRow("another root")
        << QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Talvenor\\ZEPH\\Work\\Settings\\Password")
        << QStringLiteral("Unexpected error while trying to open registry "
                          "HKEY_LOCAL_MACHINE\\Software\\Talvenor\\ZEPH\\Work\\Settings for reading.");
}

void TestProtectedValues::registryPaths()
{
    QFETCH(QString, path);
    QFETCH(QString, error);
    TestEnvironment home;
    CRegistryCipher cipher;
    QVERIFY(cipher.SetKey("password key"));
    QByteArray text;
    QVERIFY(!cipher.ReadValue(&text, path));
    QCOMPARE(cipher.GetErrorText(), error);
}

QTEST_GUILESS_MAIN(TestProtectedValues)
#include "tst_protectedvalues.moc"
