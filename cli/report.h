#pragma once

#include "core/great_circle.h"
#include "core/position.h"
#include "core/units.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace skybrant::cli {

// What to show beyond the distance and the two headings.
struct ReportOptions {
    DistanceUnit unit = DistanceUnit::Kilometres;
    bool longPath = false;
    bool ellipsoid = false;
    bool locators = false;
};

// What became of turning the rotator, as texts.
struct RotatorReport {
    std::string address;  // as given, IPv6 hosts in brackets
    std::string commandedAzimuth;
    bool turned = false;
    std::string reportedAzimuth;  // when turned
    std::string reportedElevation;
    std::string error;  // when not turned
};

// One pair's figures as texts, rounded as the window rounds: distances to
// one decimal, headings to whole degrees. A heading text is empty where
// there is no heading (same place, antipodes). Fields for options that are
// off stay empty.
struct PairReport {
    Position own;
    Position other;
    GreatCircleResult result;
    std::string distance;
    std::string ownToOther;
    std::string otherToOwn;
    std::string longDistance;
    std::string longHeading;
    std::string ellipsoidDistance;
    std::string ellipsoidOwnToOther;
    std::string ellipsoidOtherToOwn;
    std::string ownLocator6;
    std::string ownLocator8;
    std::string otherLocator6;
    std::string otherLocator8;
    std::optional<RotatorReport> rotator;
};

PairReport makeReport(const Position& own, const Position& other, const ReportOptions& options);

// "distance,own_heading,other_heading" and, as the options ask, the long
// path (distance, heading), the ellipsoid (distance, both headings) and the
// locators (own 6 and 8 characters, other 6 and 8). Ends in '\n'.
void appendCsv(const PairReport& report, const ReportOptions& options, std::string& out);

// One JSON object on one line, ending in '\n'. lineNumber 0 leaves out the
// "line" member (a single pair).
void appendJson(const PairReport& report, const ReportOptions& options, std::uint64_t lineNumber, std::string& out);

// The labelled lines a person reads, but for the rotator's.
void appendText(const PairReport& report, const ReportOptions& options, std::string& out);

// "Rotator at HOST:PORT: turning to ..." once it has turned; errors go to
// the error stream instead.
void appendRotatorText(const RotatorReport& rotator, std::string& out);

// {"line":N,"error":"..."} for a batch line that cannot be used.
void appendJsonError(std::uint64_t lineNumber, std::string_view error, std::string& out);

// A JSON string literal for any bytes: quotes, backslashes and control
// characters escaped, bytes that are not UTF-8 replaced by U+FFFD.
void appendJsonString(std::string_view text, std::string& out);

}  // namespace skybrant::cli
