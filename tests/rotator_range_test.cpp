#include "rotator/rotator_range.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace rotctl = skybrant::rotctl;

namespace {

TEST(RotatorRange, PicksTheEquivalentAzimuthThatTurnsTheLeast)
{
    struct Case {
        const char* name;
        double heading;
        rotctl::AzimuthRange range;
        double current;
        std::optional<double> sent;
    };
    const std::vector<Case> cases{
        {"plain 0..360", 289, {0, 360}, 0, 289},
        {"-180..180 takes the negative twin", 289, {-180, 180}, 0, -71},
        {"-180..180 keeps a heading inside", 100, {-180, 180}, 150, 100},
        {"0..450 from near 0 goes the short way", 289, {0, 450}, 10, 289},
        {"0..450 overlap from 400 keeps turning on", 60, {0, 450}, 400, 420},
        {"0..450 overlap from 100 stays low", 60, {0, 450}, 100, 60},
        {"north on 0..360 from 350 is 360", 0, {0, 360}, 350, 360},
        {"north on 0..360 from 10 is 0", 0, {0, 360}, 10, 0},
        {"0..359 cannot reach 359.5", 359.5, {0, 359}, 0, std::nullopt},
        {"a hair past the end is the end", 180.004, {-180, 180}, 10, 180},
        {"heading given past a turn", 649, {0, 360}, 0, 289},
        {"negative heading", -71, {0, 360}, 0, 289},
        {"narrow sector without the heading", 200, {0, 90}, 45, std::nullopt},
        {"narrow sector with the heading", 450, {0, 90}, 45, 90},
        {"single point range", 90, {90, 90}, 0, 90},
        {"inverted range", 10, {90, 0}, 0, std::nullopt},
        {"infinite heading", std::numeric_limits<double>::infinity(), {0, 360}, 0, std::nullopt},
        {"position not a number", 10, {0, 360}, std::numeric_limits<double>::quiet_NaN(), std::nullopt},
    };
    for (const Case& c : cases) {
        const auto sent = rotctl::leastTurnAzimuth(c.heading, c.range, c.current);
        ASSERT_EQ(sent.has_value(), c.sent.has_value()) << c.name;
        if (sent) {
            EXPECT_NEAR(*sent, *c.sent, 1e-9) << c.name;
        }
    }
}

TEST(RotatorRange, SendsNorthForAHeadingShownAs360)
{
    EXPECT_EQ(rotctl::sentHeading(360), 0);
    EXPECT_EQ(rotctl::sentHeading(359), 359);
    EXPECT_EQ(rotctl::sentHeading(0), 0);
}

TEST(RotatorRange, ReadsTheLimitsInForceFromEitherFormOfTheState)
{
    using Status = rotctl::DumpStateReader::Status;
    struct Case {
        const char* name;
        std::vector<std::string> lines;
        Status last;
        std::optional<rotctl::AzimuthRange> range;
        std::string problem;
    };
    const std::vector<Case> cases{
        {"labelled, ends with RPRT 0",
            {"dump_state:", "rotctld Protocol Ver: 1", "Rotor Model: 1", "Minimum Azimuth: -180.000000",
                "Maximum Azimuth: 180.000000", "Minimum Elevation: 0.000000", "done", "RPRT 0"},
            Status::Done, rotctl::AzimuthRange{-180, 180}, ""},
        {"plain form ends at done", {"1", "1", "min_az=0.000000", "max_az=450.000000", "rot_type=AzEl", "done"},
            Status::Done, rotctl::AzimuthRange{0, 450}, ""},
        {"refused", {"RPRT -4"}, Status::Failed, std::nullopt, "RPRT -4 (Feature not implemented)"},
        {"no limits before RPRT 0", {"dump_state:", "done", "RPRT 0"}, Status::Failed, std::nullopt,
            "no usable azimuth limits"},
        {"limits upside down", {"Minimum Azimuth: 90", "Maximum Azimuth: 0", "RPRT 0"}, Status::Failed, std::nullopt,
            "no usable azimuth limits"},
        {"a limit that is not a number", {"Minimum Azimuth: nan", "Maximum Azimuth: 360", "RPRT 0"}, Status::Failed,
            std::nullopt, "no usable azimuth limits"},
        {"still waiting", {"dump_state:", "Minimum Azimuth: 0"}, Status::More, std::nullopt, ""},
        {"limits at the protocol's ends", {"Minimum Azimuth: -360", "Maximum Azimuth: 720", "RPRT 0"}, Status::Done,
            rotctl::AzimuthRange{-360, 720}, ""},
        {"a limit far beyond any turn",
            {"dump_state:", "Minimum Azimuth: -1e17", "Maximum Azimuth: 100000000000000000.000000"}, Status::Beyond,
            std::nullopt, "the azimuth limit \"-1e17\", outside the protocol's -360..720"},
        {"just past the top, and the reply goes on", {"min_az=0", "max_az=720.01", "rot_type=AzEl", "done"},
            Status::Beyond, std::nullopt, "the azimuth limit \"720.01\", outside the protocol's -360..720"},
        {"the extended form's done is not yet the end",
            {"dump_state:", "Minimum Azimuth: -180.000000", "Maximum Azimuth: 180.000000", "done"}, Status::More,
            rotctl::AzimuthRange{-180, 180}, ""},
    };
    for (const Case& c : cases) {
        rotctl::DumpStateReader reader;
        Status status = Status::More;
        for (const std::string& line : c.lines) {
            status = reader.take(line);
        }
        EXPECT_EQ(status, c.last) << c.name;
        EXPECT_EQ(reader.problem(), c.problem) << c.name;
        const auto range = reader.range();
        ASSERT_EQ(range.has_value(), c.range.has_value()) << c.name;
        if (range) {
            EXPECT_EQ(range->min, c.range->min) << c.name;
            EXPECT_EQ(range->max, c.range->max) << c.name;
        }
    }
    EXPECT_EQ(rotctl::rangeText({-180, 180}), "-180..180");
    EXPECT_EQ(rotctl::rangeText({0, 359.5}), "0..359.5");
}

}  // namespace
