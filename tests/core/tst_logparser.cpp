#include "TestEnvironment.h"
#include "core/log/CLogDisplayDoc.h"
#include "core/log/CLogEntrySorter.h"
#include "core/log/CLogParser.h"
#include "core/settings/CAppState.h"
#include "core/settings/Profile.h"
#include "core/settings/SettingsTable.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <random>

namespace {

// An entry as one line: recipe|from|subject|to|date|dateKey|sender|folder|size.
QByteArray describe(const CLogDisplayDoc& doc, qsizetype i)
{
    const CLogEntry& e = doc.GetEntry(i);
    return e.RecipeName().toByteArray() + '|' + e.HeaderFrom().toByteArray() + '|' + e.Subject().toByteArray()
        + '|' + e.HeaderTo().toByteArray() + '|' + doc.DateText(e) + '|' + e.DateSortKey() + '|'
        + e.EnvelopeSender().toByteArray() + '|' + e.Folder().toByteArray() + '|' + e.Size().toByteArray();
}

// The fields of one part of an entry as one line.
QByteArray partText(const LogFields& f, unsigned part)
{
    switch (part) {
    case CLogParser::RecipePart:
        return "recipe " + f.recipe.toByteArray();
    case CLogParser::ToPart:
        return "to " + f.to.toByteArray();
    case CLogParser::FromPart:
        return "from " + f.from.toByteArray();
    case CLogParser::EnvelopePart:
        return "sender " + f.sender.toByteArray() + " date " + QByteArray::number(f.dateKnown) + ' '
            + f.day.toByteArray() + ' ' + QByteArray::number(f.month) + ' ' + f.year.toByteArray() + ' '
            + f.time.toByteArray() + ' ' + QByteArray::number(f.centuryNineteen);
    case CLogParser::SubjectPart:
        return "subject " + f.subject.toByteArray();
    default:
        return "folder " + f.folder.toByteArray() + " size " + f.size.toByteArray();
    }
}

QList<QByteArray> allEntries(const CLogDisplayDoc& doc)
{
    QList<QByteArray> out;
    for (qsizetype i = 0; i < doc.GetEntryCount(); ++i)
        out.append(describe(doc, i));
    return out;
}

QList<QByteArray> allUnparsed(const CLogDisplayDoc& doc)
{
    QList<QByteArray> out;
    for (qsizetype i = 0; i < doc.GetUnparsedCount(); ++i) {
        const CLogDisplayDoc::UnparsedLine line = doc.GetUnparsedLine(i);
        out.append(QByteArray::number(line.number) + ':' + line.text.toByteArray());
    }
    return out;
}

const QByteArray kAbstract = "From bob@example.org  Mon Jan  1 00:00:00 2007\n"
                             " Subject: Re:  hello\n"
                             "  Folder: /home/u/mail/inbox\t\t\t\t\t\t\t    108\n";
const QByteArray kAbstractEntry
    = "||Re:  hello||01/01/07 00:00|2007010100:00|bob@example.org|/home/u/mail/inbox|108";

QByteArray repeated(char c, int n)
{
    return QByteArray(n, c);
}

} // namespace

class TestLogParser : public QObject
{
    Q_OBJECT

private slots:
    void init() { CAppState::Instance().Reset(); }

    void parse_data();
    void parse();
    void dateFormats_data();
    void dateFormats();
    void unparsedText();
    void megabyteLines();
    void binaryGarbage();
    void cellTextLimit();
    void progressAndCancel();
    void fileErrors();
    void growingAndShrinkingFile();
    void sortFixture_data();
    void sortFixture();
    void sortMatchesReference();
    void find_data();
    void find();
    void findWithProgress_data();
    void findWithProgress();
    void colourRules_data();
    void colourRules();
    void recolourAfterSettingsChange();

private:
    TestEnvironment m_env;
};

