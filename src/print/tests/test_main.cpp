#include <QGuiApplication>

#include <gtest/gtest.h>

// Fonts, font metrics and QPrinter need a running QGuiApplication. Without a
// display the offscreen platform serves (also when CTest lists the tests).
int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
