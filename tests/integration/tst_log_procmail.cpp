#include "LogProcmail.h"
#include "TestEnvironment.h"

#include "core/log/CLogDisplayDoc.h"
#include "core/settings/CAppState.h"

#include <QDate>
#include <QRegularExpression>
#include <QTest>

namespace {

// A .procmailrc like the one the program writes: the ZEPH directory holds the log and the
// recipe file, which it includes.
QByteArray procmailrc(bool verbose)
{
    return QByteArray("SHELL=/bin/sh\n"
                      "ZEPH_DIR=$HOME/.procmail\n"
                      "MAILDIR=$HOME/mail\n"
                      "DEFAULT=$MAILDIR/inbox\n"
                      "NL=\"\n\"\n"
                      "LOGFILE=$ZEPH_DIR/zeph.log\n")
        + (verbose ? "VERBOSE=on\n" : "VERBOSE=off\n")
        + "INCLUDERC=$ZEPH_DIR/zeph.recipes\n\n:0:\n$DEFAULT\n";
}

const QByteArray kToBlock = "\t:0\n\t* ^To:.*\\/[^ \t].*\n\t{ ZEPH_TO=$MATCH }\n\n";
const QByteArray kFromBlock = "\t:0\n\t* ^From:.*\\/[^ \t].*\n\t{ ZEPH_FROM=$MATCH }\n\n";
const QByteArray kEnvelopeBlock = "\t:0\n\t* ^^From.*\\/[^ \t].*\n\t{ ZEPH_E_FROM=$MATCH }\n\n";
const QByteArray kSubjectBlock = "\t:0\n\t* ^Subject:.*\\/[^ \t].*\n\t{ ZEPH_SUBJECT=$MATCH }\n\n";

// Recipes with each logging choice: normal (procmail's abstract), extended for a delivering
// recipe (our three lines, then procmail's abstract), extended for a recipe that does not
// deliver (a whole entry of our own with an empty folder), and no logging.
QByteArray recipes()
{
    return QByteArray(":0:\n* ^Subject:.*normal\nnormal-box\n\n")
        + ":0\n* ^Subject:.*extended\n{\n" + kToBlock + kFromBlock
        + "LOG=\"RECIPE: Lists\nTO: $ZEPH_TO\nFROM: $ZEPH_FROM $NL\"\n\n\t:0:\n\tlists\n}\n\n"
        + ":0\n* ^Subject:.*tagged\n{\n" + kEnvelopeBlock + kSubjectBlock + kToBlock + kFromBlock
        + "LOG=\"RECIPE: Tagger\nTO: $ZEPH_TO\nFROM: $ZEPH_FROM\nFrom $ZEPH_E_FROM\n Subject: $ZEPH_SUBJECT\n"
          "  Folder: $NL\"\n\n\t:0fhw\n\t| formail -A \"X-Tagged: yes\"\n}\n\n"
        + ":0\n* ^Subject:.*quiet\n{\n\tLOGABSTRACT=no\n\n\t:0:\n\tquiet-box\n}\n";
}

QByteArray message(const QByteArray& from, const QByteArray& subject, const QByteArray& body = "Hello.\n")
{
    QByteArray text = "From: " + from + "\nTo: User <user@example.org>\n";
    if (!subject.isNull())
        text += "Subject: " + subject + "\n";
    return text + "\n" + body;
}

// recipe|from|subject|to|sender|folder|size, the date checked apart.
QByteArray describe(const CLogEntry& e)
{
    return e.RecipeName().toByteArray() + '|' + e.HeaderFrom().toByteArray() + '|' + e.Subject().toByteArray() + '|'
        + e.HeaderTo().toByteArray() + '|' + e.EnvelopeSender().toByteArray() + '|' + e.Folder().toByteArray() + '|'
        + e.Size().toByteArray();
}

} // namespace

class TestLogProcmail : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void entriesOfEveryLoggingChoice();
    void verboseLog();

private:
    TestEnvironment m_env;
};

void TestLogProcmail::initTestCase()
{
    CAppState::Instance().Reset();
}