void TestLogParser::parse_data()
{
    QTest::addColumn<QByteArray>("log");
    QTest::addColumn<QList<QByteArray>>("entries");
    QTest::addColumn<QList<QByteArray>>("unparsed");
    using L = QList<QByteArray>;

    QTest::newRow("empty file") << QByteArray() << L {} << L {};
    QTest::newRow("only empty lines") << QByteArray("\n\n\r\n") << L {} << L {};
    QTest::newRow("procmail abstract") << kAbstract << L { kAbstractEntry } << L {};
    QTest::newRow("abstract without subject")
        << QByteArray("From a@b  Tue Feb 13 09:05:59 2007\n  Folder: spam\t\t\t\t\t\t\t\t   2048\n")
        << L { "||||02/13/07 09:05|2007021309:05|a@b|spam|2048" } << L {};
    QTest::newRow("program entry with subject")
        << QByteArray("RECIPE: Lists\nTO: me@example.org\nFROM: Joe <joe@x.org> \n") + kAbstract
        << L { "Lists|Joe <joe@x.org> |Re:  hello|me@example.org|01/01/07 "
               "00:00|2007010100:00|bob@example.org|"
               "/home/u/mail/inbox|108" }
        << L {};
    QTest::newRow("program entry without subject, bare folder line")
        << QByteArray("RECIPE: Drop\nTO: me\nFROM: x \nFrom x@y  Wed Mar  7 10:11:12 2007\n  Folder: \n")
        << L { "Drop|x ||me|03/07/07 10:11|2007030710:11|x@y||" } << L {};
    QTest::newRow("CR LF line ends") << QByteArray(kAbstract).replace("\n", "\r\n") << L { kAbstractEntry }
                                     << L {};
    QTest::newRow("last line without line end") << kAbstract.chopped(1) << L { kAbstractEntry } << L {};
    QTest::newRow("blank lines between entries keep the numbering") << QByteArray("\n") + kAbstract
            + "\nnoise\n" << L { kAbstractEntry } << L { "6:noise" };
    QTest::newRow("program entry broken by an empty line") << QByteArray("RECIPE: R\nTO: t\nFROM: f\n\n")
            + kAbstract << L { kAbstractEntry } << L { "1:RECIPE: R", "2:TO: t", "3:FROM: f" };
    QTest::newRow("upper-case SUBJECT is a subject line")
        << QByteArray("From a@b  Mon Jan  1 00:00:00 2007\n SUBJECT: Loud\n  Folder: x 1\n")
        << L { "||Loud||01/01/07 00:00|2007010100:00|a@b|x|1" } << L {};
    QTest::newRow("lower-case folder breaks the entry")
        << QByteArray("From a@b  Mon Jan  1 00:00:00 2007\n Subject: s\n  folder: x 1\n") << L {}
        << L { "1:From a@b  Mon Jan  1 00:00:00 2007", "2: Subject: s", "3:  folder: x 1" };
    QTest::newRow("log cut inside an entry")
        << QByteArray("From a@b  Mon Jan  1 00:00:00 2007\n Subject: cut") << L {}
        << L { "1:From a@b  Mon Jan  1 00:00:00 2007", "2: Subject: cut" };
    QTest::newRow("recipe line cut at the end of the file")
        << QByteArray("RECIPE: R\nTO: t\n") << L {} << L { "1:RECIPE: R", "2:TO: t" };
    QTest::newRow("lone TO and FROM lines")
        << QByteArray("TO: a\nFROM: b\n") << L {} << L { "1:TO: a", "2:FROM: b" };
    QTest::newRow("a broken program entry keeps the abstract behind it")
        << QByteArray("RECIPE: R\nTO: t\nFROM: f\n") + kAbstract.left(kAbstract.indexOf('\n') + 1)
            + "garbage\n" + kAbstract
        << L { kAbstractEntry }
        << L { "1:RECIPE: R", "2:TO: t", "3:FROM: f", "4:From bob@example.org  Mon Jan  1 00:00:00 2007",
               "5:garbage" };
    QTest::newRow("procmail error lines") << QByteArray("procmail: Unknown user \"x\"\n") + kAbstract
                                          << L { kAbstractEntry } << L { "1:procmail: Unknown user \"x\"" };
    QTest::newRow("three-letter local sender has a date")
        << QByteArray("From bob  Thu Dec 10 04:36:33 2026\n  Folder: inbox 5\n")
        << L { "||||12/10/26 04:36|2026121004:36|bob|inbox|5" } << L {};
    QTest::newRow("weekday and month first: no sender")
        << QByteArray("From Mon Jan  1 00:00:00 2007\n  Folder: inbox 5\n")
        << L { "||||unknown|unknown|Mon Jan  1 00:00:00 2007|inbox|5" } << L {};
    QTest::newRow("sender without date") << QByteArray("From lonely\n  Folder: inbox 5\n")
                                         << L { "||||unknown|unknown|lonely|inbox|5" } << L {};
    QTest::newRow("date too short") << QByteArray("From a@b  Mon Jan 1\n  Folder: inbox 5\n")
                                    << L { "||||unknown|unknown|a@b|inbox|5" } << L {};
    QTest::newRow("unknown month gives 00")
        << QByteArray("From a@b  Mon Xyz 12 10:11:12 2007\n  Folder: i 5\n")
        << L { "||||00/12/07 10:11|2007001210:11|a@b|i|5" } << L {};
    QTest::newRow("lower-case month name")
        << QByteArray("From a@b  mon dec 31 23:59:59 1999\n  Folder: i 5\n")
        << L { "||||12/31/99 23:59|1999123123:59|a@b|i|5" } << L {};
    QTest::newRow("year 89 is 2089") << QByteArray("From a@b  Mon Jan  1 00:00:00 1989\n  Folder: i 5\n")
                                     << L { "||||01/01/89 00:00|2089010100:00|a@b|i|5" } << L {};
    QTest::newRow("year 90 is 1990") << QByteArray("From a@b  Mon Jan  1 00:00:00 1990\n  Folder: i 5\n")
                                     << L { "||||01/01/90 00:00|1990010100:00|a@b|i|5" } << L {};
    QTest::newRow("size of eight digits after a tab")
        << QByteArray("From a@b  Mon Jan  1 00:00:00 2007\n  Folder: /var/mail/u\t\t\t\t\t\t\t\t12345678\n")
        << L { "||||01/01/07 00:00|2007010100:00|a@b|/var/mail/u|12345678" } << L {};
    QTest::newRow("size with blanks before it")
        << QByteArray("From a@b  Mon Jan  1 00:00:00 2007\n  Folder: box with blanks   1234567\n")
        << L { "||||01/01/07 00:00|2007010100:00|a@b|box with blanks|1234567" } << L {};
    QTest::newRow("folder that is a number keeps it")
        << QByteArray("From a@b  Mon Jan  1 00:00:00 2007\n  Folder: 12345\n")
        << L { "||||01/01/07 00:00|2007010100:00|a@b|12345|" } << L {};
    QTest::newRow("subject with tabs and no blank after the colon")
        << QByteArray("From a@b  Mon Jan  1 00:00:00 2007\n Subject:x\ty\n  Folder: i 5\n")
        << L { "||x\ty||01/01/07 00:00|2007010100:00|a@b|i|5" } << L {};
}

