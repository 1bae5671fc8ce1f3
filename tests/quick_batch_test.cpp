// The arguments skybrant-cli reads itself, without the full command line.

#include "cli/quick_batch.h"
#include "core/ellipsoid.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace skybrant::cli {
namespace {

std::optional<QuickBatch> read(std::vector<std::string> arguments)
{
    std::vector<char*> argv;
    argv.reserve(arguments.size());
    for (std::string& a : arguments) {
        argv.push_back(a.data());
    }
    return readQuickBatch(argv);
}

TEST(QuickBatch, OnlyPlainBatchArgumentsAreReadHere)
{
    struct Case {
        const char* name;
        std::vector<std::string> arguments;
    };
    const Case handedOn[] = {
        {"no --batch", {"--json"}},
        {"stations", {"--batch", "JO01", "FN20"}},
        {"a short option", {"--batch", "-h"}},
        {"an option of another kind", {"--batch", "--sun"}},
        {"a value for a switch", {"--batch", "--json=1"}},
        {"an option twice", {"--batch", "--units", "km", "--units", "mi"}},
        {"a switch twice", {"--batch", "--batch"}},
        {"no value", {"--batch", "--units"}},
        {"a value like an option", {"--batch", "--cty", "-x"}},
        {"an unknown unit", {"--batch", "--units", "furlong"}},
        {"bytes that are not UTF-8", {"--batch", "--cty", "/tmp/c\xFFy.dat"}},
        {"a control character", {"--batch", "--cty=\x1F/tmp/cty.dat"}},
        {"an end of options", {"--batch", "--"}},
    };
    for (const Case& c : handedOn) {
        EXPECT_FALSE(read(c.arguments)) << c.name;
    }

    const auto plain = read({"--batch"});
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->options.report.unit, DistanceUnit::Kilometres);
    EXPECT_FALSE(plain->options.json || plain->options.entity || plain->options.report.longPath ||
        plain->options.report.locators || plain->options.report.ellipsoid != nullptr);
    EXPECT_EQ(plain->cty, "");

    const auto every = read({"--json", "--units=NMI", "--long-path", "--batch", "--ellipsoid", "--locator", "--entity",
        "--cty", "/tmp/\xC3\xA9t\xC3\xA9/cty.dat"});
    ASSERT_TRUE(every);
    EXPECT_EQ(every->options.report.unit, DistanceUnit::NauticalMiles);
    EXPECT_TRUE(every->options.json && every->options.entity && every->options.report.longPath &&
        every->options.report.locators);
    EXPECT_EQ(every->options.report.ellipsoid, &solveWgs84);
    EXPECT_EQ(every->cty, "/tmp/\xC3\xA9t\xC3\xA9/cty.dat");
}

}  // namespace
}  // namespace skybrant::cli
