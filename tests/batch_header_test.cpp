// What --batch adds for the people who read its output with other tools:
// the CSV header line naming the columns, and the country file named in
// JSON with --entity.

#include "batch_run.h"
#include "cli/batch.h"
#include "cli/callsign_stations.h"
#include "core/ellipsoid.h"
#include "country_file_on_disk.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

namespace skybrant::cli {
namespace {

constexpr std::string_view kCountryFile = R"(Australia: 30: 59: OC: -23.70: -132.33: -10.0: VK:
    VK;
Juan de Nova, Europa: 39: 53: AF: -17.05: -42.72: -3.0: FR/j:
    =FR/J;
VER:      05: 08: NA: 37.60:  91.87:   5.0: K:
    =VER20240101;
)";

std::vector<std::string> split(std::string_view text, char by)
{
    std::vector<std::string> parts;
    for (std::size_t from = 0;;) {
        const std::size_t at = text.find(by, from);
        parts.emplace_back(text.substr(from, at - from));
        if (at == std::string_view::npos) {
            return parts;
        }
        from = at + 1;
    }
}

// Every combination of the column groups: the header names as many columns
// as each line holds, in the order of kCsvColumns, and each named column
// holds what its name says.
TEST(BatchHeader, NamesEveryColumnInOrder)
{
    const skybrant::testing::CountryFileOnDisk file("skybrant_batch_header", kCountryFile);
    Callsigns callsigns(file.path());
    for (unsigned mask = 0; mask < 32; ++mask) {
        BatchOptions options;
        options.header = true;
        options.report.longPath = (mask & 1U) != 0;
        options.report.ellipsoid = (mask & 2U) != 0 ? solveWgs84 : nullptr;
        options.report.locators = (mask & 4U) != 0;
        if ((mask & 8U) != 0) {
            options.report.sunDate =
                std::chrono::year_month_day{std::chrono::year{2026}, std::chrono::June, std::chrono::day{21}};
        }
        options.entity = (mask & 16U) != 0;
        options.callsigns = &callsigns;
        SCOPED_TRACE("options " + std::to_string(mask));

        // A comma in an entity's name is quoted, so the fields are counted
        // on a line without one.
        const std::string out = runBatchOver("JO01 VK2ABC\n# a comment\n", nullptr, options);
        const std::vector<std::string> lines = split(out, '\n');
        ASSERT_EQ(lines.size(), 4U) << out;  // header, pair, comment, nothing after the last '\n'
        const std::vector<std::string> names = split(lines[0], ',');
        const std::vector<std::string> fields = split(lines[1], ',');
        ASSERT_EQ(names.size(), fields.size()) << out;
        EXPECT_EQ(lines[2], "# a comment");

        std::string expected;
        for (const CsvColumns& group : kCsvColumns) {
            if (csvColumnsShown(group.group, options)) {
                expected += (expected.empty() ? "" : ",") + std::string(group.names);
            }
        }
        EXPECT_EQ(lines[0], expected);
        EXPECT_TRUE(lines[0].starts_with("distance,own_heading,other_heading")) << lines[0];

        const auto column = [&](std::string_view name) {
            for (std::size_t i = 0; i < names.size(); ++i) {
                if (names[i] == name) {
                    return fields[i];
                }
            }
            return std::string("(no column)");
        };
        EXPECT_EQ(column("distance"), "14781");
        EXPECT_EQ(column("own_locator"), options.report.locators ? "JO01mm" : "(no column)");
        EXPECT_EQ(column("other_locator8"), options.report.locators ? "PG66dh92" : "(no column)");
        EXPECT_EQ(column("own_sunrise"), options.report.sunDate ? "03:39" : "(no column)");
        EXPECT_EQ(column("long_heading"), options.report.longPath ? "252" : "(no column)");
        EXPECT_EQ(column("ellipsoid_own_heading"), options.report.ellipsoid ? "72" : "(no column)");
        EXPECT_EQ(column("other_callsign"), options.entity ? "VK2ABC" : "(no column)");
        EXPECT_EQ(column("own_callsign"), options.entity ? "" : "(no column)");
        EXPECT_EQ(column("other_about"), options.entity ? "about" : "(no column)");
    }
}

TEST(BatchHeader, OnlyWhenAskedAndOnlyForCsv)
{
    struct Case {
        const char* name;
        bool header;
        bool json;
        std::string_view input;
        std::string_view startsWith;
    } cases[] = {
        {"asked, no input", true, false, "", "distance,own_heading,other_heading\n"},
        {"asked, a pair", true, false, "JO01 FN20\n", "distance,own_heading,other_heading\n5690.9,289,51\n"},
        {"not asked", false, false, "JO01 FN20\n", "5690.9,289,51\n"},
        {"JSON has none", true, true, "JO01 FN20\n", "{\"line\":1,"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BatchOptions options;
        options.header = c.header;
        options.json = c.json;
        BatchOutcome outcome;
        const std::string out = runBatchOver(std::string(c.input), &outcome, options);
        EXPECT_TRUE(out.starts_with(c.startsWith)) << out;
        EXPECT_EQ(out.find("distance,") == 0, c.header && !c.json) << out;
        EXPECT_EQ(outcome.failedLines, 0U);
    }
}

// Each pair names the country file and its version, as a single pair does,
// whether or not a station was given by callsign; errors do not.
TEST(BatchJsonEntity, EachPairNamesTheCountryFile)
{
    const skybrant::testing::CountryFileOnDisk file("skybrant_batch_entity", kCountryFile);
    const std::string member = ",\"country_file\":{\"path\":\"" + file.path() + "\",\"version\":\"VER20240101\"}}";
    struct Case {
        const char* name;
        bool entity;
        std::string_view input;
        std::vector<std::string> endings;
    } cases[] = {
        {"no station by callsign", true, "JO01 FN20\n", {member}},
        {"a callsign, then a locator pair", true, "JO01 VK2ABC\nJO01 FN20\n",
            {"\"about\":true,\"wae\":false,\"dxcc_entity\":null}" + member, member}},
        {"a line that cannot be used", true, "JO01\n", {"found 1 field\"}"}},
        {"without --entity", false, "JO01 FN20\n", {"from true north\"}"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Callsigns callsigns(file.path());
        BatchOptions options;
        options.json = true;
        options.entity = c.entity;
        options.callsigns = &callsigns;
        const std::vector<std::string> lines = split(runBatchOver(std::string(c.input), nullptr, options), '\n');
        ASSERT_EQ(lines.size(), c.endings.size() + 1);
        for (std::size_t i = 0; i < c.endings.size(); ++i) {
            EXPECT_TRUE(lines[i].ends_with(c.endings[i])) << lines[i];
            EXPECT_EQ(lines[i].find("country_file") != std::string::npos, lines[i].ends_with(member)) << lines[i];
        }
    }

    // A file that cannot be read has no version to give.
    Callsigns missing(file.path() + ".missing");
    BatchOptions options;
    options.json = true;
    options.entity = true;
    options.callsigns = &missing;
    EXPECT_TRUE(runBatchOver("JO01 FN20\n", nullptr, options)
                    .ends_with(",\"country_file\":{\"path\":\"" + file.path() + ".missing\",\"version\":null}}\n"));
}

}  // namespace
}  // namespace skybrant::cli
