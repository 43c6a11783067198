#pragma once

#include <QString>
#include <optional>

namespace kestrin {

// The number a settings box denotes, as a teacher types it: blanks (also the
// full-width blank) around it are ignored, full-width digits, point and sign are
// read like their ASCII forms; a decimal fraction and an exponent are allowed.
// Anything else (an empty box, letters, a value too large to hold) gives nullopt.
std::optional<double> readNumber(const QString& text);

// The same, for settings that must be whole numbers ("2.5" gives nullopt).
std::optional<long long> readWholeNumber(const QString& text);

// A count of a sheet: any number, or only a whole one where wholeOnly is set.
std::optional<double> readCount(const QString& text, bool wholeOnly);

// Rounds to the nearest whole number, a half going to the even neighbour.
double roundHalfEven(double value);

} // namespace kestrin
