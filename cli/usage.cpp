#include "usage.h"

#include <array>
#include <cstddef>

namespace skybrant::cli {

const std::string_view kDescription = "Beam headings and great-circle distance between two radio stations.\n"
                                      "\n"
                                      "Give the own station, then the other station, each in one of four forms:\n"
                                      "  - eight fields, LAD LAM LAS N|S LOD LOM LOS E|W: latitude degrees, minutes,\n"
                                      "    seconds, N or S, then longitude degrees, minutes, seconds, E or W.\n"
                                      "    Degrees are at most 90 (latitude) or 180 (longitude), minutes and\n"
                                      "    seconds at most 60, with no minutes or seconds above 0 at 90 or 180\n"
                                      "    degrees;\n"
                                      "  - a Maidenhead locator of 2 to 10 characters (JO01, FN20xr, JO01mm12),\n"
                                      "    standing for the centre of its square;\n"
                                      "  - LAT LON in decimal degrees, north and east positive (51.5 -0.12);\n"
                                      "  - a callsign (W1AW, VK2ABC, DL/G4ABC, G4ABC/P), standing for its\n"
                                      "    country's reference point in the country file (cty.dat): a text that\n"
                                      "    is a locator or a number is read as one; --call forces a callsign.\n"
                                      "Letters may be in either case.\n"
                                      "\n"
                                      "Examples:\n"
                                      "  skybrant-cli 51 30 0 N 0 7 0 W 40 42 0 N 74 0 0 W\n"
                                      "  Distance: 5539.2 km\n"
                                      "  Beam heading from my station: 288 degrees\n"
                                      "  Beam heading from the other station: 51 degrees\n"
                                      "\n"
                                      "  Locators in, and each station's locator shown:\n"
                                      "    skybrant-cli --from JO01 --to FN20xr --locator\n"
                                      "  Decimal degrees and entry fields, distance in statute miles:\n"
                                      "    skybrant-cli --from \"51.5 -0.12\" --to \"40 42 0 N 74 0 0 W\" --units mi\n"
                                      "  The long way round and the ellipsoid too, as JSON:\n"
                                      "    skybrant-cli JO01 FN20xr --long-path --ellipsoid --json\n"
                                      "  Turn the rotator of the rotctld on this computer, waiting up to 5 s:\n"
                                      "    skybrant-cli --from JO01 --to FN20xr --rotate localhost:4533 --timeout 5\n"
                                      "  Callsigns, with their countries and zones:\n"
                                      "    skybrant-cli JO01 VK2ABC\n"
                                      "    skybrant-cli --from JO01 --call VK2ABC --entity\n"
                                      "  Many pairs, one JSON object per line, in nautical miles:\n"
                                      "    skybrant-cli --batch --json --units nmi < pairs.txt\n"
                                      "\n"
                                      "With --batch, each line of standard input holds one pair in any of the\n"
                                      "forms above, and each line of output is \"distance,own_heading,other_heading\"\n"
                                      "(a heading is empty when the stations are at the same place or at opposite\n"
                                      "points), or \"ERROR: <reason>\" for a line that cannot be used. Blank lines\n"
                                      "and lines starting with # are copied through. --long-path adds the columns\n"
                                      "long_distance,long_heading; --ellipsoid adds ellipsoid_distance,\n"
                                      "ellipsoid_own_heading,ellipsoid_other_heading; --locator adds own_locator,\n"
                                      "own_locator8,other_locator,other_locator8, in that order. With --json each\n"
                                      "pair or failed line is one JSON object with its line number instead.\n"
                                      "A pair line may hold at most 65536 bytes; blank and comment lines any number.\n"
                                      "  printf '51 30 0 N 0 7 0 W 40 42 0 N 74 0 0 W\\n' | skybrant-cli --batch\n"
                                      "  5539.2,288,51\n"
                                      "  printf 'JO01 FN20xr\\n' | skybrant-cli --batch --long-path\n"
                                      "\n"
                                      "Exit status: 0 on success; 1 when a pair could not be computed (in batch\n"
                                      "mode: any line), there is no heading to turn the rotator to, or reading or\n"
                                      "writing failed; 2 on a usage error; 3 when the rotator cannot be reached;\n"
                                      "4 when it does not answer in time or does not arrive within --wait-timeout;\n"
                                      "5 when it reports an error, cannot point that way within its range, or stops\n"
                                      "short.";

namespace {

constexpr std::array kOptions{
    OptionHelp{Option::Batch, "batch", "", "",
        "Read pairs from standard input, one per line, and write one output line per input line.",
        "Each line holds a pair in any of the forms above, and the output line is\n"
        ".IR distance , own_heading , other_heading ,\n"
        "with a heading field left empty when there is no heading.\n"
        ".B \\-\\-long-path\n"
        "adds\n"
        ".IR long_distance , long_heading ;\n"
        ".B \\-\\-ellipsoid\n"
        "adds\n"
        ".IR ellipsoid_distance , ellipsoid_own_heading , ellipsoid_other_heading ;\n"
        ".B \\-\\-locator\n"
        "adds\n"
        ".IR own_locator , own_locator8 , other_locator , other_locator8 ,\n"
        "in that order.\n"
        "A line that cannot be used becomes\n"
        ".BI \"ERROR: \" reason\n"
        "naming the field and what is allowed, so that output lines stay aligned\n"
        "with input lines.\n"
        "Blank lines and lines starting with\n"
        ".B #\n"
        "are copied through.\n"
        "Memory use does not grow with the input:\n"
        ".BR \"skybrant-cli \\-\\-batch \\-\\-long-path < pairs.txt\" ."},
    OptionHelp{Option::From, "from", "station", "",
        "The own station in any of the four forms, as one argument: --from JO01, --from \"51.5 -0.12\".",
        "Without\n"
        ".BR \\-\\-to ,\n"
        "the station fields after the options are the other station."},
    OptionHelp{Option::To, "to", "station", "",
        "The other station in any of the four forms, as one argument: --to FN20xr.",
        "Without\n"
        ".BR \\-\\-from ,\n"
        "the station fields after the options are the own station."},
    OptionHelp{Option::Locator, "locator", "", "", "Also show each station's 6- and 8-character locator.",
        "For example:\n"
        ".BR \"skybrant-cli 51.5 \\-0.12 40.7 \\-74 \\-\\-locator\" ."},
    OptionHelp{Option::LongPath, "long-path", "", "",
        "Also show the distance and beam heading the long way round; with --rotate, turn that way.",
        "The long way is the rest of the circumference, and its heading the short\n"
        "one turned through 180 degrees:\n"
        ".BR \"skybrant-cli JO01 FN20xr \\-\\-long-path\" ."},
    OptionHelp{Option::Units, "units", "km|mi|nmi", "km",
        "Distances in kilometres (km, the default), statute miles (mi) or nautical miles (nmi): --units nmi.",
        "The symbol may be in either case (KM, Nmi).\n"
        "All come from the same arc by the program's rule of 60 nautical miles of\n"
        "6080 feet to a degree, 5280 feet to a statute mile and 1.6 km to a mile:\n"
        ".BR \"skybrant-cli JO01 FN20xr \\-\\-units nmi\" ."},
    OptionHelp{Option::Ellipsoid, "ellipsoid", "", "",
        "Also show the distance and headings on the WGS84 ellipsoid, to see how far the sphere is off.",
        "The geodesic is computed with GeographicLib, and its distance converted\n"
        "by the international units (1609.344 m to a statute mile, 1852 m to a\n"
        "nautical mile). The program's sphere runs short of the ellipsoid by up to\n"
        "about 1.1 %:\n"
        ".BR \"skybrant-cli JO01 FN20xr \\-\\-ellipsoid\" ."},
    OptionHelp{Option::Rotate, "rotate", "host[:port]", "",
        "Turn the rotator of a Hamlib rotctld at this address (port 4533 when none is given) to the beam heading: "
        "--rotate localhost, --rotate [::1]:4533.",
        "The figures are computed first; then the rotator of the\n"
        ".BR rotctld (1)\n"
        "listening there is turned to the beam heading from the own station (the\n"
        "long-path heading with\n"
        ".BR \\-\\-long-path ),\n"
        "keeping the elevation the rotator reports.\n"
        "The daemon is asked for its azimuth range and position first, and the\n"
        "azimuth sent is the one within that range that points the same way and\n"
        "turns the least: 289 is sent as \\-71 to a rotator limited to \\-180..180,\n"
        "and a heading shown as 360 as 0.\n"
        "When the daemon cannot tell its range, 0..360 is taken, the heading sent\n"
        "as it is, and a note says so.\n"
        "Without\n"
        ".B \\-\\-wait\n"
        "the program ends once the turn has started.\n"
        "An IPv6 address goes in brackets.\n"
        "No other address is ever contacted."},
    OptionHelp{Option::Timeout, "timeout", "seconds", "2",
        "Seconds to wait for the rotator once its name is looked up, at most 3600 (default 2): --timeout 5.",
        "The wait covers the whole exchange once a host name has been looked up\n"
        "(the system's resolver keeps its own time limits); the value is above 0:\n"
        ".BR \"\\-\\-rotate [::1]:4533 \\-\\-timeout 5\" .\n"
        "With\n"
        ".BR \\-\\-wait ,\n"
        "each reading of the position has this long again."},
    OptionHelp{Option::MinAz, "min-az", "degrees", "",
        "The lowest azimuth the rotator turns to, in place of what its daemon says: --min-az -180.",
        "With\n"
        ".BR \\-\\-max-az ,\n"
        "the daemon is not asked at all:\n"
        ".BR \"\\-\\-rotate localhost:4533 \\-\\-min-az 0 \\-\\-max-az 450\" ."},
    OptionHelp{Option::MaxAz, "max-az", "degrees", "",
        "The highest azimuth the rotator turns to, in place of what its daemon says: --max-az 450.",
        "Both limits are from \\-360 to 720."},
    OptionHelp{Option::Wait, "wait", "", "",
        "Wait until the rotator is within 2 degrees of the azimuth sent, stands still short of it, or the "
        "--wait-timeout ends.",
        "The position is read twice a second; on a terminal a line on the error\n"
        "stream shows it as it changes.\n"
        "Standing still for 5 s short of the azimuth ends the wait with status 5,\n"
        "the wait running out with status 4; the rotator is left to carry on.\n"
        "The last position read is reported either way:\n"
        ".BR \"\\-\\-rotate localhost:4533 \\-\\-wait\" ."},
    OptionHelp{Option::WaitTimeout, "wait-timeout", "seconds", "120",
        "How long --wait waits for the rotator to arrive, at most 3600 (default 120): --wait-timeout 300.",
        "Counted from when the rotator accepts the turn."},
    OptionHelp{Option::Json, "json", "", "",
        "Write JSON, every field named and units stated; with --batch one object per line.",
        "A heading that does not exist is null, and a station that cannot be read\n"
        "gives an object with only its\n"
        ".B error\n"
        "(the message also goes to standard error).\n"
        "With\n"
        ".BR \\-\\-batch ,\n"
        "the output is JSON Lines: one object per pair or failed line, each with its\n"
        ".B line\n"
        "number; blank and comment lines give no output:\n"
        ".BR \"skybrant-cli JO01 FN20xr \\-\\-json\" ."},
    OptionHelp{Option::Map, "map", "file", "",
        "Also draw the azimuthal map centred on the own station, with the paths to the other one, to a .png or "
        ".svg file: --map wall.png.",
        "Every great circle from home is a straight line on it: the short path solid\n"
        "through the other station to the rim, the long path dashed the other way;\n"
        "the rim is the far side of the globe. Land, sea and the night side come\n"
        "from the pictures of\n"
        ".B xplanet-images\n"
        "when they are installed. No display is needed:\n"
        ".BR \"skybrant-cli JO01 FN20xr \\-\\-map wall.png \\-\\-size 2048\" ."},
    OptionHelp{Option::Size, "size", "pixels", "1024",
        "The map's width and height in pixels, from 64 to 4096 (default 1024); needs --map.", ""},
    OptionHelp{Option::Time, "time", "utc", "now",
        "The UTC time of the map's night side, such as 2026-06-21T20:00Z; now (the default) or none for no "
        "night side; needs --map.",
        "A time with an offset, such as 2026-06-21T22:00+02:00, is taken at that\n"
        "offset."},
    OptionHelp{Option::Sun, "sun", "", "",
        "Also show sunrise and sunset (UTC) at both stations today, or on the --date; with --batch as the columns "
        "own_sunrise,own_sunset,other_sunrise,other_sunset.",
        "The upper limb of the sun on the horizon with standard refraction, by NOAA's\n"
        "solar calculator equations, to the nearest minute, searched through the\n"
        "whole UTC date; where the sun does not cross the horizon all date long,\n"
        ".B polar day\n"
        "or\n"
        ".BR \"polar night\" .\n"
        "A crossing that falls on the UTC date before or after is\n"
        ".B none\n"
        "(empty in the columns, null in JSON):\n"
        ".BR \"skybrant-cli JO01 FN20xr \\-\\-sun \\-\\-date 2026-06-21\" .\n"
        "Near the polar circles a date can hold two sunrises (the days lengthening\n"
        "fast) or two sunsets; the first sunrise and the last sunset are shown."},
    OptionHelp{Option::Date, "date", "YYYY-MM-DD", "",
        "The UTC date of --sun, from 1901-01-01 to 2099-12-31 (default today).", ""},
    OptionHelp{Option::Call, "call", "callsign", "",
        "The other station by its callsign, even where the text could be read as a locator: --call AA00AA.",
        "It takes the place of\n"
        ".BR \\-\\-to ;\n"
        "the own station comes from\n"
        ".B \\-\\-from\n"
        "or the station fields. Without it a callsign is recognised by itself:\n"
        ".BR \"skybrant\\-cli JO01 VK2ABC\" ."},
    OptionHelp{Option::Cty, "cty", "file", "",
        "Read callsigns with this country file (cty.dat) instead of the default one.",
        "Without it,\n"
        ".I Skybrant/cty.dat\n"
        "in the user's data folder (\n"
        ".B $XDG_DATA_HOME\n"
        "or\n"
        ".IR ~/.local/share )\n"
        "is read when it exists, else\n"
        ".I /usr/share/hamradio-files/cty.dat\n"
        "from the Debian package hamradio-files.\n"
        "Newer country files are published often at country-files.com.\n"
        "A station given by callsign stands at its country's reference point\n"
        "(or where the file places that call or prefix), and the output says\n"
        ".B about\n"
        "for a reference point; maritime (/MM) and aeronautical (/AM) mobile\n"
        "stations have no position."},
    OptionHelp{Option::Entity, "entity", "", "",
        "Also name the country file and its version; with --batch add the callsign columns.",
        "Text output always shows the country, continent, zones and UTC offset of\n"
        "a station given by callsign; this adds the file's name and version.\n"
        "With\n"
        ".BR \\-\\-batch ,\n"
        "each line gains, for the own and then the other station,\n"
        ".IR callsign , entity , prefix , continent , cq_zone , itu_zone , utc_offset , about ,\n"
        "empty for a station not given by callsign.\n"
        "With\n"
        ".BR \\-\\-json ,\n"
        "the object gains\n"
        ".BR country_file ."},
};

constexpr bool inOptionOrder()
{
    for (std::size_t i = 0; i < kOptions.size(); ++i) {
        if (static_cast<std::size_t>(kOptions.at(i).option) != i) {
            return false;
        }
    }
    return true;
}
static_assert(inOptionOrder(), "help(option) indexes the table by the option");

constexpr std::array kArguments{
    ArgumentHelp{"own", "OWN", "The own station, unless --from gives it."},
    ArgumentHelp{"other", "OTHER", "The other station, unless --to gives it."},
};

}  // namespace

std::span<const OptionHelp> options()
{
    return kOptions;
}

const OptionHelp& help(Option option)
{
    return kOptions.at(static_cast<std::size_t>(option));
}

std::span<const ArgumentHelp> arguments()
{
    return kArguments;
}

}  // namespace skybrant::cli
