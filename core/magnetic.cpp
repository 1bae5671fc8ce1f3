#include "magnetic.h"

#include "number_text.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace skybrant {

namespace {

// WGS84, in km, and the model's reference radius.
constexpr double kSemiMajorKm = 6378.137;
constexpr double kFlattening = 1 / 298.257223563;
constexpr double kEccentricity2 = kFlattening * (2 - kFlattening);
constexpr double kReferenceRadiusKm = 6371.2;
constexpr double kRadians = std::numbers::pi / 180;

constexpr std::size_t termIndex(int n, int m)
{
    const auto degree = static_cast<std::size_t>(n);
    return degree * (degree + 1) / 2 + static_cast<std::size_t>(m);
}

// The factors of the recursion for the Schmidt semi-normalised associated
// Legendre functions, which depend on n and m only:
//   P(n,n) = diagonal(n) cos P(n-1,n-1)
//   P(n,m) = along(n,m) sin P(n-1,m) - back(n,m) P(n-2,m)
struct LegendreFactors {
    std::array<double, kWmmTerms> along{};
    std::array<double, kWmmTerms> back{};
    std::array<double, kWmmDegree + 1> diagonal{};
};

const LegendreFactors& legendreFactors()
{
    static const LegendreFactors factors = [] {
        LegendreFactors f;
        for (int n = 1; n <= kWmmDegree; ++n) {
            f.diagonal.at(static_cast<std::size_t>(n)) = n == 1 ? 1.0 : std::sqrt((2.0 * n - 1) / (2.0 * n));
            for (int m = 0; m < n; ++m) {
                const double norm = std::sqrt(static_cast<double>(n * n - m * m));
                f.along.at(termIndex(n, m)) = (2.0 * n - 1) / norm;
                f.back.at(termIndex(n, m)) = std::sqrt(static_cast<double>((n - 1) * (n - 1) - m * m)) / norm;
            }
        }
        return f;
    }();
    return factors;
}

// The coefficients moved on to one time, kept for the next station on the
// same date: a batch asks for one date thousands of times.
struct CoefficientsAt {
    const WmmCoefficients* model = nullptr;
    double year = 0;
    std::array<double, kWmmTerms> g{};
    std::array<double, kWmmTerms> h{};
};

const CoefficientsAt& coefficientsAt(const WmmCoefficients& model, double year)
{
    thread_local CoefficientsAt at;
    if (at.model != &model || at.year != year) {
        at.model = &model;
        at.year = year;
        const double t = year - model.epoch;
        for (std::size_t i = 0; i < kWmmTerms; ++i) {
            at.g.at(i) = model.g.at(i) + t * model.gPerYear.at(i);
            at.h.at(i) = model.h.at(i) + t * model.hPerYear.at(i);
        }
    }
    return at;
}

// The field in the geocentric frame: north, east and down.
struct GeocentricField {
    double north = 0;
    double east = 0;
    double down = 0;
};

// Column by column (order m), each down its degrees n, so that the
// recursion keeps its last two terms at hand and the columns can overlap.
GeocentricField sumHarmonics(const CoefficientsAt& c, double sinLat, double cosLat, double lonRadians, double radiusKm)
{
    const LegendreFactors& f = legendreFactors();
    std::array<double, kWmmDegree + 1> power{};  // (a/r)^(n+2)
    const double ratio = kReferenceRadiusKm / radiusKm;
    power[0] = ratio * ratio;
    for (std::size_t n = 1; n <= kWmmDegree; ++n) {
        power[n] = power[n - 1] * ratio;
    }
    const double cos1 = std::cos(lonRadians);
    const double sin1 = std::sin(lonRadians);
    double cosM = 1;
    double sinM = 0;
    double diagonal = 1;  // P(m,m)
    double diagonalD = 0;  // its derivative by latitude
    GeocentricField sum;
    for (int m = 0; m <= kWmmDegree; ++m) {
        if (m > 0) {
            const double k = f.diagonal[static_cast<std::size_t>(m)];
            const double next = k * cosLat * diagonal;
            diagonalD = k * (cosLat * diagonalD - sinLat * diagonal);
            diagonal = next;
            const double c2 = cosM * cos1 - sinM * sin1;
            sinM = sinM * cos1 + cosM * sin1;
            cosM = c2;
        }
        double p1 = diagonal;  // P(n-1,m) as n moves on
        double d1 = diagonalD;
        double p2 = 0;  // P(n-2,m)
        double d2 = 0;
        for (int n = std::max(m, 1); n <= kWmmDegree; ++n) {
            double p = p1;
            double d = d1;
            if (n > m) {
                const std::size_t i = termIndex(n, m);
                p = f.along[i] * sinLat * p1 - f.back[i] * p2;
                d = f.along[i] * (cosLat * p1 + sinLat * d1) - f.back[i] * d2;
                p2 = p1;
                d2 = d1;
                p1 = p;
                d1 = d;
            }
            const std::size_t i = termIndex(n, m);
            const double g = c.g[i];
            const double h = c.h[i];
            const double scale = power[static_cast<std::size_t>(n)];
            const double cosTerm = scale * (g * cosM + h * sinM);
            sum.north -= cosTerm * d;
            sum.east += scale * m * (g * sinM - h * cosM) * p;
            sum.down -= (n + 1) * cosTerm * p;
        }
    }
    // Right at a geographic pole the east component is a limit; a cosine
    // that rounds to zero is taken as the smallest there is.
    sum.east /= std::max(cosLat, 1e-300);
    return sum;
}

CompassZone zoneOf(double horizontal)
{
    if (horizontal < kBlackoutBelowNanotesla) {
        return CompassZone::Blackout;
    }
    return horizontal < kCautionBelowNanotesla ? CompassZone::Caution : CompassZone::Reliable;
}

}  // namespace

