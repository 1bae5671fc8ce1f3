#include "magnetic.h"

#include "number_text.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <optional>

namespace skybrant {

namespace {

// WGS84, in km, and the model's reference radius.
constexpr double kSemiMajorKm = 6378.137;
constexpr double kFlattening = 1 / 298.257223563;
constexpr double kEccentricity2 = kFlattening * (2 - kFlattening);
constexpr double kReferenceRadiusKm = 6371.2;
constexpr double kRadians = std::numbers::pi / 180;
constexpr std::size_t kOrders = kWmmDegree + 1;

// Factors by order m, then degree n.
using Columns = std::array<std::array<double, kWmmDegree + 1>, kOrders>;

constexpr std::size_t termIndex(std::size_t n, std::size_t m)
{
    return n * (n + 1) / 2 + m;
}

// The factors of the Schmidt semi-normalised associated Legendre functions
// P(n,m), which depend on n and m only, by order and degree. Down each
// order, by latitude:
//   P(m,m) = diagonal(m) cos P(m-1,m-1)
//   P(n,m) = along(n,m) sin P(n-1,m) - back(n,m) P(n-2,m)
// and the derivative by colatitude from the same degree's neighbours:
//   dP(n,m) = lower(n,m) P(n,m-1) - upper(n,m) P(n,m+1)
// which needs no recursion of its own and holds at the poles too.
struct LegendreFactors {
    std::array<double, kOrders> diagonal{};
    Columns along{};
    Columns back{};
    Columns lower{};
    Columns upper{};
};

LegendreFactors makeLegendreFactors()
{
    LegendreFactors f;
    f.diagonal[1] = 1;
    for (std::size_t m = 2; m < kOrders; ++m) {
        const auto order = static_cast<double>(m);
        f.diagonal[m] = std::sqrt((2 * order - 1) / (2 * order));
    }
    for (std::size_t m = 0; m < kOrders; ++m) {
        const auto order = static_cast<double>(m);
        for (std::size_t n = std::max<std::size_t>(m, 1); n < kOrders; ++n) {
            const auto degree = static_cast<double>(n);
            if (n > m) {
                const double norm = std::sqrt(degree * degree - order * order);
                f.along[m][n] = (2 * degree - 1) / norm;
                f.back[m][n] = std::sqrt((degree - 1) * (degree - 1) - order * order) / norm;
            }
            // Order 0 and 1 differ by the Schmidt factor of the orders
            // from 1 on.
            if (m == 0) {
                f.upper[m][n] = std::sqrt(degree * (degree + 1) / 2);
            } else {
                f.lower[m][n] = m == 1 ? std::sqrt(degree * (degree + 1) / 2)
                                       : std::sqrt((degree + order) * (degree - order + 1)) / 2;
                f.upper[m][n] = std::sqrt((degree + order + 1) * (degree - order)) / 2;
            }
        }
    }
    return f;
}

const LegendreFactors& legendreFactors()
{
    static const LegendreFactors factors = makeLegendreFactors();
    return factors;
}

// The Legendre functions at one geocentric latitude, each times
// (a/r)^(n+2), by order and degree. What lies above a degree's highest
// order, P(n,n+1) and all of order 13, stays zero: the derivative takes it
// as the upper neighbour.
using Scaled = std::array<std::array<double, kWmmDegree + 1>, kOrders + 1>;

void scaledLegendre(const LegendreFactors& f, double sinLat, double cosLat, double ratio, Scaled& q)
{
    const double alongFactor = ratio * sinLat;
    const double backFactor = ratio * ratio;
    double diagonal = ratio * ratio;  // (a/r)^2 P(0,0)
    for (std::size_t m = 0; m < kOrders; ++m) {
        if (m > 0) {
            diagonal *= f.diagonal[m] * ratio * cosLat;
        }
        std::array<double, kWmmDegree + 1>& column = q[m];
        column[m] = diagonal;
        double q1 = diagonal;
        double q2 = 0;
        for (std::size_t n = m + 1; n < kOrders; ++n) {
            const double next = f.along[m][n] * alongFactor * q1 - f.back[m][n] * backFactor * q2;
            column[n] = next;
            q2 = q1;
            q1 = next;
        }
    }
}

// The field in the geocentric frame: north, east and down.
struct GeocentricField {
    double north = 0;
    double east = 0;
    double down = 0;
};

CompassZone zoneOf(double horizontal)
{
    if (horizontal < kBlackoutBelowNanotesla) {
        return CompassZone::Blackout;
    }
    return horizontal < kCautionBelowNanotesla ? CompassZone::Caution : CompassZone::Reliable;
}

}  // namespace

MagneticModel::MagneticModel(const WmmCoefficients& coefficients, double decimalYear) : year_(decimalYear)
{
    const double t = decimalYear - coefficients.epoch;
    for (std::size_t n = 1; n < kOrders; ++n) {
        const auto scale = static_cast<double>(n + 1);
        for (std::size_t m = 0; m <= n; ++m) {
            const std::size_t i = termIndex(n, m);
            const double g = coefficients.g.at(i) + t * coefficients.gPerYear.at(i);
            const double h = coefficients.h.at(i) + t * coefficients.hPerYear.at(i);
            terms_[m][n] = {g, h};
            downTerms_[m][n] = {scale * g, scale * h};
        }
    }
}

MagneticField MagneticModel::field(double latDegrees, double lonDegrees, double heightKm) const
{
    // Geodetic to geocentric spherical coordinates on WGS84.
    const double lat = latDegrees * kRadians;
    const double sinLat = std::sin(lat);
    const double cosLat = std::cos(lat);
    const double primeVertical = kSemiMajorKm / std::sqrt(1 - kEccentricity2 * sinLat * sinLat);
    const double fromAxis = (primeVertical + heightKm) * cosLat;
    const double fromEquator = (primeVertical * (1 - kEccentricity2) + heightKm) * sinLat;
    const double radius = std::sqrt(fromAxis * fromAxis + fromEquator * fromEquator);
    const double sinCentric = fromEquator / radius;
    const double cosCentric = fromAxis / radius;

    const LegendreFactors& f = legendreFactors();
    Scaled q{};
    scaledLegendre(f, sinCentric, cosCentric, kReferenceRadiusKm / radius, q);

    // Order by order, six sums down the degrees that are independent of
    // one another, then turned by cos(m lon) and sin(m lon), which go by
    // the angle-sum rule.
    const double lon = lonDegrees * kRadians;
    const double cos1 = std::cos(lon);
    const double sin1 = std::sin(lon);
    double cosM = 1;
    double sinM = 0;
    GeocentricField sum;
    for (std::size_t m = 0; m < kOrders; ++m) {
        const auto& column = q[m];
        const auto& lowerColumn = q[m == 0 ? 0 : m - 1];
        const auto& upperColumn = q[m + 1];
        std::array<double, 2> east{};  // by g and by h
        std::array<double, 2> north{};
        std::array<double, 2> down{};
        for (std::size_t n = std::max<std::size_t>(m, 1); n < kOrders; ++n) {
            const double p = column[n];
            const double d = f.lower[m][n] * lowerColumn[n] - f.upper[m][n] * upperColumn[n];
            const auto& t = terms_[m][n];
            const auto& z = downTerms_[m][n];
            east[0] += t[0] * p;
            east[1] += t[1] * p;
            north[0] += t[0] * d;
            north[1] += t[1] * d;
            down[0] += z[0] * p;
            down[1] += z[1] * p;
        }
        const auto order = static_cast<double>(m);
        sum.north += cosM * north[0] + sinM * north[1];
        sum.east += order * (sinM * east[0] - cosM * east[1]);
        sum.down -= cosM * down[0] + sinM * down[1];
        const double nextCos = cosM * cos1 - sinM * sin1;
        sinM = sinM * cos1 + cosM * sin1;
        cosM = nextCos;
    }
    // Right at a geographic pole the east component is a limit; a cosine
    // that rounds to zero is taken as the smallest there is.
    sum.east /= std::max(cosCentric, 1e-300);

    // Back to the ellipsoid's frame: turned through the difference between
    // the geocentric and the geodetic latitude, about the east axis.
    const double sinTurn = sinCentric * cosLat - cosCentric * sinLat;
    const double cosTurn = cosCentric * cosLat + sinCentric * sinLat;
    MagneticField out;
    out.north = sum.north * cosTurn - sum.down * sinTurn;
    out.east = sum.east;
    out.down = sum.north * sinTurn + sum.down * cosTurn;
    out.horizontal = std::sqrt(out.north * out.north + out.east * out.east);
    out.total = std::sqrt(out.horizontal * out.horizontal + out.down * out.down);
    out.declination = std::atan2(out.east, out.north) / kRadians;
    out.inclination = std::atan2(out.down, out.horizontal) / kRadians;
    out.outOfDate = !(year_ >= kWmmValidFrom && year_ <= kWmmValidUntil);
    out.zone = zoneOf(out.horizontal);
    return out;
}

MagneticField magneticField(
    const WmmCoefficients& model, double latDegrees, double lonDegrees, double heightKm, double decimalYear)
{
    return MagneticModel(model, decimalYear).field(latDegrees, lonDegrees, heightKm);
}

double decimalYear(std::chrono::year_month_day date)
{
    using namespace std::chrono;
    const int y = static_cast<int>(date.year());
    const auto start = sys_days{year{y} / January / 1};
    const auto next = sys_days{year{y + 1} / January / 1};
    return y + static_cast<double>((sys_days{date} - start).count()) / static_cast<double>((next - start).count());
}

MagneticField magneticFieldAt(const Position& station, std::chrono::year_month_day date)
{
    // The model on the date asked for last, and the last two stations on
    // it: a batch asks for one date on every line, and a log from one
    // station for the same own station between the other stations.
    struct Remembered {
        double lat = 0;
        double lon = 0;
        MagneticField field;
    };
    struct OnDate {
        std::chrono::year_month_day date{};
        std::optional<MagneticModel> model;
        std::array<std::optional<Remembered>, 2> stations;
        std::size_t older = 0;
    };
    thread_local OnDate last;
    if (!last.model || last.date != date) {
        last.date = date;
        last.model.emplace(builtInWmm(), decimalYear(date));
        last.stations = {};
    }
    const Position onGlobe = onTheGlobe(station);
    for (std::size_t i = 0; i < last.stations.size(); ++i) {
        const auto& s = last.stations[i];
        if (s && s->lat == onGlobe.latDegrees && s->lon == onGlobe.lonDegrees) {
            last.older = 1 - i;
            return s->field;
        }
    }
    const MagneticField field = last.model->field(onGlobe.latDegrees, onGlobe.lonDegrees, 0);
    last.stations[last.older] = Remembered{onGlobe.latDegrees, onGlobe.lonDegrees, field};
    last.older = 1 - last.older;
    return field;
}

double magneticHeading(double trueHeading, double declination)
{
    const double heading = std::fmod(trueHeading - declination, 360.0);
    return heading < 0 ? heading + 360 : heading;
}

std::string declinationText(double declination, std::string_view decimalSeparator, std::string_view degrees)
{
    const double tenths = std::floor(std::abs(declination) * 10 + 0.5);
    std::string out = tenthsText(tenths, decimalSeparator);
    out += degrees;
    if (tenths != 0) {
        out += declination > 0 ? " E" : " W";
    }
    return out;
}

std::string_view compassZoneNote(CompassZone zone)
{
    switch (zone) {
    case CompassZone::Blackout:
        return "is unreliable: the horizontal magnetic field there is under 2,000 nT";
    case CompassZone::Caution:
        return "may be unreliable: the horizontal magnetic field there is under 6,000 nT";
    case CompassZone::Reliable:
        break;
    }
    return {};
}

std::string_view compassZoneName(CompassZone zone)
{
    switch (zone) {
    case CompassZone::Blackout:
        return "unreliable";
    case CompassZone::Caution:
        return "caution";
    case CompassZone::Reliable:
        break;
    }
    return "reliable";
}

std::string_view outOfDateNote()
{
    return "The date is outside 2025.0 to 2030.0, the years the magnetic model WMM-2025 is made for, so the "
           "declinations may be off.";
}

}  // namespace skybrant
