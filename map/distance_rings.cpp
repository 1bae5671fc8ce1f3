#include "distance_rings.h"

#include <cmath>

namespace skybrant {

namespace {

// About four rings from the centre to the rim: enough to read a distance
// off, few enough to leave the land clear.
constexpr int kRingsToTheRim = 4;
constexpr double kClearOfTheRim = 0.98;

}  // namespace

double roundRingStep(double reach, int rings)
{
    if (!(reach > 0) || rings <= 0 || !std::isfinite(reach)) {
        return 0;
    }
    const double even = reach / rings;
    const double power = std::pow(10.0, std::floor(std::log10(even)));
    double step = power;
    for (const double mantissa : {2.0, 2.5, 5.0, 10.0}) {
        // Nearest by ratio: 1400 is nearer 1000, 1450 nearer 2000.
        if (std::fabs(std::log(mantissa * power / even)) < std::fabs(std::log(step / even))) {
            step = mantissa * power;
        }
    }
    return step;
}

std::vector<DistanceRing> distanceRings(DistanceUnit unit)
{
    const double perDegree = arcToDistance(1, unit);
    const double reach = arcToDistance(180, unit);
    const double step = roundRingStep(reach, kRingsToTheRim);
    const std::string_view symbol = unitSymbol(unit);
    const QString unitText = QString::fromUtf8(symbol.data(), static_cast<qsizetype>(symbol.size()));
    std::vector<DistanceRing> rings;
    for (int k = 1; step > 0 && k * step < reach * kClearOfTheRim; ++k) {
        const double distance = k * step;
        rings.push_back(
            {distance / perDegree, QStringLiteral("%1 %2").arg(QString::number(distance, 'g', 12), unitText)});
    }
    return rings;
}

}  // namespace skybrant
