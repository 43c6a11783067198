// Writes the first worksheet files of every exercise kind after a start, as a
// teacher gets them: each kind's window with its defaults (answers off, file
// only), started once on a fresh random source, into the folder given. The
// Windows build and the Linux build must write the same bytes.
//
//   first_sheets FOLDER     exit status 0 when every kind completed

#include "app/fonts.h"
#include "app/main_window.h"
#include "testsupport/fakes.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <cstdio>

using namespace kestrin;

namespace {

class PrintedMessages final : public MessageSink {
public:
    void show(const QString& text) override
    {
        std::fprintf(stderr, "message: %s\n", text.toUtf8().constData());
        ++count;
    }
    int count = 0;
};

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: first_sheets FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "cannot make %s\n", argv[1]);
        return 2;
    }
    app::installFontSubstitutions();

    int failures = 0;
    for (const app::MenuSpec& menu : app::menuTable()) {
        for (const app::MenuEntrySpec& entry : menu.entries) {
            if (!entry.opens)
                continue;
            FixedStartRandom random;
            PrintedMessages messages;
            DiskWorksheetFile file(folder);
            testing::RecordingPrinter printer;
            app::MainWindow window(RunServices{random, messages, file, printer});
            window.openGenerator(entry);
            app::GeneratorWindow* generator = window.generatorWindow(entry.name);
            if (!generator) {
                std::fprintf(stderr, "%s: no window\n", entry.name.toUtf8().constData());
                ++failures;
                continue;
            }
            generator->start();
            const QString status = generator->statusBox() ? generator->statusBox()->text() : QString();
            const bool done = status.endsWith(QStringLiteral("100% 完成")) && messages.count == 0;
            std::printf("%s %s\n", done ? "ok  " : "FAIL", entry.name.toUtf8().constData());
            if (!done)
                ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
