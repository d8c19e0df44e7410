// The .procmailrc: the template byte for byte, the settings lines changed under their markers by
// zeph-cli and by the ".procmailrc" page's decisions, and hand-edited, damaged and CR LF files.
#include "NetTestFixture.h"
#include "TestEnvironment.h"
#include "ZephCli.h"
#include "core/common/Prompt.h"
#include "core/net/PendingFiles.h"
#include "core/procmail/CProcmailrcFile.h"
#include "core/procmail/CProcmailrcSettings.h"
#include "core/settings/Profile.h"
#include "core/workspace/Workspace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

// The 57 template lines as checked in; expectations are this file with lines changed by hand.
QByteArray fixture()
{
    return ReadTestFile(QStringLiteral(ZEPH_TEST_DATA_DIR "/procmailrc/default.procmailrc"));
}

QList<QByteArray> fixtureLines()
{
    return fixture().split('\n');
}

QByteArray joined(const QList<QByteArray>& lines)
{
    return lines.join('\n');
}

// The fixture with line `number` (1-based) replaced.
QByteArray withLine(int number, const QByteArray& text)
{
    QList<QByteArray> lines = fixtureLines();
    lines[number - 1] = text;
    return joined(lines);
}

QStringList pendingLocals()
{
    QStringList locals;
    for (const auto& pair : PendingPairs())
        locals << pair.first + QLatin1Char('>') + pair.second;
    return locals;
}

QStringList words(std::initializer_list<const char*> list)
{
    QStringList result;
    for (const char* word : list)
        result << QString::fromUtf8(word);
    return result;
}

QStringList captions()
{
    QStringList list;
    for (const Prompt::Record& record : Prompt::History())
        list << record.caption;
    return list;
}

} // namespace

class TestProcmailrc : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<TestEnvironment> m_env;

    QString put(const QString& name, const QByteArray& bytes)
    {
        const QString path = m_dir.filePath(name);
        return WriteTestFile(path, bytes) ? path : QString();
    }

