#include "gui/app/MainWindow.h"

#include "core/settings/CAppState.h"

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("ZEPH - %1").arg(CAppState::Instance().IdentityName()));
    resize(900, 640);
}
