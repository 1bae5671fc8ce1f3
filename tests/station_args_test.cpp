#include "cli/station_args.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

using skybrant::cli::readStationArguments;
using skybrant::cli::StationArguments;
using Status = skybrant::cli::StationsRead::Status;

namespace {

constexpr auto none = std::nullopt;

TEST(StationArguments, ReadsEachWayOfGivingTheStations)
{
    struct Case {
        const char* name;
        StationArguments arguments;
        Status status;
        std::string error;  // the start of the sentence; empty when the read succeeds
        double ownLat = 0, ownLon = 0, otherLat = 0, otherLon = 0;
    };
    const std::vector<Case> cases{
        {"two locators as fields", {none, none, {"JO01", "FN20"}}, Status::Ok, "", 51.5, 1, 40.5, -75},
        {"both fields in one argument", {none, none, {"JO01 FN20"}}, Status::Ok, "", 51.5, 1, 40.5, -75},
        {"both options", {"JO01", "FN20", {}}, Status::Ok, "", 51.5, 1, 40.5, -75},
        {"--from and the other from fields", {"JO01", none, {"40.5", "-75"}}, Status::Ok, "", 51.5, 1, 40.5, -75},
        {"--to and the own from fields", {none, "FN20", {"51 30 0 N 1 0 0 E"}}, Status::Ok, "", 51.5, 1, 40.5, -75},
        {"blanks and tabs around option fields", {"  51.5\t1 ", "-40.5 75", {}}, Status::Ok, "", 51.5, 1, -40.5, 75},
        {"sixteen entry fields", {none, none, {"10 0 0 S 20 0 0 E 30 0 0 N 20 0 0 W"}}, Status::Ok, "", -10, 20, 30,
            -20},
        {"both options leave no room for fields", {"JO01", "FN20", {"IO91"}}, Status::Usage,
            "with both --from and --to there is no room for station fields"},
        {"an empty field argument still takes room", {"JO01", "FN20", {""}}, Status::Usage,
            "with both --from and --to"},
        {"--from without the other station", {"JO01", none, {}}, Status::Usage,
            "the other station, after --from: expected one station"},
        {"--to with three own fields", {none, "JO01", {"1", "2", "3"}}, Status::Usage,
            "the own station, with --to: expected one station"},
        {"--from with one of two decimal fields", {"51.5", none, {}}, Status::Usage, "--from: expected one station"},
        {"no stations at all", {none, none, {}}, Status::Usage, "expected two stations, own then other"},
        {"three fields", {none, none, {"1 2 3"}}, Status::Usage, "expected two stations"},
        {"seventeen fields", {none, none, {"0 0 0 N 0 0 0 E 0 0 0 N 0 0 0 E 1"}}, Status::Usage,
            "expected two stations, own then other, each a locator such as JO01, LAT LON in decimal degrees, a "
            "position such as 51 30 N 0 7 W, LAD LAM LAS N|S LOD LOM LOS E|W, or a callsign or prefix such as "
            "VK2ABC or @DL; found 17 fields"},
        {"a bad --from locator names the option", {"JO0A", "FN20", {}}, Status::BadField,
            "--from: own locator \"JO0A\": character 4"},
        {"a bad --to latitude names the option", {"JO01", "95 0", {}}, Status::BadField,
            "--to: other latitude: \"95\" is out of range"},
        {"a bad field of the other station", {none, none, {"JO01", "FN2"}}, Status::BadField,
            "other locator \"FN2\" has 3 characters"},
        {"a bad own field after --to", {none, "FN20", {"91 0 0 N 0 0 0 E"}}, Status::BadField,
            "own latitude degrees: \"91\" is out of range"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto read = readStationArguments(c.arguments);
        EXPECT_EQ(read.status, c.status) << read.error;
        if (c.status == Status::Ok) {
            EXPECT_EQ(read.error, "");
            EXPECT_DOUBLE_EQ(read.own.latDegrees, c.ownLat);
            EXPECT_DOUBLE_EQ(read.own.lonDegrees, c.ownLon);
            EXPECT_DOUBLE_EQ(read.other.latDegrees, c.otherLat);
            EXPECT_DOUBLE_EQ(read.other.lonDegrees, c.otherLon);
        } else {
            EXPECT_EQ(read.error.substr(0, c.error.size()), c.error);
        }
    }
}

// Only the other station given: the own station is the one the window
// saved, and the note tells where it came from.
TEST(StationArguments, TakesTheSavedOwnStationWhenOnlyTheOtherIsGiven)
{
    std::string folder = "/tmp/skybrant-args-XXXXXX";
    ASSERT_NE(::mkdtemp(folder.data()), nullptr);
    const std::string saved = folder + "/saved.ini";
    std::ofstream(saved) << "[Latitude]\nDegree=10\nMinute=30\nSecond=0\nN/S=S\n[Longitude]\nDegree=20\nMinute=0\n"
                            "Second=0\nE/W=E\n";
    const std::string absent = folder + "/absent.ini";
    const std::string note = "own station from " + saved + ": 10 30 0 S 20 0 0 E";
    struct Case {
        const char* name;
        StationArguments arguments;
        Status status;
        std::string text;  // the note when the read succeeds, else the start of the error
        double ownLat = 0, ownLon = 0, otherLat = 0, otherLon = 0;
    };
    const std::vector<Case> cases{
        {"one locator as a field", {none, none, {"FN20"}, none, nullptr, saved}, Status::Ok, note, -10.5, 20, 40.5,
            -75},
        {"one station of entry fields", {none, none, {"30 0 0 N 20 0 0 W"}, none, nullptr, saved}, Status::Ok, note,
            -10.5, 20, 30, -20},
        {"--to alone", {none, "FN20", {}, none, nullptr, saved}, Status::Ok, note, -10.5, 20, 40.5, -75},
        {"--from wins", {"JO01", none, {"FN20"}, none, nullptr, saved}, Status::Ok, "", 51.5, 1, 40.5, -75},
        {"a pair of fields needs none", {none, none, {"JO01 FN20"}, none, nullptr, saved}, Status::Ok, "", 51.5, 1,
            40.5, -75},
        {"none saved", {none, none, {"FN20"}, none, nullptr, absent}, Status::Usage,
            "no own station is saved in " + absent + ": give it with --from or as the first station"},
        {"--to alone with none saved", {none, "FN20", {}, none, nullptr, absent}, Status::Usage,
            "no own station is saved in "},
        {"a bad lone station", {none, none, {"FN2"}, none, nullptr, saved}, Status::BadField,
            "other locator \"FN2\" has 3 characters"},
        {"three fields make no station", {none, none, {"1 2 3"}, none, nullptr, saved}, Status::Usage,
            "expected two stations"},
        {"no settings file to read", {none, none, {"FN20"}}, Status::Usage, "expected two stations"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto read = readStationArguments(c.arguments);
        EXPECT_EQ(read.status, c.status) << read.error;
        if (c.status == Status::Ok) {
            EXPECT_EQ(read.note, c.text);
            EXPECT_DOUBLE_EQ(read.own.latDegrees, c.ownLat);
            EXPECT_DOUBLE_EQ(read.own.lonDegrees, c.ownLon);
            EXPECT_DOUBLE_EQ(read.other.latDegrees, c.otherLat);
            EXPECT_DOUBLE_EQ(read.other.lonDegrees, c.otherLon);
        } else {
            EXPECT_EQ(read.error.substr(0, c.text.size()), c.text);
            EXPECT_EQ(read.note, "");
        }
    }
    std::system(("rm -rf '" + folder + "'").c_str());
}

}  // namespace
