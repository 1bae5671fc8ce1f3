#pragma once
// Every option of skybrant-cli, one row each: the parser reads and checks
// the command line by it, and --help, the man page and the option names in
// the program's code all come from it. A new option is one row: here, or
// among the rows of what reaches out of the program (option_rows_reaching.h).

#include "option_help.h"
#include "option_rows_reaching.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <string_view>

namespace skybrant::cli {

// The rows in the order --help lists them, joined while compiling.
template <std::size_t... Sizes>
consteval auto joinOptionRows(const std::array<OptionHelp, Sizes>&... parts)
{
    std::array<OptionHelp, (Sizes + ...)> all{};
    auto at = all.begin();
    ((at = std::ranges::copy(parts, at).out), ...);
    return all;
}

inline constexpr std::array kGeneralOptionRows{
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
};

inline constexpr std::array kCountryFileOptionRows{
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

inline constexpr std::array kOptionTable =
    joinOptionRows(kGeneralOptionRows, kReachingOptionRows, kCountryFileOptionRows);

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
