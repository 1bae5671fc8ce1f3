#pragma once
// The Earth's main magnetic field by the World Magnetic Model 2025, for the
// compass: how far magnetic north lies from true north at a station.

#include "position.h"

#include <array>
#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace skybrant {

// The model's Gauss coefficients at its epoch and their yearly change, in
// nT and nT a year, for degree n and order m at index n * (n + 1) / 2 + m.
inline constexpr int kWmmDegree = 12;
inline constexpr std::size_t kWmmTerms = (kWmmDegree + 1) * (kWmmDegree + 2) / 2;
struct WmmCoefficients {
    std::string name;  // "WMM-2025"
    std::string released;  // "11/13/2024"
    double epoch = 0;  // decimal year
    std::array<double, kWmmTerms> g{};
    std::array<double, kWmmTerms> h{};
    std::array<double, kWmmTerms> gPerYear{};
    std::array<double, kWmmTerms> hPerYear{};
};

// Reads a coefficient file in the model's published form (a header line of
// epoch, name and date, rows "n m g h g' h'" for every degree 1 to 12 and
// order 0 to n once, two lines of 9s); nullopt with error set otherwise.
std::optional<WmmCoefficients> readWmmCoefficients(std::string_view text, std::string& error);

// The coefficient file built into the program.
std::string_view builtInWmmText();
const WmmCoefficients& builtInWmm();

// The model is made for 2025.0 up to 2030.0; outside it still answers.
inline constexpr double kWmmValidFrom = 2025.0;
inline constexpr double kWmmValidUntil = 2030.0;

// How far a compass can be trusted where the horizontal field is weak, by
// the model's zones around the magnetic poles.
enum class CompassZone {
    Reliable,  // horizontal field of 6,000 nT and more
    Caution,  // 2,000 to 6,000 nT: the compass may be unreliable
    Blackout,  // under 2,000 nT: the compass is unreliable
};
inline constexpr double kBlackoutBelowNanotesla = 2000;
inline constexpr double kCautionBelowNanotesla = 6000;

// The field at one place and time: north, east and down components, the
// horizontal and total intensity in nT, declination (east of true north
// positive) and inclination (downward positive) in degrees.
struct MagneticField {
    double north = 0;  // X
    double east = 0;  // Y
    double down = 0;  // Z
    double horizontal = 0;  // H
    double total = 0;  // F
    double declination = 0;  // D
    double inclination = 0;  // I
    bool outOfDate = false;  // the time is outside 2025.0 to 2030.0
    CompassZone zone = CompassZone::Reliable;
};

// The model moved on to one time: the coefficients at that time, worked out
// once for every place asked about then (a batch asks for one date on every
// line). The one evaluation of the model.
class MagneticModel {
public:
    MagneticModel(const WmmCoefficients& coefficients, double decimalYear);

    double year() const { return year_; }

    // The field at a geodetic (WGS84) latitude and longitude in degrees and
    // a height above the ellipsoid in km.
    MagneticField field(double latDegrees, double lonDegrees, double heightKm) const;

    // g and h of one term, by order m, then degree n: the order the sums
    // take them in, side by side.
    using Terms = std::array<std::array<std::array<double, 2>, kWmmDegree + 1>, kWmmDegree + 1>;

private:
    double year_ = 0;
    Terms terms_{};
    Terms downTerms_{};  // (n + 1) g and (n + 1) h, for the down component
};

// The field at a geodetic (WGS84) latitude and longitude in degrees, a
// height above the ellipsoid in km and a decimal year.
MagneticField magneticField(
    const WmmCoefficients& model, double latDegrees, double lonDegrees, double heightKm, double decimalYear);

// The decimal year of the start of a UTC date, as the model counts it:
// the year plus the days before the date over the days of the year.
double decimalYear(std::chrono::year_month_day date);

// The built-in model at a station on the ground on a UTC date.
MagneticField magneticFieldAt(const Position& station, std::chrono::year_month_day date);

// A true heading as a compass shows it where the declination is this: the
// heading less the declination, in [0, 360).
double magneticHeading(double trueHeading, double declination);

// A declination to a tenth of a degree with its side, "1.2° W"; the
// degree sign may be given as a word (" degrees").
std::string declinationText(
    double declination, std::string_view decimalSeparator = ".", std::string_view degrees = "\u00b0");
// What a compass does in a zone, after "a compass at <station>" ("is
// unreliable: ..."); empty where it is reliable.
std::string_view compassZoneNote(CompassZone zone);
// "reliable", "caution" or "unreliable".
std::string_view compassZoneName(CompassZone zone);
// Why a declination outside the model's years may be off.
std::string_view outOfDateNote();

}  // namespace skybrant
