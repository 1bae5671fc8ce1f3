#include "sun.h"

#include "sun_place.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <numbers>
#include <optional>

namespace skybrant {

namespace {

using std::chrono::days;
using std::chrono::seconds;
using std::chrono::sys_days;
using std::chrono::sys_seconds;

constexpr double kRadiansPerDegree = std::numbers::pi / 180;
// The upper limb at the horizon with standard refraction: the centre of the
// sun 0.833 degrees below it.
constexpr double kHorizonDegrees = -0.833;
constexpr double kSecondsPerMinute = 60;
constexpr double kSecondsPerDay = 86400;

double unixSeconds(sys_seconds utc)
{
    return static_cast<double>(utc.time_since_epoch().count());
}

// The search for the crossings of a UTC date. The sun's centre stands at
// the crossing altitude where the height
//   sin(lat) sin(dec) + cos(lat) cos(dec) cos(hour angle) - sin(-0.833)
// is zero; it is positive while the upper limb is up. The hour angle turns
// once a day while the declination and the equation of time drift slowly,
// so the height has one highest point near each upper culmination, one
// lowest point near each lower one, and runs monotonically between them:
// each stretch between them holds at most one crossing, found from the
// signs at its ends. Where the sun grazes the horizon near a culmination,
// the true highest or lowest point is sought, so short days and nights are
// not lost. Close to the poles the drift can outweigh the daily turn; there
// the date is walked in steps the height cannot cross zero within.

constexpr double kTurn = 2 * std::numbers::pi;
constexpr double kHalfDay = kSecondsPerDay / 2;
constexpr double kSecondsPerDegreeOfLongitude = kSecondsPerDay / 360;
// Bounds of the drift: NOAA's equations move the declination by at most
// 0.40 degrees (0.0070 radians) and the equation of time by at most 30
// seconds a day; both with a margin.
constexpr double kMaxDeclinationRate = 0.0075 / kSecondsPerDay;  // radians per second
constexpr double kMaxTurnRate = kTurn * 1.001 / kSecondsPerDay;  // hour angle, radians per second
constexpr double kMinTurnRate = kTurn * 0.999 / kSecondsPerDay;
// The equation of time at the start of the date places the culminations
// to within this (30 seconds a day over a day and a half, with a margin).
constexpr double kCulminationError = 90;  // seconds
// Below this daily swing of the height (cos(lat) cos(dec)) the highest and
// lowest points can wander far from the culminations, so the date is
// walked instead.
constexpr double kMinDailySwing = 0.005;
constexpr double kTimeTolerance = 0.05;  // seconds
constexpr double kNewtonDone = 0.1;  // seconds: a step this small leaves a far smaller error
constexpr double kSmallestWalkStep = 1;  // seconds
constexpr int kMaxRefinements = 200;

struct Site {
    double sinLat = 0;
    double cosLat = 0;
    double lonDegrees = 0;
    double sinHorizon = 0;
};

struct Sample {
    double t = 0;  // seconds since 1970
    double height = 0;
    double declination = 0;  // radians
    double equationOfTime = 0;  // seconds
    double hourAngle = 0;  // radians, [-pi, pi)