void TestLogProcmail::entriesOfEveryLoggingChoice()
{
    LogProcmail procmail;
    QVERIFY2(procmail.Ready(), qPrintable(procmail.Error()));
    QVERIFY(procmail.WriteFile(QStringLiteral(".procmailrc"), procmailrc(false)));
    QVERIFY(procmail.WriteFile(QStringLiteral(".procmail/zeph.recipes"), recipes()));
    QVERIFY(procmail.WriteFile(QStringLiteral("mail/.keep"), QByteArray()));

    QByteArray bigBody;
    for (int i = 0; i < 150000; ++i)
        bigBody += "0123456789012345678901234567890123456789012345678901234567890123456789\n";
    struct Delivery
    {
        QByteArray sender;
        QByteArray text;
    };
    const QList<Delivery> deliveries = {
        {"alice@example.org", message("Alice <alice@example.org>", "normal one")},
        {"owner-list@lists.example.com", message("Carol <carol@example.org>", "Re: extended two")},
        {"dave@example.org", message("Dave <dave@example.org>", "tagged three")},
        {"erin@example.org", message("Erin <erin@example.org>", "quiet four")},
        {"frank@example.org", message("Frank <frank@example.org>", QByteArray())},
        {"grace@example.org", message("Grace <grace@example.org>", "big six", bigBody)},
        {"bob", message("Bob <bob@localhost>", "local seven")},
    };
    for (const Delivery& d : deliveries)
        QVERIFY2(procmail.Deliver(d.sender, d.text), qPrintable(procmail.Error()));

    const QString logPath = procmail.Home() + QStringLiteral("/.procmail/zeph.log");
    CLogDisplayDoc doc;
    doc.Open(logPath);
    QVERIFY2(doc.ErrorText().isEmpty(), qPrintable(doc.ErrorText()));
    const QByteArray inbox = procmail.Home().toUtf8() + "/mail/inbox";
    // Sizes as procmail counts them: the mailboxes that hold one message each tell.
    const QByteArray normalSize = QByteArray::number(procmail.ReadFile(QStringLiteral("mail/normal-box")).size());
    const QByteArray listsSize = QByteArray::number(procmail.ReadFile(QStringLiteral("mail/lists")).size());
    QList<QByteArray> got;
    for (qsizetype i = 0; i < doc.GetEntryCount(); ++i)
        got.append(describe(doc.GetEntry(i)));
    const QList<QByteArray> prefix = {
        "||normal one||alice@example.org|normal-box|" + normalSize,
        "Lists|Carol <carol@example.org> |Re: extended two|User <user@example.org>|owner-list@lists.example.com|lists|"
            + listsSize,
        "Tagger|Dave <dave@example.org>|tagged three|User <user@example.org>|dave@example.org||",
    };
    QCOMPARE(got.size(), 7);
    QCOMPARE(got.mid(0, 3), prefix);
    // The tagged message then reaches the default mailbox through procmail's own abstract.
    QVERIFY2(got[3].startsWith("||tagged three||dave@example.org|" + inbox + "|"), got[3].constData());
    QVERIFY2(got[4].startsWith("||||frank@example.org|" + inbox + "|"), got[4].constData());
    // Eight digits: written after a tab, and kept whole.
    QVERIFY2(got[5].startsWith("||big six||grace@example.org|" + inbox + "|"), got[5].constData());
    QCOMPARE(doc.GetEntry(5).Size().size(), 8);
    QVERIFY(doc.GetEntry(5).SizeValue() > quint64(bigBody.size()));
    // A local sender of three letters keeps its date.
    QVERIFY2(got[6].startsWith("||local seven||bob|" + inbox + "|"), got[6].constData());

    const QRegularExpression key(QStringLiteral("^(\\d{4})\\d{4}\\d{2}:\\d{2}$"));
    for (qsizetype i = 0; i < doc.GetEntryCount(); ++i) {
        const QRegularExpressionMatch match = key.match(QString::fromLatin1(doc.GetEntry(i).DateSortKey()));
        QVERIFY2(match.hasMatch(), doc.GetEntry(i).DateSortKey().constData());
        QVERIFY(qAbs(match.captured(1).toInt() - QDate::currentDate().year()) <= 1);
    }
    QCOMPARE(doc.GetUnparsedCount(), 0);
}

// With VERBOSE on, procmail writes its trace between our lines and its abstract: the abstracts
// stay entries, and every trace line and our cut-off lines are listed as unparsed data.
void TestLogProcmail::verboseLog()
{
    LogProcmail procmail;
    QVERIFY2(procmail.Ready(), qPrintable(procmail.Error()));
    QVERIFY(procmail.WriteFile(QStringLiteral(".procmailrc"), procmailrc(true)));
    QVERIFY(procmail.WriteFile(QStringLiteral(".procmail/zeph.recipes"), recipes()));
    QVERIFY(procmail.WriteFile(QStringLiteral("mail/.keep"), QByteArray()));
    QVERIFY2(procmail.Deliver("alice@example.org", message("Alice <alice@example.org>", "normal one")),
             qPrintable(procmail.Error()));
    QVERIFY2(procmail.Deliver("owner-list@lists.example.com", message("Carol <carol@example.org>", "extended two")),
             qPrintable(procmail.Error()));

    CLogDisplayDoc doc;
    doc.Open(procmail.Home() + QStringLiteral("/.procmail/zeph.log"));
    QCOMPARE(doc.GetEntryCount(), 2);
    auto middle = [](const CLogEntry& e) {
        return QString::fromUtf8(describe(e)).section(QLatin1Char('|'), 2, 5);
    };
    QCOMPARE(middle(doc.GetEntry(0)), QStringLiteral("normal one||alice@example.org|normal-box"));
    QCOMPARE(middle(doc.GetEntry(1)), QStringLiteral("extended two||owner-list@lists.example.com|lists"));
    // Every other line is listed under its own number: trace lines, the values they quote, and
    // our three lines that the trace cut off from the abstract.
    const QList<QByteArray> raw = procmail.ReadFile(QStringLiteral(".procmail/zeph.log")).split('\n');
    qsizetype nonEmpty = 0;
    for (const QByteArray& line : raw)
        nonEmpty += line.isEmpty() ? 0 : 1;
    QCOMPARE(doc.GetUnparsedCount(), nonEmpty - 6);
    bool sawRecipeLine = false;
    bool sawTrace = false;
    for (qsizetype i = 0; i < doc.GetUnparsedCount(); ++i) {
        const CLogDisplayDoc::UnparsedLine line = doc.GetUnparsedLine(i);
        QCOMPARE(line.text.toByteArray(), raw.value(line.number - 1));
        sawRecipeLine = sawRecipeLine || line.text == QByteArrayView("RECIPE: Lists");
        sawTrace = sawTrace || line.text.startsWith("procmail: ");
    }
    QVERIFY(sawTrace);
    QVERIFY(sawRecipeLine);
}

QTEST_GUILESS_MAIN(TestLogProcmail)
#include "tst_log_procmail.moc"