void TestLogParser::parse()
{
    QFETCH(QByteArray, log);
    QFETCH(QList<QByteArray>, entries);
    QFETCH(QList<QByteArray>, unparsed);
    CLogDisplayDoc doc;
    doc.SetDateFormat(0, QStringLiteral("/"));
    doc.OpenData(log);
    QCOMPARE(allEntries(doc), entries);
    QCOMPARE(allUnparsed(doc), unparsed);
    QVERIFY(doc.ErrorText().isEmpty());
    // A read of one part, as a sort or a colour rule does, finds it as a read of every field does.
    for (qsizetype i = 0; i < doc.GetEntryCount(); ++i) {
        const CLogEntry& e = doc.GetEntry(i);
        for (unsigned part = CLogParser::RecipePart; part <= CLogParser::FolderPart; part <<= 1)
            QCOMPARE(partText(e.Parts(part), part), partText(e.Fields(), part));
    }
}

void TestLogParser::dateFormats_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QByteArray>("date");
    QTest::newRow("month day year") << 0 << QStringLiteral("/") << QByteArray("01/02/07 03:04");
    QTest::newRow("day month year with point") << 1 << QStringLiteral(".") << QByteArray("02.01.07 03:04");
    QTest::newRow("year month day with point") << 2 << QStringLiteral(".") << QByteArray("07.01.02 03:04");
    QTest::newRow("only the first character") << 0 << QStringLiteral("-+") << QByteArray("01-02-07 03:04");
    QTest::newRow("empty separator keeps the slash") << 0 << QString() << QByteArray("01/02/07 03:04");
    QTest::newRow("stored format out of range") << 7 << QStringLiteral("/") << QByteArray("01/02/07 03:04");
    QTest::newRow("non-ASCII separator") << 1 << QStringLiteral("\u00b7")
                                         << QByteArray("02\xc2\xb7"
                                                       "01\xc2\xb7"
                                                       "07 03:04");
}

void TestLogParser::dateFormats()
{
    QFETCH(int, format);
    QFETCH(QString, separator);
    QFETCH(QByteArray, date);
    // Through the settings, as a document opened by the program reads them.
    SetSetting(Settings::LogDateFormat, format);
    SetSetting(Settings::LogDateSeparator, separator.isNull() ? QStringLiteral("") : separator);
    CLogDisplayDoc doc;
    doc.OpenData("From a@b  Tue Jan  2 03:04:05 2007\n  Folder: i 5\n");
    QCOMPARE(doc.GetEntryCount(), 1);
    QCOMPARE(doc.DateText(doc.GetEntry(0)), date);
    // The key never depends on the format.
    QCOMPARE(doc.GetEntry(0).DateSortKey(), QByteArray("2007010203:04"));
}

