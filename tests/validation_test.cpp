#include "validation/box_reader.h"
#include "validation/keystroke.h"
#include "validation/range_checks.h"

#include <gtest/gtest.h>

#include <string>

namespace skybrant::validation {
namespace {

TEST(BoxReader, LongestLeadingNumberWithBlanksSkipped)
{
    struct Case {
        std::u16string text;
        std::int32_t value;
    };
    const Case cases[] = {
        {u"", 0},
        {u" ", 0},
        {u"00", 0},
        {u"45", 45},
        {u" 4 5", 45},
        {u"\t4\n5", 45},
        {u"\r5", 0},
        {u"12abc", 12},
        {u"abc", 0},
        {u"2.5", 2},
        {u"3.5", 4},
        {u"-2.5", -2},
        {u"0.5", 0},
        {u"1.5", 2},
        {u".5", 0},
        {u".51", 1},
        {u"5.", 5},
        {u"-45", -45},
        {u"+7", 7},
        {u"++7", 0},
        {u"- 5", -5},
        {u"-", 0},
        {u"0x1A", 0},
        {u"1e2", 100},
        {u"1E2", 100},
        {u"1e", 1},
        {u"1e+", 1},
        {u"1e-", 1},
        {u"12 e 2", 1200},
        {u"25e-1", 2},
        {u"1.2.3", 1},
        {u"1,5", 1},
        {u"inf", 0},
        {u"nan", 0},
        {u"infinity", 0},
        {u"-0", 0},
        {u"1e-400", 0},
        {u"0.0000001", 0},
        {u"\u0661\u0662", 0},  // Arabic-Indic digits
        {u"2147483647", 2147483647},
        {u"-2147483648", -2147483647 - 1},
        {u"2147483647.4", 2147483647},
        {u"9e0", 9},
        {u"0e999999999999", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.text.begin(), c.text.end()));
        const BoxReading r = readBox(c.text);
        EXPECT_FALSE(r.outOfRange);
        EXPECT_EQ(r.value, c.value);
    }
}

TEST(BoxReader, NumbersBeyondThirtyTwoBitsAreOutOfRange)
{
    const std::u16string cases[] = {
        u"2147483648",
        u"-2147483649",
        u"99999999999",
        u"2147483647.5",
        u"1e400",
        u"-1e10",
        u"1e999999999999999",
        u"10000000000e-0",
        u"3e9",
    };
    for (const auto& text : cases) {
        SCOPED_TRACE(std::string(text.begin(), text.end()));
        const BoxReading r = readBox(text);
        EXPECT_TRUE(r.outOfRange);
        EXPECT_EQ(r.value, 0);
    }
}

TEST(BoxReader, HugeTextsReadWithoutLosingTheMagnitude)
{
    // A megabyte of digits is far out of range; the same behind "0." is 0.
    const std::u16string digits(1 << 20, u'7');
    EXPECT_TRUE(readBox(digits).outOfRange);
    EXPECT_EQ(readBox(u"0." + digits).value, 1);  // 0.777... rounds to 1
    EXPECT_EQ(readBox(u"0.0" + digits).value, 0);
    // One followed by a million zeros, scaled back by a million: 1.
    const std::u16string big = u"1" + std::u16string(1'000'000, u'0') + u"e-1000000";
    EXPECT_EQ(readBox(big).value, 1);
    EXPECT_FALSE(readBox(big).outOfRange);
    EXPECT_EQ(readBox(std::u16string(1 << 20, u' ') + u"42").value, 42);
}

TEST(RangeChecks, FirstViolationWins)
{
    const BoxRole latDeg{Axis::Latitude, Unit::Degrees};
    const BoxRole lonDeg{Axis::Longitude, Unit::Degrees};
    const BoxRole latMin{Axis::Latitude, Unit::Minutes};
    const BoxRole latSec{Axis::Latitude, Unit::Seconds};
    const BoxRole lonMin{Axis::Longitude, Unit::Minutes};
    const BoxRole lonSec{Axis::Longitude, Unit::Seconds};
    constexpr BoxReading kBeyond32Bits{0, true};
    struct Case {
        const char* name;
        BoxRole role;
        BoxReading reading;
        std::int32_t degrees;
        const char16_t* reset;  // null: the value passes
        std::u16string_view message;
        std::int32_t highest;
        bool atDegreesLimit;
    };
    const Case cases[] = {
        {"latitude 90 accepted", latDeg, {90}, 0, nullptr, {}, 0, false},
        {"latitude 91", latDeg, {91}, 0, u"", kLatitudeDegreesMessage, 90, false},
        {"no lower bound", latDeg, {-1000}, 0, nullptr, {}, 0, false},
        {"longitude 180 accepted", lonDeg, {180}, 0, nullptr, {}, 0, false},
        {"longitude 181", lonDeg, {181}, 0, u"", kLongitudeDegreesMessage, 180, false},
        {"degrees beyond 32 bits", lonDeg, kBeyond32Bits, 0, u"", kLongitudeDegreesMessage, 180, false},
        {"minutes at 90 latitude", latMin, {1}, 90, u"00", kLatitudeLimitMessage, 0, true},
        {"zero minutes at 90 latitude", latMin, {0}, 90, nullptr, {}, 0, false},
        {"61 minutes at 90 latitude: only the limit message", latMin, {61}, 90, u"00", kLatitudeLimitMessage, 0, true},
        {"61 minutes at 89", latMin, {61}, 89, u"", kMinutesMessage, 60, false},
        {"60 minutes accepted", latMin, {60}, 89, nullptr, {}, 0, false},
        {"seconds at 90 latitude", latSec, {5}, 90, u"00", kLatitudeLimitMessage, 0, true},
        {"61 seconds", latSec, {61}, 0, u"", kSecondsMessage, 60, false},
        {"seconds beyond 32 bits", latSec, kBeyond32Bits, 0, u"", kSecondsMessage, 60, false},
        {"seconds beyond 32 bits at 90", latSec, kBeyond32Bits, 90, u"", kSecondsMessage, 0, true},
        {"minutes at 180 longitude", lonMin, {1}, 180, u"00", kLongitudeLimitMessage, 0, true},
        {"90 is no limit for longitude", lonMin, {1}, 90, nullptr, {}, 0, false},
        {"61 longitude minutes", lonMin, {61}, 0, u"", kMinutesMessage, 60, false},
        {"60 seconds at 180 longitude", lonSec, {60}, 180, u"00", kLongitudeLimitMessage, 0, true},
        {"61 longitude seconds at 179", lonSec, {61}, 179, u"", kSecondsMessage, 60, false},
        {"negative seconds", lonSec, {-61}, 179, nullptr, {}, 0, false},
        {"negative seconds at the limit", lonSec, {-61}, 180, nullptr, {}, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto v = firstViolation(c.role, c.reading, c.degrees);
        ASSERT_EQ(v.has_value(), c.reset != nullptr);
        if (v) {
            EXPECT_EQ(v->resetText, c.reset);
            EXPECT_EQ(v->message, c.message);
            EXPECT_EQ(v->highest, c.highest);
            EXPECT_EQ(v->atDegreesLimit, c.atDegreesLimit);
        }
    }
}

TEST(Keystroke, DigitsAndBackspaceOnly)
{
    for (char16_t c = 0; c < 0x3000; ++c) {
        const bool expected = c == 8 || (c >= u'0' && c <= u'9');
        ASSERT_EQ(coordinateKeyAccepted(c), expected) << static_cast<int>(c);
        ASSERT_FALSE(hemisphereKeyAccepted(c));
    }
}

}  // namespace
}  // namespace skybrant::validation
