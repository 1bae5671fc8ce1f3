#include "core/number_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cctype>
#include <cmath>
#include <cstdint>
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

// Every rounded figure and most other values take a quicker route than the
// general one (shortest digits, re-read, cut to 15); the bytes must not
// change whichever route a value takes.
TEST(NumberText, QuickRouteWritesTheGeneralRoutesBytes)
{
    struct Case {
        const char* name;
        double value;
    };
    const Case cases[] = {
        {"zero", 0},
        {"negative zero", -0.0},
        {"a tenth", 0.1},
        {"minus a tenth", -0.1},
        {"minus a half", -0.5},
        {"a whole heading", 288},
        {"the 360 a heading of 359.5 rounds to", 360},
        {"a distance", 5539.2},
        {"the antipode's distance", 19898.2},
        {"a whole distance", 14781},
        {"a distance in miles", 12363.4},
        {"just above a tenth", std::nextafter(0.3, 1.0)},
        {"just below a tenth", std::nextafter(0.3, 0.0)},
        {"a sum that is no tenth", 0.1 + 0.2},
        {"hundredths", 12.25},
        {"the largest tenths on the quick route", 999999999999.9},
        {"tenths past it", 1000000000000.1},
        {"a whole number past it", 1e12},
        {"sixteen digits, a tie at fifteen, odd", 123456789012345.5},
        {"sixteen digits, a tie at fifteen, even", 123456789012344.5},
        {"a tie kept at an even digit", 1.000030517578125},
        {"a tie rounded up from an odd digit", 1.000091552734375},
        {"just under ten at sixteen digits", 9.999999999999995},
        {"nines that carry into ten", 9.999999999999998},
        {"a third", 1.0 / 3},
        {"a latitude of 51 30 30", 51.508333333333333},
        {"a longitude of 0 7 0 W", -0.11666666666666667},
        {"a locator centre's latitude", 52.3125},
        {"a locator centre's longitude", -0.041666666666666664},
        {"a UTC offset", 5.5},
        {"the smallest normal", std::numeric_limits<double>::min()},
        {"below the smallest normal", std::numeric_limits<double>::denorm_min()},
        {"the largest subnormal", -0x1.fffffffffffffp-1023},
        {"the largest double", std::numeric_limits<double>::max()},
        {"fifteen nines", 999999999999999.9},
        {"a tiny value", 2.04e-9},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (const char* separator : {".", ",", "\u066B", "12345678"}) {
            const std::string general = numberTextGeneral(c.value, separator);
            EXPECT_EQ(numberText(c.value, separator), general);
            std::string appended = "x";
            appendNumberText(appended, c.value, separator);
            EXPECT_EQ(appended, "x" + general);
        }
    }
}

// Rounded figures are written from their whole number of tenths; the text
// is the one the value tenths / 10 has.
TEST(NumberText, TenthsGiveTheTextOfTheirValue)
{
    const double cases[] = {0, -0.0, 1, -1, -5, 2880, 3600, 55392, 198982, 147810, 9'999'999'999'999,
        10'000'000'000'000, 10'000'000'000'002, -10'000'000'000'001, 1e20, -1e300,
        std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()};
    for (const double tenths : cases) {
        SCOPED_TRACE(tenths);
        for (const char* separator : {".", ",", "\u066B", "123456789"}) {
            EXPECT_EQ(tenthsText(tenths, separator), numberTextGeneral(tenths / 10, separator));
        }
    }
}

TEST(NumberText, QuickRouteMatchesOverRandomValues)
{
    std::mt19937_64 rng(11);
    const auto check = [](double v) {
        ASSERT_EQ(numberText(v), numberTextGeneral(v)) << std::hexfloat << v;
        ASSERT_EQ(numberText(v, ","), numberTextGeneral(v, ",")) << std::hexfloat << v;
    };
    std::uniform_real_distribution<double> distance(0, 40100);
    std::uniform_real_distribution<double> heading(-1, 361);
    std::uniform_int_distribution<std::int64_t> tenths(-10'000'000'000'000, 10'000'000'000'000);
    std::uniform_int_distribution<int> sexagesimal(0, 59);
    std::uniform_int_distribution<int> degrees(-180, 180);
    for (int i = 0; i < 200'000; ++i) {
        check(std::floor(distance(rng) * 10 + 0.5) / 10);  // as distances are rounded
        check(std::floor(heading(rng) + 0.5));  // as headings are
        const auto t = static_cast<double>(tenths(rng));
        check(t / 10);
        ASSERT_EQ(tenthsText(t), numberTextGeneral(t / 10)) << t;
        check(degrees(rng) + sexagesimal(rng) / 60.0 + sexagesimal(rng) / 3600.0);
        check(std::bit_cast<double>(rng()));  // any bits, subnormals and huge values too
    }
    std::uniform_real_distribution<double> decades(-7, 17);
    std::uniform_int_distribution<int> tieExponent(-5, 14);
    for (int i = 0; i < 200'000; ++i) {
        const double v = std::pow(10.0, decades(rng));
        check(v);
        check(-v);
        // An odd multiple of 2^(e-15) in [10^e, 10^(e+1)) has 16 significant
        // digits, the last a 5: halfway between two 15-digit texts.
        const int e = tieExponent(rng);
        const double low = std::ldexp(std::pow(10.0, e), 15 - e);
        std::uniform_real_distribution<double> multiple(low, low * 10);
        check(std::ldexp(static_cast<double>(static_cast<std::uint64_t>(multiple(rng)) | 1U), e - 15));
    }
}

}  // namespace
}  // namespace skybrant