void TestLogParser::unparsedText()
{
    CLogDisplayDoc doc;
    doc.OpenData("first\r\n" + kAbstract + "\nlast");
    QCOMPARE(doc.GetUnparsedCount(), 2);
    QCOMPARE(doc.GetUnparsedText(), QByteArray("Line 1:  first\r\nLine 6:  last\r\n"));
}

void TestLogParser::megabyteLines()
{
    const QByteArray subject = repeated('s', 3 << 20);
    const QByteArray noise = repeated('n', 5 << 20);
    CLogDisplayDoc doc;
    doc.OpenData(noise + "\nFrom a@b  Mon Jan  1 00:00:00 2007\n Subject: " + subject
        + "\n  Folder: " + repeated('f', 2 << 20) + "\t99\n" + noise);
    QCOMPARE(doc.GetEntryCount(), 1);
    QCOMPARE(doc.GetEntry(0).Subject().size(), subject.size());
    QCOMPARE(doc.GetEntry(0).Folder().size(), qsizetype(2 << 20));
    QCOMPARE(doc.GetEntry(0).Size(), QByteArrayView("99"));
    QCOMPARE(doc.GetUnparsedCount(), 2);
    QCOMPARE(doc.GetUnparsedLine(1).number, qint64(5));
    QCOMPARE(doc.GetUnparsedLine(1).text.size(), noise.size());
    doc.SortEntries(CLogEntry::SubjectColumn, true);
    QCOMPARE(doc.FindEntry(QStringLiteral("SSS"), 0, false), 0);
}

void TestLogParser::cellTextLimit()
{
    // "\xc3\xbc" is one character; a cut after four bytes would split the second one.
    CLogDisplayDoc doc;
    doc.OpenData("From a@b  Mon Jan  1 00:00:00 2007\n Subject: a\xc3\xbc"
                 "b\xc3\xbc"
                 "c\n  Folder: i 5\n");
    QCOMPARE(doc.CellText(0, CLogEntry::SubjectColumn),
        QStringLiteral("a\u00fcb\u00fc"
                       "c"));
    QCOMPARE(doc.CellText(0, CLogEntry::SubjectColumn, 5),
        QStringLiteral("a\u00fc"
                       "b"));
    QCOMPARE(doc.CellText(0, CLogEntry::SubjectColumn, 6),
        QStringLiteral("a\u00fc"
                       "b\u00fc"));
    QCOMPARE(doc.CellText(0, CLogEntry::SubjectColumn, 0), QString());
    QCOMPARE(doc.CellText(0, CLogEntry::DateColumn, 2), QStringLiteral("01/01/07 00:00"));
}

void TestLogParser::binaryGarbage()
{
    std::mt19937 random(7);
    QByteArray garbage;
    for (int i = 0; i < 200000; ++i)
        garbage.append(static_cast<char>(random() & 0xFF));
    // Garbage, then a real entry, then garbage that contains entry beginnings but no entries.
    QByteArray log = garbage + "\n" + kAbstract + garbage + "\nFrom \0\xff\n Subject: \0\n";
    log.append(QByteArray("RECIPE: \0\0\n", 11));
    CLogDisplayDoc doc;
    doc.OpenData(log);
    QCOMPARE(doc.GetEntryCount(), 1);
    QCOMPARE(describe(doc, 0), kAbstractEntry);
    // Every line is accounted for: each non-empty line outside the entry is unparsed, in order.
    qint64 previous = 0;
    for (qsizetype i = 0; i < doc.GetUnparsedCount(); ++i) {
        const CLogDisplayDoc::UnparsedLine line = doc.GetUnparsedLine(i);
        QVERIFY(line.number > previous);
        QVERIFY(!line.text.isEmpty());
        previous = line.number;
    }
    QCOMPARE(previous, qint64(log.count('\n')));
    QVERIFY(doc.GetUnparsedText().startsWith("Line 1:  "));
}

