// The temporary recipe's slot in the .procmailrc and the recipe that fetches procmail's version
// and manual pages: the slot rewritten under its two markers (and refused when they are missing,
// doubled or upside down, with the offer to reset), and the recipe text byte for byte.
#include "NetTestFixture.h"
#include "TestEnvironment.h"
#include "core/common/Prompt.h"
#include "core/net/PendingFiles.h"
#include "core/procmail/CProcmailrcFile.h"
#include "core/procmail/ManPageFiles.h"
#include "core/workspace/Workspace.h"

#include <QTest>

#include <memory>

using Failure = CProcmailrcFile::Failure;
Q_DECLARE_METATYPE(CProcmailrcFile::Failure)

namespace {

const QByteArray Begin = "##_BEGIN_TEMP_RECIPE_##";
const QByteArray End = "##_END_TEMP_RECIPE_##";

ManPageFiles::Request manPages(std::initializer_list<int> items)
{
    ManPageFiles::Request request;
    request.fromAddress = "me@example.org";
    for (const int item : items)
        request.selected[item] = true;
    return request;
}

} // namespace

class TestTempRecipe : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestEnvironment> m_env;

private slots:
    void init()
    {
        m_env = std::make_unique<TestEnvironment>();
        StartFreshIdentity();
    }
    void cleanup() { m_env.reset(); }

    void slotText_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("slot");
        QTest::addColumn<Failure>("failure");
        QTest::addColumn<QByteArray>("expected");

        QTest::newRow("empty slot filled")
            << "a\n" + Begin + "\n" + End + "\nb\n"
            << QByteArray(":0\n{\n}\n") << Failure::None << "a\n" + Begin + "\n:0\n{\n}\n" + End + "\nb\n";
        QTest::newRow("old recipe replaced, not kept")
            << "a\n" + Begin + "\nold 1\nold 2\n" + End + "\nb" << QByteArray("new\n") << Failure::None
            << "a\n" + Begin + "\nnew\n" + End + "\nb";
        QTest::newRow("emptied") << Begin + "\nold\n" + End + "\n"
                                 << QByteArray() << Failure::None << Begin + "\n" + End + "\n";
        QTest::newRow("CR LF file comes out LF")
            << "a\r\n" + Begin + "\r\nold\r\n" + End + "\r\n"
            << QByteArray("x\n") << Failure::None << "a\n" + Begin + "\nx\n" + End + "\n";
        QTest::newRow("marker with trailing blank is no marker")
            << Begin + " \n" + End + "\n"
            << QByteArray("x\n") << Failure::MarkerMissing << QByteArray();
        QTest::newRow("no end") << "a\n" + Begin + "\n"
                                << QByteArray("x\n") << Failure::MarkerMissing << QByteArray();
        QTest::newRow("two begins") << Begin + "\n" + Begin + "\n" + End + "\n"
                                    << QByteArray("x\n") << Failure::MarkerRepeated << QByteArray();
        QTest::newRow("two ends") << Begin + "\n" + End + "\n" + End + "\n"
                                  << QByteArray("x\n") << Failure::MarkerRepeated << QByteArray();
        QTest::newRow("end above begin") << "a\n" + End + "\nkeep\n" + Begin + "\nb\n"
                                         << QByteArray("x\n") << Failure::MarkerOrder << QByteArray();
    }
    void slotText()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, slot);
        QFETCH(Failure, failure);
        QFETCH(QByteArray, expected);
        QByteArray result;
        QCOMPARE(CProcmailrcFile::ReplaceTempSlot(text, Begin, End, slot, &result), failure);
        if (failure == Failure::None)
            QCOMPARE(result, expected);
    }

    // On the template itself the slot holds the recipe and nothing else changes; emptying it gives
    // the template back byte for byte.
    void templateRoundTrip()
    {
        CProcmailrcFile file;
        QVERIFY(file.CreateDefault(nullptr));
        QVERIFY(file.SetTempRecipe(":0\n{\n}\n"));
        QCOMPARE(ReadTestFile(file.Path()),
            QByteArray(CProcmailrcFile::DefaultText()).replace(Begin + "\n", Begin + "\n:0\n{\n}\n"));
        QVERIFY(file.SetTempRecipe(QByteArray()));
        QCOMPARE(ReadTestFile(file.Path()), CProcmailrcFile::DefaultText());
        QVERIFY(Prompt::History().isEmpty());
    }

    // A damaged slot is never written into: the user is offered the reset, and only Yes replaces
    // the file (and queues it for upload). The result is a failure either way.
    void damagedSlotOffersReset_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("reset");
        QTest::newRow("no") << int(Prompt::No) << false;
        QTest::newRow("cancel") << int(Prompt::Cancel) << false;
        QTest::newRow("yes") << int(Prompt::Yes) << true;
    }
    void damagedSlotOffersReset()
    {
        QFETCH(int, answer);
        QFETCH(bool, reset);
        CProcmailrcFile file;
        Workspace::CreatePath(Workspace::GetDocumentFolder());
        const QByteArray damaged = "SHELL=/bin/sh\n" + End + "\n" + Begin + "\nhand-made\n";
        QVERIFY(WriteTestFile(file.Path(), damaged));
        Prompt::QueueAnswer(Prompt::Button(answer));
        QVERIFY(!file.SetTempRecipe(":0\n{\n}\n"));

        const QList<Prompt::Record> shown = Prompt::History();
        QVERIFY(shown.first().text.startsWith(
            QStringLiteral("There was an unexpected error while trying to update the .procmailrc file.  ")));
        QCOMPARE(shown.first().buttons, Prompt::Yes | Prompt::No | Prompt::Cancel);
        QCOMPARE(ReadTestFile(file.Path()), reset ? CProcmailrcFile::DefaultText() : damaged);
        QCOMPARE(HasPending(), reset);
        QCOMPARE(shown.size(), reset ? 2 : 1);
        if (reset)
            QVERIFY(shown.last().text.startsWith(
                QStringLiteral("The .procmailrc file has been reset to the default settings.")));
    }

    void missingFileFails()
    {
        CProcmailrcFile file(Workspace::GetDocumentFolder() + QStringLiteral("none"));
        QString error;
        QVERIFY(!file.ReplaceTempSlot(Begin, End, "x\n", &error));
        QCOMPARE(file.LastFailure(), Failure::FileMissing);
    }

    void recipeText_data()
    {
        QTest::addColumn<ManPageFiles::Request>("request");
        QTest::addColumn<QByteArray>("recipe");
        QTest::addColumn<QStringList>("downloads");

        ManPageFiles::Request version = manPages({});
        version.versionMode = true;
        version.logging = false;
        QTest::newRow("version, quiet and no log")
            << version
            << QByteArray(":0\n* ^From:.*me@example.org\n{\nLOGFILE=$HOME/procmail.version.txt\n"
                          "LOG=`procmail -v`\nLOGFILE=/dev/null\n}\n")
            << QStringList { QStringLiteral("procmail.version.txt") };

        // The version mode ignores the page selection.
        ManPageFiles::Request verbose = manPages({ 9 });
        verbose.versionMode = true;
        verbose.verbose = true;
        QTest::newRow("version, verbose and logging")
            << verbose
            << QByteArray(":0\n* ^From:.*me@example.org\n{\nVERBOSE=no\nLOGFILE=$HOME/procmail.version.txt\n"
                          "LOG=`procmail -v`\nVERBOSE=yes\nLOGFILE=$ZEPH_DIR/zeph.log\n}\n")
            << QStringList { QStringLiteral("procmail.version.txt") };

        QTest::newRow("sed only") << manPages({ 9 })
                                  << QByteArray(":0\n* ^From:.*me@example.org\n{\n"
                                                "DUMMY=`man sed | col -b > $HOME/man.sed.txt`\n}\n")
                                  << QStringList { QStringLiteral("man.sed.txt") };

        QTest::newRow("version, pages and sysexits in table order")
            << manPages({ 10, 1, 0 })
            << QByteArray(":0\n* ^From:.*me@example.org\n{\nLOGFILE=$HOME/procmail.version.txt\n"
                          "LOG=`procmail -v`\nLOGFILE=$ZEPH_DIR/zeph.log\n"
                          "DUMMY=`man procmail | col -b > $HOME/man.procmail.txt`\n"
                          "DUMMY=`cp /usr/include/sysexits.h $HOME/sysexits.h.txt`\n}\n")
            << QStringList { QStringLiteral("procmail.version.txt"), QStringLiteral("man.procmail.txt"),
                   QStringLiteral("sysexits.h.txt") };

        // procmail reads "+" as a quantifier: unescaped, the address would not match itself.
        ManPageFiles::Request plus = manPages({ 5 });
        plus.fromAddress = "me+box@example.org";
        QTest::newRow("address matched literally")
            << plus
            << QByteArray(":0\n* ^From:.*me\\+box@example.org\n{\n"
                          "DUMMY=`man formail | col -b > $HOME/man.formail.txt`\n}\n")
            << QStringList { QStringLiteral("man.formail.txt") };
    }
    void recipeText()
    {
        QFETCH(ManPageFiles::Request, request);
        QFETCH(QByteArray, recipe);
        QFETCH(QStringList, downloads);
        QStringList names { QStringLiteral("stale") };
        QCOMPARE(ManPageFiles::BuildRecipe(request, &names), recipe);
        QCOMPARE(names, downloads);
    }
};

Q_DECLARE_METATYPE(ManPageFiles::Request)

QTEST_MAIN(TestTempRecipe)
#include "tst_temprecipe.moc"