MagneticField magneticField(
    const WmmCoefficients& model, double latDegrees, double lonDegrees, double heightKm, double decimalYear)
{
    // Geodetic to geocentric spherical coordinates on WGS84.
    const double lat = latDegrees * kRadians;
    const double sinLat = std::sin(lat);
    const double cosLat = std::cos(lat);
    const double primeVertical = kSemiMajorKm / std::sqrt(1 - kEccentricity2 * sinLat * sinLat);
    const double fromAxis = (primeVertical + heightKm) * cosLat;
    const double fromEquator = (primeVertical * (1 - kEccentricity2) + heightKm) * sinLat;
    const double radius = std::hypot(fromAxis, fromEquator);
    const double sinCentric = fromEquator / radius;
    const double cosCentric = fromAxis / radius;

    const GeocentricField g =
        sumHarmonics(coefficientsAt(model, decimalYear), sinCentric, cosCentric, lonDegrees * kRadians, radius);

    // Back to the ellipsoid's frame: turned through the difference between
    // the geocentric and the geodetic latitude, about the east axis.
    const double sinTurn = sinCentric * cosLat - cosCentric * sinLat;
    const double cosTurn = cosCentric * cosLat + sinCentric * sinLat;
    MagneticField out;
    out.north = g.north * cosTurn - g.down * sinTurn;
    out.east = g.east;
    out.down = g.north * sinTurn + g.down * cosTurn;
    out.horizontal = std::hypot(out.north, out.east);
    out.total = std::hypot(out.horizontal, out.down);
    out.declination = std::atan2(out.east, out.north) / kRadians;
    out.inclination = std::atan2(out.down, out.horizontal) / kRadians;
    out.outOfDate = !(decimalYear >= kWmmValidFrom && decimalYear <= kWmmValidUntil);
    out.zone = zoneOf(out.horizontal);
    return out;
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
    // The own station is the same on every line of most batches.
    struct Last {
        double lat = 0;
        double lon = 0;
        std::chrono::year_month_day date{};
        bool set = false;
        MagneticField field;
    };
    thread_local Last last;
    const Position onGlobe = onTheGlobe(station);
    if (last.set && last.lat == onGlobe.latDegrees && last.lon == onGlobe.lonDegrees && last.date == date) {
        return last.field;
    }
    const MagneticField field =
        magneticField(builtInWmm(), onGlobe.latDegrees, onGlobe.lonDegrees, 0, decimalYear(date));
    last = {onGlobe.latDegrees, onGlobe.lonDegrees, date, true, field};
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
