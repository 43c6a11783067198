// Times every generator at its default run and at the largest run its checks
// admit, writing worksheet files into a scratch folder as the program does.
// Usage: kestrin_bench [report-file]   (the report is also printed)

#include "gen/addsub/chain_sheet.h"
#include "gen/div/mixed_group_sheet.h"
#include "gen/mul/multiplication_sheet.h"
#include "output/worksheet_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>
#include <functional>
#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif

namespace {

using namespace kestrin;

class SilentMessages final : public MessageSink {
public:
    void show(const QString& text) override { std::fprintf(stderr, "message: %s\n", qPrintable(text)); }
};

class NoPrinter final : public PrinterChannel {
public:
    bool begin(const QString&) override { return false; }
    void printLine(const QString&) override {}
    void printEmptyLine() override {}
    void endPage() override {}
    bool finish() override { return false; }
    void abort() override {}
    QString errorString() const override { return {}; }
};

struct Case {
    QString name;
    std::function<RunResult(const RunServices&)> run;
};

// The peak resident memory of the process so far, where the system tells it.
long peakKilobytes()
{
#ifdef Q_OS_UNIX
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
#else
    return 0;
#endif
}

div::MixedGroupSettings divisionSettings(const char* first, const char* second, const char* count, const char* sets)
{
    div::MixedGroupSettings s;
    for (auto& group : s.groups)
        group = div::GroupTexts{QString::fromUtf8(first), QString::fromUtf8(second), QString::fromUtf8(count)};
    s.perRow = QStringLiteral("5");
    s.sets = QString::fromUtf8(sets);
    s.answers = true;
    return s;
}

SheetSettings sheet(const char* n, const char* r, const char* p)
{
    return SheetSettings{QString::fromUtf8(n), QString::fromUtf8(r), QString::fromUtf8(p), true, false, true};
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    QTemporaryDir scratch;
    if (!scratch.isValid())
        return 1;

    const std::vector<Case> cases = {
        {QStringLiteral("七笔加减 default 15×5×5"),
            [](const RunServices& s) { return addsub::runChainSheet(addsub::sevenTermKind(), sheet("15", "5", "5"), s); }},
        {QStringLiteral("七笔加减 largest 50×10×20"),
            [](const RunServices& s) { return addsub::runChainSheet(addsub::sevenTermKind(), sheet("50", "10", "20"), s); }},
        {QStringLiteral("中段乘算 default 3×1 digits, 5×30×4"),
            [](const RunServices& s) {
                return mul::runMultiplicationSheet(mul::middleStageKind(),
                    mul::MultiplicationSettings{QStringLiteral("3"), QStringLiteral("1"), sheet("5", "30", "4")}, s);
            }},
        {QStringLiteral("中段乘算 largest 6×5 digits, 50×200×40"),
            [](const RunServices& s) {
                return mul::runMultiplicationSheet(mul::middleStageKind(),
                    mul::MultiplicationSettings{QStringLiteral("6"), QStringLiteral("5"), sheet("50", "200", "40")}, s);
            }},
        {QStringLiteral("综合除算 default 10 sets"),
            [](const RunServices& s) {
                div::MixedGroupSettings d = divisionSettings("2", "1", "30", "10");
                d.groups[1] = div::GroupTexts{QStringLiteral("3"), QStringLiteral("1"), QStringLiteral("30")};
                d.groups[2] = div::GroupTexts{QStringLiteral("3"), QStringLiteral("2"), QStringLiteral("20")};
                d.groups[3] = div::GroupTexts{QStringLiteral("4"), QStringLiteral("2"), QStringLiteral("0")};
                d.answers = false;
                return div::runMixedGroupSheet(div::divisionKind(), d, s);
            }},
        {QStringLiteral("综合除算 100 sets of 4×50, 5÷4 digits"),
            [](const RunServices& s) { return div::runMixedGroupSheet(div::divisionKind(), divisionSettings("5", "4", "50", "100"), s); }},
        {QStringLiteral("综合除算 100 sets of 4×50, 5÷5 digits"),
            [](const RunServices& s) { return div::runMixedGroupSheet(div::divisionKind(), divisionSettings("5", "5", "50", "100"), s); }},
        {QStringLiteral("综合除算 100 sets of 4×50, 5÷1 digits"),
            [](const RunServices& s) { return div::runMixedGroupSheet(div::divisionKind(), divisionSettings("5", "1", "50", "100"), s); }},
    };

    QString report;
    QTextStream out(&report);
    out << "case\tseconds (best of 3)\tfile bytes\tpeak memory MiB\n";
    for (const Case& c : cases) {
        double best = 1e9;
        qint64 bytes = 0;
        for (int round = 0; round < 3; ++round) {
            FixedStartRandom random;
            SilentMessages messages;
            DiskWorksheetFile file(scratch.path());
            NoPrinter printer;
            QElapsedTimer timer;
            timer.start();
            const RunResult result = c.run(RunServices{random, messages, file, printer});
            best = std::min(best, static_cast<double>(timer.nsecsElapsed()) / 1e9);
            if (!result.completed)
                return 2;
            bytes = 0;
            for (const QFileInfo& info : QDir(scratch.path()).entryInfoList(QDir::Files))
                bytes += info.size();
            for (const QString& name : QDir(scratch.path()).entryList(QDir::Files))
                QFile::remove(QDir(scratch.path()).filePath(name));
        }
        out << c.name << '\t' << QString::number(best, 'f', 3) << '\t' << bytes << '\t'
            << QString::number(static_cast<double>(peakKilobytes()) / 1024.0, 'f', 1) << '\n';
    }
    out.flush();
    std::fputs(report.toUtf8().constData(), stdout);
    if (argc > 1) {
        QFile file(QString::fromLocal8Bit(argv[1]));
        if (!file.open(QIODevice::WriteOnly))
            return 1;
        file.write(report.toUtf8());
    }
    return 0;
}