void TestLogParser::progressAndCancel()
{
    QByteArray log;
    for (int i = 0; i < 5000; ++i)
        log += kAbstract;
    {
        CLogDisplayDoc doc;
        qint64 last = -1;
        qint64 lastTotal = 0;
        bool monotonic = true;
        doc.OpenData(log, [&](qint64 done, qint64 total) {
            monotonic = monotonic && done >= last && done <= total;
            last = done;
            lastTotal = total;
            return true;
        });
        QVERIFY(monotonic);
        QCOMPARE(last, lastTotal);
        QCOMPARE(doc.GetEntryCount(), 5000);
        QVERIFY(!doc.WasCancelled());
    }
    {
        CLogDisplayDoc doc;
        int calls = 0;
        doc.OpenData(log, [&](qint64, qint64) { return ++calls < 10; });
        QVERIFY(doc.WasCancelled());
        QVERIFY(doc.GetEntryCount() > 0);
        QVERIFY(doc.GetEntryCount() < 5000);
        // The rest of the file is neither parsed nor listed as unparsed.
        QCOMPARE(doc.GetUnparsedCount(), 0);
    }
    {
        CLogDisplayDoc doc;
        qint64 total = -1;
        doc.OpenData(QByteArray(), [&](qint64, qint64 t) {
            total = t;
            return true;
        });
        QCOMPARE(total, qint64(1));
        QCOMPARE(doc.GetEntryCount(), 0);
    }
}

void TestLogParser::fileErrors()
{
    QTemporaryDir dir;
    CLogDisplayDoc doc;
    QVERIFY(doc.Open(dir.filePath(QStringLiteral("missing.log"))));
    QCOMPARE(doc.GetEntryCount(), 0);
    QVERIFY(doc.ErrorText().contains(QStringLiteral("missing.log")));
    CLogDisplayDoc folder;
    folder.Open(dir.path());
    QCOMPARE(folder.GetEntryCount(), 0);
    QVERIFY(!folder.ErrorText().isEmpty());
}

void TestLogParser::growingAndShrinkingFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("zeph.log"));
    QByteArray log;
    while (log.size() < (20 << 20))
        log += kAbstract;
    const qsizetype count = log.count("From ");
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(log);
    }
    // procmail appends while we read: the read stops at the length the file had when opened.
    {
        CLogDisplayDoc doc;
        doc.Open(path, [&](qint64, qint64) {
            QFile file(path);
            if (file.open(QIODevice::Append))
                file.write(kAbstract + kAbstract);
            return true;
        });
        QCOMPARE(doc.GetEntryCount(), count);
        QCOMPARE(doc.GetUnparsedCount(), 0);
        QVERIFY(doc.ErrorText().isEmpty());
    }
    // The file is cut short while we read: what was read is parsed, the cut entry is unparsed.
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(log);
        file.close();
        CLogDisplayDoc doc;
        bool cut = false;
        doc.Open(path, [&](qint64, qint64) {
            if (!cut) {
                cut = true;
                QFile::resize(path, (12 << 20) + 7);
            }
            return true;
        });
        QVERIFY(doc.GetEntryCount() > 0);
        QVERIFY(doc.GetEntryCount() < count);
        QVERIFY(doc.GetUnparsedCount() <= 3);
    }
}

void TestLogParser::sortFixture_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<bool>("ascending");
    QTest::addColumn<QByteArray>("order"); // envelope senders' last letters in list order

    QTest::newRow("recipe ascending, case ignored") << 0 << true << QByteArray("cdfabe");
    QTest::newRow("recipe descending") << 0 << false << QByteArray("beacdf");
    QTest::newRow("from ascending") << 1 << true << QByteArray("cdfeba");
    QTest::newRow("subject ascending ignores one Re:") << 2 << true << QByteArray("fcadbe");
    QTest::newRow("subject descending") << 2 << false << QByteArray("ebdacf");
    QTest::newRow("to ascending") << 3 << true << QByteArray("cdfbae");
    QTest::newRow("date ascending, unknown last") << 4 << true << QByteArray("adebcf");
    QTest::newRow("date descending") << 4 << false << QByteArray("fcbeda");
    QTest::newRow("sender descending") << 5 << false << QByteArray("fedcba");
    QTest::newRow("folder ascending") << 6 << true << QByteArray("cabdfe");
    QTest::newRow("size ascending: 9 before 10, empty as 0") << 7 << true << QByteArray("cfbdae");
    QTest::newRow("size descending, equal sizes in file order") << 7 << false << QByteArray("aedbcf");
}

