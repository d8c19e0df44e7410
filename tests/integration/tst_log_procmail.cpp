// Logs written by real procmail running recipes that our recipe builder generated, with every
// logging choice and VERBOSE off and on, read back by the log document field by field.
#include "TestEnvironment.h"
#include "core/log/CLogDisplayDoc.h"
#include "core/recipes/CActionBuilder.h"
#include "core/recipes/CRecipeDefinition.h"
#include "core/recipes/CRecipeDefinitionJson.h"
#include "core/recipes/CRecipeFile.h"
#include "core/recipes/CRecipeSummary.h"
#include "core/settings/CAppState.h"
#include "support/ProcmailSandbox.h"

#include <QTest>

namespace {

// The recipe block of a JSON definition, as the wizard writes it into the recipe file.
QByteArray block(const QByteArray& json)
{
    CRecipeDefinition definition;
    RecipeTextSettings settings;
    QString error;
    if (!CRecipeDefinitionJson::FromJson(json, &definition, &settings, &error)) {
        qWarning("%s\n%s", qPrintable(error), json.constData());
        return QByteArray();
    }
    return CRecipeFile::BuildRecipeBlock(definition.GetName(), CRecipeSummary::BuildSummaryText(definition),
        CActionBuilder::BuildRecipeText(definition, settings));
}

QByteArray subjectRecipe(
    const QByteArray& name, const QByteArray& word, int logging, const QByteArray& action)
{
    return block("{\"name\": \"" + name + "\", \"logging\": " + QByteArray::number(logging)
        + ", \"conditions\": [{\"field\": 4, \"entries\": [\"" + word + "\"]}], \"actions\": [" + action
        + "], \"settings\": {\"returnAddress\": \"me@example.org\", \"name\": \"Test User\"}}");
}

// One recipe per logging choice: normal (procmail's abstract only), extended for a recipe that
// delivers (our three lines, then procmail's abstract), extended for one that does not (a whole
// entry of our own with an empty folder; the message goes on to the inbox), and none.
QByteArray recipes()
{
    return subjectRecipe("Plain", "normal", 1, R"({"type": 9, "customMailbox": "plain"})")
        + subjectRecipe("Lists", "extended", 2, R"({"type": 9, "customMailbox": "lists"})")
        + subjectRecipe(
            "Tagger", "tagged", 2, R"({"type": 2, "headerName": "X-Tagged", "headerValue": "yes"})")
        + subjectRecipe("Quiet", "quiet", 0, R"({"type": 9, "customMailbox": "quiet"})");
}

struct Delivery
{
    QByteArray envelope; // the "From " line procmail is given
    QByteArray message;
};

QByteArray message(const QByteArray& from, const QByteArray& subject, const QByteArray& body = "Hello.\n")
{
    QByteArray text = "From: " + from + "\nTo: User <user@example.org>\n";
    if (!subject.isNull())
        text += "Subject: " + subject + "\n";
    return text + "\n" + body;
}

// recipe|from|subject|to|date|dateKey|sender|folder|size
QByteArray describe(const CLogDisplayDoc& doc, qsizetype i)
{
    const CLogEntry& e = doc.GetEntry(i);
    return e.RecipeName().toByteArray() + '|' + e.HeaderFrom().toByteArray() + '|' + e.Subject().toByteArray()
        + '|' + e.HeaderTo().toByteArray() + '|' + doc.DateText(e) + '|' + e.DateSortKey() + '|'
        + e.EnvelopeSender().toByteArray() + '|' + e.Folder().toByteArray() + '|' + e.Size().toByteArray();
}

QByteArray bigBody()
{
    QByteArray body;
    const QByteArray line = "0123456789012345678901234567890123456789012345678901234567890123456789\n";
    body.reserve(line.size() * 150000);
    for (int i = 0; i < 150000; ++i)
        body += line;
    return body;
}

} // namespace

class TestLogProcmail : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void everyLoggingChoice();
    void verboseTrace();

private:
    TestEnvironment m_env;
};

void TestLogProcmail::initTestCase()
{
    CAppState::Instance().Reset();
}

