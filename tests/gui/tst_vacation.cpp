// Recipes > Vacation as the user meets it: the recipe dialog's checks and what it writes, stores
// and queues, the values it shows again, the preview, the deletion questions, the setup gate, and
// the recipe dialog opening when the recipe is edited by name. The host side runs on the mail loop
// in tst_vacation_loop.
#include "core/common/Prompt.h"
#include "core/net/PendingFiles.h"
#include "core/settings/Profile.h"
#include "core/workspace/Workspace.h"
#include "gui/app/CommandRegistry.h"
#include "gui/app/MainWindow.h"
#include "gui/app/ZephApplication.h"
#include "gui/common/CommandIds.h"
#include "gui/common/IShell.h"
#include "gui/procmail/CVacationDlg.h"
#include "gui/procmail/CVacationRecipeDlg.h"
#include "support/NetTestFixture.h"
#include "support/gui/GuiTestFixture.h"
#include "support/gui/ModalDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <memory>

namespace {

using Pairs = QList<QPair<QString, QString>>;

QStringList captions()
{
    QStringList list;
    for (const Prompt::Record& record : Prompt::History())
        list << record.caption;
    return list;
}

const QByteArray LongLine = QByteArray(70, 'x') + ' ' + QByteArray(10, 'y') + '\n'; // 81 characters

} // namespace

class TestVacation : public QObject
{
    Q_OBJECT

    std::unique_ptr<GuiTestFixture> m_fixture;
    QString m_recipes;
    QString m_response;

private slots:
    void initTestCase() { m_fixture = std::make_unique<GuiTestFixture>(QStringLiteral("Vacation")); }
    void init()
    {
        m_fixture->Init();
        SetSetting(Settings::SetupWizRun, 1);
        SetSetting(Settings::EmailAddress, QStringLiteral("me@example.org"));
        SetSetting(Settings::ReturnEmailAddress, QStringLiteral("<me@example.org>"));
        SetSetting(Settings::PersonalName, QStringLiteral("Test User"));
        m_recipes = Workspace::GetRecipeFilePath();
        m_response = m_fixture->Docs() + QStringLiteral("I'm away (now).txt");
        QVERIFY(WriteTestFile(m_response, "Back on 7 January.\n" + LongLine));
    }