    bool up() const { return height > 0; }
};

double hourAngleAt(double t, double equationOfTime, double lonDegrees)
{
    const double solar = std::fmod(t + equationOfTime + lonDegrees * kSecondsPerDegreeOfLongitude, kSecondsPerDay);
    return (solar < 0 ? solar + kSecondsPerDay : solar) / kSecondsPerDay * kTurn - std::numbers::pi;
}

Sample sampleAt(const Site& site, double t)
{
    const SunPlace sun = sunPlace(t);
    Sample s;
    s.t = t;
    s.declination = sun.declination * kRadiansPerDegree;
    s.equationOfTime = sun.equationOfTime * kSecondsPerMinute;
    s.hourAngle = hourAngleAt(t, s.equationOfTime, site.lonDegrees);
    s.height = site.sinLat * std::sin(s.declination) + site.cosLat * std::cos(s.declination) * std::cos(s.hourAngle) -
        site.sinHorizon;
    return s;
}

// The drift across a stretch, for the estimates and Newton's steps.
struct Drift {
    double declination = 0;  // radians per second
    double equationOfTime = 0;  // seconds per second
};

Drift driftBetween(const Sample& a, const Sample& b)
{
    Drift d;
    if (b.t - a.t > 1) {
        d.declination = (b.declination - a.declination) / (b.t - a.t);
        d.equationOfTime = (b.equationOfTime - a.equationOfTime) / (b.t - a.t);
    }
    return d;
}

double slopeAt(const Site& site, const Sample& s, const Drift& d)
{
    const double sinDec = std::sin(s.declination);
    const double cosDec = std::cos(s.declination);
    const double turnRate = kTurn / kSecondsPerDay * (1 + d.equationOfTime);
    return d.declination * (site.sinLat * cosDec - site.cosLat * sinDec * std::cos(s.hourAngle)) -
        site.cosLat * cosDec * std::sin(s.hourAngle) * turnRate;
}

// Where the crossing between a and b falls with the sun's place of time t
// (drifting linearly from a to b): the hour angle of the crossing, reached
// from a.
double estimateCrossing(const Site& site, const Sample& a, const Drift& d, double t, bool rise)
{
    const double declination = a.declination + d.declination * (t - a.t);
    const double equationOfTime = a.equationOfTime + d.equationOfTime * (t - a.t);
    const double cosine = std::clamp(
        (site.sinHorizon - site.sinLat * std::sin(declination)) / (site.cosLat * std::cos(declination)), -1.0, 1.0);
    const double target = rise ? -std::acos(cosine) : std::acos(cosine);
    double turn = std::fmod(target - hourAngleAt(a.t, equationOfTime, site.lonDegrees), kTurn);
    if (turn < 0) {
        turn += kTurn;
    }
    return a.t + turn / kTurn * kSecondsPerDay;
}

// The crossing between a and b, whose heights differ in sign: Newton's
// steps from the estimate, halving the bracket where a step would leave it
// or shrink too slowly (where the sun grazes the horizon).
double crossingBetween(const Site& site, const Sample& a, const Sample& b)
{
    const bool rise = b.up();
    const Drift drift = driftBetween(a, b);
    double lo = a.t;
    double hi = b.t;
    double t = estimateCrossing(site, a, drift, estimateCrossing(site, a, drift, (lo + hi) / 2, rise), rise);
    double lastStep = hi - lo;
    for (int i = 0; i < kMaxRefinements && hi - lo > kTimeTolerance; ++i) {
        if (!(t > lo && t < hi)) {
            t = (lo + hi) / 2;
        }
        const Sample s = sampleAt(site, t);
        if (s.up() == a.up()) {
            lo = t;
        } else {
            hi = t;
        }
        const double slope = slopeAt(site, s, drift);
        const double step = slope != 0 ? -s.height / slope : hi - lo;
        const double next = t + step;
        if (!(next > lo && next < hi) || std::fabs(step) > lastStep / 2) {
            t = (lo + hi) / 2;
            lastStep = (hi - lo) / 2;
            continue;
        }
        if (std::fabs(step) < kNewtonDone) {
            return next;
        }
        lastStep = std::fabs(step);
        t = next;
    }
    return (lo + hi) / 2;
}

// The highest (or lowest) point of the height within halfWidth of a
// culmination, by golden-section search.
Sample extremeNear(const Site& site, double culmination, double halfWidth, bool highest)
{
    const double sign = highest ? 1 : -1;
    const double ratio = (std::sqrt(5.0) - 1) / 2;
    double lo = culmination - halfWidth;
    double hi = culmination + halfWidth;
    Sample left = sampleAt(site, hi - ratio * (hi - lo));
    Sample right = sampleAt(site, lo + ratio * (hi - lo));
    while (hi - lo > kTimeTolerance) {
        if (sign * left.height > sign * right.height) {
            hi = right.t;
            right = left;
            left = sampleAt(site, hi - ratio * (hi - lo));
        } else {
            lo = left.t;
            left = right;
            right = sampleAt(site, lo + ratio * (hi - lo));
        }
    }
    return sign * left.height > sign * right.height ? left : right;
}

// The first sunrise and the last sunset of the date, in time order.
struct Found {
    std::optional<double> firstRise;
    std::optional<double> lastSet;
    bool any = false;

    void add(double t, bool rise)
    {
        any = true;
        if (!rise) {
            lastSet = t;
        } else if (!firstRise) {
            firstRise = t;
        }
    }
};

// The ends of the date and the culminations or extreme points within it,
// in time order.
class Stretches {
public:
    void add(const Sample& s)
    {
        if (count_ < samples_.size()) {
            samples_.at(count_++) = s;
        }
    }

