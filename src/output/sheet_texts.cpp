#include "sheet_texts.h"

namespace kestrin {

namespace {

QString header(int blanksAfterSchool)
{
    return QStringLiteral("学校：") + QString(blanksAfterSchool, u' ') + QStringLiteral("姓名：")
        + QString(15, u' ') + QStringLiteral("成绩：") + QString(11, u' ');
}

} // namespace

QString fileHeader()
{
    return header(18);
}

QString printedHeader()
{
    return header(19);
}

QString footerCredit()
{
    return QStringLiteral("  Kestrin速算自动出题系统");
}

QString footer(long long page)
{
    return QStringLiteral("重庆市KestrinV2.0提供  第") + QString::number(page) + QStringLiteral("页")
        + footerCredit();
}

QString repeated(const QString& piece, long long count)
{
    QString line;
    line.reserve(piece.size() * qMax(0LL, count));
    for (long long i = 0; i < count; ++i)
        line += piece;
    return line;
}

} // namespace kestrin
