#include "gui/app/ZephApplication.h"

#include <QApplication>
#include <QMainWindow>

int ZephApplication::Run(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.show();
    return app.exec();
}
