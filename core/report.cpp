#include "report.h"

#include "locator.h"
#include "number_text.h"

#include <cmath>

namespace skybrant {

namespace {

// The distance in tenths, halves upward.
double distanceTenths(double distance)
{
    return std::floor(distance * 10 + 0.5);
}

class Rounder {
public:
    explicit Rounder(std::string_view decimalSeparator) : separator_(decimalSeparator) { }

    Figure distance(double value) const { return figure(distanceTenths(value)); }
    Figure heading(double value) const { return figure(roundHeading(value) * 10); }
    Figure figure(double tenths) const { return {tenths / 10, tenthsText(tenths, separator_)}; }

private:
    std::string_view separator_;
};

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
    const Rounder round(options.decimalSeparator);
    const PairFigures f = solvePair(own, other, options.unit);
    Report r;
    r.own = own;
    r.other = other;
    r.result = f.result;
    const double distance = f.distance;
    r.distance = round.figure(f.distanceTenths);
    const bool headings = r.result.hasHeadings();
    if (headings) {
        r.ownToOther = round.figure(f.ownToOther * 10);
        r.otherToOwn = round.figure(f.otherToOwn * 10);
    }
    if (options.longPath) {
        r.longDistance = round.distance(longPathDistance(distance, options.unit));
        if (headings) {
            r.longHeading = round.heading(longPathHeading(r.result.headingOwnToOther));
        }
    }
    if (options.ellipsoid != nullptr) {
        const GeodesicResult g = options.ellipsoid(own, other);
        r.ellipsoidDistance = round.distance(metresToDistance(g.distanceMetres, options.unit));
        if (headings) {
            r.ellipsoidOwnToOther = round.heading(g.azimuthOwnToOther);
            r.ellipsoidOtherToOwn = round.heading(g.azimuthOtherToOwn);
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