void TestLogParser::sortFixture()
{
    QFETCH(int, column);
    QFETCH(bool, ascending);
    QFETCH(QByteArray, order);
    const QByteArray log = "RECIPE: spam\nTO: zed\nFROM: Zoe\nFrom s-a  Mon Jan  1 00:00:00 1990\n"
                           " Subject: Re: beta\n  Folder: Inbox 100\n"
                           "RECIPE: Work\nTO: Yan\nFROM: yves\nFrom s-b  Mon Mar  1 00:00:00 2007\n"
                           " Subject: RE:   Delta\n  Folder: inbox 9\n"
                           "From s-c  Mon Dec 31 23:59:00 2089\n Subject: alpha\n  Folder: \n"
                           "From s-d  Mon Jan  1 00:00:00 1999\n Subject: re:charlie\n  Folder: INBOX 10\n"
                           "RECIPE: WORK\nTO: zz\nFROM: X\nFrom s-e  Mon Jan  2 00:00:00 1999\n"
                           " Subject: Re: Re: echo\n  Folder: work 100\n"
                           "From s-f  Fri Feb 30\n  Folder: Inbox 0\n";
    CLogDisplayDoc doc;
    doc.OpenData(log);
    QCOMPARE(doc.GetEntryCount(), 6);
    doc.SortEntries(column, ascending);
    QByteArray got;
    for (qsizetype i = 0; i < doc.GetEntryCount(); ++i)
        got.append(doc.GetEntry(i).EnvelopeSender().back());
    QCOMPARE(got, order);
    // A column outside 0 to 7 leaves the order alone.
    doc.SortEntries(8, true);
    doc.SortEntries(-1, false);
    QByteArray again;
    for (qsizetype i = 0; i < doc.GetEntryCount(); ++i)
        again.append(doc.GetEntry(i).EnvelopeSender().back());
    QCOMPARE(again, order);
}

// The eight-bytes-at-a-time sort against a plain comparison of whole folded keys, on keys
// built to share long prefixes, end on and around eight-byte boundaries and hold NUL bytes.
void TestLogParser::sortMatchesReference()
{
    std::mt19937 random(42);
    const char alphabet[] = { 'a', 'A', 'b', 'B', '\0', ' ', '~', '\xe9' };
    QByteArray log;
    for (int i = 0; i < 3000; ++i) {
        QByteArray word = QByteArray("prefix-shared-by-all-").left(static_cast<int>(random() % 22));
        const int extra = static_cast<int>(random() % 12);
        for (int k = 0; k < extra; ++k)
            word.append(alphabet[random() % sizeof alphabet]);
        QByteArray size = QByteArray::number(static_cast<qulonglong>(random() % 50));
        if (random() % 10 == 0)
            size = "99999999999999999999999"; // saturates
        log += "RECIPE: " + word + "\nTO: " + word.toUpper() + "\nFROM: " + word + "x\nFrom "
            + (word.isEmpty() ? "e" : word.replace(' ', '_')) + "  Mon Jan "
            + QByteArray::number(static_cast<int>(random() % 31 + 1)) + " 0"
            + QByteArray::number(static_cast<int>(random() % 10)) + ":00:00 20"
            + QByteArray::number(static_cast<int>(random() % 10 + 10)) + "\n Subject: "
            + (random() % 2 ? "Re: " : "") + word + "\n  Folder: " + word + "\t" + size + "\n";
    }
    CLogDisplayDoc doc;
    doc.OpenData(log);
    QVERIFY(doc.GetEntryCount() > 2000);
    const qsizetype n = doc.GetEntryCount();
    std::vector<const CLogEntry*> fileOrder;
    for (qsizetype i = 0; i < n; ++i)
        fileOrder.push_back(&doc.GetEntry(i));
    auto key = [](const CLogEntry& e, int column) {
        QByteArrayView pieces[CLogEntry::MaxDateKeyPieces];
        const int count = CLogEntrySorter::KeyPieces(e, column, pieces);
        QByteArray k;
        for (int i = 0; i < count; ++i)
            k.append(pieces[i]);
        for (char& c : k)
            c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
        return k;
    };
    for (int column = 0; column < CLogEntry::ColumnCount; ++column) {
        for (bool ascending : { true, false }) {
            std::vector<const CLogEntry*> expected = fileOrder;
            std::stable_sort(expected.begin(), expected.end(), [&](const CLogEntry* a, const CLogEntry* b) {
                int c;
                if (column == CLogEntry::SizeColumn)
                    c = a->SizeValue() < b->SizeValue() ? -1 : (a->SizeValue() > b->SizeValue() ? 1 : 0);
                else
                    c = key(*a, column).compare(key(*b, column));
                c = c < 0 ? -1 : (c > 0 ? 1 : 0);
                return (ascending ? c : -c) < 0;
            });
            doc.SortEntries(column, ascending);
            for (qsizetype i = 0; i < n; ++i) {
                if (&doc.GetEntry(i) != expected[static_cast<size_t>(i)])
                    QFAIL(qPrintable(QStringLiteral("column %1 %2: position %3 differs")
                                         .arg(column)
                                         .arg(QLatin1String(ascending ? "ascending" : "descending"))
                                         .arg(i)));
            }
        }
    }
}

