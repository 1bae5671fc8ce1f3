// skybrant-cli's command line: the forms of options, negative numbers, the
// values each kind of option takes, and the dates and times it reads.

#include "cli/command_arguments.h"
#include "cli/iso_time.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

namespace {

using namespace skybrant;
using namespace skybrant::cli;
using namespace std::chrono;

constexpr sys_seconds kNow = sys_days{year{2026} / 6 / 21} + hours{12};

struct Parsed {
    bool read = false;
    bool checked = false;
    std::string error;
    CommandLine line;
};

Parsed parse(const std::vector<const char*>& args)
{
    Parsed p;
    p.read = p.line.read(args, p.error);
    p.checked = p.read && p.line.check(kNow, p.error);
    return p;
}

TEST(CommandArguments, OptionFormsAndPositionals)
{
    struct Case {
        const char* name;
        std::vector<const char*> args;
        std::string units;  // as given
        std::vector<std::string> positional;
    };
    const Case cases[] = {
        {"value after =", {"--units=mi", "JO01", "FN20"}, "mi", {"JO01", "FN20"}},
        {"value as the next argument", {"JO01", "--units", "nmi", "FN20"}, "nmi", {"JO01", "FN20"}},
        {"empty value after =", {"--cty=", "--units", "km"}, "km", {}},
        {"negative numbers are fields", {"51.5", "-0.12", "-33.9", "-74"}, "km", {"51.5", "-0.12", "-33.9", "-74"}},
        {"a number from a dot", {"-.5", "1"}, "km", {"-.5", "1"}},
        {"a lone dash", {"-"}, "km", {"-"}},
        {"everything after -- is a field", {"--", "--units", "-x"}, "km", {"--units", "-x"}},
        {"bytes kept as given", {"m\xffp", "\x1f"}, "km", {"m\xffp", "\x1f"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Parsed p = parse(c.args);
        ASSERT_TRUE(p.checked) << p.error;
        EXPECT_EQ(p.line.text("units"), c.units);
        EXPECT_EQ(p.line.positional(), c.positional);
    }
    const Parsed cty = parse({"--cty", "c\xfft.dat", "--map", "m\xffp.png"});
    ASSERT_TRUE(cty.checked) << cty.error;
    EXPECT_EQ(cty.line.text("cty"), "c\xfft.dat");
    EXPECT_EQ(cty.line.value<MapFile>("map")->name, "m\xffp.png");
    EXPECT_FALSE(cty.line.isSet("batch"));
    EXPECT_TRUE(parse({"-h"}).line.isSet("help"));
    EXPECT_TRUE(parse({"--version"}).line.isSet("version"));
}

TEST(CommandArguments, RefusedCommandLines)
{
    struct Case {
        const char* name;
        std::vector<const char*> args;
        bool readable;  // a fault of the options' form, found before any value is looked at
        std::string error;
    };
    const Case cases[] = {
        {"unknown option", {"--frobnicate"}, false, "Unknown option 'frobnicate'."},
        {"unknown short option", {"-x"}, false, "Unknown option 'x'."},
        {"letters after a dash", {"-abc"}, false, "Unknown option 'abc'."},
        {"value missing", {"JO01", "--units"}, false, "Missing value after '--units'."},
        {"value given to a switch", {"--json=yes"}, false, "Unexpected value after '--json'."},
        {"option given twice", {"--units", "km", "--units", "mi"}, true, "--units is given more than once"},
        {"switch given twice", {"--batch", "--json", "--batch"}, true, "--batch is given more than once"},
        {"needs another option", {"--size", "512"}, true, "--size shapes the map and needs --map"},
        {"needs --wait", {"--rotate", "h:1", "--wait-timeout", "5"}, true,
            "--wait-timeout is how long --wait waits and needs --wait"},
        {"header without batch", {"--header"}, true, "--header names the columns of --batch's lines and needs --batch"},
        {"header with json", {"--batch", "--header", "--json"}, true,
            "--header names CSV columns and cannot go with --json"},
        {"rotate with batch", {"--batch", "--rotate", "h:1"}, true,
            "--rotate turns to one pair's heading and cannot go with --batch"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Parsed p = parse(c.args);
        EXPECT_EQ(p.read, c.readable);
        EXPECT_FALSE(p.checked);
        EXPECT_EQ(p.error, c.error);
    }
}

TEST(CommandArguments, EveryKindOfValueChecked)
{
    struct Case {
        const char* name;
        std::vector<const char*> args;
        std::string error;  // empty when accepted
    };
    const Case cases[] = {
        {"unit in either case", {"--units", "NMi"}, ""},
        {"unit unknown", {"--units", "furlong"}, "--units: \"furlong\" is not a unit; allowed: km, mi or nmi"},
        {"seconds", {"--rotate", "h:1", "--timeout", "+0.5"}, ""},
        {"seconds zero", {"--rotate", "h:1", "--timeout", "0"},
            "--timeout: \"0\" is not a number of seconds above 0 and at most 3600"},
        {"seconds not a number", {"--rotate", "h:1", "--timeout", "5s"}, "--timeout: \"5s\" is not a number"},
        {"seconds in another locale's form", {"--rotate", "h:1", "--timeout", "1,5"}, "--timeout: \"1,5\""},
        {"seconds endless", {"--rotate", "h:1", "--timeout", "inf"}, "--timeout: \"inf\""},
        {"degrees", {"--rotate", "h:1", "--min-az", "-180", "--max-az", "720"}, ""},
        {"degrees out of range", {"--rotate", "h:1", "--max-az", "720.5"},
            "--max-az: \"720.5\" is not a number of degrees from -360 to 720"},
        {"degrees not a number", {"--rotate", "h:1", "--min-az", "nan"}, "--min-az: \"nan\""},
        {"pixels", {"--map", "m.png", "--size", "64"}, ""},
        {"pixels not whole", {"--map", "m.png", "--size", "64.5"},
            "--size: \"64.5\" is not a whole number of pixels from 64 to 4096"},
        {"map file in capitals", {"--map", "M.SVG"}, ""},
        {"map file with no suffix", {"--map", "png"}, "--map: \"png\" ends neither in .png nor in .svg"},
        {"map file in a folder with a dot", {"--map", "a.png/m"}, "--map: \"a.png/m\" ends neither"},
        {"address", {"--rotate", "[::1]:4533"}, ""},
        {"address without host", {"--rotate", ":4533"}, "--rotate: "},
        {"date", {"--sun", "--date", "2099-12-31"}, ""},
        {"date past the sun's years", {"--sun", "--date", "2100-01-01"},
            "--date: \"2100-01-01\" is not a date YYYY-MM-DD from 1901-01-01 to 2099-12-31"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Parsed p = parse(c.args);
        EXPECT_EQ(p.checked, c.error.empty()) << p.error;
        EXPECT_EQ(p.error.substr(0, c.error.size()), c.error);
    }
    const Parsed p = parse({"--rotate", "h:1", "--timeout", "0.0001", "--map", "m.svg", "--time", "none"});
    ASSERT_TRUE(p.checked) << p.error;
    EXPECT_EQ(*p.line.value<milliseconds>("timeout"), milliseconds(1));
    EXPECT_EQ(p.line.value<MapFile>("map")->format, MapFormat::Svg);
    EXPECT_FALSE(p.line.value<NightTime>("time")->time.has_value());
    EXPECT_EQ(*p.line.value<int>("size"), 1024);  // the default, checked as given ones are
    EXPECT_EQ(parse({"--map", "m.png"}).line.value<NightTime>("time")->time, kNow);
    EXPECT_EQ(p.line.value<double>("min-az"), nullptr);
}

// --time and --date take the same days, the sun's years 1901 to 2099, and
// --time an ISO 8601 time of day with or without an offset.
TEST(CommandArguments, DatesAndTimes)
{
    struct Case {
        const char* text;
        std::optional<sys_seconds> time;
    };
    const sys_days midsummer = year{2026} / 6 / 21;
    const Case cases[] = {
        {"2026-06-21T20:00Z", midsummer + hours{20}},
        {"2026-06-21T20:00", midsummer + hours{20}},
        {"2026-06-21 20:00:30", midsummer + hours{20} + seconds{30}},
        {"2026-06-21t20:00:30.75z", midsummer + hours{20} + seconds{30}},
        {"2026-06-21T22:00+02:00", midsummer + hours{20}},
        {"2026-06-21T22:00+0200", midsummer + hours{20}},
        {"2026-06-21T17:30-03", midsummer + hours{20} + minutes{30}},
        {"1901-01-01T00:00Z", sys_days{year{1901} / 1 / 1}},
        {"2099-12-31T23:59:59Z", sys_days{year{2099} / 12 / 31} + hours{23} + minutes{59} + seconds{59}},
        {"1900-12-31T23:59Z", std::nullopt},
        {"2100-01-01T00:00Z", std::nullopt},
        {"9999-01-01T00:00Z", std::nullopt},
        {"1901-01-01T00:30+01:00", std::nullopt},  // 1900 in UTC
        {"2099-12-31T23:00-02:00", std::nullopt},  // 2100 in UTC
        {"2026-06-21", std::nullopt},
        {"2026-06-21T20", std::nullopt},
        {"2026-06-21T24:00Z", std::nullopt},
        {"2026-06-21T20:60Z", std::nullopt},
        {"2026-06-21T20:00:60Z", std::nullopt},
        {"2026-02-30T20:00Z", std::nullopt},
        {"2026-06-21T20:00+15:00", std::nullopt},
        {"2026-06-21T20:00Zulu", std::nullopt},
        {"2026-06-21T20:00:30.Z", std::nullopt},
        {"noon", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(readIsoTime(c.text), c.time);
    }
    EXPECT_TRUE(readIsoDate("1901-01-01").has_value());
    EXPECT_TRUE(readIsoDate("2099-12-31").has_value());
    EXPECT_FALSE(readIsoDate("1900-12-31").has_value());
    EXPECT_FALSE(readIsoDate("9999-01-01").has_value());
}

}  // namespace
