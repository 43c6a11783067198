#include "app/application.h"

#include "app/desktop_services.h"
#include "app/fonts.h"
#include "app/main_window.h"

#include <QApplication>

namespace kestrin::app {

int run(int argc, char* argv[])
{
    QApplication application(argc, argv);
    installFontSubstitutions();
    QApplication::setFont(makeFont(standardFont()));

    DesktopServices services;
    MainWindow window(services.services());
    window.showMaximized();
    return QApplication::exec();
}

} // namespace kestrin::app