void TestLogParser::find_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("start");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<int>("found");
    QTest::newRow("subject, any case") << QStringLiteral("HELLO") << 0 << false << 0;
    QTest::newRow("subject, exact case misses") << QStringLiteral("HELLO") << 0 << true << -1;
    QTest::newRow("from start index on") << QStringLiteral("hello") << 1 << false << 2;
    QTest::newRow("recipe name") << QStringLiteral("Lists") << 0 << true << 1;
    QTest::newRow("date text") << QStringLiteral("03/07/07") << 0 << true << 2;
    QTest::newRow("size") << QStringLiteral("4242") << 0 << true << 1;
    QTest::newRow("folder") << QStringLiteral("spam") << 0 << false << 1;
    QTest::newRow("header To") << QStringLiteral("ME@EXAMPLE") << 0 << false << 1;
    QTest::newRow("sort keys are not searched") << QStringLiteral("2007030710") << 0 << false << -1;
    QTest::newRow("start past the end") << QStringLiteral("hello") << 3 << false << -1;
    QTest::newRow("non-ASCII, any case") << QStringLiteral("GR\u00dc") << 0 << false << 2;
    QTest::newRow("non-ASCII, exact case") << QStringLiteral("Gr\u00fc\u00dfe") << 0 << true << 2;
    QTest::newRow("Latin-1 field") << QStringLiteral("caf\u00e9") << 0 << true << 1;
}

void TestLogParser::find()
{
    QFETCH(QString, text);
    QFETCH(int, start);
    QFETCH(bool, matchCase);
    QFETCH(int, found);
    const QByteArray log = kAbstract
        + "RECIPE: Lists\nTO: me@example.org\nFROM: caf\xe9 \nFrom x@y  Tue Feb 13 09:05:59 2007\n"
          "  Folder: spam\t\t\t\t\t\t\t\t   4242\n"
        + "From z@y  Wed Mar  7 10:11:12 2007\n Subject: Hello Gr\xc3\xbc\xc3\x9f"
          "e\n  Folder: in 1\n";
    CLogDisplayDoc doc;
    doc.SetDateFormat(0, QStringLiteral("/"));
    doc.OpenData(log);
    QCOMPARE(doc.GetEntryCount(), 3);
    QCOMPARE(doc.FindEntry(text, start, matchCase), qsizetype(found));
}

void TestLogParser::findWithProgress_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("stopAfterCalls"); // 0: never cancel
    QTest::addColumn<int>("found"); // -1 also when cancelled
    QTest::addColumn<bool>("cancelled");
    // Entry 15000 is the only one with "needle"; progress comes every 4096 entries.
    QTest::newRow("match far down") << QStringLiteral("NEEDLE") << 0 << 0 << 15000 << false;
    QTest::newRow("no match") << QStringLiteral("haystack") << 0 << 0 << -1 << false;
    QTest::newRow("from past the match") << QStringLiteral("needle") << 15001 << 0 << -1 << false;
    QTest::newRow("cancelled before the match") << QStringLiteral("needle") << 0 << 2 << -1 << true;
    QTest::newRow("match before any report") << QStringLiteral("needle") << 14000 << 1 << 15000 << false;
}

void TestLogParser::findWithProgress()
{
    QFETCH(QString, text);
    QFETCH(int, start);
    QFETCH(int, stopAfterCalls);
    QFETCH(int, found);
    QFETCH(bool, cancelled);
    QByteArray log;
    for (int i = 0; i < 20000; ++i)
        log += "From s" + QByteArray::number(i) + "  Mon Jan  1 00:00:00 2007\n Subject: "
            + (i == 15000 ? "a needle" : "hay") + "\n  Folder: in 1\n";
    CLogDisplayDoc doc;
    doc.OpenData(log);
    QCOMPARE(doc.GetEntryCount(), 20000);
    // The same answer as a search without progress, unless cancelled.
    if (!cancelled)
        QCOMPARE(doc.FindEntry(text, start, false), qsizetype(found));
    QList<qint64> done;
    qint64 lastTotal = -1;
    bool wasCancelled = !cancelled;
    const qsizetype got = doc.FindEntry(
        text, start, false,
        [&](qint64 d, qint64 t) {
            done.append(d);
            lastTotal = t;
            return stopAfterCalls == 0 || done.size() < stopAfterCalls;
        },
        &wasCancelled);
    QCOMPARE(got, qsizetype(found));
    QCOMPARE(wasCancelled, cancelled);
    if (!done.isEmpty())
        QCOMPARE(lastTotal, qint64(20000 - start));
    for (qsizetype i = 1; i < done.size(); ++i)
        QVERIFY(done[i] > done[i - 1]);
    if (stopAfterCalls > 0 && cancelled)
        QCOMPARE(done.size(), stopAfterCalls);
}

