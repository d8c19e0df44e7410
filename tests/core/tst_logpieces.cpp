#include "core/log/CLogParser.h"

#include <QFile>
#include <QTest>

#include <memory>

// A log parsed in pieces on several threads must give what one pass over it gives, wherever the
// pieces start: these tests try every start the log offers.

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
    void everySplitPoint_data();
    void everySplitPoint();
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

QTEST_GUILESS_MAIN(TestLogPieces)
#include "tst_logpieces.moc"
