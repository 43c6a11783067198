#include "page_layout.h"

#include <algorithm>
#include <cmath>

namespace kestrin {

QFont worksheetFont()
{
    // Digits, signs, "×", "÷" and "……" come from a Latin monospaced face, one
    // column each, so that cells of the same number of characters are equally
    // wide whatever they hold; the Chinese of titles and headers from the CJK face.
    // Each system's own faces come first: Consolas and SimSun on Windows, the
    // Debian faces elsewhere; the others stand in where those are missing (a
    // monospaced Latin face before any CJK face, whose Latin is proportional).
#ifdef Q_OS_WIN
    const QStringList families{QStringLiteral("Consolas"), QStringLiteral("DejaVu Sans Mono"),
                               QStringLiteral("SimSun"), QStringLiteral("Noto Sans Mono CJK SC")};
#else
    const QStringList families{QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Consolas"),
                               QStringLiteral("Noto Sans Mono CJK SC"), QStringLiteral("SimSun")};
#endif
    QFont font(families.first());
    font.setFamilies(families);
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    font.setPointSizeF(10.5);
    // Cells are counted in characters: no kerning may pull a digit out of its column.
    font.setKerning(false);
    return font;
}

PageLayout::PageLayout(QSizeF printable, qreal lineSpacing, qreal widestLine, int lineCount)
    : lineSpacing_(lineSpacing)
    , lineCount_(std::max(0, lineCount))
{
    if (widestLine > printable.width() && widestLine > 0 && printable.width() > 0)
        scale_ = printable.width() / widestLine;

    // A page a little too long for one sheet is drawn smaller still, so that a
    // worksheet page stays one sheet, but never below what stays easy to read;
    // a longer page goes on over further sheets.
    if (lineSpacing_ > 0 && printable.height() > 0 && lineCount_ * lineSpacing_ * scale_ > printable.height()) {
        const qreal toFit = printable.height() / (lineCount_ * lineSpacing_);
        if (toFit >= kSmallestShrink)
            scale_ = toFit * (1 - 1e-9);
    }

    const qreal scaledSpacing = lineSpacing_ * scale_;
    if (scaledSpacing > 0 && printable.height() > 0) {
        // A hair of tolerance so that a sheet exactly as high as its lines still takes them all.
        const double fit = std::floor(printable.height() / scaledSpacing + 1e-9);
        linesPerSheet_ = static_cast<int>(std::clamp(fit, 1.0, 1e6));
    }
    sheetCount_ = std::max(1, (lineCount_ + linesPerSheet_ - 1) / linesPerSheet_);
}

PageLayout PageLayout::forLines(const QStringList& lines, const QFontMetricsF& metrics, QSizeF printable)
{
    qreal widest = 0;
    for (const QString& line : lines)
        widest = std::max(widest, metrics.horizontalAdvance(line));
    return PageLayout(printable, metrics.lineSpacing(), widest, static_cast<int>(lines.size()));
}

int PageLayout::firstLineOfSheet(int sheet) const
{
    return std::min(lineCount_, std::max(0, sheet) * linesPerSheet_);
}

int PageLayout::linesOnSheet(int sheet) const
{
    if (sheet < 0 || sheet >= sheetCount_)
        return 0;
    return std::min(linesPerSheet_, lineCount_ - firstLineOfSheet(sheet));
}

qreal PageLayout::lineTop(int lineOnSheet) const
{
    return lineOnSheet * lineSpacing_ * scale_;
}

} // namespace kestrin
