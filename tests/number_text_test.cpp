#include "core/compute.h"
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
        EXPECT_EQ(numberText(c.value), c.text) << c.text;
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

TEST(DisplayRounding, HalvesGoUp)
{
    struct Case {
        double in, out;
    };
    const Case headings[] = {{0.49, 0}, {0.5, 1}, {2.04e-9, 0}, {359.49, 359}, {359.5, 360}, {288.32575, 288}};
    for (const auto& c : headings) {
        EXPECT_EQ(roundHeading(c.in), c.out) << c.in;
    }
    const Case distances[] = {{5539.1663, 5539.2}, {0.25, 0.3}, {0.24, 0.2}, {99.96, 100}, {0, 0}};
    for (const auto& c : distances) {
        EXPECT_EQ(roundDistance(c.in), c.out) << c.in;
    }
}

TEST(ComputeTexts, UsesTheGivenSeparator)
{
    const StationEntry own{51, 30, 0, 0, 7, 0, "N", "W"};
    const StationEntry other{40, 42, 0, 74, 0, 0, "N", "W"};
    const ComputedTexts t = computeTexts(own, other, ",");
    EXPECT_EQ(t.distance, "5539,2");
    EXPECT_EQ(t.ownToOther, "288");
    EXPECT_EQ(t.otherToOwn, "51");
}

bool allDigits(std::string_view s)
{
    return !s.empty() && std::all_of(s.begin(), s.end(), [](unsigned char c) { return std::isdigit(c) != 0; });
}

// Whole degrees, or a distance with at most one decimal.
bool wellFormed(const std::string& s, bool oneDecimal)
{
    const auto dot = s.find('.');
    if (dot == std::string::npos) {
        return allDigits(s);
    }
    return oneDecimal && allDigits(std::string_view(s).substr(0, dot)) && s.size() == dot + 2 &&
        std::isdigit(static_cast<unsigned char>(s.back())) != 0;
}

TEST(ComputeTexts, AnyEntriesGiveWellFormedTexts)
{
    std::mt19937_64 rng(99);
    const char* hemispheres[] = {"N", "S", "E", "W", " S ", "s", "", "X", "W "};
    std::uniform_int_distribution<int> pick(0, std::size(hemispheres) - 1);
    std::uniform_int_distribution<std::int32_t> any(
        std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max());
    std::uniform_int_distribution<std::int32_t> small(-400, 400);
    const auto value = [&] { return (rng() % 4 == 0) ? any(rng) : small(rng); };
    for (int i = 0; i < 20000; ++i) {
        StationEntry e[2];
        for (auto& s : e) {
            s = StationEntry{
                value(), value(), value(), value(), value(), value(), hemispheres[pick(rng)], hemispheres[pick(rng)]};
        }
        const ComputedTexts t = computeTexts(e[0], e[1]);
        ASSERT_TRUE(wellFormed(t.distance, true)) << t.distance;
        ASSERT_LE(std::stod(t.distance), 19898.2);
        ASSERT_EQ(t.ownToOther.empty(), !t.result.hasHeadings());
        ASSERT_EQ(t.otherToOwn.empty(), !t.result.hasHeadings());
        for (const std::string* h : {&t.ownToOther, &t.otherToOwn}) {
            if (!h->empty()) {
                ASSERT_TRUE(wellFormed(*h, false)) << *h;
                ASSERT_LE(std::stoi(*h), 360);
            }
        }
    }
}

}  // namespace
}  // namespace skybrant
