// skybrant-cli --magnetic: the compass headings and declinations as the
// text, CSV and JSON writers give them, and the options that ask for them.

#include "cli/batch.h"
#include "cli/command_arguments.h"
#include "cli/report.h"

#include "core/position.h"
#include "core/report.h"
#include "core/report_text.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

namespace skybrant {
namespace {

using namespace std::chrono;

// Two points of the model's published test values at 2025.0, height 0:
// declination 1.28 at 80 N 0 E and -0.16 at 0 N 120 E.
const Position kArctic = positionFromDegrees(80, 0);
const Position kBorneo = positionFromDegrees(0, 120);
constexpr year_month_day kEpoch{year{2025}, January, day{1}};

ReportOptions magneticOptions(year_month_day date)
{
    ReportOptions options;
    options.magneticDate = date;
    return options;
}

TEST(MagneticReport, HeadingsLessTheDeclinationAtEachEnd)
{
    const Report r = makeReport(kArctic, kBorneo, magneticOptions(kEpoch));
    EXPECT_EQ(r.ownDeclination.tenths, 13);
    EXPECT_EQ(r.otherDeclination.tenths, -2);
    EXPECT_EQ(r.ownMagneticHeading.value, roundHeading(r.result.headingOwnToOther - 1.28));
    EXPECT_EQ(r.otherMagneticHeading.value, roundHeading(r.result.headingOtherToOwn + 0.16));
    EXPECT_FALSE(r.longMagneticHeading.shown) << "only with the long path";
    EXPECT_FALSE(r.magneticOutOfDate);

    const Report same = makeReport(kArctic, kArctic, magneticOptions(kEpoch));
    EXPECT_FALSE(same.ownMagneticHeading.shown) << "no heading at the same place";
    EXPECT_TRUE(same.ownDeclination.shown);

    ReportOptions longPath = magneticOptions(kEpoch);
    longPath.longPath = true;
    const Report lp = makeReport(kArctic, kBorneo, longPath);
    EXPECT_EQ(lp.longMagneticHeading.value, roundHeading(lp.result.headingOwnToOther + 180 - 1.28));
}

TEST(MagneticReport, EveryFormat)
{
    struct Case {
        const char* name;
        Position own;
        year_month_day date;
        std::string csvEnd;
        std::vector<std::string> text;
        std::vector<std::string> json;
    };
    const Position nearDipPole = positionFromDegrees(89, -121);
    const std::vector<Case> cases{
        {"in the model's years", kArctic, kEpoch, ",1.3,-0.2\n",
            {"Magnetic declination (WMM-2025) at my station on 2025-01-01: 1.3 degrees E\n",
                "Magnetic declination (WMM-2025) at the other station on 2025-01-01: 0.2 degrees W\n"},
            {"\"magnetic_date\":\"2025-01-01\"", "\"own_declination\":1.3", "\"other_declination\":-0.2",
                "\"own_compass\":\"reliable\"", "\"magnetic_model_out_of_date\":false"}},
        {"after them", kArctic, year_month_day{year{2031}, June, day{1}}, "\n",
            {"Note: The date is outside 2025.0 to 2030.0"}, {"\"magnetic_model_out_of_date\":true"}},
        {"by the dip pole", nearDipPole, kEpoch, "\n",
            {"Note: A compass at my station is unreliable: the horizontal magnetic field there is under 2,000 nT.\n"},
            {"\"own_compass\":\"unreliable\"", "\"other_compass\":\"reliable\""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ReportOptions options = magneticOptions(c.date);
        const Report r = makeReport(c.own, kBorneo, options);
        std::string csv;
        cli::appendCsv(r, options, csv);
        EXPECT_TRUE(csv.ends_with(c.csvEnd)) << csv;
        EXPECT_EQ(std::count(csv.begin(), csv.end(), ','), 6) << csv;
        std::string text;
        appendText(r, options, text);
        for (const std::string& line : c.text) {
            EXPECT_NE(text.find(line), std::string::npos) << line << " in\n" << text;
        }
        std::string json;
        cli::appendJson(r, options, 0, nullptr, json);
        for (const std::string& member : c.json) {
            EXPECT_NE(json.find(member), std::string::npos) << member << " in " << json;
        }
    }
}

TEST(MagneticReport, ColumnsAndOptions)
{
    cli::BatchOptions batch;
    batch.report.magneticDate = kEpoch;
    batch.report.sunDate = kEpoch;
    std::string header;
    cli::appendCsvHeader(batch, header);
    EXPECT_EQ(header,
        "distance,own_heading,other_heading,own_sunrise,own_sunset,other_sunrise,other_sunset,"
        "own_magnetic_heading,other_magnetic_heading,own_declination,other_declination\n");

    struct Case {
        const char* name;
        std::vector<const char*> args;
        const char* error;
    };
    const std::vector<Case> cases{
        {"--date alone", {"JO01", "FN20", "--date", "2026-06-21"}, ""},
        {"--magnetic --date", {"JO01", "FN20", "--magnetic", "--date", "2026-06-21"}, ""},
        {"--magnetic in a batch", {"--batch", "--magnetic"}, ""},
        {"--magnetic with a value", {"--magnetic=yes"}, "Unexpected value after '--magnetic'."},
    };
    for (const Case& c : cases) {
        cli::CommandLine line;
        std::string error;
        const bool ok = line.read(c.args, error) && line.check(floor<seconds>(system_clock::now()), error);
        EXPECT_EQ(ok, std::string(c.error).empty()) << c.name << ": " << error;
        EXPECT_EQ(error, c.error) << c.name;
    }
}

}  // namespace
}  // namespace skybrant
