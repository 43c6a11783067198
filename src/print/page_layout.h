#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QSizeF>
#include <QStringList>

namespace kestrin {

// The font of printed worksheets at 10.5 pt: a monospaced face in which every
// character of a question takes one column, so the cells of a row line up,
// with a monospaced CJK face for the Chinese.
QFont worksheetFont();

// How the lines of one worksheet page are placed on paper. Nothing is left off:
// a page whose widest line is wider than the printable area is drawn smaller,
// just so much that the line fits; a page with more lines than fit the height
// of one sheet is drawn smaller so that it fits, down to kSmallestShrink of
// full size, and beyond that goes on over further sheets. Every page starts on
// a sheet of its own.
//
// Lengths are in the units of the printable area (device pixels of the printer);
// line spacing and line widths are those of the font at full size.
class PageLayout {
public:
    // The smallest size, against full size, a page is shrunk to so that it fits one sheet.
    static constexpr qreal kSmallestShrink = 0.7;

    PageLayout(QSizeF printable, qreal lineSpacing, qreal widestLine, int lineCount);

    // The lines of a page measured with the given metrics.
    static PageLayout forLines(const QStringList& lines, const QFontMetricsF& metrics, QSizeF printable);

    // The factor the page is drawn with: 1, or less when its widest line needs it.
    qreal scale() const { return scale_; }
    // How many lines a sheet takes at that scale (at least one).
    int linesPerSheet() const { return linesPerSheet_; }
    // How many sheets the page takes (at least one, also for a page without lines).
    int sheetCount() const { return sheetCount_; }
    // The page's lines that go on the given sheet: index of the first, and how many.
    int firstLineOfSheet(int sheet) const;
    int linesOnSheet(int sheet) const;
    // Top of the given line on its sheet, in the units of the printable area.
    qreal lineTop(int lineOnSheet) const;

private:
    qreal lineSpacing_ = 0;
    int lineCount_ = 0;
    qreal scale_ = 1;
    int linesPerSheet_ = 1;
    int sheetCount_ = 1;
};

} // namespace kestrin
