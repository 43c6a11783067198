#include "app/fonts.h"

#include <QStringList>

namespace kestrin::app {

QFont makeFont(const FontSpec& spec)
{
    QFont font(spec.family);
    font.setPixelSize(spec.pixelSize);
    font.setWeight(QFont::Normal);
    font.setStyleHint(QFont::AnyStyle);
    return font;
}

void installFontSubstitutions()
{
    // SimSun and SimHei are 宋体 and 黑体 by their English names, on every Chinese
    // Windows; the Noto CJK faces stand in where those are not installed.
    QFont::insertSubstitutions(songTi, {QStringLiteral("SimSun"), QStringLiteral("Noto Serif CJK SC"),
                                        QStringLiteral("Noto Sans CJK SC")});
    QFont::insertSubstitutions(heiTi, {QStringLiteral("SimHei"), QStringLiteral("Noto Sans CJK SC")});
}

} // namespace kestrin::app
