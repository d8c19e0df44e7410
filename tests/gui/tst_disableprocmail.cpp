// Tools > Disable Procmail: the dialog opens from the menu and from the start-up warning's command,
// and its buttons reach the host's renames and the clean-up (proven on the mail loop in the
// integration tier); here the gate and the questions that come before any connection.
#include "core/common/Prompt.h"
#include "core/settings/Profile.h"
#include "gui/app/CommandRegistry.h"
#include "gui/app/MainWindow.h"
#include "gui/app/ZephApplication.h"
#include "gui/common/CommandIds.h"
#include "gui/procmail/CDisableProcmailDlg.h"
#include "support/gui/GuiTestFixture.h"
#include "support/gui/ModalDialogs.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <memory>

class TestDisableProcmail : public QObject
{
    Q_OBJECT

    std::unique_ptr<GuiTestFixture> m_fixture;

private slots:
    void initTestCase() { m_fixture = std::make_unique<GuiTestFixture>(QStringLiteral("Disable")); }
    void init() { m_fixture->Init(); }

    void buttonsFromTheMenu()
    {
        SetSetting(Settings::SetupWizRun, 0);
        SetSetting(Settings::ForwardQmailRadio, 3);
        MainWindow window;
        ZephApplication::InstallFeatures(window.Shell());
        bool seen = false;
        WhenModal<CDisableProcmailDlg>([&](CDisableProcmailDlg* dialog) {
            seen = true;
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Disable procmail"));
            // Without a finished setup only the deletion goes on.
            dialog->DisableButton()->click();
            dialog->EnableButton()->click();
            Prompt::QueueAnswer(Prompt::No);
            dialog->DeleteAllButton()->click();
            dialog->accept();
        });
        QVERIFY(window.Commands().Run(Cmd::DisableProcmail));
        QVERIFY(seen);
        const QList<Prompt::Record> shown = Prompt::History();
        QCOMPARE(shown.size(), 3);
        QCOMPARE(shown.at(0).caption, QStringLiteral("Setup not initialized"));
        QCOMPARE(shown.at(1).caption, QStringLiteral("Setup not initialized"));
        QCOMPARE(shown.at(2).caption, QStringLiteral("Okay to delete?"));
        QCOMPARE(shown.at(2).text,
            QStringLiteral(
                "There were no files listed in the Remote Files Dialog.  It's recommended that you have "
                "ZEPH attempt to delete the remote file .procmailrc just to be safe.\n\nWould you like to "
                "delete the .procmailrc file?"));
        QCOMPARE(shown.at(2).defaultButton, Prompt::No);
    }
};

QTEST_MAIN(TestDisableProcmail)
#include "tst_disableprocmail.moc"
