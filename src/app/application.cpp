#include "app/application.h"

#include "app/desktop_services.h"
#include "app/fonts.h"
#include "app/main_window.h"

#include <QApplication>
#include <QIcon>

namespace kestrin::app {

int run(int argc, char* argv[])
{
    QApplication application(argc, argv);
    // The installed menu entry and its icon, so that the desktop shows them for the windows.
    QGuiApplication::setDesktopFileName(QStringLiteral("cn.kestrin.Kestrin"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("cn.kestrin.Kestrin")));
    installFontSubstitutions();
    QApplication::setFont(makeFont(standardFont()));

    DesktopServices services;
    MainWindow window(services.services());
    window.showMaximized();
    return QApplication::exec();
}

} // namespace kestrin::app