    void findCrossings(const Site& site, Found& found)
    {
        auto* const end = samples_.data() + count_;
        std::sort(samples_.data(), end, [](const Sample& x, const Sample& y) { return x.t < y.t; });
        for (std::size_t i = 1; i < count_; ++i) {
            const Sample& a = samples_.at(i - 1);
            const Sample& b = samples_.at(i);
            if (a.up() != b.up()) {
                found.add(crossingBetween(site, a, b), b.up());
            }
        }
    }

private:
    std::array<Sample, 8> samples_{};
    std::size_t count_ = 0;
};

// How far a highest or lowest point can lie from its estimated culmination,
// and how close to zero a height there must be for that to matter.
struct Grazing {
    double halfWidth = 0;  // seconds
    double nearZero = 0;
};

Grazing grazingBounds(const Site& site, double swing)
{
    // The drift moves the extreme point to where sin(hour angle) equals
    // the drift's share of the height's slope.
    const double lean = std::asin(std::min(1.0, kMaxDeclinationRate * 2 / (swing * kMinTurnRate)));
    Grazing g;
    g.halfWidth = lean / kMinTurnRate + kCulminationError;
    // The height's curvature bounds how much it changes between there and
    // the extreme point; twice that, for a margin.
    const double curvature = site.cosLat * kMaxTurnRate * kMaxTurnRate + 3 * kMaxDeclinationRate * kMaxTurnRate;
    g.nearZero = curvature * g.halfWidth * g.halfWidth;
    return g;
}

void addCulmination(const Site& site, const Grazing& grazing, double culmination, bool upper, const Sample& first,
    const Sample& last, Stretches& stretches)
{
    if (culmination > first.t && culmination < last.t) {
        const Sample s = sampleAt(site, culmination);
        stretches.add(s);
        if (std::fabs(s.height) > grazing.nearZero) {
            return;
        }
    } else if (std::fabs((culmination <= first.t ? first : last).height) > grazing.nearZero) {
        return;
    }
    const Sample extreme = extremeNear(site, culmination, grazing.halfWidth, upper);
    if (extreme.t > first.t && extreme.t < last.t) {
        stretches.add(extreme);
    }
}

void searchByCulminations(const Site& site, double swing, const Sample& first, const Sample& last, Found& found)
{
    const Grazing grazing = grazingBounds(site, swing);
    Stretches stretches;
    stretches.add(first);
    stretches.add(last);
    // The upper culmination where the apparent solar time is noon.
    const double noon = first.t + kHalfDay - site.lonDegrees * kSecondsPerDegreeOfLongitude - first.equationOfTime;
    // At most three culminations fall within the date widened by halfWidth
    // (under two hours) at each end.
    const auto before = static_cast<long long>(std::floor((first.t - grazing.halfWidth - noon) / kHalfDay));
    for (long long k = before; k <= before + 3; ++k) {
        const double c = noon + static_cast<double>(k) * kHalfDay;
        if (c > first.t - grazing.halfWidth && c < last.t + grazing.halfWidth) {
            addCulmination(site, grazing, c, k % 2 == 0, first, last, stretches);
        }
    }
    stretches.findCrossings(site, found);
}

void searchByWalking(const Site& site, const Sample& first, const Sample& last, Found& found)
{
    // The height changes no faster than this.
    const double fastest = kMaxDeclinationRate * (1 + site.cosLat) + site.cosLat * kMaxTurnRate;
    Sample a = first;
    while (a.t < last.t) {
        const double to = std::min(a.t + std::max(std::fabs(a.height) / fastest, kSmallestWalkStep), last.t);
        const Sample b = to < last.t ? sampleAt(site, to) : last;
        if (a.up() != b.up()) {
            found.add(crossingBetween(site, a, b), b.up());
        }
        a = b;
    }
}

std::optional<sys_seconds> onDate(const std::optional<double>& t, sys_days date)
{
    if (!t) {
        return std::nullopt;
    }
    const sys_seconds at{seconds(std::llround(*t))};
    return std::clamp(at, sys_seconds{date}, sys_seconds{date + days(1)} - seconds(1));
}
}  // namespace

SunTimes sunTimes(std::chrono::year_month_day date, double latDegrees, double lonDegrees)
{
    if (!std::isfinite(latDegrees) || !std::isfinite(lonDegrees)) {
        return {};  // no place, no crossing
    }
    const double lat = std::clamp(latDegrees, -90.0, 90.0);
    const Site site{std::sin(lat * kRadiansPerDegree), std::cos(lat * kRadiansPerDegree), lonDegrees,
        std::sin(kHorizonDegrees * kRadiansPerDegree)};
    const sys_days day{date};
    const Sample first = sampleAt(site, unixSeconds(day));
    const Sample last = sampleAt(site, unixSeconds(day + days(1)));
    // The smallest daily swing of the height over the date.
    const double swing = site.cosLat * std::cos(std::fabs(first.declination) + kMaxDeclinationRate * kSecondsPerDay);
    Found found;
    if (swing < kMinDailySwing) {
        searchByWalking(site, first, last, found);
    } else {
        searchByCulminations(site, swing, first, last, found);
    }
    SunTimes times;
    if (!found.any) {
        times.daylight = first.up() ? Daylight::PolarDay : Daylight::PolarNight;
        return times;
    }
    times.sunrise = onDate(found.firstRise, day);
    times.sunset = onDate(found.lastSet, day);
    return times;
}

}  // namespace skybrant
