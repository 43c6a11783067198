#include "runtime/settings_text.h"

#include <gtest/gtest.h>

namespace kestrin {
namespace {

struct NumberCase {
    const char16_t* text;
    std::optional<double> expected;
};

TEST(ReadNumber, ReadsWhatATeacherTypes)
{
    const NumberCase cases[] = {{u"15", 15.0}, {u" 15 ", 15.0}, {u"\t7\u3000", 7.0}, {u"\uff11\uff15", 15.0},
        {u"\uff15\uff0e\uff15", 5.5}, {u"5.5", 5.5}, {u"-3", -3.0}, {u"+4", 4.0}, {u".5", 0.5}, {u"5.", 5.0},
        {u"1e2", 100.0}, {u"007", 7.0}, {u"", std::nullopt}, {u"   ", std::nullopt}, {u"abc", std::nullopt},
        {u"1e999", std::nullopt}, {u"15abc", std::nullopt}, {u"1 5", std::nullopt}, {u"1,5", std::nullopt},
        {u".", std::nullopt}, {u"-", std::nullopt}, {u"1e", std::nullopt}, {u"inf", std::nullopt},
        {u"nan", std::nullopt}, {u"0x10", std::nullopt}, {u"\u0661\u0662", std::nullopt}};
    for (const NumberCase& c : cases) {
        const QString text = QString::fromUtf16(c.text);
        const std::optional<double> value = readNumber(text);
        ASSERT_EQ(value.has_value(), c.expected.has_value()) << text.toStdString();
        if (value) {
            EXPECT_DOUBLE_EQ(*value, *c.expected) << text.toStdString();
        }
    }
}

TEST(ReadWholeNumber, RefusesFractionsAndHugeValues)
{
    EXPECT_EQ(readWholeNumber(QStringLiteral(" 12 ")), 12);
    EXPECT_EQ(readWholeNumber(QStringLiteral("-3")), -3);
    EXPECT_EQ(readWholeNumber(QStringLiteral("2.0")), 2);
    EXPECT_EQ(readWholeNumber(QStringLiteral("2.5")), std::nullopt);
    EXPECT_EQ(readWholeNumber(QStringLiteral("1e300")), std::nullopt);
    EXPECT_EQ(readWholeNumber(QStringLiteral("x")), std::nullopt);
}

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour)
{
    const std::pair<double, double> cases[] = {{4.5, 4.0}, {5.5, 6.0}, {0.5, 0.0}, {1.5, 2.0}, {-0.5, -0.0},
        {-1.5, -2.0}, {4.4999, 4.0}, {4.5001, 5.0}, {9.0, 9.0}, {-2.5, -2.0}};
    for (const auto& [in, out] : cases)
        EXPECT_EQ(roundHalfEven(in), out) << in;
}

} // namespace
} // namespace kestrin
