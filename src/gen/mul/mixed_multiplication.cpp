#include "mixed_multiplication.h"

#include "gen/mul/multiplication_sheet.h"

namespace kestrin::mul {

namespace {

div::Question makeProduct(RandomSource& random, const div::Group& group)
{
    const long long a = drawFactor(random, group.firstDigits);
    const long long b = drawFactor(random, group.secondDigits);
    return div::Question{QString::number(a) + QChar(u'×') + QString::number(b) + QChar(u'='), QString::number(a * b)};
}

int widestProduct(const div::Group& group, bool answers)
{
    return group.firstDigits + 1 + group.secondDigits + 1 + (answers ? group.firstDigits + group.secondDigits : 0);
}

} // namespace

const div::MixedGroupKind& mixedMultiplicationKind()
{
    static const div::MixedGroupKind kind{
        QStringLiteral("综合乘算"),
        QStringLiteral("小学综合乘算试题"),
        6,
        5,
        18,
        true,
        nullptr,
        &makeProduct,
        &widestProduct,
    };
    return kind;
}

} // namespace kestrin::mul
