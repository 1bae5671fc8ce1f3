#include "usage.h"

#include "rotator/rotator_limits.h"
#include "rotator/rotator_policy.h"

#include <array>

namespace skybrant::cli {

namespace {

constexpr std::array<std::string_view, 4> kSynopsis{
    "[options] OWN OTHER",
    "[options] --from OWN --to OTHER",
    "--batch [options] < pairs",
    "--follow wsjtx|js8call|n1mm|pst [options]",
};

constexpr std::array kStationForms{
    StationForm{"eight fields", "LAD LAM LAS N|S LOD LOM LOS E|W",
        "Latitude degrees, minutes, seconds and N or S, then longitude degrees, minutes, seconds and E or W. "
        "Degrees are whole numbers of at most 90 (latitude) or 180 (longitude); minutes and seconds are at most 60, "
        "and must not be above 0 at 90 degrees latitude or 180 degrees longitude. There is no lower bound, and "
        "negative numbers are numbers, not options."},
    StationForm{"a Maidenhead locator", "JO01",
        "Of 2, 4, 6, 8 or 10 characters, such as JO01, FN20xr or JO01mm12ab: field (letters A to R), square "
        "(digits), subsquare (letters A to X), extended square (digits), extended subsquare (letters A to X). A "
        "locator stands for the centre of its square."},
    StationForm{"decimal degrees", "LAT LON",
        "North and east positive, such as 51.5 -0.12; latitude from -90 to 90, longitude from -180 to 180."},
    StationForm{"a position with hemisphere letters", "51 30 N 0 7 W",
        "Each coordinate with N or S, E or W before or after it, in either order: decimal degrees (51.5N 0.12W, "
        "N51.5 W0.12), degrees and minutes with optional seconds, with or without the signs \u00b0 ' \" or with "
        ": (51 30 N 0 7 W, 51\u00b030'N 0\u00b007'W, 51:30:00N 0:07:00W, 51d30N 0d7W), and ADIF's N051 30.000 "
        "W000 07.000. Minutes and seconds are below 60; only the last number of a coordinate may have a fraction."},
    StationForm{"a callsign or prefix", "W1AW",
        "Such as W1AW, VK2ABC, DL/G4ABC, G4ABC/P or a bare prefix (VK, W) for its country, standing where the "
        "country file (cty.dat, see --cty) places it, most often at its country's reference point; /P, /M, /A, "
        "/QRP, /R and /LH stay in the home country. Where a text could be two things: @ before it always makes "
        "it a callsign (@GB22GE, @DL); a valid locator or a number is read as one, and when the country file also "
        "lists it as a prefix or call the run says so once (for a two-character locator always, for a longer one "
        "when the file is read for the run anyway) (\"DL read as a locator; write @DL for the "
        "callsign\"); a text that is neither, and that the country file lists, is that callsign (TX9, RAEM). "
        "--call and, with --batch, --calls read the other station as a callsign."},
};

constexpr std::array kExitStatuses{
    ExitStatus{0, "Success."},
    ExitStatus{1,
        "A pair could not be computed (in batch mode: any line), there is no beam heading to turn the rotator to, "
        "or reading or writing failed."},
    ExitStatus{2, "A usage error, such as a wrong number of fields or an unknown option."},
    ExitStatus{3,
        "The rotator could not be reached: the connection was refused, the host is unknown, or the network is "
        "unreachable."},
    ExitStatus{4,
        "The rotator did not answer within the timeout, or with --wait had not arrived when the --wait-timeout "
        "ran out."},
    ExitStatus{5,
        "The rotator answered with an error code (RPRT -1, for example) or with something that is not its "
        "protocol, no azimuth within its range points along the heading, or with --wait it stood still short of "
        "the azimuth sent."},
};

constexpr std::array kExamples{
    Example{"London to New York", "skybrant-cli 51 30 0 N 0 7 0 W 40 42 0 N 74 0 0 W",
        "Distance: 5539.2 km\n"
        "Beam heading from my station: 288 degrees\n"
        "Beam heading from the other station: 51 degrees"},
    Example{"Locators, the long path, the ellipsoid and each station's locator",
        "skybrant-cli --from JO01 --to FN20xr --long-path --ellipsoid --locator",
        "Distance: 5612.6 km\n"
        "Beam heading from my station: 289 degrees\n"
        "Beam heading from the other station: 51 degrees\n"
        "Long path distance: 34183.7 km\n"
        "Long path beam heading from my station: 109 degrees\n"
        "WGS84 ellipsoid distance: 5660.9 km\n"
        "WGS84 ellipsoid heading from my station: 289 degrees\n"
        "WGS84 ellipsoid heading from the other station: 51 degrees\n"
        "Locator of my station: JO01mm (JO01mm00)\n"
        "Locator of the other station: FN20xr (FN20xr55)"},
    Example{"Decimal degrees and entry fields, distance in statute miles",
        R"(skybrant-cli --from "51.5 -0.12" --to "40 42 0 N 74 0 0 W" --units mi)", ""},
    Example{"As JSON", "skybrant-cli JO01 FN20xr --json", ""},
    Example{"Callsigns, with their countries and zones and the country file",
        "skybrant-cli JO01 VK2ABC\nskybrant-cli --from JO01 --call VK2ABC --entity", ""},
    Example{"Sunrise and sunset on a day; the map with the night side of an evening",
        "skybrant-cli JO01 FN20xr --sun --date 2026-06-21\n"
        "skybrant-cli JO01 FN20xr --map wall.svg --time 2026-06-21T20:00Z",
        ""},
    Example{"Many pairs", "printf '51 30 0 N 0 7 0 W 40 42 0 N 74 0 0 W\\n' | skybrant-cli --batch", "5539.2,288,51"},
    Example{"Many pairs with the long path in miles, under a header line",
        "echo JO01 FN20xr | skybrant-cli --batch --header --long-path --units mi",
        "distance,own_heading,other_heading,long_distance,long_heading\n"
        "3507.9,289,51,21364.8,109"},
    Example{"Many pairs, one JSON object per line, in nautical miles",
        "skybrant-cli --batch --json --units nmi < pairs.txt", ""},
    Example{"Turning a rotator: start the daemon for the rotator (here Hamlib's dummy rotator, model 1), then point "
            "it at the other station, waiting up to 5 s for each answer and until it arrives",
        "rotctld -m 1 -T 127.0.0.1 -t 4533 &\n"
        "skybrant-cli JO01 FN20xr --rotate 127.0.0.1:4533 --timeout 5 --wait",
        ""},
    Example{"Following WSJT-X: turning the rotator to each station picked there, its datagrams passed on to a "
            "logger listening at port 2238, one JSON object per event until Ctrl+C",
        "skybrant-cli --follow wsjtx --from JO01mm --rotate localhost \\\n"
        "    --forward 127.0.0.1:2238 --json",
        ""},
};

}  // namespace

const std::string_view kDescription =
    "Computes the beam heading from the own station towards the other station, the heading back, and the "
    "great-circle distance between them, the same way as the Skybrant window; with --batch, for every pair "
    "of standard input.";

const std::string_view kStationNotes =
    "The own station comes first. With only the other station given (a single station, or --to or --call "
    "alone), the own station is the one the Skybrant window saved, and the program says so on standard error. "
    "An argument may hold several fields separated by blanks. Letters may be in either case.";

const std::string_view kBatchNotes =
    "Blank lines and lines starting with # are copied through; a line that cannot be used becomes "
    "\"ERROR: <reason>\". With --json each pair or failed line is one JSON object with its line number instead. "
    "A pair line may hold at most 65536 bytes; blank and comment lines any number.";

const std::string_view kManFigures = "Headings are whole degrees clockwise from true north, 359.5 and above\n"
                                     "showing as 360 as in the window; distances are to one decimal.\n"
                                     "A latitude past a pole (89 60 60 N) continues down the far side of the globe.\n"
                                     "When both stations are at the same place there is no heading, and when they\n"
                                     "are at opposite points of the globe every heading leads there: both\n"
                                     "headings are then reported as none, with a note.";

const std::string_view kManRotatorOutput =
    "Without \\-\\-json the figures are printed before the rotator is turned, so\n"
    "they are there whatever the rotator does.\n"
    "With\n"
    ".BR \\-\\-json ,\n"
    "the object's\n"
    ".B rotator\n"
    "member holds the\n"
    ".BR address ,\n"
    "the\n"
    ".B beam_heading\n"
    "turned to, the range the azimuth was chosen in\n"
    ".RB ( min_azimuth ,\n"
    ".BR max_azimuth ,\n"
    "and\n"
    ".B range_from\n"
    "\\(em rotator, options, options and rotator, or assumed), the\n"
    ".B start_azimuth\n"
    "before the turn, the\n"
    ".B commanded_azimuth\n"
    "sent, the\n"
    ".B result\n"
    "(started, arrived, stopped, wait ran out or failed),\n"
    ".B arrived\n"
    "(null without \\-\\-wait), the\n"
    ".B reported_azimuth\n"
    "and\n"
    ".B reported_elevation\n"
    "where a wait ended (null without one), and the\n"
    ".B error\n"
    "when there is one.";

const std::string_view kManSeeAlso = ".BR rotctld (1)\n"
                                     ".PP\n"
                                     "The Skybrant window,\n"
                                     ".BR skybrant ,\n"
                                     "does the same for one pair at a time; start it from the desktop's\n"
                                     "application menu.";

std::span<const std::string_view> synopsis()
{
    return kSynopsis;
}

std::span<const StationForm> stationForms()
{
    return kStationForms;
}

std::span<const ExitStatus> exitStatuses()
{
    return kExitStatuses;
}

std::span<const Example> examples()
{
    return kExamples;
}

std::string withFigures(std::string_view text)
{
    const std::pair<std::string_view, std::string> figures[] = {
        {"{lowest-azimuth}", std::to_string(static_cast<int>(rotctl::kLowestAzimuth))},
        {"{highest-azimuth}", std::to_string(static_cast<int>(rotctl::kHighestAzimuth))},
        {"{arrived-degrees}", std::to_string(static_cast<int>(rotctl::kArrivedDegrees))},
    };
    std::string out(text);
    for (const auto& [name, figure] : figures) {
        for (auto at = out.find(name); at != std::string::npos; at = out.find(name, at + figure.size())) {
            out.replace(at, name.size(), figure);
        }
    }
    return out;
}

}  // namespace skybrant::cli
