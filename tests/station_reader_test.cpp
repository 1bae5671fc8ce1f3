// The one reader of stations: every form an operator writes, the same
// place whichever way it is written, and callsigns read through the country
// file where a text could be two things.

#include "core/station_reader.h"
#include "country_file_on_disk.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <string_view>

namespace skybrant {
namespace {

struct Read {
    ReadResult result;
    Station station;
    std::string error;
};

Read readOne(std::string_view text, ReadingRules rules = {})
{
    StationReader reader(rules);
    Read read;
    read.result = reader.readOne(stationTokens(text), Side::Other, read.station, read.error);
    return read;
}

struct FormCase {
    const char* name;
    const char* text;
    const char* same;  // written in a form read before, at the very same place
    StationForm form;
};

TEST(StationReaderTest, ReadsEveryFormAtTheSamePlace)
{
    const FormCase cases[] = {
        {"decimal with letters after", "51.5N 0.12W", "51.5 -0.12", StationForm::Written},
        {"decimal with letters before", "N51.5 W0.12", "51.5 -0.12", StationForm::Written},
        {"longitude first", "0.12W 51.5N", "51.5 -0.12", StationForm::Written},
        {"lower-case letters", "51.5n 0.12w", "51.5 -0.12", StationForm::Written},
        {"blanks around", "  51.5N \t 0.12W  ", "51.5 -0.12", StationForm::Written},
        {"no seconds", "51 30 N 0 7 W", "51 30 0 N 0 7 0 W", StationForm::Written},
        {"degree and minute signs", "51°30'N 0°07'W", "51 30 0 N 0 7 0 W", StationForm::Written},
        {"signs with blanks", "51° 30′ 0″ N 0° 7′ 0″ W", "51 30 0 N 0 7 0 W", StationForm::Written},
        {"signs in one word", "51°30'N0°07'W", "51 30 0 N 0 7 0 W", StationForm::Written},
        {"colons", "51:30:00N 0:07:00W", "51 30 0 N 0 7 0 W", StationForm::Written},
        {"colon without seconds", "51:30N 0:07W", "51 30 0 N 0 7 0 W", StationForm::Written},
        {"d for degrees", "51d30N 0d7W", "51 30 0 N 0 7 0 W", StationForm::Written},
        {"ADIF location", "N051 30.000 W000 07.000", "51 30 0 N 0 7 0 W", StationForm::Written},
        {"south and east", "33 52 S 151 12 E", "33 52 0 S 151 12 0 E", StationForm::Written},
        {"decimal minutes", "S33 52.5 E151 12.25", "-33.875 151.204166666667", StationForm::Written},
        {"pole and date line", "90N 180W", "90 -180", StationForm::Written},
        {"locator", "jo01MM", "JO01mm", StationForm::Locator},
        {"entry fields", "51 30 0 N 0 7 0 W", "51 30 0 N 0 7 0 W", StationForm::Fields},
        {"entry past the pole", "89 60 60 N 0 0 0 E", "89 60 60 N 0 0 0 E", StationForm::Fields},
        {"decimal degrees", "+51.5 -.12", "51.5 -0.12", StationForm::Degrees},
    };
    for (const FormCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Read read = readOne(c.text);
        const Read same = readOne(c.same);
        ASSERT_EQ(read.result, ReadResult::Ok) << read.error;
        ASSERT_EQ(same.result, ReadResult::Ok) << same.error;
        EXPECT_EQ(read.station.form, c.form);
        EXPECT_NEAR(read.station.position.latDegrees, same.station.position.latDegrees, 1e-9);
        EXPECT_NEAR(read.station.position.lonDegrees, same.station.position.lonDegrees, 1e-9);
    }
}

struct RefusalCase {
    const char* name;
    const char* text;
    const char* says;
};

TEST(StationReaderTest, RefusesWhatIsNoPositionAndSaysWhy)
{
    const RefusalCase cases[] = {
        {"latitude past 90", "91N 0E", "latitude is at most 90 degrees"},
        {"longitude past 180", "10N 180.5E", "longitude is at most 180 degrees"},
        {"minutes of 60", "51 60 N 0 7 W", "the minutes are not below 60"},
        {"seconds of 75", "51 30 75 N 0 7 W", "the seconds are not below 60"},
        {"a fraction before the end", "51.5 30 N 0 7 W", "only the last number"},
        {"two latitudes", "51N 52S", "one latitude (N or S) and one longitude (E or W)"},
        {"a letter missing", "51 30 N 0 7", "each coordinate needs its hemisphere letter"},
        {"a bare @", "@", "\"@\" needs a callsign after it"},
        {"callsigns with no file", "@W1AW", "callsigns cannot be read here"},
        {"bad locator", "JO0", "other locator"},
        {"bad decimal", "51.5 x", "\"x\" is not a number"},
    };
    for (const RefusalCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Read read = readOne(c.text);
        EXPECT_NE(read.result, ReadResult::Ok);
        EXPECT_NE(read.error.find(c.says), std::string::npos) << read.error;
    }
}

struct PairCase {
    const char* name;
    const char* line;
    const char* own;
    const char* other;
};

TEST(StationReaderTest, TellsTheTwoStationsOfAPairApart)
{
    const PairCase cases[] = {
        {"written then written", "51 30 N 0 7 W 40 42 N 74 0 W", "51 30 N 0 7 W", "40 42 N 74 0 W"},
        {"decimal then written", "51.5 -0.12 40 42 N 74 0 W", "51.5 -0.12", "40 42 N 74 0 W"},
        {"written then decimal", "51 30 N 0 7 W 40.7 -74", "51 30 N 0 7 W", "40.7 -74"},
        {"locator then ADIF", "JO01 N040 42.000 W074 00.000", "JO01", "40 42 N 74 0 W"},
        {"signs then locator", "51°30'N 0°07'W FN20", "51 30 N 0 7 W", "FN20"},
        {"entries", "51 30 0 N 0 7 0 W 40 42 0 N 74 0 0 W", "51 30 N 0 7 W", "40 42 N 74 0 W"},
    };
    for (const PairCase& c : cases) {
        SCOPED_TRACE(c.name);
        StationReader reader;
        Station own;
        Station other;
        std::string error;
        ASSERT_EQ(reader.readPair(stationTokens(c.line), own, other, error), ReadResult::Ok) << error;
        EXPECT_NEAR(own.position.latDegrees, readOne(c.own).station.position.latDegrees, 1e-9);
        EXPECT_NEAR(own.position.lonDegrees, readOne(c.own).station.position.lonDegrees, 1e-9);
        EXPECT_NEAR(other.position.latDegrees, readOne(c.other).station.position.latDegrees, 1e-9);
        EXPECT_NEAR(other.position.lonDegrees, readOne(c.other).station.position.lonDegrees, 1e-9);
    }
}

// The packaged country file of Debian's hamradio-files (VER20230502).
constexpr std::string_view kPackaged = "/usr/share/hamradio-files/cty.dat";

struct CallCase {
    const char* name;
    const char* text;
    StationForm form;
    const char* entity;  // for a callsign
    const char* note;  // the run's note, empty for none
};

TEST(StationReaderTest, ReadsCallsignsAndPrefixesWhereATextCouldBeTwoThings)
{
    if (!std::filesystem::exists(kPackaged)) {
        GTEST_SKIP() << "hamradio-files is not installed";
    }
    const CallCase cases[] = {
        // "Chesterfield Islands: 30: 56: OC: ... FK/c:" lists
        // "    =FK8IK/C,=TX0AT,=TX0C,=TX0DX,=TX3A,=TX3X,=TX9;".
        {"exact call of no call shape", "TX9", StationForm::Callsign, "Chesterfield Islands", ""},
        // "Spain: 14: 37: EU: ... EA:" lists the exact call "=EF6", which wins
        // over the prefix EF6 of "Balearic Islands: ... EA6:".
        {"an exact call before a prefix", "EF6", StationForm::Callsign, "Spain", ""},
        // "=RAEM(18)[31]" under "Asiatic Russia: 17: 30: AS: ... UA9:".
        {"exact call of letters only", "RAEM", StationForm::Callsign, "Asiatic Russia", ""},
        // "Australia: ... VK:" with its prefix "VK".
        {"a bare prefix", "VK", StationForm::Callsign, "Australia", ""},
        {"a bare prefix of one letter", "W", StationForm::Callsign, "United States of America", ""},
        // "Fed. Rep. of Germany: ... DL:", and DL is a locator too.
        {"a prefix that is a locator", "DL", StationForm::Locator, "",
            "DL read as a locator; write @DL for the callsign"},
        {"@ makes it the callsign", "@DL", StationForm::Callsign, "Fed. Rep. of Germany", ""},
        // "=RA22KO(17)[20]" under "European Russia: 16: 29: EU: ... UA:",
        // shaped as a locator.
        {"@ before an exact call", "@ra22ko", StationForm::Callsign, "European Russia", ""},
        // "Norway: ... LA:" lists LH, and "Asiatic Russia" R; neither moves
        // a lighthouse or a rover.
        {"lighthouse stays home", "G4ABC/LH", StationForm::Callsign, "England", ""},
        {"rover stays home", "G4ABC/R", StationForm::Callsign, "England", ""},
    };
    for (const CallCase& c : cases) {
        SCOPED_TRACE(c.name);
        CountryFileSource file{std::string(kPackaged)};
        StationReader reader({&file, false});
        Station station;
        std::string error;
        ASSERT_EQ(reader.readOne(stationTokens(c.text), Side::Other, station, error), ReadResult::Ok) << error;
        EXPECT_EQ(station.form, c.form);
        if (c.form == StationForm::Callsign) {
            ASSERT_TRUE(station.call.has_value());
            if (*c.entity != '\0') {
                EXPECT_EQ(station.call->entity, c.entity);
            }
        }
        EXPECT_EQ(reader.takeNote(), c.note);
    }
}

TEST(StationReaderTest, NotesALocatorTheFileListsOncePerRun)
{
    if (!std::filesystem::exists(kPackaged)) {
        GTEST_SKIP() << "hamradio-files is not installed";
    }
    CountryFileSource file{std::string(kPackaged)};
    StationReader first({&file, false});
    StationReader second({&file, false});  // another thread's reader
    Station station;
    std::string error;
    first.readOne(stationTokens("DL"), Side::Other, station, error);
    second.readOne(stationTokens("DL"), Side::Other, station, error);
    EXPECT_FALSE(first.takeNote().empty());
    EXPECT_TRUE(second.takeNote().empty());
}

TEST(StationReaderTest, ReadsTheOtherStationAsACallsignWhenAsked)
{
    if (!std::filesystem::exists(kPackaged)) {
        GTEST_SKIP() << "hamradio-files is not installed";
    }
    CountryFileSource file{std::string(kPackaged)};
    StationReader reader({&file, true});
    Station own;
    Station other;
    std::string error;
    ASSERT_EQ(reader.readPair(stationTokens("JO01 RA22KO"), own, other, error), ReadResult::Ok) << error;
    EXPECT_EQ(own.form, StationForm::Locator);
    ASSERT_TRUE(other.call.has_value());
    EXPECT_EQ(other.call->entity, "European Russia");
    ASSERT_EQ(reader.readPair(stationTokens("JO01 51.5N 0.12W"), own, other, error), ReadResult::Ok) << error;
    EXPECT_EQ(other.form, StationForm::Written);
}

TEST(StationReaderTest, NamesTheDxccCountryOfAnEntityOfAnotherList)
{
    // Sicily counts for the WAE, Italy for DXCC.
    const testing::CountryFileOnDisk cty("station_reader_wae",
        "Italy:                    15:  28:  EU:   42.82:   -12.58:    -1.0:  I:\n"
        "    I,IT9;\n"
        "Sicily:                   15:  28:  EU:   37.50:   -14.00:    -1.0:  *IT9:\n"
        "    IT9;\n");
    CountryFileSource file(cty.path());
    StationReader reader({&file, false});
    Station station;
    std::string error;
    ASSERT_EQ(reader.readOne(stationTokens("IT9ABC"), Side::Other, station, error), ReadResult::Ok) << error;
    ASSERT_TRUE(station.call.has_value());
    EXPECT_EQ(station.call->entity, "Sicily");
    EXPECT_TRUE(station.call->otherList);
    EXPECT_EQ(station.call->dxccEntity, "Italy");
}

}  // namespace
}  // namespace skybrant
