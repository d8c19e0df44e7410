// The road of one recipe, as a user walks it, against the real programs: the FTP settings are
// typed into the Settings sheet, a recipe is made in the wizard, the pending files go to vsftpd, real
// procmail delivers mail as the same user with the uploaded files, Download > Log fetches the log into the
// log view, and the log entry's Edit Recipe opens the wizard on the recipe.
#include "core/common/Prompt.h"
#include "core/log/CLogEntry.h"
#include "core/net/PendingFiles.h"
#include "core/procmail/CProcmailrcFile.h"
#include "core/recipes/CRecipeDefinition.h"
#include "core/settings/Profile.h"
#include "core/workspace/Workspace.h"
#include "gui/app/CommandRegistry.h"
#include "gui/app/DocumentRegistry.h"
#include "gui/app/MainWindow.h"
#include "gui/app/ZephApplication.h"
#include "gui/common/CommandIds.h"
#include "gui/log/CLogDisplayView.h"
#include "gui/net/CPendingFilesDlg.h"
#include "gui/settings/CPropPageFTP.h"
#include "gui/settings/CPropSheetSetup.h"
#include "gui/wizard/CRecWizFinish.h"
#include "gui/wizard/CRecipeWizSheet.h"
#include "support/FtpServers.h"
#include "support/NetTestFixture.h"
#include "support/ProcmailSandbox.h"
#include "support/gui/GuiTestFixture.h"
#include "support/gui/ModalDialogs.h"
#include "support/gui/WizardDriver.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QTableView>
#include <QTest>

#include <memory>

namespace {

const QByteArray RecipeName = "Cheap offers";

// The rows of the log view whose recipe column names `name`.
QList<int> rowsOfRecipe(CLogDisplayView* view, const QString& name)
{
    QList<int> rows;
    for (qsizetype i = 0; i < view->Document().GetEntryCount(); ++i)
        if (view->Document().CellText(i, CLogEntry::RecipeNameColumn) == name)
            rows << int(i);
    return rows;
}

} // namespace

class TestRecipeRoad : public QObject
{
    Q_OBJECT

    std::unique_ptr<GuiTestFixture> m_fixture;

private slots:
    void initTestCase() { m_fixture = std::make_unique<GuiTestFixture>(QStringLiteral("Road")); }
    void init()
    {
        m_fixture->Init();
        // The Pending Files dialog is gated on a finished setup.
        SetSetting(Settings::SetupWizRun, 1);
    }

