// The long-line test and the hard wrap of reply response files.
#include "core/recipes/ResponseFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestResponseFile : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString Write(const QString& name, const QByteArray& bytes)
    {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qWarning("cannot write %s", qPrintable(path));
        return path;
    }

    static QByteArray Read(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private slots:
    void wrap_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("wrapped");
        const QString x60(60, QLatin1Char('x'));
        const QString y39(39, QLatin1Char('y'));
        QTest::newRow("only blank at the 61st character") << x60 + QLatin1Char(' ') + y39
                + QLatin1Char('\n') << x60 + QLatin1Char('\n') + y39 + QLatin1Char('\n');
        QTest::newRow("no blank: cut at 72")
            << QString(150, QLatin1Char('a'))
            << QString(72, QLatin1Char('a')) + QLatin1Char('\n') + QString(72, QLatin1Char('a'))
                + QLatin1Char('\n') + QString(6, QLatin1Char('a')) + QLatin1Char('\n');
        // A blank just past the first 72 characters does not count; the one before it does.
        QTest::newRow("blank at the 73rd character")
            << QStringLiteral("ab ") + QString(69, QLatin1Char('c')) + QStringLiteral(" dd\n")
            << QStringLiteral("ab\n") + QString(69, QLatin1Char('c')) + QStringLiteral(" dd\n");
        QTest::newRow("blank at the 72nd character") << QString(71, QLatin1Char('c'))
                + QStringLiteral(" dd") << QString(71, QLatin1Char('c')) + QStringLiteral("\ndd\n");
        QTest::newRow("short lines and empty lines stay")
            << QStringLiteral("Hi,\n\nthanks.\n") << QStringLiteral("Hi,\n\nthanks.\n");
        QTest::newRow("a last line without a line end gets one")
            << QStringLiteral("Bye") << QStringLiteral("Bye\n");
        QTest::newRow("empty") << QString() << QString();
    }

    void wrap()
    {
        QFETCH(QString, text);
        QFETCH(QString, wrapped);
        QCOMPARE(ResponseFile::Wrap(text), wrapped);
    }

    void longLines_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("longLines");
        QTest::newRow("80 characters") << QByteArray(80, 'a') + "\nshort\n" << false;
        QTest::newRow("81 characters") << "short\n" + QByteArray(81, 'a') << true;
        QTest::newRow("80 characters and CR LF") << QByteArray(80, 'a') + "\r\n" << false;
        // 80 letters of two bytes each in UTF-8: characters count, not bytes.
        QTest::newRow("80 umlauts") << QString(80, QChar(0xE4)).toUtf8() + "\n" << false;
    }

    void longLines()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, longLines);
        QCOMPARE(ResponseFile::HasLongLines(Write(QStringLiteral("reply.txt"), bytes)), longLines);
    }

    void unreadableFiles()
    {
        QVERIFY(!ResponseFile::HasLongLines(m_dir.filePath(QStringLiteral("missing.txt"))));
        QString error;
        QVERIFY(!ResponseFile::WrapFile(m_dir.filePath(QStringLiteral("missing.txt")), &error));
        QVERIFY2(error.contains(QStringLiteral("missing.txt")), qPrintable(error));
        QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("missing.txt"))));
    }

    // The wrapped file keeps its encoding: Latin-1 bytes stay Latin-1.
    void wrapFileKeepsEncoding()
    {
        const QByteArray latin1 = QByteArray(70, 'a') + " caf\xE9 ok\n";
        const QString path = Write(QStringLiteral("latin1.txt"), latin1);
        QString error;
        QVERIFY2(ResponseFile::WrapFile(path, &error), qPrintable(error));
        QCOMPARE(Read(path), QByteArray(70, 'a') + "\ncaf\xE9 ok\n");
    }
};

QTEST_GUILESS_MAIN(TestResponseFile)
#include "tst_responsefile.moc"
