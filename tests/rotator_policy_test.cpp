// The policy of a turn that the command line and the map window's panel share.

#include "rotator/rotator_policy.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <vector>

namespace rotctl = skybrant::rotctl;
using rotctl::AzimuthRange;
using rotctl::GivenLimits;
using rotctl::RangeSource;

namespace {

TEST(RotatorPolicy, GivenLimitsTakeThePlaceOfTheDaemonsEachOnItsOwn)
{
    struct Case {
        const char* name;
        GivenLimits given;
        std::optional<AzimuthRange> daemon;
        AzimuthRange range;
        RangeSource source;
    };
    const std::vector<Case> cases{
        {"the daemon's alone", {}, AzimuthRange{-180, 450}, {-180, 450}, RangeSource::Rotator},
        {"both given over the daemon's", {0.0, 360.0}, AzimuthRange{-180, 450}, {0, 360}, RangeSource::Options},
        {"both given, nothing told", {-180.0, 180.0}, std::nullopt, {-180, 180}, RangeSource::Options},
        {"the minimum given, the daemon's maximum", {10.0, {}}, AzimuthRange{-180, 450}, {10, 450},
            RangeSource::Combined},
        {"the maximum given, the daemon's minimum", {{}, 90.0}, AzimuthRange{-180, 450}, {-180, 90},
            RangeSource::Combined},
        {"one given, nothing told: 0..360 for the other", {{}, 90.0}, std::nullopt, {0, 90}, RangeSource::Combined},
        {"nothing given or told: 0..360", {}, std::nullopt, {0, 360}, RangeSource::Assumed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const rotctl::TurnRange r = rotctl::turnRange(c.given, c.daemon);
        EXPECT_EQ(r.range.min, c.range.min);
        EXPECT_EQ(r.range.max, c.range.max);
        EXPECT_EQ(r.source, c.source);
    }
}

TEST(RotatorPolicy, ChoosesTheAzimuthToSend)
{
    struct Case {
        const char* name;
        double wanted;
        rotctl::TurnRange range;
        std::optional<double> reading;
        std::optional<double> sent;
    };
    const std::vector<Case> cases{
        {"least turn from the reading", 60, {{0, 450}, RangeSource::Rotator}, 400.0, 420},
        {"least turn staying low", 60, {{0, 450}, RangeSource::Rotator}, 100.0, 60},
        {"no reading: from the middle of the range", 10, {{0, 450}, RangeSource::Rotator}, std::nullopt, 370},
        {"no reading, the middle nearer the low twin", 45, {{0, 450}, RangeSource::Rotator}, std::nullopt, 45},
        {"-180..180 takes the negative twin", 289, {{-180, 180}, RangeSource::Options}, 0.0, -71},
        {"an assumed range sends north as 0 from 350", 360, {{0, 360}, RangeSource::Assumed}, 350.0, 0},
        {"an assumed range sends the plain azimuth", 289 + 360, {{0, 360}, RangeSource::Assumed}, 0.0, 289},
        {"nothing within a narrow range", 200, {{0, 90}, RangeSource::Rotator}, 45.0, std::nullopt},
        {"an empty range", 50, {{100, 10}, RangeSource::Combined}, 45.0, std::nullopt},
        {"not a number", std::nan(""), {{0, 360}, RangeSource::Assumed}, 0.0, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto sent = rotctl::turnAzimuth(c.wanted, c.range, c.reading);
        ASSERT_EQ(sent.has_value(), c.sent.has_value());
        if (c.sent) {
            EXPECT_NEAR(*sent, *c.sent, 1e-9);
        }
    }
}

TEST(RotatorPolicy, RulesATurnOutOnTheGivenLimitsAlone)
{
    struct Case {
        const char* name;
        double wanted;
        GivenLimits given;
        bool ruledOut;
    };
    const std::vector<Case> cases{
        {"nothing given: the daemon must say", 200, {}, false},
        {"both given, outside", 200, {0.0, 90.0}, true},
        {"both given, inside", 80, {0.0, 90.0}, false},
        {"both given, a twin inside", 350, {-180.0, 180.0}, false},
        // The daemon's minimum may be as low as -360, where -160 lies.
        {"a maximum only, a twin possible below", 200, {{}, 10.0}, false},
        {"a minimum only, no twin up to 720", 30, {400.0, {}}, true},
        {"a minimum only, a twin up to 720", 60, {400.0, {}}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(rotctl::ruledOut(c.wanted, c.given), c.ruledOut);
    }
}

TEST(RotatorPolicy, ArrivesWithinTwoDegrees)
{
    EXPECT_TRUE(rotctl::arrivedAt(28, 30));
    EXPECT_TRUE(rotctl::arrivedAt(32, 30));
    EXPECT_FALSE(rotctl::arrivedAt(27.9, 30));
    EXPECT_FALSE(rotctl::arrivedAt(-30, 30)) << "a reading is never taken modulo a turn";
}

}  // namespace
