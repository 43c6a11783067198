#pragma once

#include <QFont>
#include <QString>

namespace kestrin::app {

// The fonts of the layouts, by name and size. Sizes are pixels at 96 dots per
// inch, so the fixed layouts look the same on every screen.
struct FontSpec {
    QString family;
    int pixelSize = 16;
};

inline const QString songTi = QStringLiteral("宋体");
inline const QString heiTi = QStringLiteral("黑体");

// "宋体" 12 pt: the standard font of every control.
inline FontSpec standardFont() { return {songTi, 16}; }
// "宋体" 10.5 pt and 14.25 pt.
inline FontSpec smallFont() { return {songTi, 14}; }
inline FontSpec largeFont() { return {songTi, 19}; }
// "黑体" 21.75 pt: the title of every generator window.
inline FontSpec titleFont() { return {heiTi, 29}; }

QFont makeFont(const FontSpec& spec);

// Lets the Chinese font names of the layouts fall back to the CJK fonts of the
// system. Called once at start-up, before any window is made.
void installFontSubstitutions();

} // namespace kestrin::app
