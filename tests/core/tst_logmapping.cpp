#include "TestEnvironment.h"
#include "core/log/CLogDisplayDoc.h"
#include "core/settings/CAppState.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// A log is mapped, not copied: a file that loses bytes while it is mapped must never end the
// process with a bus error. These tests cut the file while it is parsed and after it was opened.

namespace {

const QByteArray kAbstract = "From bob@example.org  Mon Jan  1 00:00:00 2007\n"
                             " Subject: Re:  hello\n"
                             "  Folder: /home/u/mail/inbox\t\t\t\t\t\t\t    108\n";
const QByteArray kProgramEntry = "RECIPE: Lists\nTO: me@example.org\nFROM: joe@x.org \n"
                                 "From joe@x.org  Sat Dec 31 23:59:00 2005\n"
                                 "  Folder: lists/debian\t\t\t\t\t\t\t   2048\n";

// Every entry and unparsed line of a document, one per line.
QByteArray contents(const CLogDisplayDoc& doc)
{
    QByteArray out;
    for (qsizetype i = 0; i < doc.GetEntryCount(); ++i) {
        const CLogEntry& e = doc.GetEntry(i);
        out += e.RecipeName().toByteArray() + '|' + e.Subject().toByteArray() + '|' + doc.DateText(e) + '|'
            + e.EnvelopeSender().toByteArray() + '|' + e.Folder().toByteArray() + '|' + e.Size().toByteArray()
            + '\n';
    }
    for (qsizetype i = 0; i < doc.GetUnparsedCount(); ++i) {
        const CLogDisplayDoc::UnparsedLine line = doc.GetUnparsedLine(i);
        out += QByteArray::number(line.number) + ':' + line.text.toByteArray() + '\n';
    }
    return out;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

class TestLogMapping : public QObject
{
    Q_OBJECT

private slots:
    void init() { CAppState::Instance().Reset(); }

    void cutWhileParsing_data();
    void cutWhileParsing();
    void cutAfterOpening();

private:
    TestEnvironment m_env;
};

void TestLogMapping::cutWhileParsing_data()
{
    QTest::addColumn<qint64>("cut");
    // The parse is then a little way into the file: a cut behind it takes back what it had read.
    QTest::newRow("to nothing") << qint64(0);
    QTest::newRow("at a page boundary") << qint64(1 << 20);
    QTest::newRow("inside a page, mid-line") << qint64((1 << 20) + 7);
    // Past the new end but in the same page the mapping reads zeros without any fault at all.
    QTest::newRow("inside the last page") << qint64(-5);
}

// The result equals a parse of the bytes the file kept, and the message says what happened.
void TestLogMapping::cutWhileParsing()
{
    QFETCH(qint64, cut);
    QByteArray log;
    while (log.size() < (3 << 20))
        log += kAbstract + kProgramEntry + "procmail: Couldn't create \"/var/mail/u\"\n";
    log += "last line, without a line feed";
    QVERIFY(log.size() % 4096 > 5);
    if (cut < 0)
        cut += log.size();

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("zeph.log"));
    QVERIFY(writeFile(path, log));
    CLogDisplayDoc doc;
    bool done = false;
    doc.Open(path, [&](qint64, qint64) {
        if (!done)
            done = QFile::resize(path, cut);
        return true;
    });
    QVERIFY(done);

    CLogDisplayDoc expected;
    expected.OpenData(log.left(cut));
    QCOMPARE(contents(doc), contents(expected));
    QVERIFY2(doc.ErrorText().contains(QStringLiteral("became shorter while it was read")),
        qPrintable(doc.ErrorText()));
    QVERIFY(doc.ErrorText().contains(QString::number(cut)));
}

// A log cut or emptied while it is shown: every field then reads as empty, sorting and searching
// go on, and nothing ends the process.
void TestLogMapping::cutAfterOpening()
{
    QByteArray log;
    for (int i = 0; i < 3000; ++i)
        log += kProgramEntry + kAbstract;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("zeph.log"));
    QVERIFY(writeFile(path, log));
    CLogDisplayDoc doc;
    doc.SetDateFormat(0, QStringLiteral("/"));
    doc.Open(path);
    QVERIFY(doc.ErrorText().isEmpty());
    QCOMPARE(doc.GetEntryCount(), 6000);
    QCOMPARE(doc.CellText(0, CLogEntry::RecipeNameColumn), QStringLiteral("Lists"));

    QVERIFY(QFile::resize(path, 0));
    for (int column = 0; column < CLogEntry::ColumnCount; ++column)
        doc.SortEntries(column, column % 2 == 0);
    QCOMPARE(doc.FindEntry(QStringLiteral("Lists"), 0, true), qsizetype(-1));
    for (qsizetype i = 0; i < doc.GetEntryCount(); i += 997) {
        for (int column = 0; column < CLogEntry::ColumnCount; ++column) {
            const QString expected = column == CLogEntry::DateColumn ? QStringLiteral("unknown") : QString();
            QCOMPARE(doc.CellText(i, column), expected);
        }
    }
    QCOMPARE(doc.GetEntryCount(), 6000);
}

QTEST_GUILESS_MAIN(TestLogMapping)
#include "tst_logmapping.moc"
