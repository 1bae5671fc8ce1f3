#include "band_colours.h"

#include <algorithm>
#include <cctype>

namespace skybrant {

namespace {

struct BandColour {
    std::string_view band;
    QRgb colour;
};

// Light, saturated and apart in hue so that they read on the dark sea and
// on green, brown and white land alike; neighbouring bands differ most.
constexpr BandColour kBandColours[] = {
    {"160m", 0xffff5a5a},  // red
    {"80m", 0xffff9f1c},  // orange
    {"60m", 0xffd2b48c},  // tan
    {"40m", 0xffffe135},  // yellow
    {"30m", 0xff9bff3b},  // lime
    {"20m", 0xff2ee6a0},  // sea green
    {"17m", 0xff36d6ff},  // sky blue
    {"15m", 0xff5d8bff},  // blue
    {"12m", 0xffb06cff},  // violet
    {"10m", 0xffff5ce1},  // magenta
    {"6m", 0xffffffff},  // white
};

bool sameName(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

}  // namespace

QRgb bandColour(std::string_view band)
{
    for (const BandColour& entry : kBandColours) {
        if (sameName(entry.band, band)) {
            return entry.colour;
        }
    }
    return kOtherBandColour;
}

}  // namespace skybrant
