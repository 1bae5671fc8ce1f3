#pragma once
// The shape of a row of skybrant-cli's option table: what the option's value
// is, what it needs or cannot go with, and what --help and the man page say.

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

}  // namespace skybrant::cli
