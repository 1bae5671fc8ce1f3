#include "report.h"

#include "locator.h"

#include <cmath>

namespace skybrant {

namespace {

// The distance in tenths, halves upward.
double distanceTenths(double distance)
{
    return std::floor(distance * 10 + 0.5);
}

Figure tenthsFigure(double tenths)
{
    return {tenths / 10, tenths, true};
}

Figure distanceFigure(double distance)
{
    return tenthsFigure(distanceTenths(distance));
}

Figure headingFigure(double degrees)
{
    return tenthsFigure(roundHeading(degrees) * 10);
}

// Headings as a compass shows them at each end, from the unrounded true
// headings, and the declinations to a tenth of a degree.
void addMagnetic(Report& r, bool longPath, std::chrono::year_month_day date)
{
    const MagneticField own = magneticFieldAt(r.own, date);
    const MagneticField other = magneticFieldAt(r.other, date);
    r.ownDeclination = distanceFigure(own.declination);
    r.otherDeclination = distanceFigure(other.declination);
    r.ownCompass = own.zone;
    r.otherCompass = other.zone;
    r.magneticOutOfDate = own.outOfDate;
    if (r.result.hasHeadings()) {
        r.ownMagneticHeading = headingFigure(magneticHeading(r.result.headingOwnToOther, own.declination));
        r.otherMagneticHeading = headingFigure(magneticHeading(r.result.headingOtherToOwn, other.declination));
        if (longPath) {
            r.longMagneticHeading =
                headingFigure(magneticHeading(longPathHeading(r.result.headingOwnToOther), own.declination));
        }
    }
}

}  // namespace

double roundDistance(double distance)
{
    return distanceTenths(distance) / 10;
}

double roundHeading(double degrees)
{
    return std::floor(degrees + 0.5);
}

PairFigures solvePair(const Position& own, const Position& other, DistanceUnit unit)
{
    PairFigures f;
    f.result = solvePositions(own, other);
    f.distance = arcToDistance(f.result.centralAngle, unit);
    f.distanceTenths = distanceTenths(f.distance);
    if (f.result.hasHeadings()) {
        f.ownToOther = roundHeading(f.result.headingOwnToOther);
        f.otherToOwn = roundHeading(f.result.headingOtherToOwn);
    }
    return f;
}

Report makeReport(const Position& own, const Position& other, const ReportOptions& options)
{
    const PairFigures f = solvePair(own, other, options.unit);
    Report r;
    r.own = own;
    r.other = other;
    r.result = f.result;
    const double distance = f.distance;
    r.distance = tenthsFigure(f.distanceTenths);
    const bool headings = r.result.hasHeadings();
    if (headings) {
        r.ownToOther = tenthsFigure(f.ownToOther * 10);
        r.otherToOwn = tenthsFigure(f.otherToOwn * 10);
    }
    if (options.longPath) {
        r.longDistance = distanceFigure(longPathDistance(distance, options.unit));
        if (headings) {
            r.longHeading = headingFigure(longPathHeading(r.result.headingOwnToOther));
        }
    }
    if (options.ellipsoid != nullptr) {
        const GeodesicResult g = options.ellipsoid(own, other);
        r.ellipsoidDistance = distanceFigure(metresToDistance(g.distanceMetres, options.unit));
        if (headings) {
            r.ellipsoidOwnToOther = headingFigure(g.azimuthOwnToOther);
            r.ellipsoidOtherToOwn = headingFigure(g.azimuthOtherToOwn);
        }
    }
    if (options.locators) {
        r.ownLocator6 = locatorOf(own, 6);
        r.ownLocator8 = locatorOf(own, 8);
        r.otherLocator6 = locatorOf(other, 6);
        r.otherLocator8 = locatorOf(other, 8);
    }
    if (options.sunDate) {
        r.ownSun = sunTexts(own, *options.sunDate);
        r.otherSun = sunTexts(other, *options.sunDate);
    }
    if (options.magneticDate) {
        addMagnetic(r, options.longPath, *options.magneticDate);
    }
    return r;
}

std::string_view geometryNote(StationGeometry geometry)
{
    switch (geometry) {
    case StationGeometry::SamePlace:
        return "Both stations are at the same place, so there is no beam heading.";
    case StationGeometry::Antipodes:
        return "The stations are at opposite points of the globe: every beam heading leads there.";
    case StationGeometry::Distinct:
        break;
    }
    return {};
}

}  // namespace skybrant
