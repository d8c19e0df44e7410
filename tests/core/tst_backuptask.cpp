// The backup recipe in the recipe file as the dialogs write it: added at the end, replaced in
// place with the settings' address and MSGPREFIX, deleted; what is stored and queued for upload,
// and that a refused number or a damaged recipe file stores and queues nothing. The MSGPREFIX
// change and the setup gate.
#include "TestEnvironment.h"
#include "core/common/Prompt.h"
#include "core/net/PendingFiles.h"
#include "core/procmail/BackupTask.h"
#include "core/settings/Profile.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace {

QStringList captions()
{
    QStringList list;
    for (const Prompt::Record& record : Prompt::History())
        list << record.caption;
    return list;
}

const QByteArray Other = "##_ZEPH_RECIPE_BEGIN_##Other\n:0:\nother\n##_ZEPH_RECIPE_END_##Other\n";

} // namespace

class TestBackupTask : public QObject
{
    Q_OBJECT

    TestEnvironment m_env;
    QString m_recipes;

    void write(const QByteArray& content)
    {
        QFile file(m_recipes);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    }
    QByteArray read() const
    {
        QFile file(m_recipes);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    QList<QPair<QString, QString>> queued() const { return PendingPairs(); }

private slots:
    void init()
    {
        StartFreshIdentity();
        Prompt::ClearHistory();
        const QString docs = m_env.Home() + QStringLiteral("/docs/");
        QDir(docs).removeRecursively();
        QDir().mkpath(docs);
        SetSetting(Settings::DocumentDirectory, docs);
        SetSetting(Settings::EmailAddress, QStringLiteral("me@example.org"));
        m_recipes = docs + QStringLiteral("zeph.recipes");
    }

    // Added after the other recipes, replaced where it stands when the user changes it (also after
    // a recipe added behind it), then deleted; the number and selection come back next time.
    void addReplaceDelete()
    {
        write(Other);
        QCOMPARE(BackupTask::AddRecipe(m_recipes, 0, 3), BackupTask::Written::Added);
        QCOMPARE(read(),
            Other
                + "\n##_ZEPH_RECIPE_BEGIN_##ZEPH_Backup\n"
                  "#  A copy of the 3 most recent messages\n"
                  "#  addressed To: or Cc: me@example.org\n"
                  "#  will be saved in your backup directory.\n"
                  "#  \n"
                  ":0c\n* ^(To|Cc):.*me@example.org\nbackup\n\n"
                  ":0aic\n| cd backup && rm -f dummy `ls -t msg.* | sed -e 1,3d`\n"
                  "##_ZEPH_RECIPE_END_##ZEPH_Backup\n");
        QCOMPARE(captions(), QStringList { QStringLiteral("Recipe added") });
        QCOMPARE(Prompt::History().first().text,
            QStringLiteral(
                "To be consistent, this new recipe has been added to the end of your recipe file.  The "
                "recipe name is 'ZEPH_Backup'.  You should move this recipe toward the top of your "
                "recipe list.  For more information please see the help file under 'backing up your "
                "mail'."));
        QCOMPARE(queued(),
            (QList<QPair<QString, QString>> { { m_recipes, QStringLiteral(".procmail/zeph.recipes") } }));
        QCOMPARE(GetSetting(Settings::BackupDlgToCombo), 0);
        QCOMPARE(GetSetting(Settings::BackupDlgMsgNumber), 3);

        const QByteArray later = "##_ZEPH_RECIPE_BEGIN_##Later\n:0:\nlater\n##_ZEPH_RECIPE_END_##Later\n";
        write(read() + later);
        Prompt::ClearHistory();
        SetSetting(Settings::BackupDlgMsgPrefix, QStringLiteral("mine."));
        QCOMPARE(BackupTask::AddRecipe(m_recipes, 4, 25), BackupTask::Written::Replaced);
        // The block brings its own empty line; the one before the old block stays.
        QCOMPARE(read(),
            Other
                + "\n\n##_ZEPH_RECIPE_BEGIN_##ZEPH_Backup\n"
                  "#  A copy of the 25 most recent messages\n"
                  "#  will be saved in your backup directory.\n"
                  "#  \n"
                  ":0c\nbackup\n\n"
                  ":0ic\n| cd backup && rm -f dummy `ls -t mine.* | sed -e 1,25d`\n"
                  "##_ZEPH_RECIPE_END_##ZEPH_Backup\n"
                + later);
        QCOMPARE(Prompt::History().first().text,
            QStringLiteral("The updated backup recipe has been added the the file.  (The recipe name remains "
                           "'ZEPH_Backup'.)"));
        QCOMPARE(captions(), QStringList { QStringLiteral("Success") });
        QCOMPARE(GetSetting(Settings::BackupDlgToCombo), 4);
        QCOMPARE(GetSetting(Settings::BackupDlgMsgNumber), 25);

        Prompt::ClearHistory();
        QCOMPARE(BackupTask::DeleteRecipe(m_recipes), BackupTask::Deleted::Deleted);
        QCOMPARE(read(), Other + "\n\n" + later);
        QVERIFY(Prompt::History().isEmpty());

        // A second delete finds nothing and says where it looked.
        QCOMPARE(BackupTask::DeleteRecipe(m_recipes), BackupTask::Deleted::NotFound);
        QCOMPARE(captions(), QStringList { QStringLiteral("Recipe not found") });
        QVERIFY(Prompt::History().first().text.startsWith(
            QStringLiteral("The Backup recipe was not found in the file %1.  Neither").arg(m_recipes)));
        QCOMPARE(read(), Other + "\n\n" + later);
    }

    // Nothing is written, stored or queued when the number or the stored MSGPREFIX is refused, or
    // the recipe file is damaged (a begin line without its end line) or cannot be written.
    void failuresChangeNothing_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("folder");
        QTest::addColumn<QString>("caption");
        const QString plain = QStringLiteral("msg.");
        QTest::newRow("zero") << 0 << plain << Other << false << QStringLiteral("Invalid Number Entered");
        QTest::newRow("negative") << -5 << plain << Other << false
                                  << QStringLiteral("Invalid Number Entered");
        // A prefix stored by an older program was never checked: it stops before the shell sees it.
        QTest::newRow("stored prefix with a command")
            << 10 << QStringLiteral("msg.;rm -rf ~") << Other << false << QStringLiteral("Invalid MSGPREFIX");
        QTest::newRow("begin without end")
            << 10 << plain << QByteArray("##_ZEPH_RECIPE_BEGIN_##ZEPH_Backup\n:0c\nbackup\n") << false
            << QString();
        QTest::newRow("not writable") << 10 << plain << QByteArray() << true << QString();
    }
    void failuresChangeNothing()
    {
        QFETCH(int, count);
        QFETCH(QString, prefix);
        QFETCH(QByteArray, content);
        QFETCH(bool, folder);
        QFETCH(QString, caption);
        if (folder)
            QVERIFY(QDir().mkpath(m_recipes)); // a folder where the file should be
        else
            write(content);
        SetSetting(Settings::BackupDlgMsgPrefix, prefix);
        QCOMPARE(BackupTask::AddRecipe(m_recipes, 2, count), BackupTask::Written::Failed);
        if (!folder)
            QCOMPARE(read(), content);
        QVERIFY(!HasPending());
        QCOMPARE(GetSetting(Settings::BackupDlgToCombo), 0);
        QCOMPARE(GetSetting(Settings::BackupDlgMsgNumber), 100);
        QVERIFY(!Prompt::History().isEmpty());
        if (!caption.isEmpty())
            QCOMPARE(captions(), QStringList { caption });
        QVERIFY(!captions().contains(QStringLiteral("Recipe added")));
    }

