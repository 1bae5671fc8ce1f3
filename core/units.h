#pragma once

#include <optional>
#include <string_view>

namespace skybrant {

enum class DistanceUnit {
    Kilometres,
    StatuteMiles,
    NauticalMiles,
};

// "km", "mi", "nmi".
std::string_view unitSymbol(DistanceUnit unit);
std::optional<DistanceUnit> unitFromSymbol(std::string_view symbol);
// The symbol in either case, as typed on a command line; only ASCII letters
// are lowered, so no other character passes for one of them.
std::optional<DistanceUnit> unitFromTypedSymbol(std::string_view symbol);

// An arc in the given unit by the program's own rule: 60 nautical miles of
// 6080 feet per degree, statute miles of 5280 feet, 8/5 km per statute mile.
// In kilometres this is degreesOfArcToKm, bit for bit.
double arcToDistance(double degreesOfArc, DistanceUnit unit);

// Once round the globe by the same rule.
double circumference(DistanceUnit unit);

// The long way round: the rest of the circumference, and the heading
// turned through 180 degrees, as wrap360 gives it.
double longPathDistance(double shortDistance, DistanceUnit unit);
double longPathHeading(double heading);

// A distance in metres (as the ellipsoid gives it) in the given unit, by the
// international definitions: 1609.344 m per statute mile, 1852 m per
// nautical mile.
double metresToDistance(double metres, DistanceUnit unit);

}  // namespace skybrant