    // From the menu: the remote name and the long lines are confirmed, the recipe is written with
    // the chosen selection, version and days, both files wait for upload, the response file is
    // wrapped; the next time (by the recipe's name) the dialog shows the same values and replaces
    // the recipe in place.
    void addThroughTheMenuAndAgain()
    {
        MainWindow window;
        ZephApplication::InstallFeatures(window.Shell());
        QVERIFY(window.Commands().Action(Cmd::Vacation)->isEnabled());
        bool added = false;
        WhenModal<CVacationDlg>([&](CVacationDlg* main) {
            WhenModal<CVacationRecipeDlg>([&](CVacationRecipeDlg* dialog) {
                QCOMPARE(dialog->ToCombo()->count(), 5);
                QCOMPARE(dialog->ToCombo()->itemText(1),
                    QStringLiteral("TO_ me@example.org (using the TO_ macro)"));
                QVERIFY(!dialog->FirstDayBox()->isChecked());
                dialog->ToCombo()->setCurrentIndex(3);
                dialog->FileEdit()->setText(m_response);
                dialog->OldVersionButton()->setChecked(true);
                dialog->FirstDayBox()->setChecked(true);
                dialog->FirstDayEdit()->setDate(QDate(2026, 12, 24));
                dialog->LastDayBox()->setChecked(true);
                dialog->LastDayEdit()->setDate(QDate(2027, 1, 6));
                Prompt::QueueAnswer(Prompt::Yes); // the remote name
                Prompt::QueueAnswer(Prompt::Yes); // the line wrap
                dialog->AddButton()->click();
                added = !dialog->isVisible() && dialog->result() == QDialog::Accepted;
            });
            main->CreateButton()->click();
            main->accept();
        });
        QVERIFY(window.Commands().Run(Cmd::Vacation));
        QVERIFY(added);
        QCOMPARE(captions(),
            (QStringList { QStringLiteral("File name okay?"), QStringLiteral("Long lines"),
                QStringLiteral("Recipe added") }));
        QCOMPARE(Prompt::History().at(0).text,
            QStringLiteral(
                "The local reply file, \"I'm away (now).txt\", will be named \"I_m_away__now_.txt\" "
                "on the remote machine.  Almost all characters are valid for Unix filenames but "
                "to avoid potential problems ZEPH replaces some characters with an underscore.  "
                "If you would like to change the local filename (and in turn the remote name) "
                "select 'No'.  To continue select 'Yes'.\n\nOkay to name remote reponse file "
                "I_m_away__now_.txt?"));
        QCOMPARE(Prompt::History().at(1).defaultButton, Prompt::No);

        const QByteArray recipe = ReadTestFile(m_recipes);
        QVERIFY2(recipe.contains("\n:0\n* ^To:.*me@example.org\n{\n"), recipe.constData());
        QVERIFY(recipe.contains(
            "\t* ? test `date +%Y%m%d` -ge 20261224\n\t* ? test `date +%Y%m%d` -le 20270106\n"));
        QVERIFY(recipe.contains("\t\t| (formail -rt -A\"X-Loop: me@example.org\" \\\n"));
        QVERIFY(recipe.contains("\t\tcat $ZEPH_DIR/I_m_away__now_.txt \\\n"));
        QCOMPARE(PendingPairs(),
            (Pairs { { m_recipes, QStringLiteral(".procmail/zeph.recipes") },
                { m_response, QStringLiteral(".procmail/I_m_away__now_.txt") } }));
        QCOMPARE(ReadTestFile(m_response),
            QByteArray("Back on 7 January.\n") + QByteArray(70, 'x') + '\n' + QByteArray(10, 'y') + '\n');

        Prompt::ClearHistory();
        bool shownAgain = false;
        WhenModal<CVacationRecipeDlg>([&](CVacationRecipeDlg* dialog) {
            shownAgain = dialog->ToCombo()->currentIndex() == 3 && dialog->FileEdit()->text() == m_response
                && dialog->OldVersionButton()->isChecked() && dialog->FirstDayBox()->isChecked()
                && dialog->FirstDayEdit()->date() == QDate(2026, 12, 24) && dialog->LastDayBox()->isChecked()
                && dialog->LastDayEdit()->date() == QDate(2027, 1, 6);
            dialog->LastDayBox()->setChecked(false);
            Prompt::QueueAnswer(Prompt::Yes);
            dialog->AddButton()->click();
        });
        // Editing the recipe by name (the recipe list, the log) opens this dialog, in any letter case.
        QVERIFY(window.Shell().EditRecipe(QStringLiteral("ZEPH_VACATION"), true));
        QVERIFY(shownAgain);
        QCOMPARE(captions(), (QStringList { QStringLiteral("File name okay?"), QStringLiteral("Success") }));
        const QByteArray replaced = ReadTestFile(m_recipes);
        QCOMPARE(replaced.count("##_ZEPH_RECIPE_BEGIN_##ZEPH_Vacation"), 1);
        QVERIFY(replaced.contains("-ge 20261224"));
        QVERIFY(!replaced.contains("-le "));
        QVERIFY(GetSettingString(Settings::VacationDlgLastDay).isEmpty());
    }

