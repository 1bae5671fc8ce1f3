#include "core/number_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <limits>
#include <random>

namespace skybrant {
namespace {

TEST(NumberText, ShortestTextWithoutExponent)
{
    struct Case {
        double value;
        const char* text;
    };
    const Case cases[] = {
        {5539.2, "5539.2"},
        {16892.3, "16892.3"},
        {288, "288"},
        {1105.5, "1105.5"},
        {2210.9, "2210.9"},
        {100.0, "100"},
        {0, "0"},
        {-0.0, "0"},
        {0.1, "0.1"},
        {-12.5, "-12.5"},
        {1e-9, "0.000000001"},
        {2.04e-9, "0.00000000204"},
        {1e20, "100000000000000000000"},
        {0.1 + 0.2, "0.3"},  // 17 digits to read back; 15 is the most shown
        {1.0 / 3, "0.333333333333333"},
        {2.0 / 3, "0.666666666666667"},
        {123456789012345678.0, "123456789012346000"},
        {999999999999999.9, "1000000000000000"},  // rounding to 15 digits carries
        {19898.2, "19898.2"},
        {360, "360"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(numberText(c.value), c.text);
    }
}

TEST(NumberText, SeparatorAndNonFiniteValues)
{
    EXPECT_EQ(numberText(5539.2, ","), "5539,2");
    EXPECT_EQ(numberText(288, ","), "288");
    EXPECT_EQ(numberText(0.5, "\u066B"), "0\u066B5");  // Arabic decimal separator, two bytes
    EXPECT_EQ(numberText(std::numeric_limits<double>::quiet_NaN()), "");
    EXPECT_EQ(numberText(std::numeric_limits<double>::infinity()), "");
    EXPECT_EQ(numberText(-std::numeric_limits<double>::infinity()), "");
}

TEST(NumberText, ExtremeValuesFitTheBuffer)
{
    const double values[] = {std::numeric_limits<double>::max(), -std::numeric_limits<double>::max(),
        std::numeric_limits<double>::denorm_min(), -std::numeric_limits<double>::min(), -0x1.fffffffffffffp-1023};
    for (const double v : values) {
        const std::string text = numberText(v, "12345678");
        EXPECT_LE(text.size(), kNumberTextCapacity);
        EXPECT_EQ(text.find('e'), std::string::npos) << text;
    }
}

TEST(NumberText, ReadsBackWhenFifteenDigitsSuffice)
{
    std::mt19937_64 rng(7);
    std::uniform_int_distribution<long long> digits(0, 999999999999999LL);
    std::uniform_int_distribution<int> scale(-20, 20);
    for (int i = 0; i < 20000; ++i) {
        const double v = std::stod(std::to_string(digits(rng)) + "e" + std::to_string(scale(rng)));
        const std::string text = numberText(v);
        ASSERT_EQ(std::stod(text), v) << text;
    }
}

}  // namespace
}  // namespace skybrant