    void oneRecipeFromSettingsToMailbox()
    {
        // The host: one throwaway user, whose home vsftpd serves and procmail delivers into.
        const QString password
            = QStringLiteral("pw%1").arg(QRandomGenerator::global()->bounded(100000, 999999));
        ProcmailSandbox sandbox;
        ProcmailSandbox::Options options;
        options.loginPassword = password;
        QVERIFY2(sandbox.Start(options), qPrintable(sandbox.Error()));
        TestFtpServer server(TestFtpServer::Vsftpd);
        server.UseAccount(sandbox.UserName(), password, sandbox.Home());
        QVERIFY(StartTestServer(server));

        MainWindow window;
        ZephApplication::InstallFeatures(window.Shell());
        window.show();

        // 1. The FTP settings, typed into the sheet.
        bool sheetSeen = false;
        WhenModal<CPropSheetSetup>([&](CPropSheetSetup* sheet) {
            sheetSeen = true;
            CPropPageFTP* ftp = sheet->FtpPagePtr();
            // Typed as a user types: the page keeps a password only when it was edited.
            const auto type = [](QLineEdit* edit, const QString& text) {
                edit->clear();
                QTest::keyClicks(edit, text);
            };
            type(ftp->HostEdit(), QStringLiteral("127.0.0.1"));
            type(ftp->PortEdit(), QString::number(server.Port()));
            type(ftp->UserEdit(), server.User());
            type(ftp->PasswordEdit(), server.Password());
            ftp->SavePasswordBox()->setChecked(true);
            ftp->PassiveBox()->setChecked(true);
            sheet->accept();
        });
        // The pending files go up later, together with the recipe.
        SetSetting(Settings::ShowPendingFilesDlg, 0);
        QVERIFY(window.Commands().Run(Cmd::Settings));
        QVERIFY(sheetSeen);
        QVERIFY(QFile::exists(Workspace::GetProcmailrcPath()));

        // 2. The recipe, made in the wizard: Subject contains "cheap", save it to the mailbox
        // "spam", extended logging so that the log names it.
        SetSetting(Settings::ReturnEmailAddress, QStringLiteral("me@example.org"));
        bool finished = false;
        WhenModal<CRecipeWizSheet>([&](CRecipeWizSheet* sheet) {
            WizardDriver w(sheet);
            w.Condition(CRecipeCondition::Subject, QStringLiteral("cheap"));
            w.SaveTo(QStringLiteral("spam"));
            w.Name(QString::fromUtf8(RecipeName), 2);
            w.Next();
            sheet->FinishPage()->ListBox()->setChecked(false);
            w.Finish();
            finished = sheet->result() == QDialog::Accepted;
        });
        QVERIFY(window.Commands().Run(Cmd::NewRecipe));
        QVERIFY(finished);
        const QString recipeFile = Workspace::GetRecipeFilePath();
        QVERIFY(ReadTestFile(recipeFile).contains("##_ZEPH_RECIPE_BEGIN_##" + RecipeName + "\n"));

        // 3. The pending files go to the host, byte for byte.
        WhenModal<CPendingFilesDlg>([](CPendingFilesDlg* dialog) { dialog->accept(); });
        QVERIFY(window.Commands().Run(Cmd::PendingFiles));
        QVERIFY(!HasPending());
        QCOMPARE(
            sandbox.ReadFile(QStringLiteral(".procmailrc")), ReadTestFile(Workspace::GetProcmailrcPath()));
        QCOMPARE(sandbox.ReadFile(QStringLiteral(".procmail/zeph.recipes")), ReadTestFile(recipeFile));
        QVERIFY(!sandbox.ReadFile(QStringLiteral(".procmailrc")).contains('\r'));

        // 4. Real procmail, as that user, with the uploaded files only.
        QCOMPARE(sandbox.Deliver(ProcmailSandbox::Message(
                     "joe@example.net", "user@example.org", "A cheap offer", "Buy now.\n")),
            0);
        const QList<QByteArray> spam = sandbox.Folder(QStringLiteral("spam"));
        QCOMPARE(spam.size(), 1);
        QCOMPARE(ProcmailSandbox::Header(spam.first(), "Subject"), QByteArray("A cheap offer"));
        QCOMPARE(ProcmailSandbox::Body(spam.first()), QByteArray("Buy now.\n"));

        // 5. Download > Log brings the log into the log view.
        const qsizetype promptsBefore = Prompt::History().size();
        QVERIFY(window.Commands().Run(Cmd::LogDownload));
        for (const Prompt::Record& shown : Prompt::History().mid(promptsBefore))
            QFAIL(qUtf8Printable(shown.caption + QStringLiteral(": ") + shown.text));
        auto* view = qobject_cast<CLogDisplayView*>(
            window.Documents().FindDocument(m_fixture->Docs() + QStringLiteral("zeph.log")));
        QVERIFY(view);

        // 6. The entry names the recipe, and Edit Recipe leads back to it.
        const QList<int> rows = rowsOfRecipe(view, QString::fromUtf8(RecipeName));
        QCOMPARE(rows.size(), 1);
        view->List()->selectRow(rows.first());
        QByteArray reopened;
        WhenModal<CRecipeWizSheet>([&](CRecipeWizSheet* sheet) {
            reopened = sheet->Definition().GetName();
            sheet->reject();
        });
        view->EditRecipe();
        QCOMPARE(reopened, RecipeName);
    }
};

QTEST_MAIN(TestRecipeRoad)
#include "tst_reciperoad.moc"