void TestLogProcmail::everyLoggingChoice()
{
    ProcmailSandbox sandbox;
    QVERIFY2(sandbox.Start(), qPrintable(sandbox.Error()));
    const QByteArray text = recipes();
    QVERIFY(!text.isEmpty());
    QVERIFY(sandbox.SetRecipes(text));
    const QList<Delivery> deliveries = {
        { "From alice@example.org  Mon Jan  1 00:00:00 2007",
            message("Alice <alice@example.org>", "normal one") },
        { "From owner-list@lists.example.com  Sat Dec 31 23:59:58 2005",
            message("Carol <carol@example.org>", "Re: extended two") },
        { "From dave@example.org  Tue Feb 29 12:34:56 2028",
            message("Dave <dave@example.org>", "tagged three") },
        { "From erin@example.org  Wed Mar  7 10:11:12 2007",
            message("Erin <erin@example.org>", "quiet four") },
        { "From frank@example.org  Thu Jun 14 08:00:00 1990",
            message("Frank <frank@example.org>", QByteArray()) },
        { "From grace@example.org  Fri Jul  4 09:09:09 1989",
            message("Grace <grace@example.org>", "big six", bigBody()) },
        { "From bob  Thu Dec 10 04:36:33 2026", message("Bob <bob@localhost>", "local seven") },
    };
    for (const Delivery& d : deliveries)
        QCOMPARE(sandbox.Deliver(d.envelope + "\n" + d.message), 0);

    CLogDisplayDoc doc;
    doc.SetDateFormat(0, QStringLiteral("/"));
    doc.Open(sandbox.ZephDir() + QStringLiteral("/zeph.log"));
    QVERIFY2(doc.ErrorText().isEmpty(), qPrintable(doc.ErrorText()));
    const QByteArray inbox = sandbox.MailDir().toUtf8() + "/inbox";
    // procmail counts a message with its "From " line: the mailboxes holding one message tell.
    auto sizeOf = [&](const QString& folder) {
        return QByteArray::number(sandbox.ReadFile(QStringLiteral("mail/") + folder).size());
    };
    const QList<QByteArray> inboxMessages = sandbox.Inbox();
    QCOMPARE(inboxMessages.size(), 4);
    QList<QByteArray> got;
    for (qsizetype i = 0; i < doc.GetEntryCount(); ++i)
        got.append(describe(doc, i));
    QCOMPARE(got.size(), 7);
    QCOMPARE(got[0],
        "||normal one||01/01/07 00:00|2007010100:00|alice@example.org|plain|"
            + sizeOf(QStringLiteral("plain")));
    QCOMPARE(got[1],
        "Lists|Carol <carol@example.org> |Re: extended two|User <user@example.org>|12/31/05 23:59|"
        "2005123123:59|owner-list@lists.example.com|lists|"
            + sizeOf(QStringLiteral("lists")));
    QCOMPARE(got[2],
        QByteArray("Tagger|Dave <dave@example.org>|tagged three|User <user@example.org>|02/29/28 12:34|"
                   "2028022912:34|dave@example.org||"));
    // The tagged message, and the ones no recipe took, reach the inbox with procmail's abstract.
    QVERIFY2(
        got[3].startsWith("||tagged three||02/29/28 12:34|2028022912:34|dave@example.org|" + inbox + "|"),
        got[3].constData());
    QVERIFY2(got[4].startsWith("||||06/14/90 08:00|1990061408:00|frank@example.org|" + inbox + "|"),
        got[4].constData());
    // A size of eight digits, written after a tab, stays whole; a year 89 sorts as 2089.
    QVERIFY2(got[5].startsWith("||big six||07/04/89 09:09|2089070409:09|grace@example.org|" + inbox + "|"),
        got[5].constData());
    QCOMPARE(doc.GetEntry(5).Size().size(), 8);
    QVERIFY(doc.GetEntry(5).SizeValue() > quint64(bigBody().size()));
    // A local sender of three letters keeps the date procmail wrote after it.
    QVERIFY2(got[6].startsWith("||local seven||12/10/26 04:36|2026121004:36|bob|" + inbox + "|"),
        got[6].constData());
    QCOMPARE(doc.GetUnparsedCount(), 0);
}

// With VERBOSE on procmail writes its trace between our lines and its abstract: the abstracts
// stay entries, and every other line is listed under its own line number.
void TestLogProcmail::verboseTrace()
{
    ProcmailSandbox sandbox;
    ProcmailSandbox::Options options;
    options.verbose = true;
    QVERIFY2(sandbox.Start(options), qPrintable(sandbox.Error()));
    QVERIFY(sandbox.SetRecipes(recipes()));
    QCOMPARE(sandbox.Deliver("From alice@example.org  Mon Jan  1 00:00:00 2007\n"
                 + message("Alice <alice@example.org>", "normal one")),
        0);
    QCOMPARE(sandbox.Deliver("From owner-list@lists.example.com  Sat Dec 31 23:59:58 2005\n"
                 + message("Carol <carol@example.org>", "extended two")),
        0);

    CLogDisplayDoc doc;
    doc.Open(sandbox.ZephDir() + QStringLiteral("/zeph.log"));
    QCOMPARE(doc.GetEntryCount(), 2);
    QCOMPARE(doc.GetEntry(0).Subject(), QByteArrayView("normal one"));
    QCOMPARE(doc.GetEntry(0).Folder(), QByteArrayView("plain"));
    QCOMPARE(doc.GetEntry(1).EnvelopeSender(), QByteArrayView("owner-list@lists.example.com"));
    QCOMPARE(doc.GetEntry(1).Folder(), QByteArrayView("lists"));
    const QList<QByteArray> raw = sandbox.Log().split('\n');
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
