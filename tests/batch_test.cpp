#include "batch_run.h"
#include "cli/batch.h"
#include "cli/callsign_stations.h"
#include "cli/report.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace skybrant::cli {
namespace {

std::string lineFor(std::string_view in, bool* ok = nullptr)
{
    std::string out;
    const bool good = appendBatchLine(in, {}, 1, out);
    if (ok != nullptr) {
        *ok = good;
    }
    return out;
}

TEST(BatchLine, GoodLinesGiveCsv)
{
    struct Case {
        const char* in;
        const char* out;
    };
    const Case cases[] = {
        {"51 30 0 N 0 7 0 W 40 42 0 N 74 0 0 W", "5539.2,288,51\n"},
        {"  51\t30 0 n 0 7 0 w   40 42 0 N 74 0 0 W  ", "5539.2,288,51\n"},
        {"+51 30 0 N 0 7 0 W 40 42 0 N 74 0 0 W", "5539.2,288,51\n"},
        {"-10 0 0 S 20 0 0 E 30 0 0 N 20 0 0 E", "2210.9,0,180\n"},
        {"0 0 0 N 0 0 0 E 0 0 0 N 0 0 0 E", "0,,\n"},
        {"10 0 0 N 20 0 0 E 10 0 0 S 160 0 0 W", "19898.2,,\n"},
        {"90 0 0 N 0 0 0 E 0 0 0 N 10 0 0 E", "9949.1,170,0\n"},
        {"90 0 0 N 0 0 0 E 0 0 0 N 10 0 0 E\r", "9949.1,170,0\n"},
        // Minutes and seconds past 60 and negative values are taken as they
        // are: 11.0167 N 180 E to 6.1667 S 0 E, 175.15 degrees over the pole.
        {"10 60 60 N 180 0 0 E -5 -70 0 N 0 0 0 E", "19362,0,360\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        bool ok = false;
        EXPECT_EQ(lineFor(c.in, &ok), c.out);
        EXPECT_TRUE(ok);
    }
}

TEST(BatchLine, BlankAndCommentLinesPassThrough)
{
    for (const char* in : {"", "   ", "\t", "# a comment", "   # indented", "#51 30 0 N"}) {
        bool ok = false;
        EXPECT_EQ(lineFor(in, &ok), std::string(in) + "\n");
        EXPECT_TRUE(ok);
    }
}

TEST(BatchLine, BadLinesNameTheFieldAndTheRange)
{
    struct Case {
        const char* in;
        const char* reason;
    };
    const Case cases[] = {
        {"1 2 3",
            "expected two stations, own then other, each a locator such as JO01, LAT LON in decimal degrees, "
            "a position such as 51 30 N 0 7 W, LAD LAM LAS N|S LOD LOM LOS E|W, or a callsign or prefix such as "
            "VK2ABC or @DL; found 3 fields"},
        {"51 30 0 N 0 7 0 W 40 42 0 N 74 0 0 W 1", "found 17 fields"},
        {"51 30 0 N 0 7 0 W 40 42 0 N 74 0 0 W 1 2 3 4 5 6 7 8 9", "found 25 fields"},
        {"JO01", "found 1 field"},
        {"51 30 N 0 7 0 X 48 51 24 N 2 21 3 E", "found 15 fields"},
        {"0 0 N 0 0 0 0 E 1 0 0 N 0 0 0 E", R"(own latitude seconds: "N" is not a whole number)"},
        {"JO01 FN20 IO91", "found 3 fields"},
        {"JO01 51.5", "found 2 fields"},
        {"JO01 91 0", "other latitude: \"91\" is out of range; allowed: decimal degrees from -90 to 90"},
        {"JO01 0 -180.5", "other longitude: \"-180.5\" is out of range; allowed: decimal degrees from -180 to 180"},
        {"1e999 0 JO01", "own latitude: \"1e999\" is out of range"},
        {"-inf 0 JO01", "own latitude: \"-inf\" is not a number"},
        {"+-1 0 JO01", "own latitude: \"+-1\" is not a number"},
        {"51.5. 0 JO01", "own latitude: \"51.5.\" is not a number"},
        {"JO01 FN2x", R"(other locator "FN2x": character 4, "x", is not allowed; allowed there: a digit 0 to 9)"},
        {"91 0 0 N 0 0 0 E 0 0 0 N 0 0 0 E", "own latitude degrees: \"91\" is out of range; allowed: at most 90"},
        {"0 0 0 N 181 0 0 E 0 0 0 N 0 0 0 E", "own longitude degrees: \"181\" is out of range"},
        {"0 61 0 N 0 0 0 E 0 0 0 N 0 0 0 E", "own latitude minutes: \"61\" is out of range; allowed: at most 60"},
        {"0 0 61 N 0 0 0 E 0 0 0 N 0 0 0 E", "own latitude seconds"},
        {"90 1 0 N 0 0 0 E 0 0 0 N 0 0 0 E",
            "own latitude minutes: \"1\" is out of range; allowed: at most 0 when the latitude degrees are 90"},
        {"0 0 0 N 0 0 0 E 0 0 0 N 180 0 1 E",
            "other longitude seconds: \"1\" is out of range; allowed: at most 0 when the longitude degrees are 180"},
        {"0 0 0 N 0 0 0 E 0 0 0 N 0 0 0 X", "other longitude hemisphere: \"X\" is not allowed; allowed: E or W"},
        {"0 0 0 E 0 0 0 E 0 0 0 N 0 0 0 E", "own latitude hemisphere: \"E\" is not allowed; allowed: N or S"},
        {"0 0 0 N 0 0 0 E 0 0 0 N 0 0 0 EW", "other longitude hemisphere"},
        {"x 0 0 N 0 0 0 E 0 0 0 N 0 0 0 E", "own latitude degrees: \"x\" is not a whole number; allowed: at most 90"},
        {"1.5 0 0 N 0 0 0 E 0 0 0 N 0 0 0 E", "own latitude degrees: \"1.5\" is not a whole number"},
        {"2147483648 0 0 N 0 0 0 E 0 0 0 N 0 0 0 E",
            "own latitude degrees: \"2147483648\" is out of range; allowed: at most 90"},
        {"-2147483649 0 0 N 0 0 0 E 0 0 0 N 0 0 0 E", "\"-2147483649\" is out of range"},
        {"+-1 0 0 N 0 0 0 E 0 0 0 N 0 0 0 E", "\"+-1\" is not a whole number"},
        {"0 0 0 N 0 0 0 E 0x1 0 0 N 0 0 0 E", "other latitude degrees: \"0x1\" is not a whole number"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        bool ok = true;
        const std::string out = lineFor(c.in, &ok);
        EXPECT_FALSE(ok);
        EXPECT_EQ(out.rfind("ERROR: ", 0), 0U) << out;
        EXPECT_NE(out.find(c.reason), std::string::npos) << out;
        EXPECT_EQ(out.back(), '\n');
        EXPECT_EQ(out.find('\n'), out.size() - 1) << out;
    }
}

TEST(BatchLine, LimitsAcceptTheirOwnValue)
{
    const char* good[] = {
        "90 0 0 N 180 0 0 W 0 60 60 S 179 60 60 E",
        "-2147483648 -5 -5 N -180 -1 -1 E 89 60 0 N 0 0 0 E",
        "90 0 -3 N 180 -1 0 E 0 0 0 N 0 0 0 E",
    };
    for (const char* in : good) {
        SCOPED_TRACE(in);
        bool ok = false;
        const std::string out = lineFor(in, &ok);
        EXPECT_TRUE(ok) << in << " -> " << out;
    }
}

// The quick reader takes two plain entries or two locators only, and then
// gives exactly the positions the general reader gives; every other line is left to the
// general reader, which words its refusals.
TEST(BatchLine, QuickEntryReaderAgreesWithTheGeneralOne)
{
    struct Case {
        const char* name;
        std::string_view line;
        bool quick;
    };
    const Case cases[] = {
        {"plain", "50 13 23 N 51 8 33 W 80 13 0 S 31 37 56 E", true},
        {"lower-case hemispheres", "50 13 23 n 51 8 33 w 80 13 0 s 31 37 56 e", true},
        {"three-digit fields and leading zeros", "050 013 023 N 179 059 059 W 0 0 0 N 100 0 0 E", true},
        {"nine digits, out of range", "0 0 0 N 0 0 0 E 0 0 0 N 0 0 123456789 E", false},
        {"nine zero digits", "0 0 0 N 0 0 0 E 0 0 0 N 0 0 000000060 E", true},
        {"ten digits", "0 0 0 N 0 0 0 E 0 0 0 N 0 0 0000000060 E", false},
        {"every kind of blank", "\t50 13\v23\fN 51 8 33 W\r80 13 0 S   31 37 56 E \t", true},
        {"at the limits", "90 0 0 N 180 0 0 W 0 60 60 S 179 60 60 E", true},
        {"minutes on 90 degrees", "90 1 0 N 0 0 0 E 0 0 0 N 0 0 0 E", false},
        {"seconds on 180 degrees", "0 0 0 N 180 0 1 E 0 0 0 N 0 0 0 E", false},
        {"61 minutes", "0 61 0 N 0 0 0 E 0 0 0 N 0 0 0 E", false},
        {"91 degrees", "0 0 0 N 0 0 0 E 91 0 0 N 0 0 0 E", false},
        {"a sign", "+5 0 0 N 0 0 0 E 0 0 0 N 0 0 0 E", false},
        {"a negative number", "0 0 -5 N 0 0 0 E 0 0 0 N 0 0 0 E", false},
        {"a hemisphere of the other axis", "0 0 0 E 0 0 0 E 0 0 0 N 0 0 0 E", false},
        {"a word for a hemisphere", "0 0 0 North 0 0 0 E 0 0 0 N 0 0 0 E", false},
        {"a letter joined to a number", "0 0 0N 0 0 0 E 0 0 0 N 0 0 0 E", false},
        {"fifteen fields", "0 0 0 N 0 0 0 E 0 0 0 N 0 0 0", false},
        {"seventeen fields", "0 0 0 N 0 0 0 E 0 0 0 N 0 0 0 E 0", false},
        {"an empty line", "", false},
        {"locators", "JO01 FN20", true},
        {"lower-case locators of every length", "\tjo01mm47ab  fn20 ", true},
        {"a two-character locator, which may be a prefix", "JO01 DL", false},
        {"three locators", "JO01 FN20 IO91", false},
        {"one locator", "JO01", false},
        {"a locator of odd length", "JO01m FN20", false},
        {"a letter out of range", "JO01 FZ20", false},
        {"a locator and decimal degrees", "JO01 40.5 -75", false},
        {"a callsign", "JO01 W1AW", false},
        {"a byte past a hemisphere", "0 0 0 N 0 0 0 E 0 0 0 N 0 0 0 E\x80", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string_view> tokens;
        for (std::size_t i = 0; i < c.line.size();) {
            const std::size_t start = i;
            while (i < c.line.size() && !isFieldBlank(c.line[i])) {
                ++i;
            }
            if (i > start) {
                tokens.push_back(c.line.substr(start, i - start));
            }
            i += i < c.line.size() ? 1 : 0;
        }
        Position quickOwn;
        Position quickOther;
        const bool quick = readCommonPair(c.line, quickOwn, quickOther);
        EXPECT_EQ(quick, c.quick);
        Position own;
        Position other;
        std::string error;
        const ReadResult general = readPair(tokens, own, other, error);
        if (quick) {
            ASSERT_EQ(general, ReadResult::Ok) << error;
            for (const auto& [a, b] : {std::pair{quickOwn, own}, std::pair{quickOther, other}}) {
                EXPECT_EQ(a.latDegrees, b.latDegrees);
                EXPECT_EQ(a.lonDegrees, b.lonDegrees);
                EXPECT_EQ(a.latUnits, b.latUnits);
                EXPECT_EQ(a.lonUnits, b.lonUnits);
            }
        }
    }
}

TEST(BatchLine, StationsInAnyFormGiveTheSameFigures)
{
    // JO01 is centred on 51 30' N 1 E and FN20 on 40 30' N 75 W, which
    // whole arc-seconds and decimal degrees both hold exactly.
    const char* forms[] = {
        "51 30 0 N 1 0 0 E 40 30 0 N 75 0 0 W",
        "JO01 FN20",
        "jo01 fn20",
        "51.5 1 40.5 -75",
        "+51.5 1.0 40.50 -75",
        "JO01 40.5 -75",
        "51.5 1 FN20",
        "51.5 1 40 30 0 N 75 0 0 W",
        "51 30 0 N 1 0 0 E FN20",
        "JO01 40 30 0 n 75 0 0 w",
        "51 30 0 N 1 0 0 E 40.5 -75",
    };
    for (const char* in : forms) {
        SCOPED_TRACE(in);
        bool ok = false;
        EXPECT_EQ(lineFor(in, &ok), "5690.9,289,51\n");
        EXPECT_TRUE(ok);
    }
}

TEST(BatchLine, OptionsAddTheirColumnsInOrder)
{
    const auto with = [](DistanceUnit unit, bool longPath, bool ellipsoid, bool locators) {
        BatchOptions options;
        options.report = {
            .unit = unit, .longPath = longPath, .ellipsoid = ellipsoid ? solveWgs84 : nullptr, .locators = locators};
        return options;
    };
    const BatchOptions all = with(DistanceUnit::NauticalMiles, true, true, true);
    struct Case {
        const char* in;
        BatchOptions options;
        const char* out;
    };
    const Case cases[] = {
        {"JO01 FN20", with(DistanceUnit::Kilometres, true, false, false), "5690.9,289,51,34105.4,109\n"},
        {"JO01 FN20", with(DistanceUnit::Kilometres, false, true, false), "5690.9,289,51,5739.8,289,51\n"},
        {"JO01 FN20", with(DistanceUnit::StatuteMiles, false, false, true),
            "3556.8,289,51,JO01mm,JO01mm00,FN20mm,FN20mm00\n"},
        {"JO01 FN20", all, "3088.8,289,51,18511.2,109,3099.2,289,51,JO01mm,JO01mm00,FN20mm,FN20mm00\n"},
        // No heading: empty heading fields, the long way is the whole circle.
        {"JO01 JO01", all, "0,,,21600,,0,,,JO01mm,JO01mm00,JO01mm,JO01mm00\n"},
        {"JO01 51 30 0 S 179 0 0 W", all, "10800,,,10800,,10801.3,,,JO01mm,JO01mm00,AD08mm,AD08mm00\n"},
        // Straight over the pole; 359.5 or more shows as 360.
        {"JO01 51.5 -179", with(DistanceUnit::Kilometres, true, false, false), "8512,0,360,31284.4,180\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.out);
        std::string out;
        EXPECT_TRUE(appendBatchLine(c.in, c.options, 1, out));
        EXPECT_EQ(out, c.out);
    }
}

TEST(BatchLine, JsonLinesCarryTheLineNumber)
{
    BatchOptions json;
    json.json = true;
    std::string out;
    EXPECT_TRUE(appendBatchLine("# comment", json, 1, out));
    EXPECT_TRUE(appendBatchLine("   ", json, 2, out));
    EXPECT_EQ(out, "");
    EXPECT_TRUE(appendBatchLine("JO01 JO01", json, 3, out));
    EXPECT_EQ(out,
        "{\"line\":3,\"own\":{\"latitude\":51.5,\"longitude\":1},\"other\":{\"latitude\":51.5,\"longitude\":1},"
        "\"coordinate_unit\":\"degrees, north and east positive\",\"distance\":0,\"distance_unit\":\"km\","
        "\"heading_own_to_other\":null,\"heading_other_to_own\":null,"
        "\"heading_unit\":\"degrees clockwise from true north\","
        "\"note\":\"Both stations are at the same place, so there is no beam heading.\"}\n");
    out.clear();
    EXPECT_FALSE(appendBatchLine("JO01 \"Q\"\\", json, 12, out));
    EXPECT_EQ(out,
        R"({"line":12,"error":"other locator \"\\\"Q\\\"\\\\\": character 1, \"\\\"\", is not allowed; )"
        R"(allowed there: a letter A to R"})"
        "\n");
}

TEST(Json, StringsAreValidWhateverTheBytes)
{
    struct Case {
        std::string_view in;
        const char* out;
    };
    const Case cases[] = {
        {"plain", R"("plain")"},
        {R"("\)", R"("\"\\")"},
        {"a\nb\tc\rd", R"("a\nb\tc\u000dd")"},
        {std::string_view("\0\x1f\x7f", 3), R"("\u0000\u001f\u007f")"},
        {"\xC3\x96 \xE2\x82\xAC \xF0\x9F\x93\xA1", "\"\xC3\x96 \xE2\x82\xAC \xF0\x9F\x93\xA1\""},
        {"\xFF", R"("\ufffd")"},
        {"\xC0\x80", R"("\ufffd\ufffd")"},  // overlong
        {"\xED\xA0\x80", R"("\ufffd\ufffd\ufffd")"},  // surrogate
        {"\xF4\x90\x80\x80", R"("\ufffd\ufffd\ufffd\ufffd")"},  // past U+10FFFF
        {"\xE2\x82", R"("\ufffd\ufffd")"},  // cut short
        {"\xE2\x82x", R"("\ufffd\ufffdx")"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.out);
        std::string out;
        appendJsonString(c.in, out);
        EXPECT_EQ(out, c.out);
    }
}

// A JSON line is gathered in a buffer of its own before it reaches the
// output: texts of every length around the buffer's size, with escapes that
// grow them, come out as the string writer gives them.
TEST(Json, LongTextsArriveWhole)
{
    std::mt19937 random(7);
    const std::string_view pieces[] = {"a", "\"", "\\", "\n", std::string_view("\0", 1), "\xC3\xA9", "\xFF"};
    std::uniform_int_distribution<std::size_t> pick(0, std::size(pieces) - 1);
    for (const std::size_t length : {0, 1, 500, 1000, 1010, 1016, 1023, 1024, 1025, 2047, 2048, 5000}) {
        std::string text;
        while (text.size() < length) {
            text += pieces[pick(random)];
        }
        std::string expected = R"({"line":12,"error":)";
        appendJsonString(text, expected);
        expected += "}\n";
        std::string out = "before\n";
        appendJsonError(12, text, out);
        EXPECT_EQ(out, "before\n" + expected) << length;
    }
}

TEST(Batch, OneOutputLinePerInputLine)
{
    const std::string input = "# own then other\n"
                              "51 30 0 N 0 7 0 W 40 42 0 N 74 0 0 W\n"
                              "\n"
                              "91 0 0 N 0 0 0 E 0 0 0 N 0 0 0 E\r\n"
                              "51 30 0 N 0 7 0 W 33 51 0 S 151 12 0 E\n"
                              "garbage\n"
                              "33 51 0 S 151 12 0 E 35 41 0 N 139 41 0 E";  // no final line end
    BatchOutcome outcome;
    const std::string out = runBatchOver(input, &outcome);
    EXPECT_EQ(out,
        "# own then other\n"
        "5539.2,288,51\n"
        "\n"
        "ERROR: own latitude degrees: \"91\" is out of range; allowed: at most 90\n"
        "16892.3,61,319\n"
        "ERROR: expected two stations, own then other, each a locator such as JO01, LAT LON in decimal degrees, a "
        "position such as 51 30 N 0 7 W, LAD LAM LAS N|S LOD LOM LOS E|W, or a callsign or prefix such as VK2ABC or "
        "@DL; found 1 field\n"
        "7778.2,350,170\n");
    EXPECT_EQ(outcome.lines, 7U);
    EXPECT_EQ(outcome.failedLines, 2U);
    EXPECT_FALSE(outcome.ioFailed);

    EXPECT_EQ(runBatchOver("", &outcome), "");
    EXPECT_EQ(outcome.lines, 0U);
}

TEST(Batch, OverlongLinesKeepTheRestAligned)
{
    const std::string longComment = "#" + std::string(3 * kMaxBatchLine, 'c');
    const std::string longData = std::string(2 * kMaxBatchLine, '1');
    const std::string pair = "51 30 0 N 0 7 0 W 40 42 0 N 74 0 0 W\n";
    BatchOutcome outcome;
    const std::string out = runBatchOver(pair + longComment + "\n" + longData + "\n" + pair, &outcome);
    EXPECT_EQ(out,
        "5539.2,288,51\n" + longComment +
            "\nERROR: line is longer than 65536 bytes, the most a pair line may hold\n5539.2,288,51\n");
    EXPECT_EQ(outcome.lines, 4U);
    EXPECT_EQ(outcome.failedLines, 1U);

    // A line of exactly the buffer's length still fits once its end is read.
    const std::string fits = "#" + std::string(kMaxBatchLine - 2, 'x');
    EXPECT_EQ(runBatchOver(fits + "\n" + pair, &outcome), fits + "\n5539.2,288,51\n");
    EXPECT_EQ(outcome.failedLines, 0U);
}

TEST(Batch, LinesAtAndPastTheLimit)
{
    const std::size_t limit = kMaxBatchLine;
    const std::string pairOut = "5690.9,289,51\n";
    const std::string tooLong = "ERROR: line is longer than 65536 bytes, the most a pair line may hold\n";
    std::string mixedBlanks;
    while (mixedBlanks.size() < 3 * limit) {
        mixedBlanks += std::string(1000, ' ') + "\t\v\f\r";
    }
    std::string commentWithCrs = "#";
    while (commentWithCrs.size() < 3 * limit) {
        commentWithCrs += "a\r";
    }
    struct Case {
        const char* name;
        std::string in;  // one line without its line end
        std::string lineEnd;
        std::string out;
        std::uint64_t failed;
    };
    const Case cases[] = {
        {"a pair line of exactly the limit", "JO01" + std::string(limit - 8, ' ') + "FN20", "\n", pairOut, 0},
        {"the limit with a CR LF end", "JO01" + std::string(limit - 8, ' ') + "FN20", "\r\n", pairOut, 0},
        {"one byte over", "JO01" + std::string(limit - 7, ' ') + "FN20", "\n", tooLong, 1},
        {"far over", "JO01" + std::string(5 * limit, ' ') + "FN20", "\n", tooLong, 1},
        {"a blank line over the limit", std::string(3 * limit, ' '), "\n", std::string(3 * limit, ' ') + "\n", 0},
        {"blanks of every kind", mixedBlanks, "\r\n", mixedBlanks + "\n", 0},
        {"a comment after long blanks", std::string(2 * limit, '\t') + "# note", "\n",
            std::string(2 * limit, '\t') + "# note\n", 0},
        {"a pair after long blanks", std::string(2 * limit, ' ') + "JO01 FN20", "\n", tooLong, 1},
        {"a long comment keeps its inner CRs", commentWithCrs, "\r\n", commentWithCrs + "\n", 0},
        {"a long comment ending in CR", commentWithCrs + "\r", "\n", commentWithCrs + "\n", 0},
    };
    // Alone, and after enough comments that chunks have grown large, so
    // the line is met both while arriving and whole in memory.
    std::string comments;
    while (comments.size() < std::size_t{3} << 20) {
        comments += "# " + std::string(97, 'p') + "\n";
    }
    for (const auto& c : cases) {
        for (const std::string& before : {std::string(), comments}) {
            for (const unsigned threads : {1U, 2U}) {
                SCOPED_TRACE(std::string(c.name) + (before.empty() ? ", alone" : ", after comments") + ", threads " +
                    std::to_string(threads));
                BatchOptions options;
                options.threads = threads;
                BatchOutcome outcome;
                const std::string out = runBatchOver(before + c.in + c.lineEnd + "JO01 FN20\n", &outcome, options);
                ASSERT_EQ(out.size(), before.size() + c.out.size() + pairOut.size());
                EXPECT_TRUE(out.compare(0, before.size(), before) == 0);
                EXPECT_TRUE(out.compare(before.size(), c.out.size(), c.out) == 0)
                    << out.substr(before.size(), 80) << "...";
                EXPECT_TRUE(out.ends_with(pairOut));
                EXPECT_EQ(outcome.failedLines, c.failed);
                EXPECT_EQ(
                    outcome.lines, static_cast<std::uint64_t>(std::count(before.begin(), before.end(), '\n')) + 2);
            }
        }
    }
}

TEST(Batch, LongLinesGiveNoJsonUnlessTheyFail)
{
    BatchOptions json;
    json.json = true;
    const std::string in = std::string(3 * kMaxBatchLine, ' ') + "\n#" + std::string(3 * kMaxBatchLine, 'c') +
        "\nJO01" + std::string(kMaxBatchLine, ' ') + "FN20\n";
    EXPECT_EQ(runBatchOver(in, nullptr, json),
        "{\"line\":3,\"error\":\"line is longer than 65536 bytes, the most a pair line may hold\"}\n");
}

TEST(Batch, ByteOrderMarkOnlyAtTheStart)
{
    const std::string bom = "\xEF\xBB\xBF";
    struct Case {
        const char* name;
        std::string in;
        std::string out;
    };
    const Case cases[] = {
        {"before a pair", bom + "JO01 FN20\n", "5690.9,289,51\n"},
        {"before a comment", bom + "# c\n", "# c\n"},
        {"before a long comment", bom + "#" + std::string(2 * kMaxBatchLine, 'c') + "\n",
            "#" + std::string(2 * kMaxBatchLine, 'c') + "\n"},
        {"before a blank line over the limit", bom + std::string(2 * kMaxBatchLine, ' '),
            std::string(2 * kMaxBatchLine, ' ') + "\n"},
        {"on the second line it is data", "# c\n" + bom + "JO01 FN20\n", "# c\nERROR: own locator"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string out = runBatchOver(c.in);
        EXPECT_EQ(out.substr(0, c.out.size()), c.out);
    }
}

TEST(Batch, WriteFailureIsReported)
{
    std::FILE* in = std::tmpfile();
    const std::string pair = "51 30 0 N 0 7 0 W 40 42 0 N 74 0 0 W\n";
    for (int i = 0; i < 5000; ++i) {
        std::fwrite(pair.data(), 1, pair.size(), in);
    }
    std::rewind(in);
    // A private "full" device node (char 1:7) in a folder of our own, so the
    // test never opens the machine's /dev.
    char folder[] = "/tmp/skybrant_batch_XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string node = std::string(folder) + "/full";
    ASSERT_EQ(mknod(node.c_str(), S_IFCHR | 0600, makedev(1, 7)), 0) << std::strerror(errno);
    std::FILE* full = std::fopen(node.c_str(), "w");
    ASSERT_NE(full, nullptr);
    const BatchOutcome outcome = runBatch(in, full);
    EXPECT_TRUE(outcome.ioFailed);
    EXPECT_NE(outcome.ioError.find("cannot write the output"), std::string::npos) << outcome.ioError;
    std::fclose(full);
    std::fclose(in);
    std::remove(node.c_str());
    std::remove(folder);
}

}  // namespace
}  // namespace skybrant::cli
