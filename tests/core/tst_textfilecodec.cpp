#include "core/common/TextFileCodec.h"

#include <QTest>

class TestTextFileCodec : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip_data();
    void roundTrip();
    void filesForTheHost_data();
    void filesForTheHost();
};

void TestTextFileCodec::roundTrip_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("forHost");
    QTest::addColumn<QByteArray>("saved");
    QTest::newRow("LF kept") << QByteArray("a\nb\n") << QStringLiteral("a\nb\n") << false
                             << QByteArray("a\nb\n");
    QTest::newRow("CR LF kept") << QByteArray("a\r\nb\r\n") << QStringLiteral("a\nb\n") << false
                                << QByteArray("a\r\nb\r\n");
    QTest::newRow("CR LF for the host becomes LF")
        << QByteArray("a\r\nb\r\n") << QStringLiteral("a\nb\n") << true << QByteArray("a\nb\n");
    QTest::newRow("Latin-1 bytes kept")
        << QByteArray("caf\xe9\n") << QStringLiteral("caf\u00e9\n") << false << QByteArray("caf\xe9\n");
    QTest::newRow("UTF-8 kept") << QByteArray("caf\xc3\xa9\n") << QStringLiteral("caf\u00e9\n") << false
                                << QByteArray("caf\xc3\xa9\n");
    QTest::newRow("no line end") << QByteArray("x") << QStringLiteral("x") << false << QByteArray("x");
}

void TestTextFileCodec::roundTrip()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QFETCH(bool, forHost);
    QFETCH(QByteArray, saved);
    TextFileCodec codec;
    QCOMPARE(codec.Decode(bytes), text);
    QCOMPARE(codec.Encode(text, forHost), saved);
}

void TestTextFileCodec::filesForTheHost_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("forHost");
    QTest::newRow(".procmailrc") << QStringLiteral("/d/.procmailrc") << true;
    QTest::newRow(".forward") << QStringLiteral("/d/.forward") << true;
    QTest::newRow(".qmail") << QStringLiteral(".qmail") << true;
    QTest::newRow("recipe file") << QStringLiteral("/d/zeph.recipes") << true;
    QTest::newRow("text") << QStringLiteral("/d/notes.txt") << false;
    QTest::newRow("log") << QStringLiteral("/d/zeph.log") << false;
}

void TestTextFileCodec::filesForTheHost()
{
    QFETCH(QString, path);
    QFETCH(bool, forHost);
    QCOMPARE(TextFileCodec::IsFileForHost(path), forHost);
}

QTEST_GUILESS_MAIN(TestTextFileCodec)
#include "tst_textfilecodec.moc"