void TestLogParser::colourRules_data()
{
    QTest::addColumn<QStringList>("rules"); // "field|text|colour" for rules 1 to 7, "" for none
    QTest::addColumn<QList<quint32>>("colours");
    using C = QList<quint32>;
    const quint32 automatic = CLogEntry::AutomaticColour;
    QTest::newRow("no rules") << QStringList {} << C { automatic, automatic, automatic };
    QTest::newRow("subject rule is case-sensitive")
        << QStringList { QStringLiteral("4|hello|255") } << C { 255, automatic, automatic };
    QTest::newRow("subject rule matches")
        << QStringList { QStringLiteral("4|Hello|255") } << C { automatic, automatic, 255 };
    QTest::newRow("first matching rule wins") << QStringList { QStringLiteral("1|spam|65280"),
        QStringLiteral("3|Lists|255") } << C { automatic, 65280, automatic };
    QTest::newRow("rule with gaps between numbers") << QStringList { QString(), QString(),
        QStringLiteral("0|bob@|16711680") } << C { 16711680, automatic, automatic };
    QTest::newRow("rule without colour does not count") << QStringList { QStringLiteral("0|bob@|-1"),
        QStringLiteral("5|me@|42") } << C { automatic, 42, automatic };
    QTest::newRow("field number out of range ends the search") << QStringList { QStringLiteral("9|x|1"),
        QStringLiteral("0|bob@|42") } << C { automatic, automatic, automatic };
    QTest::newRow("From rule on Latin-1 text")
        << QStringList { QStringLiteral("2|caf\u00e9|7") } << C { automatic, 7, automatic };
    QTest::newRow("non-ASCII subject rule")
        << QStringList { QStringLiteral("4|Gr\u00fc\u00dfe|8") } << C { automatic, automatic, 8 };
}

void TestLogParser::colourRules()
{
    QFETCH(QStringList, rules);
    QFETCH(QList<quint32>, colours);
    const QString section = QStringLiteral("Log Settings");
    for (int n = 1; n <= rules.size(); ++n) {
        const QStringList parts = rules[n - 1].split(QLatin1Char('|'));
        if (parts.size() != 3)
            continue;
        WriteProfileInt(section, QStringLiteral("Color%1 combo").arg(n), parts[0].toInt());
        WriteProfileString(section, QStringLiteral("Color%1 string").arg(n), parts[1]);
        WriteProfileInt(section, QStringLiteral("Color%1").arg(n), parts[2].toInt());
    }
    const QByteArray log = kAbstract
        + "RECIPE: Lists\nTO: me@example.org\nFROM: caf\xe9 \nFrom x@y  Tue Feb 13 09:05:59 2007\n"
          "  Folder: spam\t\t\t\t\t\t\t\t   4242\n"
        + "From z@y  Wed Mar  7 10:11:12 2007\n Subject: Hello Gr\xc3\xbc\xc3\x9f"
          "e\n  Folder: in 1\n";
    CLogDisplayDoc doc;
    doc.OpenData(log);
    QList<quint32> got;
    for (qsizetype i = 0; i < doc.GetEntryCount(); ++i)
        got.append(doc.EntryColour(i));
    QCOMPARE(got, colours);
}

void TestLogParser::recolourAfterSettingsChange()
{
    const QString section = QStringLiteral("Log Settings");
    CLogDisplayDoc doc;
    doc.OpenData(kAbstract + kAbstract);
    QCOMPARE(doc.EntryColour(1), CLogEntry::AutomaticColour);
    WriteProfileInt(section, QStringLiteral("Color7 combo"), CLogColourRules::Subject);
    WriteProfileString(section, QStringLiteral("Color7 string"), QStringLiteral("hello"));
    WriteProfileInt(section, QStringLiteral("Color7"), 0x123456);
    doc.RecolourEntries();
    QCOMPARE(doc.EntryColour(0), quint32(0x123456));
    QCOMPARE(doc.EntryColour(1), quint32(0x123456));
    // Sorting keeps each entry's colour with it; changing the rule again recolours.
    doc.SortEntries(CLogEntry::SizeColumn, false);
    WriteProfileString(section, QStringLiteral("Color7 string"), QStringLiteral("nothing like it"));
    doc.RecolourEntries();
    QCOMPARE(doc.EntryColour(0), CLogEntry::AutomaticColour);
}

QTEST_GUILESS_MAIN(TestLogParser)
#include "tst_logparser.moc"
