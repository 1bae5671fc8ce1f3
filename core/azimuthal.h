#pragma once

#include "position.h"

#include <optional>

namespace skybrant {

// Where a position lies on the azimuthal equidistant map centred on a
// station: its beam heading and arc from the centre, and the point of the
// map, in units of the map's radius, x to the right and y up. The whole
// globe fills the unit disc; the centre's antipode is its rim.
struct MapPlace {
    double bearing = 0;  // degrees clockwise from north, as the compute flow gives it
    double arc = 0;  // degrees of arc, 0 to 180
    double x = 0;
    double y = 0;
};

// The azimuthal equidistant projection on the program's own sphere (its
// value of pi for every degree/radian conversion), centred on a station.
class AzimuthalProjection {
public:
    explicit AzimuthalProjection(const Position& centre);

    const Position& centre() const { return centre_; }

    // The heading and arc are those the compute flow gives from the centre,
    // taken the short way round in longitude: for a longitude difference
    // past 180 degrees the other station is moved a turn first, which
    // changes the figures only in their eighth decimal.
    MapPlace forward(const Position& point) const;

    // The point of the map at a beam heading (0 to 360) and an arc (0 to
    // 180) from the centre, as forward() places a position with them.
    static MapPlace placeAlong(double bearing, double arc);

    // The position at a point of the map; nothing outside the disc. Every
    // point of the rim is the antipode. Longitudes come back in [-180, 180).
    std::optional<Position> inverse(double x, double y) const;

    // The same point of the globe as a unit vector in a frame turned with the
    // centre's longitude: x towards the equator on the centre's meridian, y a
    // quarter turn east of it, z to the north pole. For drawing a whole map
    // point by point without going through degrees.
    struct GlobeVector {
        double x = 1;
        double y = 0;
        double z = 0;
    };
    std::optional<GlobeVector> toGlobe(double x, double y) const;

private:
    Position centre_;
    double sinLat_ = 0;
    double cosLat_ = 1;
};

}  // namespace skybrant
