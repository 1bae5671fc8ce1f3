// The lines of a DX cluster: any bytes are a spot, a report or console
// text, never a crash; what is read as a spot holds a frequency, a call, a
// time of day and a locator that can be used.

#include "core/cluster_lines.h"
#include "core/locator.h"
#include "fuzz_text.h"

#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    const skybrant::ClusterLine read = skybrant::readClusterLine(line);
    if (read.kind == skybrant::ClusterLineKind::Spot) {
        const skybrant::ClusterSpot& spot = read.spot;
        FUZZ_CHECK(spot.frequencyKhz > 0 && spot.frequencyKhz <= 3e8);
        FUZZ_CHECK(!spot.dxCall.empty() && !spot.spotter.empty());
        FUZZ_CHECK(!spot.minuteOfDay || (*spot.minuteOfDay >= 0 && *spot.minuteOfDay < 24 * 60));
        skybrant::Position centre;
        std::string error;
        FUZZ_CHECK(spot.dxGrid.empty() || skybrant::parseLocator(spot.dxGrid, centre, error));
        FUZZ_CHECK(spot.comment.size() <= size);
        (void)skybrant::bandOf(spot.frequencyKhz);
    }
    if (read.kind == skybrant::ClusterLineKind::Weather) {
        FUZZ_CHECK(read.weather.solarFlux || read.weather.aIndex || read.weather.kIndex);
    }
    return 0;
}
