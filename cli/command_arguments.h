#pragma once
// skybrant-cli's command line, read by the option table: every option in
// the forms --x, --x=v and --x v (and -h, -v), each value checked once and
// kept as the value it stands for, the texts kept as the bytes given.

#include "chart_page.h"
#include "follow/follow_sockets.h"
#include "map_picture.h"
#include "option_table.h"
#include "rotator/rotator_address.h"

#include "core/bearing_chart.h"
#include "core/units.h"

#include <array>
#include <chrono>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

namespace skybrant::cli {

using follow::Endpoint;

// --map's file and the picture its name asks for.
struct MapFile {
    std::string name;
    MapFormat format = MapFormat::Png;
};

// --chart's file and the picture its name asks for; no name for the
// chart on the terminal.
struct ChartFile {
    std::string name;
    ChartFormat format = ChartFormat::Terminal;
};

// Whether a text is a file name --chart takes: one ending in .pdf, .svg or
// .png in either case, not starting with '-'.
bool isChartFileName(std::string_view text);

// --time: the instant of the map's night side, none for no night side.
struct NightTime {
    std::optional<std::chrono::sys_seconds> time;
};

// What an option's value stands for, by its ValueKind: Text is the text,
// Units a DistanceUnit, Seconds milliseconds, Degrees a double, Pixels an
// int, MapFile, Time a NightTime, Date a date, Address where a rotctld is,
// ChartFile a ChartFile, ChartOrder a ChartOrder, Program the program's
// name, Endpoint and Host an Endpoint (a Host's port 0).
using OptionValue = std::variant<std::monostate, std::string, DistanceUnit, std::chrono::milliseconds, double, int,
    MapFile, NightTime, std::chrono::year_month_day, rotctl::RotatorAddress, ChartFile, ChartOrder, Endpoint>;

class CommandLine {
public:
    // Reads the options and the arguments that are not options, without
    // looking at the values; false with a sentence on an unknown option, a
    // value missing or given to a switch.
    bool read(std::span<const char* const> args, std::string& error);
    // Checks every value (the defaults too: "now" is the clock's time) and
    // which options go together; false with a sentence for the user on the
    // first that cannot be used.
    bool check(std::chrono::sys_seconds now, std::string& error);

    bool isSet(OptionName option) const { return count(option) > 0; }
    // The value as given, or the default; nothing for an option not given
    // that has no default.
    std::optional<std::string> text(OptionName option) const;
    // The value check() made of text(option); nullptr when there is none or
    // it is not a T.
    template <typename T>
    const T* value(OptionName option) const
    {
        return std::get_if<T>(&checked.at(option.index()));
    }
    // Every value check() made of a repeatable option, in the order given.
    template <typename T>
    std::vector<T> values(OptionName option) const
    {
        std::vector<T> all;
        for (const OptionValue& value : repeated.at(option.index())) {
            if (const T* one = std::get_if<T>(&value)) {
                all.push_back(*one);
            }
        }
        return all;
    }
    // The arguments that are not options, as given.
    const std::vector<std::string>& positional() const { return arguments; }

private:
    std::size_t count(OptionName option) const { return given.at(option.index()).size(); }
    bool checkRelations(std::string& error) const;

    std::array<std::vector<std::string>, kOptionTable.size()> given;
    std::array<OptionValue, kOptionTable.size()> checked;
    std::array<std::vector<OptionValue>, kOptionTable.size()> repeated;
    std::vector<std::string> arguments;
};

// Checks one value of an option of the given kind; false with the end of a
// sentence after "--name: " saying what is wrong.
bool readOptionValue(
    ValueKind kind, const std::string& text, std::chrono::sys_seconds now, OptionValue& value, std::string& error);

}  // namespace skybrant::cli
