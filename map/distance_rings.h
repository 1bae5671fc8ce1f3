#pragma once

#include "core/units.h"

#include <QString>

#include <vector>

namespace skybrant {

// A distance ring of the map: its arc from the centre and its label.
struct DistanceRing {
    double arcDegrees = 0;
    QString label;  // "2500 mi"
};

// The round step (1, 2, 2.5 or 5 times a power of ten) nearest to the
// reach divided into the given number of rings; zero for a reach or count
// that is not positive.
double roundRingStep(double reach, int rings);

// The rings of the map in a unit: every round step out to the antipode, in
// that unit, so that the labels are round numbers whichever unit is chosen;
// none in the last 2% before the rim, where it would merge with it.
std::vector<DistanceRing> distanceRings(DistanceUnit unit);

}  // namespace skybrant
