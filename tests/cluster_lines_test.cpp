// The lines a DX cluster sends: spots as the clusters and skimmers write
// them, WWV and WCY reports, and everything else left for the console.

#include "core/cluster_lines.h"

#include <gtest/gtest.h>

#include <string>

namespace skybrant {
namespace {

struct SpotCase {
    const char* name;
    std::string line;
    const char* spotter;
    double khz;
    const char* call;
    const char* comment;
    int minute;  // -1 for none
    const char* grid;
};

TEST(ClusterLinesTest, ReadsSpots)
{
    const SpotCase cases[] = {
        {"DXSpider", "DX de DL1ABC:     14074.0  K1AB         FT8 -12 dB                     1234Z", "DL1ABC", 14074,
            "K1AB", "FT8 -12 dB", 12 * 60 + 34, ""},
        {"skimmer", "DX de W3LPL-#:    7025.1  DL1ABC       CW 22 dB 28 WPM CQ             0102Z", "W3LPL", 7025.1,
            "DL1ABC", "CW 22 dB 28 WPM CQ", 62, ""},
        {"grid after the time", "DX de DL1ABC:    50313.0  K1AB         FT8                    2359Z FN42", "DL1ABC",
            50313, "K1AB", "FT8", 23 * 60 + 59, "FN42"},
        {"grids in the comment", "DX de DL1ABC:  50313.0 K1AB  JO62<ES>FN42hn  1234Z", "DL1ABC", 50313, "K1AB",
            "JO62<ES>FN42hn", 12 * 60 + 34, "FN42hn"},
        {"odd spacing", "DX de dl1abc:14074\tk1ab\t\tFT8   \t 0000Z", "DL1ABC", 14074, "K1AB", "FT8", 0, ""},
        {"line end and bells", "DX de DL1ABC: 1840.5 K1AB 0000Z\a\a\r", "DL1ABC", 1840.5, "K1AB", "", 0, ""},
        {"no comment", "DX de DL1ABC: 3573 K1AB 0000Z", "DL1ABC", 3573, "K1AB", "", 0, ""},
        {"no time", "DX de DL1ABC: 3573 K1AB up 2", "DL1ABC", 3573, "K1AB", "up 2", -1, ""},
        {"bad time kept in the comment", "DX de DL1ABC: 3573 K1AB 2460Z", "DL1ABC", 3573, "K1AB", "2460Z", -1, ""},
        {"portable call", "DX de G4ABC: 21074 EA8/DL1ABC/P FT8 1200Z", "G4ABC", 21074, "EA8/DL1ABC/P", "FT8", 720, ""},
    };
    for (const SpotCase& c : cases) {
        const ClusterLine read = readClusterLine(c.line);
        ASSERT_EQ(read.kind, ClusterLineKind::Spot) << c.name;
        EXPECT_EQ(read.spot.spotter, c.spotter) << c.name;
        EXPECT_DOUBLE_EQ(read.spot.frequencyKhz, c.khz) << c.name;
        EXPECT_EQ(read.spot.dxCall, c.call) << c.name;
        EXPECT_EQ(read.spot.comment, c.comment) << c.name;
        EXPECT_EQ(read.spot.minuteOfDay.value_or(-1), c.minute) << c.name;
        EXPECT_EQ(read.spot.dxGrid, c.grid) << c.name;
    }
}

TEST(ClusterLinesTest, ReadsSolarReports)
{
    const struct {
        const char* name;
        const char* line;
        bool wcy;
        int sfi, a, k;
    } cases[] = {
        {"WWV", "WWV de W0MU <18>:   SFI=68, A=4, K=1, No Storms -> No Storms", false, 68, 4, 1},
        {"WCY with expK", "WCY de DK0WCY-1 <18> : K=2 expK=3 A=6 R=15 SFI=75 SA=qui GMF=qui Au=no", true, 75, 6, 2},
    };
    for (const auto& c : cases) {
        const ClusterLine read = readClusterLine(c.line);
        ASSERT_EQ(read.kind, ClusterLineKind::Weather) << c.name;
        EXPECT_EQ(read.weather.wcy, c.wcy) << c.name;
        EXPECT_EQ(read.weather.solarFlux, c.sfi) << c.name;
        EXPECT_EQ(read.weather.aIndex, c.a) << c.name;
        EXPECT_EQ(read.weather.kIndex, c.k) << c.name;
    }
}

TEST(ClusterLinesTest, LeavesEverythingElseToTheConsole)
{
    const std::string cases[] = {
        "login: ",
        "Please enter your call:",
        "DL1ABC de GB7DJK  2-Jan-2024 1234Z dxspider >",
        "DX de DL1ABC: hello world",
        "DX de : 14074 K1AB 1234Z",
        "DX de DL1ABC: 0 K1AB 1234Z",
        "DX de DL1ABC: 14074 --- 1234Z",
        "DX de DL1ABC 14074 K1AB",
        "WWV de W0MU <18>: nothing to say",
        "To ALL de DL1ABC: DX de K1AB: 14074 DL1ABC",
        std::string("DX de \0\xff\xfe: 1\x80 K1AB", 18),
        "",
    };
    for (const std::string& line : cases) {
        EXPECT_EQ(readClusterLine(line).kind, ClusterLineKind::Console) << line;
    }
}

TEST(ClusterLinesTest, NamesTheBandOfAFrequency)
{
    const struct {
        double khz;
        const char* band;
    } cases[] = {
        {1799.9, ""},
        {1800, "160m"},
        {2000, "160m"},
        {3573, "80m"},
        {5357, "60m"},
        {7074, "40m"},
        {10136, "30m"},
        {14074, "20m"},
        {18100, "17m"},
        {21074, "15m"},
        {24915, "12m"},
        {28074, "10m"},
        {29700, "10m"},
        {29700.1, ""},
        {50313, "6m"},
        {144300, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(bandOf(c.khz), c.band) << c.khz;
    }
}

}  // namespace
}  // namespace skybrant
