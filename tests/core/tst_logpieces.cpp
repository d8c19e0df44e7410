#include "TestEnvironment.h"
#include "core/log/CLogDisplayDoc.h"
#include "core/log/CLogEntrySorter.h"
#include "core/log/CLogParser.h"
#include "core/settings/CAppState.h"

#include <QFile>
#include <QTest>

#include <algorithm>
#include <memory>
#include <random>

// Work shared out between threads must give what one thread gives: a log parsed in pieces, wherever
// the pieces start (these tests try every start the log offers), and a large log sorted.

namespace {

// Entries and unparsed lines as text, in the order they came.
class Recorder : public CLogParser::Handler
{
public:
    bool Entry(const LogFields& f, const char* begin, const char* end) override
    {
        QByteArrayView pieces[LogFields::MaxDateKeyPieces];
        const int n = f.DateSortKeyPieces(pieces);
        QByteArray date;
        for (int i = 0; i < n; ++i)
            date += pieces[i].toByteArray();
        m_events.append("entry " + f.recipe.toByteArray() + '|' + f.from.toByteArray() + '|'
            + f.subject.toByteArray() + '|' + f.to.toByteArray() + '|' + date + '|' + f.sender.toByteArray()
            + '|' + f.folder.toByteArray() + '|' + f.size.toByteArray() + '|'
            + QByteArray::number(end - begin));
        return true;
    }
    void Unparsed(qint64 number, const char* text, qsizetype length) override
    {
        m_lines.append({ number, QByteArray(text, length) });
    }

