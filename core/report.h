#pragma once

#include "ellipsoid.h"
#include "great_circle.h"
#include "magnetic.h"
#include "position.h"
#include "sun_texts.h"
#include "units.h"

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace skybrant {

// What a report holds beyond the distance and the two headings, and how its
// numbers are written.
struct ReportOptions {
    DistanceUnit unit = DistanceUnit::Kilometres;
    std::string decimalSeparator = ".";
    bool longPath = false;
    // The WGS84 figures too, worked out by this (solveWgs84). It is handed in
    // so that the window, which shows none, does not link GeographicLib.
    GeodesicResult (*ellipsoid)(const Position& own, const Position& other) = nullptr;
    bool locators = false;
    // Sunrise and sunset at both stations on this UTC date.
    std::optional<std::chrono::year_month_day> sunDate = std::nullopt;
    // The headings as a compass shows them, by the magnetic model on this
    // UTC date.
    std::optional<std::chrono::year_month_day> magneticDate = std::nullopt;
};

// One rounded figure as a number. Distances are rounded to one decimal and
// headings to whole degrees, halves upward (so 359.5 shows as 360). A
// figure is not shown where there is none: no heading between stations at
// the same place or at antipodes, and nothing for an extra the options
// leave out. The writers write it from its tenths (figureText).
struct Figure {
    double value = 0;
    double tenths = 0;  // value * 10, a whole number held exactly
    bool shown = false;
};

// Display rounding: the distance to one decimal and headings to whole
// degrees, halves upward.
double roundDistance(double distance);
double roundHeading(double degrees);

// The great circle from own to other and its three shown figures as
// numbers, before any text: what every report starts from, and all that a
// plain batch line shows. Distances are in the unit asked for, headings in
// degrees; the rounded ones as roundDistance and roundHeading give them.
struct PairFigures {
    GreatCircleResult result;
    double distance = 0;
    double distanceTenths = 0;  // the rounded distance in tenths
    double ownToOther = 0;  // rounded; only where result.hasHeadings()
    double otherToOwn = 0;
};

PairFigures solvePair(const Position& own, const Position& other, DistanceUnit unit);

// Everything the window and skybrant-cli show for one pair.
struct Report {
    Position own;
    Position other;
    GreatCircleResult result;
    Figure distance;  // txtAB3
    Figure ownToOther;  // txtBA
    Figure otherToOwn;  // txtAB
    Figure longDistance;
    Figure longHeading;  // own to other, the long way round
    Figure ellipsoidDistance;
    Figure ellipsoidOwnToOther;
    Figure ellipsoidOtherToOwn;
    std::string ownLocator6;
    std::string ownLocator8;
    std::string otherLocator6;
    std::string otherLocator8;
    SunTexts ownSun;
    SunTexts otherSun;
    // By the magnetic model: the headings less the declination at the
    // station they are taken at, and the declinations (east positive) in
    // tenths of a degree.
    Figure ownMagneticHeading;
    Figure otherMagneticHeading;
    Figure longMagneticHeading;  // with the long path
    Figure ownDeclination;
    Figure otherDeclination;
    CompassZone ownCompass = CompassZone::Reliable;
    CompassZone otherCompass = CompassZone::Reliable;
    bool magneticOutOfDate = false;
};

// Solves the great circle from own to other and rounds every figure the
// options ask for; the locators and sun times are written as texts.
Report makeReport(const Position& own, const Position& other, const ReportOptions& options);

// A sentence for the operator about a result with no headings; empty for
// an ordinary result.
std::string_view geometryNote(StationGeometry geometry);

}  // namespace skybrant
