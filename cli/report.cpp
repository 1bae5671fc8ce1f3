#include "report.h"

namespace skybrant::cli {

void appendRotatorText(const RotatorReport& r, std::string& out)
{
    if (r.commandedAzimuth.empty() || r.result == "failed") {
        return;
    }
    const std::string turn = "from azimuth " + r.startAzimuth + " to azimuth " + r.commandedAzimuth +
        " (beam heading " + r.heading + " degrees, range " + r.minAzimuth + ".." + r.maxAzimuth + " " +
        (r.rangeFrom == "rotator"          ? "from the rotator"
                : r.rangeFrom == "assumed" ? "assumed"
                                           : "given") +
        ")";
    const std::string at = "azimuth " + r.reportedAzimuth + " degrees, elevation " + r.reportedElevation + " degrees";
    out += "Rotator at " + r.address + ": ";
    if (r.result == "started") {
        out += "turn started " + turn + "\n";
    } else if (r.result == "arrived") {
        out += "turned " + turn + "; it reports " + at + "\n";
    } else if (r.result == "stopped") {
        out += "turning " + turn + " stopped at " + at + "\n";
    } else {
        out += "turning " + turn + " was at " + at + " when the wait ended\n";
    }
}

}  // namespace skybrant::cli
