#include "units.h"

#include <string>

#include "angles.h"
#include "great_circle.h"

namespace skybrant {

std::string_view unitSymbol(DistanceUnit unit)
{
    switch (unit) {
    case DistanceUnit::Kilometres:
        return "km";
    case DistanceUnit::StatuteMiles:
        return "mi";
    case DistanceUnit::NauticalMiles:
        return "nmi";
    }
    return {};
}

std::optional<DistanceUnit> unitFromSymbol(std::string_view symbol)
{
    for (const DistanceUnit unit :
        {DistanceUnit::Kilometres, DistanceUnit::StatuteMiles, DistanceUnit::NauticalMiles}) {
        if (symbol == unitSymbol(unit)) {
            return unit;
        }
    }
    return std::nullopt;
}

std::optional<DistanceUnit> unitFromTypedSymbol(std::string_view symbol)
{
    std::string lowered(symbol);
    for (char& c : lowered) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return unitFromSymbol(lowered);
}

double arcToDistance(double degreesOfArc, DistanceUnit unit)
{
    switch (unit) {
    case DistanceUnit::Kilometres:
        return degreesOfArcToKm(degreesOfArc);
    case DistanceUnit::StatuteMiles:
        return degreesOfArcToStatuteMiles(degreesOfArc);
    case DistanceUnit::NauticalMiles:
        return degreesOfArcToNauticalMiles(degreesOfArc);
    }
    return 0;
}

double circumference(DistanceUnit unit)
{
    return arcToDistance(360, unit);
}

double longPathDistance(double shortDistance, DistanceUnit unit)
{
    return circumference(unit) - shortDistance;
}

double longPathHeading(double heading)
{
    return wrap360(heading + 180);
}

double metresToDistance(double metres, DistanceUnit unit)
{
    switch (unit) {
    case DistanceUnit::Kilometres:
        return metres / 1000;
    case DistanceUnit::StatuteMiles:
        return metres / 1609.344;
    case DistanceUnit::NauticalMiles:
        return metres / 1852;
    }
    return 0;
}

}  // namespace skybrant