    // Unparsed lines are numbered from `firstLine` on.
    void AppendTo(QList<QByteArray>* events, qint64 firstLine) const
    {
        events->append(m_events);
        for (const auto& [number, text] : m_lines)
            events->append("line " + QByteArray::number(number + firstLine - 1) + ':' + text);
    }

private:
    QList<QByteArray> m_events;
    QList<std::pair<qint64, QByteArray>> m_lines;
};

// Entries first, then unparsed lines, as a printer of the whole log lists them.
QList<QByteArray> inOnePass(const QByteArray& log)
{
    Recorder recorder;
    CLogParser::Parse(log.constData(), log.size(), nullptr, recorder);
    QList<QByteArray> events;
    recorder.AppendTo(&events, 1);
    return events;
}

QList<QByteArray> inPieces(const QByteArray& log, qint64 pieceBytes, int threads)
{
    QList<QByteArray> entries;
    QList<QByteArray> lines;
    CLogParser::Pieces pieces;
    pieces.bytes = pieceBytes;
    pieces.threads = threads;
    pieces.make = [] { return std::make_unique<Recorder>(); };
    pieces.take = [&](CLogParser::Handler& handler, qint64 firstLine) {
        QList<QByteArray> events;
        static_cast<Recorder&>(handler).AppendTo(&events, firstLine);
        for (const QByteArray& event : events)
            (event.startsWith("entry ") ? entries : lines).append(event);
        return true;
    };
    CLogParser::ParseInPieces(log.constData(), log.size(), nullptr, pieces);
    return entries + lines;
}

QByteArray fixture(const char* name)
{
    QFile file(QStringLiteral(ZEPH_TEST_DATA_DIR "/log/") + QLatin1String(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestLogPieces : public QObject
{
    Q_OBJECT

private slots:
    void init() { CAppState::Instance().Reset(); }

    void everySplitPoint_data();
    void everySplitPoint();
    void largeSortMatchesStableSort();

private:
    TestEnvironment m_env;
};

void TestLogPieces::everySplitPoint_data()
{
    QTest::addColumn<QByteArray>("log");
    const QByteArray abstract = "From a@b  Mon Jan  1 00:00:00 2007\n Subject: hi\n  Folder: in\t\t 12\n";
    const QByteArray program = "RECIPE: R\nTO: t@x\nFROM: f@x\nFrom a@b  Mon Jan  1 00:00:00 2007\n"
                               "  Folder: spam\t 7\n";
    QTest::newRow("the mixed fixture") << fixture("mixed.log");
    QTest::newRow("the sample fixture") << fixture("sample.log");
    // Folder lines that end broken entries, unparsed folder lines, an entry whose envelope line
    // would start an abstract of its own, CR LF line ends and a last line without a line feed.
    QTest::newRow("broken entries around folder lines") << "RECIPE: cut\nTO: t@x\n  Folder: orphan\t1\n"
            + program + "FROM: f\n" + abstract
            + "  Folder: again\t2\n\nFrom x  Tue Feb  2 00:00:00 2010\r\n  Folder: crlf\t3\r\n" + program
            + "RECIPE: R\nTO: t\nFROM: f\nFrom a@b  Mon Jan  1 00:00:00 2007\n Subject: s\n  Folder: x\n"
            + "junk\n  Folder: last";
}

void TestLogPieces::everySplitPoint()
{
    QFETCH(QByteArray, log);
    QVERIFY(!log.isEmpty());
    const QList<QByteArray> expected = inOnePass(log);
    QVERIFY(expected.size() >= 3);
    // A piece may start after any folder line; pieces of one byte start after every one of them.
    for (qint64 bytes = 1; bytes <= log.size(); ++bytes) {
        for (int threads : { 1, 3 }) {
            if (inPieces(log, bytes, threads) != expected)
                QFAIL(qPrintable(
                    QStringLiteral("pieces of %1 bytes on %2 threads differ").arg(bytes).arg(threads)));
        }
    }
}

// Enough entries for a sort to split its runs between threads, with few distinct keys (long runs
// of equal ones) and many that share their first eight bytes, against a plain stable sort.
void TestLogPieces::largeSortMatchesStableSort()
{
    std::mt19937 random(11);
    const char* const words[] = { "", "Spam", "Mailing lists", "Mailing lists, digests", "work", "WORK" };
    QByteArray log;
    for (int i = 0; i < 150000; ++i) {
        const QByteArray word = words[random() % 6];
        const QByteArray number = QByteArray::number(static_cast<int>(random() % 5000));
        if (random() % 4 == 0)
            log += "RECIPE: " + word + "\nTO: " + number + "\nFROM: " + word + number + "\n";
        log += "From " + word.left(4) + number + "  Mon Jan "
            + QByteArray::number(static_cast<int>(random() % 28 + 1)) + " 0"
            + QByteArray::number(static_cast<int>(random() % 10)) + ":00:00 2007\n Subject: " + word + number
            + "\n  Folder: " + word + "\t" + number + "\n";
    }
    CLogDisplayDoc doc;
    doc.OpenData(log);
    const qsizetype n = doc.GetEntryCount();
    QCOMPARE(n, qsizetype(150000));
    std::vector<const CLogEntry*> fileOrder;
    for (qsizetype i = 0; i < n; ++i)
        fileOrder.push_back(&doc.GetEntry(i));
    for (int column = 0; column < CLogEntry::ColumnCount; ++column) {
        std::vector<QByteArray> keys;
        std::vector<quint64> sizes;
        for (const CLogEntry* e : fileOrder) {
            QByteArrayView pieces[CLogEntry::MaxDateKeyPieces];
            QByteArray key;
            for (int k = 0, count = CLogEntrySorter::KeyPieces(*e, column, pieces); k < count; ++k)
                key += pieces[k].toByteArray().toLower();
            keys.push_back(key);
            sizes.push_back(e->SizeValue());
        }
        for (bool ascending : { true, false }) {
            std::vector<qsizetype> expected(static_cast<size_t>(n));
            for (qsizetype i = 0; i < n; ++i)
                expected[static_cast<size_t>(i)] = i;
            std::stable_sort(expected.begin(), expected.end(), [&](qsizetype a, qsizetype b) {
                const auto x = static_cast<size_t>(a);
                const auto y = static_cast<size_t>(b);
                if (column == CLogEntry::SizeColumn)
                    return ascending ? sizes[x] < sizes[y] : sizes[y] < sizes[x];
                return ascending ? keys[x] < keys[y] : keys[y] < keys[x];
            });
            doc.SortEntries(column, ascending);
            for (qsizetype i = 0; i < n; ++i) {
                if (&doc.GetEntry(i) != fileOrder[static_cast<size_t>(expected[static_cast<size_t>(i)])])
                    QFAIL(qPrintable(QStringLiteral("column %1 %2: position %3 differs")
                                         .arg(column)
                                         .arg(QLatin1String(ascending ? "ascending" : "descending"))
                                         .arg(i)));
            }
        }
    }
}

QTEST_GUILESS_MAIN(TestLogPieces)
#include "tst_logpieces.moc"
