#include "gui/app/ZephApplication.h"

#include "core/common/Clock.h"
#include "core/common/Prompt.h"
#include "core/net/SavedPassword.h"
#include "core/settings/AppDataFolder.h"
#include "core/settings/CAppState.h"
#include "core/settings/Profile.h"
#include "core/workspace/Identities.h"
#include "core/workspace/Workspace.h"
#include "gui/app/CViewManager.h"
#include "gui/app/CommandRegistry.h"
#include "gui/app/DocumentRegistry.h"
#include "gui/app/MainWindow.h"
#include "gui/app/SingleInstance.h"
#include "gui/app/WindowPlacement.h"
#include "gui/common/CCheckQuestionDlg.h"
#include "gui/common/Help.h"
#include "gui/common/MessageBoxPresenter.h"
#include "gui/editor/TextEditorRegistration.h"
#include "gui/log/LogViewerRegistration.h"
#include "gui/mail/InstallMail.h"
#include "gui/net/NetCommands.h"
#include "gui/options/OptionsCommands.h"
#include "gui/procmail/BackupCommands.h"
#include "gui/procmail/ProcmailTasks.h"
#include "gui/recipes/RecipeListCommands.h"
#include "gui/settings/SettingsCommands.h"
#include "gui/wizard/RecipeWizardCommands.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QTimer>

#include <cerrno>
#include <cstring>

QString ZephApplication::IdentityFromArguments(int argc, char* argv[])
{
    // Every parameter that starts with '-' or '/' names the identity; the last one wins. This is
    // read before Qt sees the command line, so "-style" is an identity, not a Qt option.
    QString identity = QStringLiteral("Default");
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg.startsWith(QLatin1Char('-')) || arg.startsWith(QLatin1Char('/')))
            identity = arg.mid(1);
    }
    return identity;
}

int ZephApplication::Run(int argc, char* argv[])
{
    CAppState& state = CAppState::Instance();
    state.SetIdentity(IdentityFromArguments(argc, argv));

    // Qt gets the program name only: every other parameter belongs to ZEPH.
    int qtArgc = 1;
    char* qtArgv[] = { argv[0], nullptr };
    QApplication app(qtArgc, qtArgv);
    QApplication::setApplicationName(QStringLiteral("ZEPH"));
    QApplication::setApplicationVersion(QStringLiteral(ZEPH_VERSION));
    MessageBoxPresenter::Install();
    InstallHelpKey(&app);

    // The uninstall run removes what every identity left on this machine, and nothing else.
    if (state.UninstallMode()) {
        Identities::UninstallCleanup();
        return 0;
    }

    const QString refusal = Workspace::CheckIdentityName(state.IdentityName(), true);
    if (!refusal.isEmpty()) {
        Prompt::Tell(refusal, QStringLiteral("ZEPH"), Prompt::Stop);
        return 1;
    }

    SingleInstance instance(SingleInstance::InstanceName(state.IdentityName()));
    if (!instance.Acquire())
        return 0;

    state.LoadIdentityData();
    // Passwords saved while no keychain ran move into it now that one may.
    SavedPassword::MoveIntoKeychain();

    MainWindow window;
    InstallFeatures(window.Shell());
    QObject::connect(&instance, &SingleInstance::ActivationRequested, &window, [&window] {
        if (window.isMinimized())
            window.showNormal();
        window.raise();
        window.activateWindow();
    });

    if (GetSetting(Settings::InitialShowState) == WindowPlacement::Maximized)
        window.showMaximized();
    else
        window.show();
    ZephApplication::RunStartupSteps(window, true);

    const int result = app.exec();
    state.SaveAtExit();
    Workspace::DeleteTempFiles();
    return result;
}

void ZephApplication::InstallFeatures(IShell& shell)
{
    RegisterTextEditor(shell);
    RegisterLogViewer(shell);
    NetCommands::Install(shell);
    InstallSettings(shell);
    InstallOptions(shell);
    InstallRecipeList(shell);
    InstallMail(shell);
    InstallRecipeWizard(shell);
    InstallProcmailTasks(shell);
    InstallBackup(shell);
}

