#include "print/page_layout.h"

#include "gen/addsub/chain_sheet.h"

#include <QFontInfo>
#include <QPageLayout>
#include <QPdfWriter>
#include <QRawFont>

#include <gtest/gtest.h>

namespace kestrin {
namespace {

// Every line of the page lies on exactly one sheet, in order, and each sheet's
// lines fit its height at the page's scale.
void expectSheetsCoverPage(const PageLayout& layout, int lineCount, QSizeF printable, qreal lineSpacing)
{
    int next = 0;
    for (int sheet = 0; sheet < layout.sheetCount(); ++sheet) {
        EXPECT_EQ(layout.firstLineOfSheet(sheet), next) << "sheet " << sheet;
        const int count = layout.linesOnSheet(sheet);
        EXPECT_GE(count, lineCount == 0 ? 0 : 1) << "sheet " << sheet << " is blank";
        EXPECT_LE(count * lineSpacing * layout.scale(), printable.height() + 1e-6) << "sheet " << sheet;
        next += count;
    }
    EXPECT_EQ(next, lineCount);
    EXPECT_EQ(layout.linesOnSheet(layout.sheetCount()), 0);
}

TEST(PageLayout, PageThatFitsIsDrawnAtFullSizeOnOneSheet)
{
    const PageLayout layout(QSizeF(1000, 2000), 40, 999, 50);
    EXPECT_EQ(layout.scale(), 1.0);
    EXPECT_EQ(layout.sheetCount(), 1);
    EXPECT_EQ(layout.linesOnSheet(0), 50);
}

TEST(PageLayout, WidestLineWiderThanThePageIsScaledToJustFit)
{
    const PageLayout layout(QSizeF(1000, 2000), 40, 4000, 10);
    EXPECT_LE(4000 * layout.scale(), 1000 + 1e-9);
    EXPECT_GE(4000 * layout.scale(), 999);
}

TEST(PageLayout, SheetTakesAsManyLinesAsFitItsHeight)
{
    // 25 lines of 40 fill 1000 exactly, at full size.
    const PageLayout full(QSizeF(1000, 1000), 40, 500, 25);
    EXPECT_EQ(full.sheetCount(), 1);
    EXPECT_EQ(full.scale(), 1.0);
    // 40 lines would need drawing at 0.625 of full size: too small, so the page
    // goes on over a second sheet at full size.
    const PageLayout over(QSizeF(1000, 1000), 40, 500, 40);
    EXPECT_EQ(over.scale(), 1.0);
    EXPECT_EQ(over.linesPerSheet(), 25);
    ASSERT_EQ(over.sheetCount(), 2);
    EXPECT_EQ(over.linesOnSheet(1), 15);
    EXPECT_EQ(over.firstLineOfSheet(1), 25);
}

TEST(PageLayout, PageALittleTooLongIsDrawnSmallerOnOneSheet)
{
    // 30 lines where 25 fit: drawn at 25/30 of full size, all on one sheet.
    const PageLayout layout(QSizeF(1000, 1000), 40, 500, 30);
    EXPECT_EQ(layout.sheetCount(), 1);
    EXPECT_EQ(layout.linesOnSheet(0), 30);
    EXPECT_NEAR(layout.scale(), 25.0 / 30.0, 1e-6);
    EXPECT_LE(layout.lineTop(29) + 40 * layout.scale(), 1000 + 1e-6) << "the last line ends within the sheet";
    // Exactly at the smallest size it still fits; just past it, it goes on.
    EXPECT_EQ(PageLayout(QSizeF(1000, 700), 10, 100, 100).sheetCount(), 1);
    EXPECT_EQ(PageLayout(QSizeF(1000, 699), 10, 100, 100).sheetCount(), 2);
}

TEST(PageLayout, ScaledDownPageTakesMoreLinesPerSheet)
{
    // Drawn at half size, a line takes 20 of the 1000 height.
    const PageLayout layout(QSizeF(1000, 1000), 40, 2000, 60);
    EXPECT_EQ(layout.linesPerSheet(), 50);
    EXPECT_EQ(layout.sheetCount(), 2);
    expectSheetsCoverPage(layout, 60, QSizeF(1000, 1000), 40);
}

TEST(PageLayout, LongPageGoesOnOverFurtherSheetsWithoutLosingALine)
{
    // The largest seven-term page: 105 lines.
    const QSizeF printable(1000, 1000);
    const PageLayout layout(printable, 30, 800, 105);
    EXPECT_EQ(layout.sheetCount(), 4); // 33 + 33 + 33 + 6
    expectSheetsCoverPage(layout, 105, printable, 30);
    // Lines stand one below the other from the top of every sheet.
    EXPECT_EQ(layout.lineTop(0), 0);
    EXPECT_EQ(layout.lineTop(32), 32 * 30);
}

TEST(PageLayout, SheetLowerThanOneLineStillTakesOneLineEach)
{
    const PageLayout layout(QSizeF(1000, 10), 40, 500, 3);
    ASSERT_EQ(layout.sheetCount(), 3);
    for (int sheet = 0; sheet < 3; ++sheet) {
        EXPECT_EQ(layout.firstLineOfSheet(sheet), sheet);
        EXPECT_EQ(layout.linesOnSheet(sheet), 1);
    }
}

TEST(PageLayout, PageWithoutLinesIsOneBlankSheet)
{
    const PageLayout layout(QSizeF(1000, 1000), 40, 0, 0);
    EXPECT_EQ(layout.sheetCount(), 1);
    EXPECT_EQ(layout.linesOnSheet(0), 0);
}

TEST(PageLayout, EmptyLinesTakeTheirPlace)
{
    const QFontMetricsF metrics(worksheetFont());
    // Room for exactly two lines: text, two empty lines, text makes two sheets
    // (drawing them at half size would be too small).
    const QSizeF printable(1000, 2 * metrics.lineSpacing());
    const PageLayout layout = PageLayout::forLines(
        {QStringLiteral("7"), QString(), QString(), QStringLiteral("5")}, metrics, printable);
    EXPECT_EQ(layout.sheetCount(), 2);
    EXPECT_EQ(layout.linesOnSheet(0), 2);
    EXPECT_EQ(layout.linesOnSheet(1), 2);
}

TEST(PageLayout, MeasuresTheWidestLineOfThePage)
{
    const QFontMetricsF metrics(worksheetFont());
    const QString wide(400, u'8');
    const qreal width = metrics.horizontalAdvance(wide) / 4;
    const PageLayout layout = PageLayout::forLines(
        {QStringLiteral("8"), wide, QStringLiteral("88")}, metrics, QSizeF(width, 10000));
    EXPECT_NEAR(layout.scale(), 0.25, 1e-6);
}

// The worksheet font really is the monospaced CJK face: every character of a
// cell advances by the same width, so the cells of a row stand in columns, and
// the Chinese texts are drawn from the face itself, not from a fallback.
TEST(WorksheetFont, CellsLineUpInColumns)
{
    const QFont font = worksheetFont();
    // The monospaced Latin face: Consolas on Windows, where it is there; DejaVu Sans Mono.
    EXPECT_TRUE(QFontInfo(font).family() == QStringLiteral("DejaVu Sans Mono") ||
                QFontInfo(font).family() == QStringLiteral("Consolas"))
        << QFontInfo(font).family().toStdString();
    const QFontMetricsF metrics(font);
    const qreal cell = metrics.horizontalAdvance(addsub::chainCell(7, 0, 8));
    for (long long value : {-9LL, -1LL, 3LL, 45LL, -45LL, 375LL})
        EXPECT_DOUBLE_EQ(metrics.horizontalAdvance(addsub::chainCell(value, 0, 8)), cell) << value;
    EXPECT_DOUBLE_EQ(metrics.horizontalAdvance(QStringLiteral("-")), metrics.horizontalAdvance(QStringLiteral(" ")));
    // Questions of the same number of characters are equally wide, whatever
    // signs they hold: a division with its remainder against one without.
    const qreal column = metrics.horizontalAdvance(QStringLiteral("8"));
    for (const QString& text : {QStringLiteral("85÷7=12……1     "), QStringLiteral("84÷7=12        "),
             QStringLiteral("123×4=492      "), QStringLiteral("47+25-30=42    "), QStringLiteral("   305.70      ")})
        EXPECT_NEAR(metrics.horizontalAdvance(text), 15 * column, 1e-6) << text.toStdString();

    // The Chinese of titles, headers and footers is there too, from the CJK face.
#ifdef Q_OS_WIN
    const QString cjkFace = QStringLiteral("SimSun");
#else
    const QString cjkFace = QStringLiteral("Noto Sans Mono CJK SC");
#endif
    ASSERT_TRUE(font.families().contains(cjkFace));
    const QRawFont cjk = QRawFont::fromFont(QFont(cjkFace));
    ASSERT_EQ(cjk.familyName(), cjkFace);
    for (QChar c : QStringLiteral("小学学前段七笔加减速算试题学校：姓名成绩重庆市提供第页"))
        EXPECT_TRUE(cjk.supportsCharacter(c)) << QString(c).toStdString();
}

// A default seven-term page (15 questions, 5 rows: 50 lines) is one A4 sheet.
TEST(WorksheetFont, DefaultSevenTermPageFitsOneA4Sheet)
{
    QPdfWriter device(QStringLiteral("/dev/null"));
    device.setResolution(600);
    device.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10),
        QPageLayout::Millimeter));
    const QFontMetricsF metrics(worksheetFont(), &device);
    QStringList page;
    for (int line = 0; line < 50; ++line)
        page << QString(15 * 8, u'8');
    const PageLayout layout = PageLayout::forLines(page, metrics,
        device.pageLayout().paintRectPixels(device.resolution()).size());
    EXPECT_EQ(layout.sheetCount(), 1);
    EXPECT_LE(layout.scale(), 1.0);
    EXPECT_GT(layout.scale(), 0.5); // still readable
}

} // namespace
} // namespace kestrin
