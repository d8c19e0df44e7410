// The recipe file tried with the local procmail before the pending files go up, against a real
// FTP server: hand edits that break the file stop the upload with the line named, a good file goes
// through, and "Upload anyway" uploads the broken one.
#include "TestEnvironment.h"
#include "core/common/Prompt.h"
#include "core/net/CRemoteHost.h"
#include "core/net/PendingFiles.h"
#include "core/procmail/CProcmailrcFile.h"
#include "core/recipes/CRecipeFile.h"
#include "core/settings/Profile.h"
#include "core/trial/CTrialRun.h"
#include "core/trial/UploadPreflight.h"
#include "core/workspace/Workspace.h"
#include "support/FtpServers.h"
#include "support/NetTestFixture.h"

#include <QFile>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QByteArray Block(const QByteArray& name, const QByteArray& body)
{
    return CRecipeFile::BuildRecipeBlock(name, "made by the wizard", body);
}

// A block is an empty line, the begin line, two comment lines, the recipe and the end line: the
// recipe of the first block starts on line 5. The good file has 19 lines.
QByteArray GoodFile()
{
    return Block("Spam", ":0:\n* ^Subject:.*cheap\nspam\n")
        + Block("Lists", ":0\n* ^List-Id:.*procmail\n{\n  :0:\n  lists\n}\n");
}

} // namespace

class TestPreflight : public QObject
{
    Q_OBJECT

    TestEnvironment m_env;
    TestFtpServer m_server { TestFtpServer::Pyftpdlib };
    QString m_recipes;

    void SetRecipeFile(const QByteArray& text) { QVERIFY(WriteTestFile(m_recipes, text)); }

    bool Send()
    {
        CRemoteHost host;
        CRemoteHost::Overrides overrides;
        overrides.password = m_server.Password();
        overrides.hasPassword = true;
        host.SetOverrides(overrides);
        return SendPendingNow(host);
    }

private slots:
    void initTestCase()
    {
        const QString missing = CTrialRun::Unavailable();
        if (!missing.isEmpty())
            QFAIL(qPrintable(missing));
        StartFreshIdentity();
        QString error;
        QVERIFY2(m_server.Start(&error), qPrintable(error));
        UseServerSettings(m_server, true);
        QVERIFY(m_server.MakeDir(u".procmail"_s));
        m_recipes = Workspace::GetRecipeFilePath();
        QVERIFY(!m_recipes.isEmpty());
        SetPendingUploadCheck({ UploadPreflight::ConfirmUpload, UploadPreflight::Note });
    }

    void init()
    {
        Prompt::ClearHistory();
        SetSetting(Settings::PreflightUpload, 1);
        while (HasPending()) {
            const auto pair = PendingPairs().first();
            RemovePending(pair.first, pair.second);
        }
    }