void ZephApplication::RunStartupSteps(MainWindow& window, bool withTip)
{
    const bool firstRun = GetSetting(Settings::FirstRun) != 0;
    if (GetSetting(Settings::NewDocumentAtStartup) != 0)
        window.Documents().NewTextDocument();
    if (firstRun)
        Workspace::CreatePath(GetAppDataFolder());

    if (GetSetting(Settings::ShowButtonPage) != 0)
        window.Documents().OpenButtonPage();
    const QStringList startFiles = GetSettingStringArray(Settings::StartFiles);
    for (const QString& path : std::as_const(startFiles)) {
        if (QFileInfo(path).isFile())
            window.Documents().OpenFile(path);
    }
    window.ViewManager()->SelectFirstTab();

    const QString documents = Workspace::GetDocumentFolder();
    if (Workspace::CreatePath(documents) && !QDir::setCurrent(documents)) {
        Prompt::Tell(QStringLiteral("Error trying to set working directory!  The error message was:\n\n")
                + QString::fromLocal8Bit(std::strerror(errno)),
            QStringLiteral("ZEPH"), Prompt::Warning);
    }
    window.RestoreBarState();

    LogWarning(window);
    SetupFilesWarning(window);
    if (firstRun)
        SetSetting(Settings::FirstRun, 0);
    if (withTip && GetSetting(Settings::ShowTipOfDay) != 0)
        window.ShowTipOfTheDay();
}

void ZephApplication::LogWarning(MainWindow& window)
{
    if (GetSetting(Settings::WarnDownloadLog) == 0 || GetSetting(Settings::SetupWizRun) == 0)
        return;
    const int warnDays = GetSetting(Settings::WarnDays);
    const QDateTime last = GetSettingTime(Settings::LogDownloadTime);
    const qint64 days = last.secsTo(Clock::Now()) / 86400;
    if (days < warnDays)
        return;
    bool warn = true;
    const Prompt::Button answer = CCheckQuestionDlg::Ask(
        QStringLiteral(
            "The zeph.log file hasn't been downloaded and deleted in at least the past %1 days.  You should "
            "periodically delete this file so it doesn't grow too large.  Click on the 'Help' button for "
            "more "
            "information.\n\nWould you like to download the zeph.log file now?")
            .arg(days),
        QStringLiteral("Download log file?"), QStringLiteral("Warn me when the log hasn't been downloaded."),
        &warn, &window, QStringLiteral("log.html"), CCheckQuestionDlg::YesNoCancel);
    if (answer == Prompt::Cancel)
        return;
    SetSetting(Settings::WarnDownloadLog, warn ? 1 : 0);
    if (answer == Prompt::Yes)
        window.Commands().Run(Cmd::LogDownload);
}

void ZephApplication::SetupFilesWarning(MainWindow& window)
{
    if (GetSetting(Settings::SetupWizRun) != 0 || GetSetting(Settings::NoSetupFilesWarning) != 0
        || GetSetting(Settings::SetupWizAttempted) == 0)
        return;
    const int count = int(CAppState::Instance().RemoteFiles().files.size());
    if (count == 0)
        return;
    bool dontWarn = false;
    const Prompt::Button answer = CCheckQuestionDlg::Ask(
        QStringLiteral(
            "There are %1 files listed as uploaded to the remote host but the Initial Setup Wizard has not "
            "been "
            "successfully run.  It's recommended that you delete any files on the remote host that ZEPH "
            "uploaded.  It's recommended that you click 'Yes' to have ZEPH display the 'Disable Procmail' "
            "dialog next.  On that dialog you should click the button that reads 'Delete all remote ZEPH "
            "procmail files'.  You will be asked to confirm each file deletion, click 'Yes' to delete each "
            "file.\n\nWould you like to ZEPH to display the 'Disable Procmail' dialog next?")
            .arg(count),
        QStringLiteral("Display Disable Procmail dialog?"), QStringLiteral("Don't warn me about this again."),
        &dontWarn, &window, QStringLiteral("iSetupWizWarning.html"), CCheckQuestionDlg::YesNoCancel);
    if (answer == Prompt::Cancel)
        return;
    SetSetting(Settings::NoSetupFilesWarning, dontWarn ? 1 : 0);
    if (answer == Prompt::Yes) {
        QPointer<MainWindow> target = &window;
        QTimer::singleShot(0, &window, [target] {
            if (target)
                target->Commands().Run(Cmd::DisableProcmail);
        });
    }
}
