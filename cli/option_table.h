#pragma once
// Every option of skybrant-cli, one row each: the parser reads and checks
// the command line by it, and --help, the man page and the option names in
// the program's code all come from it. A new option is one row here.

#include <array>
#include <cstddef>
#include <string_view>

namespace skybrant::cli {

// What an option's value is, and so how it is checked.
enum class ValueKind {
    Switch,  // no value
    Text,  // any bytes, kept as given
    Units,  // km, mi or nmi in either case
    Seconds,  // above 0, at most 3600
    Degrees,  // an azimuth within the protocol's limits
    Offset,  // a mast offset from -180 to 180, kept to a tenth
    Pixels,  // a whole number from 64 to 4096
    MapFile,  // a file name ending in .png or .svg
    ChartFile,  // optional: a file name ending in .pdf, .svg or .png, or none for the terminal
    ChartOrder,  // heading, prefix or distance
    Time,  // an ISO 8601 UTC date and time, now or none
    Date,  // YYYY-MM-DD
    Address,  // a rotctld's HOST:PORT
    Program,  // a program followed: wsjtx, js8call, n1mm or pst
    Endpoint,  // an IPv4 ADDRESS:PORT, or localhost:PORT
    Host,  // an IPv4 address, or localhost
};

struct OptionHelp {
    std::string_view name{};  // without the leading "--"
    char shortName = '\0';  // the one-letter form after "-", if any
    ValueKind kind = ValueKind::Switch;
    std::string_view valueName{};  // what --help calls the value; empty for a switch
    std::string_view defaultValue{};  // taken when the option is not given; empty for none
    // Another option this one means nothing without, and why (a phrase
    // after the option's name: "--size shapes the map and needs --map").
    std::string_view needs{};
    std::string_view needsWhy{};
    // Another option this one cannot go with, and why.
    std::string_view conflicts{};
    std::string_view conflictsWhy{};
    std::string_view help{};  // what --help says, plain text
    std::string_view manDetails{};  // what the man page adds after it, in roff
    // Given as often as needed, each value kept (--forward A --forward B).
    bool repeatable = false;
};

inline constexpr std::array kOptionTable{
    OptionHelp{.name = "help", .shortName = 'h', .help = "Show this help and exit."},
    OptionHelp{.name = "version",
        .shortName = 'v',
        .help = "Show the version and the country file callsigns are read with, and exit."},
    OptionHelp{.name = "batch",
        .help = "Read pairs from standard input, one per line, and write one output line per input line.",
        .manDetails = "Each line holds a pair in any of the station forms, and the output line is\n"
                      ".IR distance , own_heading , other_heading ,\n"
                      "with a heading field left empty when there is no heading, followed by the\n"
                      "columns the options below add, in the order given under BATCH COLUMNS.\n"
                      "A line that cannot be used becomes\n"
                      ".BI \"ERROR: \" reason\n"
                      "naming the field and what is allowed, so that output lines stay aligned\n"
                      "with input lines.\n"
                      "Blank lines and lines starting with\n"
                      ".B #\n"
                      "are copied through.\n"
                      "Memory use does not grow with the input:\n"
                      ".BR \"skybrant-cli \\-\\-batch \\-\\-long-path < pairs.txt\" ."},
    OptionHelp{.name = "header",
        .needs = "batch",
        .needsWhy = "names the columns of --batch's lines",
        .conflicts = "json",
        .conflictsWhy = "names CSV columns",
        .help = "With --batch, begin the output with one line naming the CSV columns, for spreadsheets; not with "
                "--json."},
    OptionHelp{.name = "adif",
        .kind = ValueKind::Text,
        .valueName = "file",
        .conflicts = "batch",
        .conflictsWhy = "reads its QSOs from a log",
        .help = "Read the QSOs of an ADIF log (.adi) and write one line per QSO with the distance, the beam heading "
                "and the heading back: CSV with the columns record,call,qso_date,time_on,band,mode,from and the "
                "figures of --batch, or --text or --json.",
        .manDetails = "The station worked is where its GRIDSQUARE, else its LAT and LON, else its CALL\n"
                      "through the country file places it; the QSO is made from its MY_GRIDSQUARE or\n"
                      "MY_LAT and MY_LON when the log has them\n"
                      ".RI ( from \" is \" log ),\n"
                      "else from the own station given by\n"
                      ".B \\-\\-from\n"
                      "or the station fields, or saved by the window\n"
                      ".RI ( from \" is \" own ).\n"
                      "A record that cannot be used gives\n"
                      ".BI \"ERROR: record \" N \" at byte \" offset \": \" reason\n"
                      "and the rest of the log is read; the file is read in one pass, whatever its size:\n"
                      ".BR \"skybrant\\-cli \\-\\-adif log.adi \\-\\-from JO01 \\-\\-long-path\" ."},
    OptionHelp{.name = "text",
        .needs = "adif",
        .needsWhy = "writes --adif's QSOs for a person",
        .conflicts = "json",
        .conflictsWhy = "is another way of writing them",
        .help = "With --adif, write each QSO as a line naming it, followed by the lines of its figures."},
    OptionHelp{.name = "from",
        .kind = ValueKind::Text,
        .valueName = "station",
        .help = "The own station in any of the station forms, as one argument: --from JO01, --from \"51.5 -0.12\".",
        .manDetails = "Without\n"
                      ".BR \\-\\-to ,\n"
                      "the station fields after the options are the other station."},
    OptionHelp{.name = "to",
        .kind = ValueKind::Text,
        .valueName = "station",
        .help = "The other station in any of the station forms, as one argument: --to FN20xr.",
        .manDetails = "Without\n"
                      ".BR \\-\\-from ,\n"
                      "the station fields after the options are the own station."},
    OptionHelp{.name = "call",
        .kind = ValueKind::Text,
        .valueName = "callsign",
        .conflicts = "batch",
        .conflictsWhy = "gives one pair's other station",
        .help = "The other station by its callsign, even where the text could be read as a locator: --call AA00AA.",
        .manDetails = "It takes the place of\n"
                      ".BR \\-\\-to ;\n"
                      "the own station comes from\n"
                      ".B \\-\\-from\n"
                      "or the station fields. Without it a callsign is recognised by itself:\n"
                      ".BR \"skybrant\\-cli JO01 VK2ABC\" ."},
    OptionHelp{.name = "calls",
        .needs = "batch",
        .needsWhy = "reads the other station of --batch's lines",
        .help = "With --batch, read the other station of every line as a callsign unless it is written as "
                "coordinates, even where it could be a locator (GB22GE).",
        .manDetails = "For a log of callsigns, some of which have the shape of a locator:\n"
                      ".BR \"skybrant\\-cli \\-\\-batch \\-\\-calls \\-\\-entity < log.txt\" .\n"
                      "A single word with\n"
                      ".B @\n"
                      "before it is a callsign in any line."},
    OptionHelp{.name = "locator",
        .help = "Also show each station's 6- and 8-character locator.",
        .manDetails = "For example:\n"
                      ".BR \"skybrant-cli 51.5 \\-0.12 40.7 \\-74 \\-\\-locator\" ."},
    OptionHelp{.name = "long-path",
        .help = "Also show the distance and beam heading the long way round; with --rotate, turn that way.",
        .manDetails = "The long way is the rest of the circumference, and its heading the short\n"
                      "one turned through 180 degrees:\n"
                      ".BR \"skybrant-cli JO01 FN20xr \\-\\-long-path\" ."},
    OptionHelp{.name = "units",
        .kind = ValueKind::Units,
        .valueName = "km|mi|nmi",
        .defaultValue = "km",
        .help = "Distances in kilometres (km, the default), statute miles (mi) or nautical miles (nmi): --units nmi.",
        .manDetails = "The symbol may be in either case (KM, Nmi).\n"
                      "All come from the same arc by the program's rule of 60 nautical miles of\n"
                      "6080 feet to a degree, 5280 feet to a statute mile and 1.6 km to a mile:\n"
                      ".BR \"skybrant-cli JO01 FN20xr \\-\\-units nmi\" ."},
    OptionHelp{.name = "ellipsoid",
        .help = "Also show the distance and headings on the WGS84 ellipsoid, to see how far the sphere is off.",
        .manDetails = "The geodesic is computed with GeographicLib, and its distance converted\n"
                      "by the international units (1609.344 m to a statute mile, 1852 m to a\n"
                      "nautical mile). The program's sphere runs short of the ellipsoid by up to\n"
                      "about 1.1 %:\n"
                      ".BR \"skybrant-cli JO01 FN20xr \\-\\-ellipsoid\" ."},
    OptionHelp{.name = "json",
        .help = "Write JSON, every field named and units stated; with --batch one object per line.",
        .manDetails = "A heading that does not exist is null, and a station that cannot be read\n"
                      "gives an object with only its\n"
                      ".B error\n"
                      "(the message also goes to standard error).\n"
                      "With\n"
                      ".BR \\-\\-batch ,\n"
                      "the output is JSON Lines: one object per pair or failed line, each with its\n"
                      ".B line\n"
                      "number; blank and comment lines give no output:\n"
                      ".BR \"skybrant-cli JO01 FN20xr \\-\\-json\" ."},
    OptionHelp{.name = "sun",
        .help = "Also show sunrise and sunset (UTC) at both stations today, or on the --date; with --batch as the "
                "columns own_sunrise,own_sunset,other_sunrise,other_sunset.",
        .manDetails = "The upper limb of the sun on the horizon with standard refraction, by NOAA's\n"
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
    OptionHelp{.name = "magnetic",
        .help = "Also show the beam headings as a compass shows them, by the World Magnetic Model 2025 today or on "
                "the --date, with the declination at each station; with --batch as the columns own_magnetic_heading, "
                "other_magnetic_heading, own_declination and other_declination.",
        .manDetails = "The magnetic heading from a station is its true beam heading less the\n"
                      "magnetic declination there (east positive), both to the nearest degree;\n"
                      "the declination is shown to a tenth of a degree.\n"
                      "The model's coefficients are built into the program; it is made for\n"
                      "2025.0 to 2030.0 and says so for a date outside those years.\n"
                      "Near the magnetic poles, where the horizontal field is under 6,000 nT, a\n"
                      "note says that a compass may be unreliable (under 2,000 nT: is):\n"
                      ".BR \"skybrant-cli JO01 FN20xr \\-\\-magnetic \\-\\-date 2026-06-21\" ."},
    OptionHelp{.name = "date",
        .kind = ValueKind::Date,
        .valueName = "YYYY-MM-DD",
        .help = "The UTC date of --sun and --magnetic, from 1901-01-01 to 2099-12-31 (default today)."},
    OptionHelp{.name = "map",
        .kind = ValueKind::MapFile,
        .valueName = "file",
        .conflicts = "batch",
        .conflictsWhy = "draws one pair's map",
        .help = "Also draw the azimuthal map centred on the own station, with the paths to the other one, to a .png "
                "or .svg file: --map wall.png.",
        .manDetails = "Every great circle from home is a straight line on it: the short path solid\n"
                      "through the other station to the rim, the long path dashed the other way;\n"
                      "the rim is the far side of the globe. Land, sea and the night side come\n"
                      "from the pictures of\n"
                      ".B xplanet-images\n"
                      "when they are installed. No display is needed:\n"
                      ".BR \"skybrant-cli JO01 FN20xr \\-\\-map wall.png \\-\\-size 2048\" ."},
    OptionHelp{.name = "size",
        .kind = ValueKind::Pixels,
        .valueName = "pixels",
        .defaultValue = "1024",
        .needs = "map",
        .needsWhy = "shapes the map",
        .help = "The map's width and height in pixels, from 64 to 4096 (default 1024); needs --map."},
    OptionHelp{.name = "time",
        .kind = ValueKind::Time,
        .valueName = "utc",
        .defaultValue = "now",
        .needs = "map",
        .needsWhy = "shapes the map",
        .help = "The UTC time of the map's night side, from 1901-01-01 to 2099-12-31, such as 2026-06-21T20:00Z; now "
                "(the default) or none for no night side; needs --map.",
        .manDetails = "A time with an offset, such as 2026-06-21T22:00+02:00, is taken at that\n"
                      "offset; seconds and a space in place of the T may be given."},
    OptionHelp{.name = "chart",
        .kind = ValueKind::ChartFile,
        .valueName = "[file]",
        .conflicts = "batch",
        .conflictsWhy = "lists the entities from the own station",
        .help = "List the beam heading and distance, short and long path, from the own station to every entity of "
                "the country file; with a .pdf, .svg or .png file name, draw it as a page to print: --chart wall.pdf.",
        .manDetails = "Each entity stands at its reference point in the country file (never at a\n"
                      "prefix, which may read as a locator), once, with its primary prefix, name and\n"
                      "continent; with\n"
                      ".BR \\-\\-magnetic ,\n"
                      "the headings as a compass shows them at the own station too.\n"
                      "Text for a terminal, CSV with\n"
                      ".B \\-\\-csv\n"
                      "or JSON with\n"
                      ".BR \\-\\-json ;\n"
                      "the page is A4, or Letter where the locale's paper is, in two columns, with\n"
                      "the own station, date, unit and country file version at its head.\n"
                      "The file name must follow the option directly:\n"
                      ".BR \"skybrant-cli \\-\\-chart wall.pdf \\-\\-from JO01 \\-\\-sort prefix\" ."},
    OptionHelp{.name = "sort",
        .kind = ValueKind::ChartOrder,
        .valueName = "heading|prefix|distance",
        .defaultValue = "heading",
        .needs = "chart",
        .needsWhy = "orders the chart",
        .help = "The order of the --chart: by beam heading (the default), primary prefix or distance."},
    OptionHelp{.name = "csv",
        .needs = "chart",
        .needsWhy = "writes the chart as CSV",
        .conflicts = "json",
        .conflictsWhy = "writes CSV",
        .help = "Write the --chart as CSV, with a line naming the columns."},
    OptionHelp{.name = "rotate",
        .kind = ValueKind::Address,
        .valueName = "host[:port]",
        .conflicts = "batch",
        .conflictsWhy = "turns to one pair's heading",
        .help = "Turn the rotator of a Hamlib rotctld at this address (port 4533 when none is given) to the beam "
                "heading: --rotate localhost, --rotate [::1]:4533.",
        .manDetails = "The figures are computed first; then the rotator of the\n"
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
    OptionHelp{.name = "timeout",
        .kind = ValueKind::Seconds,
        .valueName = "seconds",
        .defaultValue = "2",
        .needs = "rotate",
        .needsWhy = "is the wait for the rotator",
        .help = "Seconds to wait for the rotator once its name is looked up, at most 3600 (default 2): --timeout 5.",
        .manDetails = "The wait covers the whole exchange once a host name has been looked up\n"
                      "(the system's resolver keeps its own time limits); the value is above 0:\n"
                      ".BR \"\\-\\-rotate [::1]:4533 \\-\\-timeout 5\" .\n"
                      "With\n"
                      ".BR \\-\\-wait ,\n"
                      "each reading of the position has this long again."},
    OptionHelp{.name = "min-az",
        .kind = ValueKind::Degrees,
        .valueName = "degrees",
        .needs = "rotate",
        .needsWhy = "limits the rotator",
        .help = "The lowest azimuth the rotator turns to, in place of what its daemon says: --min-az -180.",
        .manDetails = "With\n"
                      ".BR \\-\\-max-az ,\n"
                      "the daemon is not asked at all:\n"
                      ".BR \"\\-\\-rotate localhost:4533 \\-\\-min-az 0 \\-\\-max-az 450\" ."},
    OptionHelp{.name = "max-az",
        .kind = ValueKind::Degrees,
        .valueName = "degrees",
        .needs = "rotate",
        .needsWhy = "limits the rotator",
        .help = "The highest azimuth the rotator turns to, in place of what its daemon says: --max-az 450.",
        .manDetails = "Both limits are from {lowest-azimuth} to {highest-azimuth}."},
    OptionHelp{.name = "offset",
        .kind = ValueKind::Offset,
        .valueName = "degrees",
        .needs = "rotate",
        .needsWhy = "is the rotator's",
        .help = "What the rotator reads with the antenna pointing north, from -180 to 180 to a tenth of a degree, in "
                "place of the mast offset the map window saved: --offset -12.5.",
        .manDetails = "The azimuth sent is the beam heading plus the offset.\n"
                      "Without this option the offset saved by the map window's rotator panel is\n"
                      "applied (none saved is 0); a saved offset that cannot be read stops the\n"
                      "turn before the rotator is asked, naming the file:\n"
                      ".BR \"\\-\\-rotate localhost:4533 \\-\\-offset 0\" ."},
    OptionHelp{.name = "wait",
        .needs = "rotate",
        .needsWhy = "waits for the rotator",
        .help = "Wait until the rotator is within {arrived-degrees} degrees of the azimuth sent, stands still short of "
                "it, or the "
                "--wait-timeout ends.",
        .manDetails = "The position is read twice a second; on a terminal a line on the error\n"
                      "stream shows it as it changes.\n"
                      "Standing still for 5 s short of the azimuth ends the wait with status 5,\n"
                      "the wait running out with status 4; the rotator is left to carry on.\n"
                      "The last position read is reported either way:\n"
                      ".BR \"\\-\\-rotate localhost:4533 \\-\\-wait\" ."},
    OptionHelp{.name = "wait-timeout",
        .kind = ValueKind::Seconds,
        .valueName = "seconds",
        .defaultValue = "120",
        .needs = "wait",
        .needsWhy = "is how long --wait waits",
        .help = "How long --wait waits for the rotator to arrive, at most 3600 (default 120): --wait-timeout 300.",
        .manDetails = "Counted from when the rotator accepts the turn."},
    OptionHelp{.name = "follow",
        .kind = ValueKind::Program,
        .valueName = "wsjtx|js8call|n1mm|pst",
        .conflicts = "batch",
        .conflictsWhy = "listens for another program until interrupted",
        .help = "Follow another program until interrupted (Ctrl+C): the station picked in WSJT-X or JTDX (wsjtx) or "
                "JS8Call (js8call), or the rotor commands of N1MM Logger+ (n1mm) or of a logger speaking PstRotator's "
                "protocol (pst); one line per event, with --rotate turning the rotator.",
        .manDetails = "The own station comes from\n"
                      ".B \\-\\-from\n"
                      "or the one the window saved.\n"
                      "WSJT-X and JTDX send their Status messages to UDP 127.0.0.1:2237 by default\n"
                      "(Settings, Reporting, UDP Server); the DX call and DX grid picked there are\n"
                      "followed, the grid placing the station (a 4-character square also shows the\n"
                      "headings its edges span), the country file when there is no grid.\n"
                      "JS8Call's UDP API (port 2242) names the selected call; its grid is the one\n"
                      "last spotted with it.\n"
                      "A turn is made only when the call or grid changes, the new heading is more\n"
                      "than 5 degrees (the short way round) from where the antenna was turned, and\n"
                      "10 s have passed since the last turn; a pick within them waits for their end.\n"
                      "N1MM Logger+ sends its rotor commands to UDP 12040 and gets the position back\n"
                      "on UDP 13010 of its host, as\n"
                      ".BR \"Beam @ 1460\" ;\n"
                      "a logger using PstRotator's protocol sends to UDP 12000 and gets\n"
                      ".B AZ:146\n"
                      "back on the next port.\n"
                      "SIGINT or SIGTERM end the run with status 0:\n"
                      ".BR \"skybrant\\-cli \\-\\-follow wsjtx \\-\\-from JO01mm \\-\\-rotate localhost\" ."},
    OptionHelp{.name = "listen",
        .kind = ValueKind::Endpoint,
        .valueName = "address:port",
        .needs = "follow",
        .needsWhy = "is where --follow listens",
        .help = "Where --follow listens, in place of the program's own loopback port: --listen 239.255.0.1:2237 "
                "joins that multicast group on the loopback interface.",
        .manDetails = "A unicast port is taken by one listener alone: a second program listening\n"
                      "there silently gets some of the datagrams. Give WSJT-X a multicast group\n"
                      "(such as 239.255.0.1), which every listener receives, or keep its port and\n"
                      "pass the datagrams on with\n"
                      ".BR \\-\\-forward ."},
    OptionHelp{.name = "forward",
        .kind = ValueKind::Endpoint,
        .valueName = "address:port",
        .needs = "follow",
        .needsWhy = "passes on what --follow receives",
        .help = "Send every datagram taken on, byte for byte, to this address too, such as a logger's: "
                "--forward 127.0.0.1:2238; may be given more than once.",
        .repeatable = true},
    OptionHelp{.name = "allow",
        .kind = ValueKind::Host,
        .valueName = "address",
        .needs = "follow",
        .needsWhy = "names a sender --follow takes",
        .help = "Take datagrams from this address too (only loopback is taken otherwise): --allow 192.168.1.20; may "
                "be given more than once.",
        .manDetails = "Each sender refused is named once on standard error.",
        .repeatable = true},
    OptionHelp{.name = "cty",
        .kind = ValueKind::Text,
        .valueName = "file",
        .help = "Read callsigns with this country file (cty.dat) instead of the default one.",
        .manDetails = "Without it,\n"
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
    OptionHelp{.name = "entity",
        .help = "Also name the country file and its version; with --batch add the callsign columns.",
        .manDetails = "Text output always shows the country, continent, zones and UTC offset of\n"
                      "a station given by callsign; this adds the file's name and version.\n"
                      "With\n"
                      ".BR \\-\\-batch ,\n"
                      "each line gains, for the own and then the other station,\n"
                      ".IR callsign , entity , prefix , continent , cq_zone , itu_zone , utc_offset , about ,\n"
                      "empty for a station not given by callsign, and after those, for the own\n"
                      "and then the other station,\n"
                      ".IR wae , dxcc_entity :\n"
                      ".B wae\n"
                      "for an entity of the WAE list only (Sicily, European Turkey), with the DXCC\n"
                      "country it counts for.\n"
                      "With\n"
                      ".BR \\-\\-json ,\n"
                      "the object gains\n"
                      ".BR country_file ."},
};

// An option of the table named in the program's code, checked while
// compiling: a name that is in no row does not build.
class OptionName {
public:
    // NOLINTNEXTLINE(google-explicit-constructor): written as the option's name, "batch"
    consteval OptionName(const char* name) : at(indexOf(name)) { }
    constexpr std::size_t index() const { return at; }
    constexpr const OptionHelp& row() const { return kOptionTable.at(at); }

private:
    static void notAnOption();  // not constexpr, so naming an unknown option cannot compile

    static consteval std::size_t indexOf(std::string_view name)
    {
        for (std::size_t i = 0; i < kOptionTable.size(); ++i) {
            if (kOptionTable.at(i).name == name) {
                return i;
            }
        }
        notAnOption();
        return kOptionTable.size();
    }

    std::size_t at;
};

}  // namespace skybrant::cli
