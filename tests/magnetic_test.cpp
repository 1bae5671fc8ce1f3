// The World Magnetic Model 2025 against the values NOAA NCEI publish with it.

#include "core/magnetic.h"
#include "core/position.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cmath>
#include <fstream>
#include <sstream>
#include <string>

namespace skybrant {
namespace {

struct Published {
    double year;
    double heightKm;
    double lat;
    double lon;
    double x;
    double y;
    double z;
    double h;  // NaN where the table gives none
    double f;
    double inclination;
    double declination;
};

constexpr double kNone = std::numeric_limits<double>::quiet_NaN();

// WMM2025_TEST_VALUES.txt, the report's table of test values (NOAA NCEI,
// https://www.ncei.noaa.gov/sites/default/files/2025-02/WMM2025_TEST_VALUES.txt):
// date, height above the ellipsoid, latitude, longitude, X, Y, Z (nT), I, D.
constexpr std::array kReportTable{
    Published{2025.0, 0, 80, 0, 6521.6, 145.9, 54791.5, kNone, kNone, 83.21, 1.28},
    Published{2025.0, 0, 0, 120, 39677.8, -109.6, -10580.2, kNone, kNone, -14.93, -0.16},
    Published{2025.0, 0, -80, 240, 6117.5, 15751.9, -52022.5, kNone, kNone, -72.00, 68.78},
    Published{2025.0, 100, 80, 0, 6216.0, 92.4, 52598.8, kNone, kNone, 83.26, 0.85},
    Published{2025.0, 100, 0, 120, 37688.6, -96.2, -10152.1, kNone, kNone, -15.08, -0.15},
    Published{2025.0, 100, -80, 240, 5907.6, 14780.3, -49540.7, kNone, kNone, -72.19, 68.21},
    Published{2027.5, 0, 80, 0, 6500.8, 294.5, 54869.4, kNone, kNone, 83.24, 2.59},
    Published{2027.5, 0, 0, 120, 39701.6, -167.4, -10381.8, kNone, kNone, -14.65, -0.24},
    Published{2027.5, 0, -80, 240, 6200.7, 15730.3, -51783.7, kNone, kNone, -71.92, 68.49},
    Published{2027.5, 100, 80, 0, 6196.7, 233.8, 52670.5, kNone, kNone, 83.29, 2.16},
    Published{2027.5, 100, 0, 120, 37711.5, -148.7, -9969.8, kNone, kNone, -14.81, -0.23},
    Published{2027.5, 100, -80, 240, 5984.0, 14760.1, -49317.7, kNone, kNone, -72.10, 67.93},
};

// WMM2025_TestValues.txt, the 100 points in WMM2025COF.zip (NOAA NCEI,
// https://www.ncei.noaa.gov/products/world-magnetic-model): the first rows,
// with H and F; columns reordered to those of the table above.
constexpr std::array kCofZipPoints{
    Published{2025.0, 28, 89, -121, -255.388723, -1482.460628, 56194.288771, 1504.298146, 56214.419888, 88.47, -99.77},
    Published{2025.0, 65, 43, 93, 24299.852822, 210.517066, 50037.923998, 24300.764692, 55626.621348, 64.10, 0.50},
    Published{
        2025.0, 51, -33, 109, 21737.778822, -2090.274098, -52710.00392, 21838.046477, 57054.752538, -67.50, -5.49},
    Published{
        2025.5, 6, -36, -137, 23781.930678, 8786.698927, -32577.518648, 25353.230658, 41280.516301, -52.11, 20.28},
    Published{
        2025.5, 8, -66, 17, 15201.438652, -9925.501123, -30881.123197, 18154.870136, 35822.382382, -59.55, -33.14},
    Published{
        2026.0, 74, -57, 3, 13268.119649, -5498.179626, -23576.062921, 14362.206593, 27606.226129, -58.65, -22.51},
    Published{2026.0, 62, -14, 99, 33437.82863, -835.919473, -33100.922253, 33448.275663, 47058.03012, -44.70, -1.43},
    Published{2026.5, 14, 0, 80, 39431.415992, -2133.456168, -12188.838466, 39489.089663, 41327.424134, -17.15, -3.10},
    Published{2027.0, 37, -66, -5, 16390.771268, -5079.626554, -28608.243575, 17159.8365, 33360.029814, -59.04, -17.22},
    Published{
        2027.5, 73, -72, 95, -2912.418045, -12984.118939, -55399.217725, 13306.747292, 56974.931751, -76.49, -102.64},
};

void expectPublished(const Published& p)
{
    SCOPED_TRACE(testing::Message() << p.year << " " << p.heightKm << " km " << p.lat << " " << p.lon);
    const MagneticField field = magneticField(builtInWmm(), p.lat, p.lon, p.heightKm, p.year);
    // Angles within 0.01 degree and fields within 1 nT: the published
    // figures are rounded to 0.01 degree and 0.1 nT.
    EXPECT_NEAR(field.declination, p.declination, 0.01);
    EXPECT_NEAR(field.inclination, p.inclination, 0.01);
    EXPECT_NEAR(field.north, p.x, 1);
    EXPECT_NEAR(field.east, p.y, 1);
    EXPECT_NEAR(field.down, p.z, 1);
    EXPECT_NEAR(field.horizontal, std::isnan(p.h) ? std::hypot(p.x, p.y) : p.h, 1);
    EXPECT_NEAR(field.total, std::isnan(p.f) ? std::hypot(p.x, p.y, p.z) : p.f, 1);
    EXPECT_FALSE(field.outOfDate);
}

TEST(MagneticModel, MatchesThePublishedTestValues)
{
    for (const Published& p : kReportTable) {
        expectPublished(p);
    }
    for (const Published& p : kCofZipPoints) {
        expectPublished(p);
    }
}

TEST(MagneticModel, BuiltInFileIsTheProjectDataFile)
{
    std::ifstream in(SKYBRANT_WMM_COF_PATH, std::ios::binary);
    std::stringstream file;
    file << in.rdbuf();
    EXPECT_EQ(builtInWmmText(), file.str());
    EXPECT_EQ(builtInWmmText().substr(0, builtInWmmText().find('\n')), "    2025.0            WMM-2025     11/13/2024");
    const WmmCoefficients& model = builtInWmm();
    EXPECT_EQ(model.name, "WMM-2025");
    EXPECT_EQ(model.released, "11/13/2024");
    EXPECT_EQ(model.epoch, 2025.0);
    EXPECT_EQ(model.g[1], -29351.8);  // n 1, m 0
    EXPECT_EQ(model.hPerYear[90], -0.1);  // n 12, m 12
}

TEST(MagneticModel, CoefficientFilesThatCannotBeUsedAreRefused)
{
    const std::string good(builtInWmmText());
    const std::string firstRow = "  1  0  -29351.8       0.0       12.0        0.0\n";
    struct Case {
        const char* name;
        std::string text;
        const char* error;
    };
    const std::string noHeader = good.substr(good.find('\n') + 1);
    std::string twice = good;
    twice.insert(good.find('\n') + 1, firstRow);
    std::string missing = good;
    missing.erase(missing.find("  7  3"), firstRow.size());
    std::string badNumber = good;
    badNumber.replace(badNumber.find("-29351.8"), 8, "-29351,8");
    const std::array cases{
        Case{"empty", "", "empty"},
        Case{"no header", noHeader, "line 1 of the coefficient file: expected the epoch"},
        Case{"a row twice", twice, "line 3 of the coefficient file: degree 1 order 0 given twice"},
        Case{"a row missing", missing, "no row for degree 7 order 3"},
        Case{"a comma for a point", badNumber, "line 2 of the coefficient file: expected n m g h g' h'"},
        Case{"degree 13", good.substr(0, good.find("999")) + " 13  0  1.0 0.0 0.0 0.0\n",
            "degree and order out of range"},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_FALSE(readWmmCoefficients(c.text, error).has_value()) << c.name;
        EXPECT_NE(error.find(c.error), std::string::npos) << c.name << ": " << error;
    }
}

TEST(MagneticModel, SaysWhenItIsOutOfDateAndWhereTheCompassFails)
{
    struct Case {
        const char* name;
        double lat;
        double lon;
        double year;
        bool outOfDate;
        CompassZone zone;
    };
    const std::array cases{
        Case{"London in 2026", 51.5, -0.13, 2026.9, false, CompassZone::Reliable},
        Case{"first day of the model", 51.5, -0.13, 2025.0, false, CompassZone::Reliable},
        Case{"end of the model", 51.5, -0.13, 2030.0, false, CompassZone::Reliable},
        Case{"before the model", 51.5, -0.13, 2024.99, true, CompassZone::Reliable},
        Case{"after the model", 51.5, -0.13, 2031.0, true, CompassZone::Reliable},
        // By the published point above: H is 1504 nT at 89 N 121 W.
        Case{"near the north dip pole", 89, -121, 2025.0, false, CompassZone::Blackout},
        Case{"Alert, Nunavut", 82.5, -62.3, 2026.0, false, CompassZone::Caution},
    };
    for (const Case& c : cases) {
        const MagneticField field = magneticField(builtInWmm(), c.lat, c.lon, 0, c.year);
        EXPECT_EQ(field.outOfDate, c.outOfDate) << c.name;
        EXPECT_EQ(field.zone, c.zone) << c.name << ": H " << field.horizontal;
    }
}

// A station's field by date, asked for in the order a batch asks: the own
// station between the other stations, then another date. Each answer is
// the field worked out afresh for that station and date, whatever was
// asked before.
TEST(MagneticModel, StationsAndDatesInTurnGetTheirOwnField)
{
    using namespace std::chrono;
    struct Step {
        const char* name;
        double lat;
        double lon;
        year_month_day date;
    };
    const year_month_day summer = 2026y / June / 21;
    const year_month_day later = 2029y / March / 1;
    const std::array steps{
        Step{"own station", 51.5, -0.13, summer},
        Step{"first other", -33.9, 151.2, summer},
        Step{"own again", 51.5, -0.13, summer},
        Step{"second other", 64.1, -21.9, summer},
        Step{"third other", 0, 120, summer},
        Step{"first other again, pushed out since", -33.9, 151.2, summer},
        Step{"own on a later date", 51.5, -0.13, later},
        Step{"second other on the later date", 64.1, -21.9, later},
        Step{"own back on the first date", 51.5, -0.13, summer},
        Step{"the same latitude, another longitude", 51.5, 10, summer},
    };
    for (const Step& s : steps) {
        const Position station = onTheGlobe(positionFromDegrees(s.lat, s.lon));
        const MagneticField at = magneticFieldAt(station, s.date);
        const MagneticField fresh =
            magneticField(builtInWmm(), station.latDegrees, station.lonDegrees, 0, decimalYear(s.date));
        EXPECT_EQ(at.declination, fresh.declination) << s.name;
        EXPECT_EQ(at.inclination, fresh.inclination) << s.name;
        EXPECT_EQ(at.total, fresh.total) << s.name;
    }
}

TEST(MagneticModel, DatesAndHeadings)
{
    using namespace std::chrono;
    EXPECT_EQ(decimalYear(2025y / January / 1), 2025.0);
    EXPECT_EQ(decimalYear(2028y / July / 2), 2028 + 183.0 / 366);  // a leap year
    EXPECT_EQ(decimalYear(2027y / December / 31), 2027 + 364.0 / 365);
    EXPECT_EQ(magneticHeading(288, -1.2), 289.2);
    EXPECT_EQ(magneticHeading(5, 12.5), 352.5);
    EXPECT_EQ(magneticHeading(355, -10), 5);
    EXPECT_EQ(declinationText(-1.24), "1.2\u00b0 W");
    EXPECT_EQ(declinationText(12.25, ","), "12,3\u00b0 E");
    EXPECT_EQ(declinationText(-0.04), "0\u00b0");
    EXPECT_EQ(declinationText(3.96), "4\u00b0 E");
}

}  // namespace
}  // namespace skybrant
