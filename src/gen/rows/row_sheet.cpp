#include "row_sheet.h"

#include "output/sheet_texts.h"
#include "runtime/settings_text.h"

#include <algorithm>
#include <cmath>

namespace kestrin::rows {

std::optional<Counts> readCounts(const SheetSettings& sheet, bool wholeOnly)
{
    const auto q = readCount(sheet.perRow, wholeOnly);
    const auto r = readCount(sheet.rowsPerPage, wholeOnly);
    const auto p = readCount(sheet.pages, wholeOnly);
    if (!q || !r || !p || *q < 2 || *q > 50 || *r < 2 || *r > 200 || *p < 1 || *p > 40)
        return std::nullopt;
    return Counts{static_cast<int>(std::floor(*q)), static_cast<int>(std::floor(*r)), static_cast<int>(std::floor(*p))};
}

QString sizeMessage()
{
    return QStringLiteral("可一次性每排输出2-50题，每页输出2-200排，每次输出1-40页。对不起！输入有误，谢谢使用。欢迎再来");
}

long long powerOfTen(int exponent)
{
    long long value = 1;
    for (int i = 0; i < exponent; ++i)
        value *= 10;
    return value;
}

long long drawBetween(RandomSource& random, long long low, long long high)
{
    const long long span = high - low + 1;
    const auto step = static_cast<long long>(std::trunc(static_cast<double>(random.draw()) * static_cast<double>(span)));
    return low + std::min(step, span - 1);
}

RunResult runRowSheet(const RowSheetPlan& plan, const Counts& counts, const SheetSettings& sheet,
    const RunServices& services)
{
    const int q = counts.perRow;
    const QString lead(4, u' ');
    // The separator spans the widest row line: the lead and q cells.
    const int widestCell = std::max(plan.cellWidth, plan.widestText + 1);
    const QString separator(q * (widestCell + (4 + q - 1) / q), u'-');
    const QString printedTitle = u'*' + plan.fileTitle + u'*';

    SheetOutput out(services, sheet.toFile, sheet.toPrinter);
    if (!out.startPrinting(plan.fileTitle) || !out.openFile(plan.fileName, 1))
        return RunResult::stopped();
    out.record(plan.fileTitle);
    out.record(fileHeader());

    QString line;
    line.reserve(4 + q * widestCell);
    for (int page = 1; page <= counts.pages; ++page) {
        if (plan.startPage)
            plan.startPage();
        out.print(printedTitle);
        out.print(printedHeader());
        out.print(separator);
        for (int row = 0; row < counts.rows; ++row) {
            line = lead;
            for (int k = 0; k < q; ++k) {
                const Question question = plan.nextQuestion(services.random);
                const qsizetype start = line.size();
                line += question.text;
                if (sheet.answers)
                    line += question.answer;
                line += QString(std::max<qsizetype>(plan.cellWidth - (line.size() - start), 1), u' ');
            }
            out.record(line);
            out.print(line);
        }
        out.print(separator);
        out.print(footer(page));
        out.endPage();
    }

    if (!out.closeFile() || !out.finishPrinting())
        return RunResult::stopped();

    const long long made = static_cast<long long>(q) * counts.rows * counts.pages;
    return RunResult::done(QString(36, u' ') + QStringLiteral("100% 完成"),
        QStringLiteral("智能生成[") + QString::number(made)
            + QStringLiteral("]题已完成。如果选择输出到Excel，请在该系统目录（") + services.file.folder()
            + QStringLiteral("）下将“") + services.file.nameOf(plan.fileName)
            + QStringLiteral("”用Excel打开，点完成即可。(千万不要直接双击进入)调整即可。谢谢！"));
}

} // namespace kestrin::rows