    // Every check that stops "Add Recipe" keeps the dialog open and writes, stores and queues
    // nothing; wrong days stop it before the response file could be wrapped.
    void refusals_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("answer"); // queued for the first question
        QTest::addColumn<QDate>("lastDay");
        QTest::addColumn<QString>("caption"); // of the last box shown
        const QDate first(2026, 12, 24);
        QTest::newRow("no such file") << QStringLiteral("nothere.txt") << int(Prompt::Yes) << QDate()
                                      << QStringLiteral("Enter filename");
        QTest::newRow("remote name refused") << QStringLiteral("I'm away (now).txt") << int(Prompt::No)
                                             << QDate() << QStringLiteral("File name okay?");
        QTest::newRow("wrap cancelled")
            << QStringLiteral("long.txt") << int(Prompt::Cancel) << QDate() << QStringLiteral("Long lines");
        QTest::newRow("last day before the first") << QStringLiteral("long.txt") << int(Prompt::Yes)
                                                   << first.addDays(-1) << QStringLiteral("Vacation days");
    }
    void refusals()
    {
        QFETCH(QString, file);
        QFETCH(int, answer);
        QFETCH(QDate, lastDay);
        QFETCH(QString, caption);
        QVERIFY(WriteTestFile(m_fixture->Docs() + QStringLiteral("long.txt"), LongLine));
        QVERIFY(WriteTestFile(m_fixture->Docs() + QStringLiteral("short.txt"), "Away.\n"));
        const QByteArray recipes = "##_ZEPH_RECIPE_BEGIN_##Other\n:0:\nother\n##_ZEPH_RECIPE_END_##Other\n";
        QVERIFY(WriteTestFile(m_recipes, recipes));
        MainWindow window;
        ZephApplication::InstallFeatures(window.Shell());
        bool stayed = false;
        WhenModal<CVacationRecipeDlg>([&](CVacationRecipeDlg* dialog) {
            dialog->FileEdit()->setText(m_fixture->Docs() + file);
            dialog->FirstDayBox()->setChecked(true);
            dialog->FirstDayEdit()->setDate(QDate(2026, 12, 24));
            dialog->LastDayBox()->setChecked(lastDay.isValid());
            dialog->LastDayEdit()->setDate(lastDay);
            Prompt::QueueAnswer(Prompt::Button(answer));
            dialog->AddButton()->click();
            stayed = dialog->isVisible();
            dialog->reject();
        });
        QVERIFY(!CVacationDlg::RunRecipeDialog(window.Shell(), &window));
        QVERIFY(stayed);
        QCOMPARE(captions().last(), caption);
        QCOMPARE(ReadTestFile(m_recipes), recipes);
        QVERIFY(PendingPairs().isEmpty());
        QVERIFY(GetSettingString(Settings::VacationDlgLastFilename).isEmpty());
        QCOMPARE(ReadTestFile(m_fixture->Docs() + QStringLiteral("long.txt")), LongLine);
    }

    // A recipe file whose vacation markers are broken is reported and left alone: the dialog ends
    // as cancelled, so that editing by name does not claim a recipe that was not written.
    void brokenRecipeFileIsNotASuccess()
    {
        const QByteArray broken = "##_ZEPH_RECIPE_BEGIN_##ZEPH_Vacation\n:0:\nold\n";
        QVERIFY(WriteTestFile(m_recipes, broken));
        QVERIFY(WriteTestFile(m_fixture->Docs() + QStringLiteral("short.txt"), "Away.\n"));
        MainWindow window;
        ZephApplication::InstallFeatures(window.Shell());
        WhenModal<CVacationRecipeDlg>([&](CVacationRecipeDlg* dialog) {
            dialog->FileEdit()->setText(m_fixture->Docs() + QStringLiteral("short.txt"));
            dialog->AddButton()->click();
        });
        QVERIFY(!window.Shell().EditRecipe(QStringLiteral("zeph_vacation"), false));
        QCOMPARE(ReadTestFile(m_recipes), broken);
        QVERIFY(PendingPairs().isEmpty());
        QVERIFY(!captions().contains(QStringLiteral("Success")));
        QVERIFY(!captions().contains(QStringLiteral("Recipe added")));
    }

    // The reply as the sender gets it, from the settings and the file, following the file box.
    void preview()
    {
        QVERIFY(WriteTestFile(m_fixture->Docs() + QStringLiteral("short.txt"), "Away.\n"));
        CVacationRecipeDlg dialog(m_recipes, {}, nullptr);
        dialog.FileEdit()->setText(m_fixture->Docs() + QStringLiteral("short.txt"));
        QCOMPARE(dialog.Preview()->toPlainText(),
            QStringLiteral("From: Test User's Mailer-Daemon <me@example.org>\n"
                           "To: (the sender)\n"
                           "Subject: Re: (the subject of the sender's message)\n"
                           "X-Loop: me@example.org\n"
                           "Precedence: junk\n"
                           "\n"
                           "Away.\n"));
        dialog.FileEdit()->setText(m_fixture->Docs() + QStringLiteral("nothere.txt"));
        QVERIFY(!dialog.Preview()->toPlainText().contains(QStringLiteral("Mailer-Daemon")));
    }

    // Deleting: a missing recipe is named and offers no remote deletion; a present one is removed,
    // queued, and the remote list is offered with No as the default.
    void deleteRecipe()
    {
        MainWindow window;
        ZephApplication::InstallFeatures(window.Shell());
        CVacationDlg dialog(window.Shell(), &window);
        Prompt::QueueAnswer(Prompt::Yes);
        dialog.DeleteRecipeButton()->click();
        QCOMPARE(captions(),
            (QStringList { QStringLiteral("Okay to delete?"), QStringLiteral("Recipe not found") }));

        const QByteArray other = "##_ZEPH_RECIPE_BEGIN_##Other\n:0:\nother\n##_ZEPH_RECIPE_END_##Other\n";
        QVERIFY(WriteTestFile(m_recipes,
            other
                + "\n##_ZEPH_RECIPE_BEGIN_##ZEPH_Vacation\n:0\n/dev/"
                  "null\n##_ZEPH_RECIPE_END_##ZEPH_Vacation\n"));
        Prompt::ClearHistory();
        Prompt::QueueAnswer(Prompt::Yes);
        Prompt::QueueAnswer(Prompt::Ok); // "Success"
        Prompt::QueueAnswer(Prompt::No);
        dialog.DeleteRecipeButton()->click();
        QCOMPARE(captions(),
            (QStringList { QStringLiteral("Okay to delete?"), QStringLiteral("Success"),
                QStringLiteral("Okay to delete?") }));
        QVERIFY(Prompt::History().last().text.startsWith(QStringLiteral(
            "When you delete the Vacation recipe it's a generally a good idea to also attempt to "
            "delete the remote file .procmail/zeph_vacation_reply.txt.")));
        QCOMPARE(Prompt::History().last().defaultButton, Prompt::No);
        QVERIFY(!ReadTestFile(m_recipes).contains("ZEPH_Vacation"));
        QVERIFY(ReadTestFile(m_recipes).startsWith(other));
        QCOMPARE(PendingPairs(), (Pairs { { m_recipes, QStringLiteral(".procmail/zeph.recipes") } }));
    }

    // Without a finished setup the remote list is neither shown nor deleted; the recipe buttons
    // still work.
    void setupGate()
    {
        SetSetting(Settings::SetupWizRun, 0);
        MainWindow window;
        ZephApplication::InstallFeatures(window.Shell());
        CVacationDlg dialog(window.Shell(), &window);
        dialog.ViewListButton()->click();
        dialog.DeleteListButton()->click();
        QCOMPARE(captions(),
            (QStringList {
                QStringLiteral("Setup not initialized"), QStringLiteral("Setup not initialized") }));
        QCOMPARE(Prompt::History().first().text,
            QStringLiteral("You cannot perform this function until after you have run the Initial Setup "
                           "Wizard.  To do so, from the 'Tools' menu select 'Initial Setup'."));
    }
};

QTEST_MAIN(TestVacation)
#include "tst_vacation.moc"
