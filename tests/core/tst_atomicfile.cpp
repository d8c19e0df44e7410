#include "FileSizeLimit.h"
#include "core/common/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

// The peak resident memory of this process so far, in KiB.
qint64 peakResidentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

} // namespace

class TestAtomicFile : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        m_path = m_dir.filePath(QStringLiteral("target.txt"));
        QFile::remove(m_path);
    }

    void savesReplaceTheFile_data()
    {
        QTest::addColumn<int>("form");
        QTest::newRow("bytes") << 0;
        QTest::newRow("parts") << 1;
        QTest::newRow("producer") << 2;
    }

    void savesReplaceTheFile()
    {
        QFETCH(int, form);
        writeFile(m_path, "old content that is longer than the new one\n");
        QString error;
        bool saved = false;
        switch (form) {
        case 0:
            saved = SaveFileAtomically(m_path, QByteArrayView("new\r\nbytes\0x", 12), &error);
            break;
        case 1:
            saved = SaveFileAtomically(
                m_path, { QByteArrayView("new\r\n"), QByteArrayView("bytes\0x", 7) }, &error);
            break;
        case 2:
            saved = SaveFileAtomically(
                m_path,
                [](const FileSink& write, QString*) {
                    return write("new\r\n") && write(QByteArrayView("bytes\0x", 7));
                },
                &error);
            break;
        }
        QVERIFY2(saved, qPrintable(error));
        QCOMPARE(readFile(m_path), QByteArray("new\r\nbytes\0x", 12));
    }

    void failuresKeepTheOldFile()
    {
        const QByteArray old = "the recipes as they were\n";
        writeFile(m_path, old);
        QString error;

        // A full disk halfway through, small enough to sit in a write buffer until the end.
        {
            FileSizeLimit limit(64);
            QVERIFY(!SaveFileAtomically(m_path, QByteArray(1000, 'x'), &error));
        }
        QCOMPARE(error, QStringLiteral("File too large"));
        checkOldFileKept(old);

        // A producer that gives up: its own reason reaches the caller.
        error.clear();
        QVERIFY(!SaveFileAtomically(
            m_path,
            [](const FileSink& write, QString* why) {
                write("half of it");
                *why = QStringLiteral("The source went away.");
                return false;
            },
            &error));
        QCOMPARE(error, QStringLiteral("The source went away."));
        checkOldFileKept(old);

        // A folder that does not exist.
        error.clear();
        QVERIFY(!SaveFileAtomically(m_dir.filePath(QStringLiteral("missing/target.txt")), "x", &error));
        QVERIFY(!error.isEmpty());
        checkOldFileKept(old);
    }

    void copyKeepsMemoryFlat()
    {
        // 64 MiB of varied bytes: a copy that read the file whole would grow by as much.
        const QString source = m_dir.filePath(QStringLiteral("source.log"));
        {
            QFile file(source);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QByteArray piece(1 << 20, Qt::Uninitialized);
            for (int i = 0; i < 64; ++i) {
                piece.fill(char('a' + i % 26));
                piece[0] = char(i);
                QCOMPARE(file.write(piece), piece.size());
            }
        }
        const qint64 before = peakResidentKiB();
        QString error;
        QVERIFY2(CopyFileAtomically(source, m_path, &error), qPrintable(error));
        const qint64 growth = peakResidentKiB() - before;
        QVERIFY2(growth < 32 * 1024, qPrintable(QStringLiteral("peak grew by %1 KiB").arg(growth)));
        QCOMPARE(QFileInfo(m_path).size(), qint64(64) << 20);
        QFile copy(m_path);
        QVERIFY(copy.open(QIODevice::ReadOnly));
        QVERIFY(copy.seek((qint64(37) << 20)));
        QCOMPARE(copy.read(2), QByteArray("\x25l"));
        QFile::remove(source);
    }

    void copyFailuresKeepTheTarget()
    {
        const QByteArray old = "log kept\n";
        writeFile(m_path, old);
        QString error;
        QVERIFY(!CopyFileAtomically(m_dir.filePath(QStringLiteral("gone.log")), m_path, &error));
        QVERIFY(!error.isEmpty());
        checkOldFileKept(old);

        const QString source = m_dir.filePath(QStringLiteral("big.log"));
        writeFile(source, QByteArray(100000, 'y'));
        {
            FileSizeLimit limit(4096);
            QVERIFY(!CopyFileAtomically(source, m_path, &error));
        }
        QFile::remove(source);
        checkOldFileKept(old);
    }

private:
    // Whatever went wrong, the folder holds the old file and nothing else.
    void checkOldFileKept(const QByteArray& old)
    {
        QCOMPARE(readFile(m_path), old);
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden),
            QStringList { QStringLiteral("target.txt") });
    }

    QTemporaryDir m_dir;
    QString m_path;
};

QTEST_GUILESS_MAIN(TestAtomicFile)
#include "tst_atomicfile.moc"
