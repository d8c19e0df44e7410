// The vacation recipe in the recipe file: added at the end, replaced in place, deleted; what is
// queued for upload and stored, and that a failed write stores and queues nothing.
#include "TestEnvironment.h"
#include "core/common/Prompt.h"
#include "core/procmail/VacationTask.h"
#include "core/settings/CAppState.h"
#include "core/settings/Profile.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace {

using Marks = QList<QPair<QString, QString>>;

QStringList Captions()
{
    QStringList list;
    for (const Prompt::Record& record : Prompt::History())
        list << record.caption;
    return list;
}

} // namespace

class TestVacationTask : public QObject
{
    Q_OBJECT

    TestEnvironment m_env;
    QString m_docs;
    QString m_recipes;
    QString m_response;
    Marks m_marks;

    VacationTask::MarkForUpload Mark()
    {
        return [this](const QString& local, const QString& remote) { m_marks.append({ local, remote }); };
    }
    void Write(const QString& path, const QByteArray& content)
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    }
    QByteArray Read() const
    {
        QFile file(m_recipes);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    VacationRecipe::Options Options(const QDate& first = QDate(), const QDate& last = QDate()) const
    {
        VacationRecipe::Options o = VacationTask::OptionsFromSettings(m_response);
        o.firstDay = first;
        o.lastDay = last;
        return o;
    }

private slots:
    void init()
    {
        StartFreshIdentity();
        Prompt::ClearHistory();
        m_docs = m_env.Home() + QStringLiteral("/docs/");
        QDir(m_docs).removeRecursively();
        QDir().mkpath(m_docs);
        SetSetting(Settings::DocumentDirectory, m_docs);
        SetSetting(Settings::ZephDir, QStringLiteral("$HOME/.procmail"));
        SetSetting(Settings::EmailAddress, QStringLiteral("me@example.org"));
        SetSetting(Settings::ReturnEmailAddress, QStringLiteral("me@example.org"));
        SetSetting(Settings::PersonalName, QStringLiteral("Test User"));
        m_recipes = m_docs + QStringLiteral("zeph.recipes");
        m_response = m_docs + QStringLiteral("I'm away.txt");
        Write(m_response, "Away.\n");
        m_marks.clear();
    }

    // Added at the end, then replaced in place (the other recipes stay), then deleted.
    void addReplaceDelete()
    {
        const QByteArray other = "##_ZEPH_RECIPE_BEGIN_##Other\n:0:\nother\n##_ZEPH_RECIPE_END_##Other\n";
        Write(m_recipes, other);

        const VacationRecipe::Options first = Options();
        QCOMPARE(VacationTask::AddRecipe(m_recipes, m_response, first, Mark()), VacationTask::Written::Added);
        QCOMPARE(Read(), other + VacationRecipe::BuildBlock(first));
        QCOMPARE(Captions(), QStringList { QStringLiteral("Recipe added") });
        QCOMPARE(m_marks,
            (Marks { { m_recipes, QStringLiteral(".procmail/zeph.recipes") },
                { m_response, QStringLiteral(".procmail/I_m_away.txt") } }));
        QCOMPARE(VacationTask::ReplyListRemotePath(), QStringLiteral(".procmail/zeph_vacation_reply.txt"));
        QStringList remote;
        CAppState::Instance().RemoteFiles().RemoteNames(&remote);
        QVERIFY2(remote.contains(QStringLiteral(".procmail/zeph_vacation_reply.txt")),
            qPrintable(remote.join(QLatin1Char(','))));

        Prompt::ClearHistory();
        const VacationRecipe::Options dated = Options(QDate(2026, 12, 24), QDate(2027, 1, 6));
        QCOMPARE(
            VacationTask::AddRecipe(m_recipes, m_response, dated, Mark()), VacationTask::Written::Replaced);
        QCOMPARE(Captions(), QStringList { QStringLiteral("Success") });
        const QByteArray replaced = Read();
        QCOMPARE(replaced.count("##_ZEPH_RECIPE_BEGIN_##ZEPH_Vacation"), 1);
        QVERIFY(replaced.contains("-ge 20261224"));
        QVERIFY(replaced.startsWith(other));
        // The settings bring the same recipe back the next time.
        const VacationRecipe::Options again = VacationTask::OptionsFromSettings(m_response);
        QCOMPARE(again.firstDay, dated.firstDay);
        QCOMPARE(again.lastDay, dated.lastDay);
        QCOMPARE(GetSettingString(Settings::VacationDlgLastFilename), m_response);

        Prompt::ClearHistory();
        m_marks.clear();
        QVERIFY(VacationTask::DeleteRecipe(m_recipes, Mark()));
        QVERIFY(!Read().contains("ZEPH_Vacation"));
        QVERIFY(Read().contains(other));
        QCOMPARE(Captions(), QStringList { QStringLiteral("Success") });
        QCOMPARE(m_marks.size(), 1);

        // A second delete finds nothing, says so and changes nothing.
        Prompt::ClearHistory();
        m_marks.clear();
        const QByteArray before = Read();
        QVERIFY(!VacationTask::DeleteRecipe(m_recipes, Mark()));
        QCOMPARE(Captions(), QStringList { QStringLiteral("Recipe not found") });
        QCOMPARE(Read(), before);
        QVERIFY(m_marks.isEmpty());
    }

    // A recipe file that cannot be written stores and queues nothing.
    void failedWriteStoresNothing()
    {
        QDir().mkpath(m_recipes); // a folder where the file should be
        SetSetting(Settings::VacationDlgToCombo, 0);
        VacationRecipe::Options o = Options();
        o.selection = 3;
        QCOMPARE(VacationTask::AddRecipe(m_recipes, m_response, o, Mark()), VacationTask::Written::Failed);
        QVERIFY(m_marks.isEmpty());
        QCOMPARE(GetSetting(Settings::VacationDlgToCombo), 0);
        QVERIFY(GetSettingString(Settings::VacationDlgLastFilename).isEmpty());
        QVERIFY(!Captions().contains(QStringLiteral("Recipe added")));
    }
};

QTEST_GUILESS_MAIN(TestVacationTask)
#include "tst_vacationtask.moc"
