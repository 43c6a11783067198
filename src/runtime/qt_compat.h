#pragma once
// What differs between Qt 5.15 and Qt 6 for this program, in one place: the
// Windows program and the packages for older Linux systems are built with a
// static Qt 5.15, the native Linux package with Debian's Qt 6.

#include <QtGlobal>
#include <QRegularExpression>

namespace kestrin::qt {

// A match that must begin exactly at the offset it is asked for.
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
inline constexpr auto kAnchorAtOffset = QRegularExpression::AnchorAtOffsetMatchOption;
#else
inline constexpr auto kAnchorAtOffset = QRegularExpression::AnchoredMatchOption;
#endif

} // namespace kestrin::qt