private slots:
    void init()
    {
        m_env = std::make_unique<TestEnvironment>();
        StartFreshIdentity();
    }
    void cleanup() { m_env.reset(); }

    void defaultText()
    {
        const QByteArray expected = fixture();
        QCOMPARE(expected.count('\n'), 56);
        QVERIFY(!expected.endsWith('\n'));
        QCOMPARE(CProcmailrcFile::DefaultText(), expected);
        const ZephCliRun run = RunZephCli({ QStringLiteral("procmailrc"), QStringLiteral("default") });
        QCOMPARE(run.code, 0);
        QCOMPARE(run.out, expected);
        QCOMPARE(run.err, QByteArray());
    }

    // Each change replaces exactly the line under its marker; hand-added lines elsewhere stay.
    void settingChange_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("line");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("verbose yes") << "verbose"
                                     << "yes" << 41 << QByteArray("VERBOSE=yes");
        QTest::newRow("verbose no") << "verbose"
                                    << "no" << 41 << QByteArray("VERBOSE=no");
        QTest::newRow("logging off") << "logging"
                                     << "off" << 32 << QByteArray("LOGFILE=/dev/null");
        QTest::newRow("logging on") << "logging"
                                    << "on" << 32 << QByteArray("LOGFILE=$ZEPH_DIR/zeph.log");
        QTest::newRow("zephdir") << "zephdir"
                                 << "$HOME/filters" << 20 << QByteArray("ZEPH_DIR=$HOME/filters");
        QTest::newRow("maildir") << "maildir"
                                 << "Mail" << 37 << QByteArray("MAILDIR=Mail");
    }
    void settingChange()
    {
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(int, line);
        QFETCH(QByteArray, text);
        // Comments of the user's own, one of them mentioning the setting, at the top and inside.
        QList<QByteArray> lines = fixtureLines();
        lines.insert(12, "#  my own note: VERBOSE=yes while testing");
        lines.insert(0, "# hand-added comment");
        const QString path = put(QStringLiteral("rc"), joined(lines));
        const ZephCliRun run
            = RunZephCli({ QStringLiteral("procmailrc"), QStringLiteral("set"), path, key, value });
        QCOMPARE(run.code, 0);
        QCOMPARE(run.err, QByteArray());
        lines[line + 1] = text; // shifted by the two comments
        QCOMPARE(ReadTestFile(path), joined(lines));
    }

    // Hand-edited and damaged files: a missing or doubled marker changes nothing; a moved line
    // and one inside the temporary recipe are dropped; CR LF comes back LF with the markers found.
    void damagedFiles_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("expected"); // null: exit 1 and the file unchanged
        QTest::addColumn<QByteArray>("message");

        QList<QByteArray> lines = fixtureLines();
        QList<QByteArray> noMarker = lines;
        noMarker.removeAt(39); // ##_VERBOSE_##
        QTest::newRow("marker missing") << joined(noMarker) << "verbose"
                                        << "yes" << QByteArray() << QByteArray("##_VERBOSE_## is missing");
        QList<QByteArray> doubled = lines;
        doubled.insert(50, "##_LOGFILE_##");
        QTest::newRow("marker doubled")
            << joined(doubled) << "logging"
            << "off" << QByteArray() << QByteArray("##_LOGFILE_## stands more than once");
        QList<QByteArray> indented = lines;
        indented[35] = " ##_MAILDIR_##";
        QTest::newRow("marker indented") << joined(indented) << "maildir"
                                         << "Mail" << QByteArray() << QByteArray("##_MAILDIR_## is missing");

        // VERBOSE=no moved below COMSAT: the new line stands under the marker, the moved one goes.
        QList<QByteArray> moved = lines;
        moved.removeAt(40);
        moved.insert(46, "VERBOSE=no");
        QList<QByteArray> movedResult = moved;
        movedResult.removeAt(46);
        movedResult.insert(40, "VERBOSE=yes");
        QTest::newRow("line moved") << joined(moved) << "verbose"
                                    << "yes" << joined(movedResult) << QByteArray();

        // A temporary recipe with its own LOGFILE line loses it.
        QList<QByteArray> temp = lines;
        temp.insert(50, "LOGFILE=$ZEPH_DIR/temp.log");
        QTest::newRow("line in temporary recipe")
            << joined(temp) << "logging"
            << "off" << withLine(32, "LOGFILE=/dev/null") << QByteArray();

        QByteArray crlf = fixture();
        crlf.replace("\n", "\r\n");
        QTest::newRow("CR LF line ends") << crlf + "\r\n"
                                         << "verbose"
                                         << "yes" << withLine(41, "VERBOSE=yes") + "\n"
                                         << QByteArray();
        QByteArray lone = fixture();
        lone.replace("\n", "\r");
        QTest::newRow("lone CR line ends") << lone << "zephdir"
                                           << "$HOME/z" << withLine(20, "ZEPH_DIR=$HOME/z") << QByteArray();
        QTest::newRow("value with line break")
            << fixture() << "zephdir"
            << "$HOME/z\nINCLUDERC=/tmp/evil" << QByteArray() << QByteArray("line break");
        QTest::newRow("empty directory") << fixture() << "maildir"
                                         << "" << QByteArray() << QByteArray("must not be empty");
    }
    void damagedFiles()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QByteArray, expected);
        QFETCH(QByteArray, message);
        const QString path = put(QStringLiteral("rc"), content);
        const QDateTime before = QFileInfo(path).lastModified();
        const ZephCliRun run
            = RunZephCli({ QStringLiteral("procmailrc"), QStringLiteral("set"), path, key, value });
        if (expected.isNull()) {
            QCOMPARE(run.code, 1);
            QVERIFY2(run.err.contains(message), run.err.constData());
            QCOMPARE(ReadTestFile(path), content);
            QCOMPARE(QFileInfo(path).lastModified(), before);
        } else {
            QCOMPARE(run.code, 0);
            QCOMPARE(ReadTestFile(path), expected);
            QVERIFY(!ReadTestFile(path).contains('\r'));
        }
        QCOMPARE(
            QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList { QStringLiteral("rc") });
    }

    void cliUsage_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::newRow("nothing") << words({ "procmailrc" }) << 2;
        QTest::newRow("default with a file") << words({ "procmailrc", "default", "x" }) << 2;
        QTest::newRow("set without value") << words({ "procmailrc", "set", "RC", "verbose" }) << 2;
        QTest::newRow("unknown key") << words({ "procmailrc", "set", "RC", "comsat", "yes" }) << 2;
        QTest::newRow("logging yes") << words({ "procmailrc", "set", "RC", "logging", "yes" }) << 2;
        QTest::newRow("verbose on") << words({ "procmailrc", "set", "RC", "verbose", "on" }) << 2;
        QTest::newRow("missing file") << words({ "procmailrc", "set", "MISSING", "verbose", "yes" }) << 1;
        QTest::newRow("a folder") << words({ "procmailrc", "set", "DIR", "verbose", "yes" }) << 1;
    }
    void cliUsage()
    {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        const QString path = put(QStringLiteral("rc"), fixture());
        args.replaceInStrings(QStringLiteral("RC"), path);
        args.replaceInStrings(QStringLiteral("MISSING"), m_dir.filePath(QStringLiteral("none")));
        args.replaceInStrings(QStringLiteral("DIR"), m_dir.path());
        const ZephCliRun run = RunZephCli(args);
        QCOMPARE(run.code, code);
        QVERIFY(!run.err.isEmpty());
        QCOMPARE(run.out, QByteArray());
        QCOMPARE(ReadTestFile(path), fixture());
    }

    // The page's object creates the missing file at once and silently, marked for upload.
    void pageCreatesMissingFile()
    {
        const QString path = Workspace::GetProcmailrcPath();
        QVERIFY(!QFileInfo::exists(path));
        CProcmailrcSettings page;
        QCOMPARE(ReadTestFile(path), fixture());
        QVERIFY(Prompt::History().isEmpty());
        QCOMPARE(pendingLocals(), QStringList { path + QStringLiteral(">.procmailrc") });
        QCOMPARE(GetSettingString(Settings::ZephDir), QStringLiteral("$HOME/.procmail"));
        QCOMPARE(GetSettingString(Settings::MailDir), QStringLiteral("$HOME/mail"));
        QCOMPARE(Workspace::GetRemoteZephDir(), QStringLiteral(".procmail"));
        QVERIFY(page.Logging());
        QVERIFY(!page.Verbose());
    }

    // OK writes only what changed, in order, with the warnings before the directory changes.
    void pageApply()
    {
        const QString path = Workspace::GetProcmailrcPath();
        CProcmailrcSettings page;
        SetSettingStringArray(Settings::PendingFiles, {});

        QVERIFY(page.Apply(true, false, page.ZephDir(), page.MailDir()).accepted);
        QCOMPARE(ReadTestFile(path), fixture());
        QVERIFY(!HasPending());
        QVERIFY(Prompt::History().isEmpty());

        QVERIFY(
            page.Apply(true, true, QStringLiteral("$HOME/filters"), QStringLiteral("$HOME/mail")).accepted);
        QList<QByteArray> lines = fixtureLines();
        lines[40] = "VERBOSE=yes";
        lines[19] = "ZEPH_DIR=$HOME/filters";
        QCOMPARE(ReadTestFile(path), joined(lines));
        QCOMPARE(GetSetting(Settings::VerboseOn), 1);
        QCOMPARE(GetSettingString(Settings::ZephDir), QStringLiteral("$HOME/filters"));
        QCOMPARE(captions(), QStringList { QStringLiteral("Warning!") });
        QVERIFY(Prompt::History().first().text.startsWith(
            QStringLiteral("You have modified the ZEPH Directory")));
        QCOMPARE(pendingLocals(), QStringList { path + QStringLiteral(">.procmailrc") });

        // A line break in a directory never reaches the file.
        Prompt::ClearHistory();
        const CProcmailrcSettings::Outcome bad
            = page.Apply(true, true, QStringLiteral("$HOME/filters"), QStringLiteral("mail\nVERBOSE=yes"));
        QVERIFY(!bad.accepted);
        QCOMPARE(bad.focus, CProcmailrcSettings::Field::MailDir);
        QCOMPARE(captions(), QStringList { QStringLiteral("Invalid entry") });
        QCOMPARE(ReadTestFile(path), joined(lines));
    }

    // Verbose ticked while logging is off: Yes turns logging on, No turns verbose off (nothing
    // changes), Cancel keeps the page open and changes nothing.
    void pageVerboseWithoutLogging_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<bool>("logging");
        QTest::addColumn<bool>("verbose");
        QTest::newRow("yes") << int(Prompt::Yes) << true << true << true;
        QTest::newRow("no") << int(Prompt::No) << true << false << false;
        QTest::newRow("cancel") << int(Prompt::Cancel) << false << false << true;
    }
    void pageVerboseWithoutLogging()
    {
        QFETCH(int, answer);
        QFETCH(bool, accepted);
        QFETCH(bool, logging);
        QFETCH(bool, verbose);
        const QString path = Workspace::GetProcmailrcPath();
        CProcmailrcSettings page;
        QVERIFY(page.Apply(false, false, page.ZephDir(), page.MailDir()).accepted);
        const QByteArray loggingOff = withLine(32, "LOGFILE=/dev/null");
        QCOMPARE(ReadTestFile(path), loggingOff);
        Prompt::ClearHistory();
        Prompt::QueueAnswer(Prompt::Button(answer));
        QCOMPARE(page.Apply(false, true, page.ZephDir(), page.MailDir()).accepted, accepted);
        QCOMPARE(Prompt::History().size(), 1);
        const Prompt::Record asked = Prompt::History().first();
        QCOMPARE(asked.caption, QStringLiteral("Turn logging on?"));
        QCOMPARE(asked.defaultButton, Prompt::Cancel);
        QCOMPARE(page.Logging(), logging);
        QCOMPARE(page.Verbose(), verbose);
        // Only Yes changes the file: both lines; No leaves verbose at its opening value.
        QCOMPARE(ReadTestFile(path), answer == Prompt::Yes ? withLine(41, "VERBOSE=yes") : loggingOff);
    }

    // A change that cannot find its marker leaves the file, marks nothing, and offers the reset.
    void pageMarkerMissing_data()
    {
        QTest::addColumn<int>("answer");
        QTest::newRow("no reset") << int(Prompt::No);
        QTest::newRow("reset") << int(Prompt::Yes);
    }
    void pageMarkerMissing()
    {
        QFETCH(int, answer);
        const QString path = Workspace::GetProcmailrcPath();
        CProcmailrcSettings page;
        QList<QByteArray> lines = fixtureLines();
        lines.removeAt(30); // ##_LOGFILE_##
        lines.insert(0, "# mine");
        QVERIFY(WriteTestFile(path, joined(lines)));
        SetSettingStringArray(Settings::PendingFiles, {});
        Prompt::ClearHistory();

        Prompt::QueueAnswer(Prompt::Button(answer));
        QVERIFY(!page.Apply(false, false, page.ZephDir(), page.MailDir()).accepted);
        QCOMPARE(Prompt::History().first().caption, QStringLiteral("Reset .procmailrc?"));
        if (answer == Prompt::No) {
            QCOMPARE(captions(), QStringList { QStringLiteral("Reset .procmailrc?") });
            QCOMPARE(ReadTestFile(path), joined(lines));
            QVERIFY(!HasPending());
            QCOMPARE(GetSetting(Settings::LoggingOn), 1);
        } else {
            QCOMPARE(captions(),
                (QStringList {
                    QStringLiteral("Reset .procmailrc?"), QStringLiteral(".procmailrc updated") }));
            QCOMPARE(ReadTestFile(path), fixture());
            QVERIFY(HasPending());
            QVERIFY(page.Logging());
        }
    }

    // After an edit in the editor both flag lines are written on the next OK, whatever the boxes.
    void pageEditedOutside()
    {
        const QString path = Workspace::GetProcmailrcPath();
        CProcmailrcSettings page;
        QVERIFY(WriteTestFile(path, withLine(41, "VERBOSE=yes")));
        page.EditedOutside();
        QCOMPARE(captions(), QStringList { QStringLiteral("Warning!") });
        QVERIFY(page.Apply(true, false, page.ZephDir(), page.MailDir()).accepted);
        QCOMPARE(ReadTestFile(path), fixture());
    }

    void pageResetButton()
    {
        const QString path = Workspace::GetProcmailrcPath();
        CProcmailrcSettings page;
        QVERIFY(WriteTestFile(path, "# emptied by hand\n"));
        Prompt::QueueAnswer(Prompt::No);
        QVERIFY(!page.AskAndReset());
        QCOMPARE(Prompt::History().first().defaultButton, Prompt::No);
        QCOMPARE(ReadTestFile(path), QByteArray("# emptied by hand\n"));
        Prompt::QueueAnswer(Prompt::Yes);
        QVERIFY(page.AskAndReset());
        QCOMPARE(ReadTestFile(path), fixture());
        QCOMPARE(Prompt::History().last().caption, QStringLiteral(".procmailrc updated"));
    }

    // A file that cannot be written: the user is told, the old settings stay.
    void createDefaultFails()
    {
        const QString blocker = put(QStringLiteral("not-a-folder"), "x");
        CProcmailrcFile file(blocker + QStringLiteral("/.procmailrc"));
        SetSetting(Settings::LoggingOn, 0);
        QString error;
        QVERIFY(!file.CreateDefault(&error));
        QCOMPARE(file.LastFailure(), CProcmailrcFile::Failure::FileError);
        QVERIFY(!error.isEmpty());
        QCOMPARE(GetSetting(Settings::LoggingOn), 0);
    }
};

QTEST_GUILESS_MAIN(TestProcmailrc)
#include "tst_procmailrc.moc"
