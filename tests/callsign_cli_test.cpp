#include "cli/callsign_stations.h"
#include "cli/station_args.h"
#include "cli/callsign_stations.h"
#include "country_file_on_disk.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace skybrant::cli {
namespace {

// A country file with a callsign that is also a locator (AA00AA) and one
// listed with its own position.
constexpr std::string_view kCountryFile = R"(England:  14: 27: EU: 52.77:   1.47:   0.0: G:
    G,M,=G4XYZ<51.50/0.13>;
Australia: 30: 59: OC: -23.70: -132.33: -10.0: VK:
    VK;
Malta:    15: 28: EU: 35.88: -14.42:  -1.0: 9H:
    9H;
Juan de Nova, Europa: 39: 53: AF: -17.05: -42.72: -3.0: FR/j:
    =FR/J;
USA:      05: 08: NA: 37.60:  91.87:   5.0: K:
    AA,K,W;
VER:      05: 08: NA: 37.60:  91.87:   5.0: K:
    =VER20240101;
)";

class CallsignStations : public ::testing::Test {
protected:
    const skybrant::testing::CountryFileOnDisk file{"skybrant_cli_cty", kCountryFile};
    const std::string& path = file.path();
};

TEST_F(CallsignStations, TokensKeepTheirMeaningBeforeCallsigns)
{
    struct Case {
        const char* name;
        std::vector<std::string_view> fields;
        ReadResult result;
        const char* ownCall;  // "" when own is not by callsign
        const char* otherCall;
        const char* error;
    } cases[] = {
        {"locator then callsign", {"JO01", "VK2ABC"}, ReadResult::Ok, "", "VK2ABC", ""},
        {"callsigns starting with a digit", {"9h1aa", "DL/G4ABC"}, ReadResult::Ok, "9H1AA", "DL/G4ABC", ""},
        {"a locator stays a locator", {"AA00AA", "G4ABC"}, ReadResult::Ok, "", "G4ABC", ""},
        {"numbers stay numbers", {"51.5", "-0.12", "W1AW"}, ReadResult::Ok, "", "W1AW", ""},
        {"maritime mobile", {"G4ABC/MM", "JO01"}, ReadResult::BadField, "", "",
            "own station: G4ABC/MM is maritime mobile (/MM): a station at sea has no fixed position"},
        {"no country", {"JO01", "QQ1ABC"}, ReadResult::BadField, "", "",
            "other station: no country of the country file has a prefix of QQ1ABC"},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.name);
        Callsigns callsigns(path);
        Position own;
        Position other;
        std::string error;
        EXPECT_EQ(readPair(row.fields, own, other, error, &callsigns), row.result);
        EXPECT_EQ(error, row.error);
        EXPECT_EQ(callsigns.own() ? callsigns.own()->call : "", row.ownCall);
        EXPECT_EQ(callsigns.other() ? callsigns.other()->call : "", row.otherCall);
    }
}

TEST_F(CallsignStations, PositionsAndTheirText)
{
    Callsigns callsigns(path);
    StationArguments arguments;
    arguments.fields = {"G4XYZ"};
    arguments.call = "VK2ABC";
    arguments.callsigns = &callsigns;
    const StationsRead read = readStationArguments(arguments);
    ASSERT_EQ(read.status, StationsRead::Status::Ok) << read.error;
    EXPECT_DOUBLE_EQ(read.own.lonDegrees, -0.13);
    EXPECT_DOUBLE_EQ(read.other.latDegrees, -23.70);
    EXPECT_DOUBLE_EQ(read.other.lonDegrees, 132.33);
    std::string text;
    appendCallsignText(callsigns, text);
    appendCountryFileText(callsigns, text);
    EXPECT_EQ(text,
        "My station: G4XYZ, England (G), EU, CQ zone 14, ITU zone 27, UTC\n"
        "Other station: VK2ABC, Australia (VK), OC, CQ zone 30, ITU zone 59, UTC+10, about: the "
        "country's reference point\n"
        "Country file: \"" +
            path + "\" (VER20240101)\n");
    std::string csv;
    appendCallsignCsv(callsigns, csv);
    EXPECT_EQ(csv, ",G4XYZ,England,G,EU,14,27,0,,VK2ABC,Australia,VK,OC,30,59,10,about");

    std::string json = "{\"distance\":1}\n";
    appendCallsignJson(callsigns, true, json);
    EXPECT_EQ(json,
        "{\"distance\":1,\"own_callsign\":{\"callsign\":\"G4XYZ\",\"entity\":\"England\",\"prefix\":\"G\","
        "\"continent\":\"EU\",\"cq_zone\":14,\"itu_zone\":27,\"utc_offset\":0,\"about\":false},"
        "\"other_callsign\":{\"callsign\":\"VK2ABC\",\"entity\":\"Australia\",\"prefix\":\"VK\","
        "\"continent\":\"OC\",\"cq_zone\":30,\"itu_zone\":59,\"utc_offset\":10,\"about\":true},"
        "\"country_file\":{\"path\":\"" +
            path + "\",\"version\":\"VER20240101\"}}\n");

    callsigns.startPair();
    std::string error;
    Position station;
    ASSERT_TRUE(callsigns.lookUp("FR/J", true, station, error)) << error;
    csv.clear();
    appendCallsignCsv(callsigns, csv);
    EXPECT_EQ(csv, ",FR/J,\"Juan de Nova, Europa\",FR/j,AF,39,53,3,about,,,,,,,,");
}

TEST_F(CallsignStations, CallOptionAndUnreadableFiles)
{
    struct Case {
        const char* name;
        std::string file;
        std::optional<std::string> to;
        std::string call;
        StationsRead::Status status;
        std::string error;
    } cases[] = {
        {"call read as callsign though a locator", path, std::nullopt, "AA00AA", StationsRead::Status::Ok, ""},
        {"call and to", path, "JO01", "W1AW", StationsRead::Status::Usage,
            "--call and --to both give the other station; give one of them"},
        {"two callsigns in call", path, std::nullopt, "W1AW K1ABC", StationsRead::Status::Usage,
            "--call: expected one callsign, found 2 fields"},
        {"not a callsign", path, std::nullopt, "W1AW!", StationsRead::Status::BadField,
            "--call: \"W1AW!\" is not a callsign: at most 32 letters, digits and '/' between parts"},
        {"missing file", path + ".missing", std::nullopt, "W1AW", StationsRead::Status::BadField,
            "--call: cannot open the country file \"" + path + ".missing\": No such file or directory"},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.name);
        Callsigns callsigns(row.file);
        StationArguments arguments;
        arguments.from = "JO01";
        arguments.to = row.to;
        arguments.call = row.call;
        arguments.callsigns = &callsigns;
        const StationsRead read = readStationArguments(arguments);
        EXPECT_EQ(read.status, row.status);
        EXPECT_EQ(read.error, row.error);
    }
}

TEST(CallsignText, UtcOffsets)
{
    struct Case {
        double hours;
        const char* text;
    } cases[] = {{0, "UTC"}, {10, "UTC+10"}, {-5, "UTC-5"}, {5.75, "UTC+5:45"}, {-3.5, "UTC-3:30"},
        {12.75, "UTC+12:45"}, {0.1, "UTC+0:06"}};
    for (const Case& row : cases) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(utcOffsetText(row.hours), row.text);
    }
}

}  // namespace
}  // namespace skybrant::cli
