#include "settings_text.h"

#include <QLocale>
#include <cmath>

namespace kestrin {

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\u3000' || c == u'\u00a0';
}

// Full-width forms of the characters a number may hold, folded to ASCII.
QChar toAscii(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'\uff10' && u <= u'\uff19')
        return QChar(u'0' + (u - u'\uff10'));
    switch (u) {
    case u'\uff0e': return QChar(u'.');
    case u'\uff0b': return QChar(u'+');
    case u'\uff0d': return QChar(u'-');
    case u'\uff45': return QChar(u'e');
    case u'\uff25': return QChar(u'E');
    default: return c;
    }
}

// sign? digits* ('.' digits*)? (e sign? digits+)? with at least one mantissa digit.
bool isDecimalNumber(const QString& s)
{
    qsizetype i = 0;
    const qsizetype n = s.size();
    if (i < n && (s.at(i) == u'+' || s.at(i) == u'-'))
        ++i;
    qsizetype digits = 0;
    while (i < n && s.at(i).isDigit() && s.at(i).unicode() < 128) { ++i; ++digits; }
    if (i < n && s.at(i) == u'.') {
        ++i;
        while (i < n && s.at(i).isDigit() && s.at(i).unicode() < 128) { ++i; ++digits; }
    }
    if (digits == 0)
        return false;
    if (i < n && (s.at(i) == u'e' || s.at(i) == u'E')) {
        ++i;
        if (i < n && (s.at(i) == u'+' || s.at(i) == u'-'))
            ++i;
        qsizetype expDigits = 0;
        while (i < n && s.at(i).isDigit() && s.at(i).unicode() < 128) { ++i; ++expDigits; }
        if (expDigits == 0)
            return false;
    }
    return i == n;
}

} // namespace

std::optional<double> readNumber(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text.at(begin)))
        ++begin;
    while (end > begin && isBlank(text.at(end - 1)))
        --end;
    QString folded;
    folded.reserve(end - begin);
    for (qsizetype i = begin; i < end; ++i)
        folded.append(toAscii(text.at(i)));
    if (!isDecimalNumber(folded))
        return std::nullopt;
    bool ok = false;
    const double value = QLocale::c().toDouble(folded, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<long long> readWholeNumber(const QString& text)
{
    const std::optional<double> value = readNumber(text);
    if (!value || std::trunc(*value) != *value || std::fabs(*value) > 1e15)
        return std::nullopt;
    return static_cast<long long>(*value);
}

std::optional<double> readCount(const QString& text, bool wholeOnly)
{
    if (!wholeOnly)
        return readNumber(text);
    const std::optional<long long> whole = readWholeNumber(text);
    return whole ? std::optional<double>(static_cast<double>(*whole)) : std::nullopt;
}

double roundHalfEven(double value)
{
    const double floor = std::floor(value);
    const double diff = value - floor;
    if (diff < 0.5)
        return floor;
    if (diff > 0.5)
        return floor + 1.0;
    return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
}

} // namespace kestrin
