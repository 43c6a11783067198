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
    QFont::insertSubstitutions(songTi, {QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC")});
    QFont::insertSubstitutions(heiTi, {QStringLiteral("Noto Sans CJK SC")});
}

} // namespace kestrin::app
