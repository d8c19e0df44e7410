#include "gui/app/ZephApplication.h"

#include "core/common/Prompt.h"
#include "core/settings/CAppState.h"
#include "core/workspace/Workspace.h"
#include "gui/app/Help.h"
#include "gui/app/MainWindow.h"
#include "gui/app/SingleInstance.h"
#include "gui/common/MessageBoxPresenter.h"

#include <QApplication>
#include <QDir>

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

bool ZephApplication::SaveSettingsAtExit()
{
    CAppState& state = CAppState::Instance();
    // Only what was loaded is written back: a refused start leaves the data file alone.
    if (!state.DataLoaded() || state.UninstallMode())
        return true;
    for (;;) {
        QString error;
        if (state.SaveIdentityData(&error))
            return true;
        const Prompt::Button answer = Prompt::Ask(
            QStringLiteral("The ZEPH data file %1 could not be saved.  The error was:\r\n\r\n%2")
                .arg(state.DataFilePath(), error),
            QStringLiteral("Error!"), Prompt::Warning, Prompt::Retry | Prompt::Cancel, Prompt::Retry);
        if (answer != Prompt::Retry)
            return false;
    }
}

int ZephApplication::Run(int argc, char* argv[])
{
    CAppState& state = CAppState::Instance();
    state.SetIdentity(IdentityFromArguments(argc, argv));

    // Qt gets the program name only: every other parameter belongs to ZEPH.
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QApplication app(qtArgc, qtArgv);
    QApplication::setApplicationName(QStringLiteral("ZEPH"));
    QApplication::setApplicationVersion(QStringLiteral(ZEPH_VERSION));
    MessageBoxPresenter::Install();
    InstallHelpKey(&app);

    const QString refusal = Workspace::CheckIdentityName(state.IdentityName(), true);
    if (!refusal.isEmpty()) {
        Prompt::Tell(refusal, QStringLiteral("ZEPH"), Prompt::Stop);
        return 1;
    }

    SingleInstance instance(SingleInstance::InstanceName(state.IdentityName()));
    if (!instance.Acquire())
        return 0;

    state.LoadIdentityData();

    MainWindow window;
    QObject::connect(&instance, &SingleInstance::ActivationRequested, &window, [&window] {
        if (window.isMinimized())
            window.showNormal();
        window.raise();
        window.activateWindow();
    });

    if (Workspace::CreatePath(Workspace::GetDocumentFolder()))
        QDir::setCurrent(Workspace::GetDocumentFolder());
    window.show();

    const int result = app.exec();
    SaveSettingsAtExit();
    Workspace::DeleteTempFiles();
    return result;
}
