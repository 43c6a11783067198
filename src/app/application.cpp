#include "application.h"

#include <QApplication>
#include <QMainWindow>

namespace kestrin::app {

int run(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QMainWindow window;
    window.showMaximized();
    return QApplication::exec();
}

} // namespace kestrin::app