    // Only a plain word becomes MSGPREFIX: it stands unquoted in shell commands on the host.
    void prefix_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("caption");
        QTest::newRow("plain word") << QStringLiteral("Msg_1+x-") << QStringLiteral("Msg_1+x-")
                                    << QStringLiteral("MSGPREFIX updated");
        QTest::newRow("blank") << QStringLiteral("msg .") << QStringLiteral("msg.")
                               << QStringLiteral("Invalid MSGPREFIX");
        QTest::newRow("command") << QStringLiteral("`rm -rf ~`") << QStringLiteral("msg.")
                                 << QStringLiteral("Invalid MSGPREFIX");
        QTest::newRow("wildcard") << QStringLiteral("*") << QStringLiteral("msg.")
                                  << QStringLiteral("Invalid MSGPREFIX");
    }
    void prefix()
    {
        QFETCH(QString, value);
        QFETCH(QString, stored);
        QFETCH(QString, caption);
        Prompt::QueueAnswer(Prompt::Yes);
        QVERIFY(BackupTask::ConfirmPrefixChange());
        const Prompt::Record question = Prompt::History().first();
        QCOMPARE(question.caption, QStringLiteral("Modify MSGPREFIX?"));
        QCOMPARE(question.defaultButton, Prompt::No);
        QVERIFY(question.text.contains(
            QStringLiteral("Currently ZEPH (not procmail) knows MSGPREFIX as 'msg.'.")));
        QCOMPARE(BackupTask::SetPrefix(value), stored == value);
        QCOMPARE(GetSettingString(Settings::BackupDlgMsgPrefix), stored);
        QCOMPARE(captions().last(), caption);
    }

    void setupGate()
    {
        QVERIFY(!BackupTask::CheckSetup());
        QCOMPARE(captions(), QStringList { QStringLiteral("Setup not initialized") });
        SetSetting(Settings::SetupWizRun, 1);
        QVERIFY(BackupTask::CheckSetup());
        QCOMPARE(Prompt::History().size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestBackupTask)
#include "tst_backuptask.moc"