    // Each hand edit, what procmail (or the brace count) says, and the line it is about.
    void brokenEditsAreNamed_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("complaint");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("lineText");
        const QByteArray good = GoodFile();
        QTest::newRow("action line deleted")
            << Block("Spam", ":0:\n* ^Subject:.*cheap\n") + Block("Lists", ":0\n* ^From:.*x\nlists\n")
            << u"Missing action"_s << 5 << u":0:"_s;
        QTest::newRow("unknown flag")
            << Block("Spam", ":0 Y:\n* ^Subject:.*cheap\nspam\n") << u"Skipped \"Y:\""_s << 5 << u":0 Y:"_s;
        QTest::newRow("closing brace too many") << good + "}\n"
                                                << u"Closing brace unexpected"_s << 20 << u"}"_s;
        QTest::newRow("closing brace lost")
            << Block("Lists", ":0\n* ^List-Id:.*procmail\n{\n  :0:\n  lists\n") + Block("Spam", ":0:\nspam\n")
            << u"Opening brace without a closing brace"_s << 7 << u"{"_s;
        QTest::newRow("include that does not exist")
            << good + "INCLUDERC=$HOME/.procmail/extra.rc\n"
            << u"Couldn't read"_s << 20 << u"INCLUDERC=$HOME/.procmail/extra.rc"_s;
        QTest::newRow("regular expression left open") << Block("Spam", ":0:\n* ^Subject:.*(cheap\nspam\n")
                                                      << u"Invalid regexp"_s << 6 << u"* ^Subject:.*(cheap"_s;
    }

    void brokenEditsAreNamed()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, complaint);
        QFETCH(int, line);
        QFETCH(QString, lineText);
        SetRecipeFile(text);
        QVERIFY(AddPending(m_recipes, u".procmail/zeph.recipes"_s));
        QFile::remove(m_server.Root() + u"/.procmail/zeph.recipes"_s);
        Prompt::QueueAnswer(Prompt::No);
        QVERIFY(!Send());
        QCOMPARE(Prompt::History().size(), 1);
        const Prompt::Record asked = Prompt::History()[0];
        QCOMPARE(asked.caption, u"Recipe file check"_s);
        QCOMPARE(asked.buttons, Prompt::Yes | Prompt::No);
        QCOMPARE(asked.defaultButton, Prompt::No);
        QVERIFY2(asked.text.contains(u"Line %1: %2"_s.arg(line).arg(complaint)), qPrintable(asked.text));
        QVERIFY2(asked.text.contains(u"\n    "_s + lineText + u'\n'), qPrintable(asked.text));
        QVERIFY(asked.text.endsWith(u"Upload anyway?"_s));
        // Nothing went up, and the file is still waiting.
        QVERIFY(HasPending());
        QCOMPARE(m_server.FileContent(u".procmail/zeph.recipes"_s), QByteArray("<missing>"));
    }

    // A wizard's forward to every message runs with the canary: its command, logged over two
    // lines, is no complaint.
    void goodFileGoesUp()
    {
        const QByteArray good = GoodFile()
            + Block("Copy",
                ":0\n{\n\t:0cw\n\t* !^X-Loop: me@example.org\n\t| formail -A\"X-Loop: me@example.org\" \\\n"
                "\t| $SENDMAIL $SENDMAILFLAGS boss@example.com\n\n\n\t:0Efhw\n\t| formail -A \"X-ZEPH: No "
                "forward, potential loop\"\n}\n");
        SetRecipeFile(good);
        QVERIFY(AddPending(m_recipes, u".procmail/zeph.recipes"_s));
        QVERIFY(Send());
        QCOMPARE(Prompt::History().size(), 1);
        QCOMPARE(Prompt::History()[0].caption, u"Upload complete"_s);
        QCOMPARE(m_server.FileContent(u".procmail/zeph.recipes"_s), good);
        QVERIFY(!HasPending());
    }

    void uploadAnywayUploads()
    {
        const QByteArray broken = Block("Spam", ":0 Y:\n* ^Subject:.*cheap\nspam\n");
        SetRecipeFile(broken);
        QVERIFY(AddPending(m_recipes, u".procmail/zeph.recipes"_s));
        Prompt::QueueAnswer(Prompt::Yes);
        QVERIFY(Send());
        QCOMPARE(Prompt::History()[0].caption, u"Recipe file check"_s);
        QCOMPARE(m_server.FileContent(u".procmail/zeph.recipes"_s), broken);
        QVERIFY(!HasPending());
    }

    // The .procmailrc is tried around the recipe file, as the host runs it: what it adds to the
    // complaints is named with its own line, and what the recipe file says is not laid at its door.
    void procmailrcIsTried_data()
    {
        QTest::addColumn<QByteArray>("recipes");
        QTest::addColumn<QByteArray>("rcAddition");
        QTest::addColumn<QStringList>("asked"); // "caption|text it holds", in order
        const QByteArray good = GoodFile();
        const QByteArray broken = Block("Spam", ":0 Y:\n* ^Subject:.*cheap\nspam\n");
        // ZEPH's .procmailrc ends with its include on line 54 and the end marker; a hand edit
        // adds lines after them, from line 58 on.
        QTest::newRow("ZEPH's own") << good << QByteArray() << QStringList { u"Upload complete|"_s };
        QTest::newRow("a recipe without its action")
            << good << QByteArray(":0:\n* ^Subject:.*x\n\n")
            << QStringList { u"Recipe file check|Line 58: Incomplete recipe\n    :0:"_s,
                   u"Upload complete|"_s };
        QTest::newRow("an include that does not exist")
            << good << QByteArray("INCLUDERC=$HOME/other.rc\n")
            << QStringList { u"Recipe file check|Line 58: Couldn't read"_s, u"Upload complete|"_s };
        QTest::newRow("a brace left open")
            << good << QByteArray(":0\n{\n")
            << QStringList { u"Recipe file check|Line 59: Missing closing brace\n    {"_s,
                   u"Upload complete|"_s };
        // procmail names the run's throwaway home in this one, different in each run.
        QTest::newRow("a path in what the recipe file says")
            << good + "INCLUDERC=$HOME/missing.rc\n"
            << QByteArray()
            << QStringList { u"Recipe file check|problems in the recipe file"_s, u"Upload complete|"_s };
        QTest::newRow("only the recipe file is at fault")
            << broken << QByteArray()
            << QStringList { u"Recipe file check|problems in the recipe file"_s, u"Upload complete|"_s };
    }

    void procmailrcIsTried()
    {
        QFETCH(QByteArray, recipes);
        QFETCH(QByteArray, rcAddition);
        QFETCH(QStringList, asked);
        SetRecipeFile(recipes);
        const QString rc = Workspace::GetDocumentFolder() + u".procmailrc"_s;
        const QByteArray rcText = CProcmailrcFile::DefaultText() + '\n' + rcAddition;
        QVERIFY(WriteTestFile(rc, rcText));
        QVERIFY(AddPending(m_recipes, u".procmail/zeph.recipes"_s));
        QVERIFY(AddPending(rc, u".procmailrc"_s));
        for (int i = 0; i < asked.size(); ++i)
            Prompt::QueueAnswer(Prompt::Yes);
        QVERIFY(Send());
        QCOMPARE(Prompt::History().size(), asked.size());
        for (int i = 0; i < asked.size(); ++i) {
            const Prompt::Record record = Prompt::History()[i];
            QCOMPARE(record.caption, asked[i].section(u'|', 0, 0));
            QVERIFY2(record.text.contains(asked[i].section(u'|', 1)), qPrintable(record.text));
        }
        if (asked.size() > 1 && asked[0].contains(u"problems in the recipe file"_s))
            QVERIFY2(
                !Prompt::History()[0].text.contains(u".procmailrc"_s), qPrintable(Prompt::History()[0].text));
        QCOMPARE(m_server.FileContent(u".procmailrc"_s), rcText);
        QVERIFY(!HasPending());
    }

    // Switched off in the Options, the check neither runs nor asks.
    void switchedOff()
    {
        SetSetting(Settings::PreflightUpload, 0);
        const QByteArray broken = Block("Spam", ":0 Y:\n* ^Subject:.*cheap\nspam\n") + "}\n";
        SetRecipeFile(broken);
        QVERIFY(AddPending(m_recipes, u".procmail/zeph.recipes"_s));
        QVERIFY(Send());
        QCOMPARE(Prompt::History().size(), 1);
        QCOMPARE(m_server.FileContent(u".procmail/zeph.recipes"_s), broken);
        QCOMPARE(UploadPreflight::Note(), QString());
    }
};

QTEST_MAIN(TestPreflight)
#include "tst_preflight.moc"
