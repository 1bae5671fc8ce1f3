#pragma once

#include "core/position.h"

#include <QString>

#include <chrono>
#include <functional>
#include <optional>

class QWidget;

namespace skybrant::ui {

// The mast offset (what the rotator reads with the antenna north) that
// makes the rotator agree with a compass: the antenna points to
// magneticHeading by the compass, where the declination (east positive) is
// this, while the rotator reads azimuth. Within half a turn either way.
double offsetFromCompass(double azimuth, double magneticHeading, double declination);

// The offset for a compass reading as typed ("300", "300°"), or why there
// is none: the reading is no heading, or the rotator has not said where it
// points. The declination is the model's at own on date.
struct CompassOffset {
    std::optional<double> offset;
    QString problem;
};
CompassOffset compassOffset(
    const QString& reading, std::optional<double> azimuth, const Position& own, std::chrono::year_month_day date);

// Opens the dialog over parent that asks where the compass says the antenna
// points. azimuth gives the rotator's reading as it is when OK is pressed;
// once an offset can be worked out, accepted gets it and the dialog closes.
void askCompassReading(QWidget* parent, const Position& own, std::chrono::year_month_day date,
    const std::function<std::optional<double>()>& azimuth, const std::function<void(double)>& accepted);

}  // namespace skybrant::ui
