// Distance units and the long path.

#include "core/position.h"
#include "core/units.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

namespace skybrant {
namespace {

TEST(Units, OneDegreeOfArcByTheProgramsRule)
{
    // 60 nautical miles of 6080 ft is 69 1/11 statute miles of 5280 ft,
    // and 8/5 of that is 110 6/11 km.
    struct Case {
        DistanceUnit unit;
        const char* symbol;
        double degree, circumference;
    };
    const Case cases[] = {
        {DistanceUnit::Kilometres, "km", 110.0 + 6.0 / 11, 360 * (110.0 + 6.0 / 11)},
        {DistanceUnit::StatuteMiles, "mi", 69.0 + 1.0 / 11, 360 * (69.0 + 1.0 / 11)},
        {DistanceUnit::NauticalMiles, "nmi", 60, 21600},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.symbol);
        EXPECT_EQ(unitSymbol(c.unit), c.symbol);
        EXPECT_EQ(unitFromSymbol(c.symbol), c.unit);
        EXPECT_NEAR(arcToDistance(1, c.unit), c.degree, 1e-12);
        EXPECT_NEAR(circumference(c.unit), c.circumference, 1e-9);
    }
    EXPECT_EQ(arcToDistance(50.10759, DistanceUnit::Kilometres), degreesOfArcToKm(50.10759));
    for (const char* bad : {"", "KM", "miles", "nm", "km "}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(unitFromSymbol(bad).has_value());
    }
}

TEST(LongPath, AddsUpToTheCircumferenceAndTurnsHalfRound)
{
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> lat(-90, 90);
    std::uniform_real_distribution<double> lon(-180, 180);
    for (int i = 0; i < 20000; ++i) {
        const GreatCircleResult r =
            solvePositions(positionFromDegrees(lat(rng), lon(rng)), positionFromDegrees(lat(rng), lon(rng)));
        for (const DistanceUnit unit :
            {DistanceUnit::Kilometres, DistanceUnit::StatuteMiles, DistanceUnit::NauticalMiles}) {
            const double shortWay = arcToDistance(r.centralAngle, unit);
            const double longWay = longPathDistance(shortWay, unit);
            EXPECT_DOUBLE_EQ(shortWay + longWay, circumference(unit));
            EXPECT_GE(longWay, shortWay);
        }
        const double heading = longPathHeading(r.headingOwnToOther);
        EXPECT_GE(heading, 0);
        EXPECT_LT(heading, 360);
        EXPECT_NEAR(std::fmod(heading - r.headingOwnToOther + 360, 360.0), 180, 1e-9);
    }
    struct Case {
        double heading, longWay;
    };
    for (const Case c : {Case{0, 180}, Case{90, 270}, Case{180, 0}, Case{359.75, 179.75}, Case{360, 180}}) {
        SCOPED_TRACE(std::to_string(c.heading));
        EXPECT_EQ(longPathHeading(c.heading), c.longWay);
    }
}

}  // namespace
}  // namespace skybrant
