// The board of spots on the air: each spot placed through the station
// reader, one per call and band, gone after its time, capped, filtered.

#include "core/callsign_station.h"
#include "core/spot_board.h"
#include "country_file_on_disk.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace skybrant {
namespace {

using namespace std::chrono_literals;

constexpr std::string_view kCountries = "Germany:                  14:  28:  EU:   51.00:   -10.00:    -1.0:  DL:\n"
                                        "    DL;\n"
                                        "United States:            05:  08:  NA:   40.00:   100.00:     5.0:  K:\n"
                                        "    K,W;\n";

const std::chrono::sys_seconds kNoon = std::chrono::sys_days{std::chrono::year{2026} / 12 / 10} + 12h;

ClusterSpot spotOf(const std::string& line)
{
    const ClusterLine read = readClusterLine(line);
    EXPECT_EQ(read.kind, ClusterLineKind::Spot) << line;
    return read.spot;
}

TEST(SpotBoardTest, PlacesEachSpotThroughTheStationReader)
{
    const testing::CountryFileOnDisk cty("spot_board_place", kCountries);
    CountryFileSource file(cty.path());
    const struct {
        const char* name;
        std::string line;
        bool withFile;
        double lat;  // NaN when the spot is dropped
        double lon;
        const char* continent;
        bool approximate;
    } cases[] = {
        {"grid in the comment", "DX de DL1ABC: 14074.0 K1AB FT8 FN42 1234Z", true, 42.5, -71.0, "NA", false},
        {"grid after the time", "DX de K1AB: 50313.0 DL1ABC FT8 1234Z JO62", true, 52.5, 13.0, "EU", false},
        {"call only, via the country file", "DX de W3LPL-#: 7025.1 DL1ABC CW 22 dB 1234Z", true, 51.0, 10.0, "EU",
            true},
        {"call shaped as a locator", "DX de W3LPL: 7025.1 DL22AB CW 1234Z", true, 51.0, 10.0, "EU", true},
        {"grid of a call the file lacks", "DX de DL1ABC: 14074 ZZ1ZZ FT8 1234Z FN42", true, 42.5, -71.0, "", false},
        {"grid before the file is read", "DX de DL1ABC: 14074 K1AB FT8 1234Z FN42", false, 42.5, -71.0, "", false},
        {"unknown call", "DX de DL1ABC: 14074 ZZ1ZZ FT8 1234Z", true, NAN, 0, "", false},
        {"call before the file is read", "DX de DL1ABC: 14074 K1AB FT8 1234Z", false, NAN, 0, "", false},
    };
    for (const auto& c : cases) {
        SpotBoard board;
        std::string why;
        const bool added = board.add(spotOf(c.line), kNoon, c.withFile ? &file : nullptr, why);
        if (std::isnan(c.lat)) {
            EXPECT_FALSE(added) << c.name;
            EXPECT_NE(why.find("is not placed"), std::string::npos) << c.name << ": " << why;
            EXPECT_EQ(board.size(), 0U) << c.name;
            EXPECT_EQ(board.unplaced(), 1U) << c.name;
            EXPECT_EQ(board.changes(), 0U) << c.name;
            continue;
        }
        ASSERT_TRUE(added) << c.name << ": " << why;
        ASSERT_EQ(board.size(), 1U) << c.name;
        const BoardSpot& s = *board.spots().front();
        EXPECT_NEAR(s.position.latDegrees, c.lat, 1e-9) << c.name;
        EXPECT_NEAR(s.position.lonDegrees, c.lon, 1e-9) << c.name;
        EXPECT_EQ(s.continent, c.continent) << c.name;
        EXPECT_EQ(s.entity.empty(), std::string_view(c.continent).empty()) << c.name;
        EXPECT_EQ(s.approximate, c.approximate) << c.name;
        EXPECT_EQ(board.unplaced(), 0U) << c.name;
    }
}

// The calls on the board, newest first.
std::string callsOn(const std::vector<const BoardSpot*>& spots)
{
    std::string calls;
    for (const BoardSpot* s : spots) {
        calls += (calls.empty() ? "" : " ") + s->spot.dxCall + "/" + s->band;
    }
    return calls;
}

TEST(SpotBoardTest, KeepsTheNewestSpotPerCallAndBand)
{
    const testing::CountryFileOnDisk cty("spot_board_keep", kCountries);
    CountryFileSource file(cty.path());
    SpotBoard board;
    std::string why;
    ASSERT_TRUE(board.add(spotOf("DX de W1AW: 14025 DL1ABC CW 1200Z"), kNoon, &file, why)) << why;
    ASSERT_TRUE(board.add(spotOf("DX de W1AW: 7025 DL1ABC CW 1201Z"), kNoon + 1min, &file, why)) << why;
    ASSERT_TRUE(board.add(spotOf("DX de W1AW: 14074 K1AB FT8 1202Z"), kNoon + 2min, &file, why)) << why;
    ASSERT_TRUE(board.add(spotOf("DX de K3LR: 14030 DL1ABC CW up 1203Z"), kNoon + 3min, &file, why)) << why;
    EXPECT_EQ(callsOn(board.spots()), "DL1ABC/20m K1AB/20m DL1ABC/40m");
    const BoardSpot& newest = *board.spots().front();
    EXPECT_EQ(newest.spot.spotter, "K3LR");
    EXPECT_DOUBLE_EQ(newest.spot.frequencyKhz, 14030);
    EXPECT_EQ(newest.heard, kNoon + 3min);
    EXPECT_GT(newest.serial, board.spots().back()->serial);
}

TEST(SpotBoardTest, ExpiresAndFadesWithAge)
{
    const testing::CountryFileOnDisk cty("spot_board_expire", kCountries);
    CountryFileSource file(cty.path());
    SpotBoard board;
    std::string why;
    ASSERT_TRUE(board.add(spotOf("DX de W1AW: 14025 DL1ABC CW 1200Z"), kNoon, &file, why)) << why;
    ASSERT_TRUE(board.add(spotOf("DX de W1AW: 7074 K1AB FT8 1210Z"), kNoon + 10min, &file, why)) << why;
    const BoardSpot& oldest = *board.spots().back();
    EXPECT_DOUBLE_EQ(oldest.ageFraction(kNoon, 30min), 0.0);
    EXPECT_DOUBLE_EQ(oldest.ageFraction(kNoon + 15min, 30min), 0.5);
    EXPECT_DOUBLE_EQ(oldest.ageFraction(kNoon + 45min, 30min), 1.0);
    EXPECT_DOUBLE_EQ(oldest.ageFraction(kNoon - 5min, 30min), 0.0);  // heard "after" now: a clock step

    const std::uint64_t before = board.changes();
    EXPECT_EQ(board.expire(kNoon + 30min, 30min), 0U);
    EXPECT_EQ(board.changes(), before);
    EXPECT_EQ(board.expire(kNoon + 30min + 1s, 30min), 1U);
    EXPECT_EQ(callsOn(board.spots()), "K1AB/40m");
    EXPECT_GT(board.changes(), before);
    EXPECT_EQ(board.expire(kNoon + 41min, 30min), 1U);
    EXPECT_EQ(board.size(), 0U);
}

TEST(SpotBoardTest, DropsTheOldestBeyondItsCap)
{
    SpotBoard board(3);
    std::string why;
    for (const char* grid : {"FN42", "JO62", "IO91", "PM95", "QF56"}) {
        ASSERT_TRUE(
            board.add(spotOf(std::string("DX de W1AW: 14074 K") + grid + " FT8 1200Z " + grid), kNoon, nullptr, why))
            << why;
    }
    EXPECT_EQ(callsOn(board.spots()), "KQF56/20m KPM95/20m KIO91/20m");
    EXPECT_EQ(board.overflowed(), 2U);
}

TEST(SpotBoardTest, FiltersByBandAndContinent)
{
    const testing::CountryFileOnDisk cty("spot_board_filter", kCountries);
    CountryFileSource file(cty.path());
    SpotBoard board;
    std::string why;
    for (const char* line : {"DX de W1AW: 14025 DL1ABC CW 1200Z", "DX de W1AW: 7074 K1AB FT8 1201Z",
             "DX de DL1ABC: 14074 W1XYZ FT8 1202Z", "DX de DL1ABC: 136.5 DL2XYZ CW 1203Z"}) {
        ASSERT_TRUE(board.add(spotOf(line), kNoon, &file, why)) << why;
    }
    const struct {
        const char* name;
        SpotFilter filter;
        const char* calls;
    } cases[] = {
        {"all", {}, "DL2XYZ/ W1XYZ/20m K1AB/40m DL1ABC/20m"},
        {"one band", {{"20m"}, {}}, "W1XYZ/20m DL1ABC/20m"},
        {"two bands", {{"20m", "40m"}, {}}, "W1XYZ/20m K1AB/40m DL1ABC/20m"},
        {"outside the bands", {{""}, {}}, "DL2XYZ/"},
        {"one continent", {{}, {"NA"}}, "W1XYZ/20m K1AB/40m"},
        {"band and continent", {{"20m"}, {"EU"}}, "DL1ABC/20m"},
        {"nothing matches", {{"6m"}, {"EU"}}, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(callsOn(board.filtered(c.filter)), c.calls) << c.name;
    }
}

}  // namespace
}  // namespace skybrant
