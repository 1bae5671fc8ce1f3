#pragma once

#include <span>
#include <string_view>

namespace skybrant::cli {

// What skybrant-cli says about itself, in one place: --help shows it and the
// build writes the man page from it, so the two cannot drift apart.

inline constexpr std::string_view kProgramName = "skybrant-cli";
inline constexpr std::string_view kSummary = "beam headings and great-circle distance between two radio stations";

// The text --help shows above the list of options.
extern const std::string_view kDescription;

enum class Option {
    Batch,
    From,
    To,
    Locator,
    LongPath,
    Units,
    Ellipsoid,
    Rotate,
    Timeout,
    MinAz,
    MaxAz,
    Wait,
    WaitTimeout,
    Json,
    Map,
    Size,
    Time,
    Sun,
    Date,
    Call,
    Cty,
    Entity
};

struct OptionHelp {
    Option option;
    std::string_view name;  // without the leading "--"
    std::string_view valueName;  // empty for a switch
    std::string_view defaultValue;  // empty for none
    std::string_view help;  // what --help says, plain text
    std::string_view manDetails;  // what the man page adds after it, in roff
};

// Every option, in the order --help lists them; option(i).option == i.
std::span<const OptionHelp> options();
const OptionHelp& help(Option option);

struct ArgumentHelp {
    std::string_view name;
    std::string_view syntax;
    std::string_view help;
};
std::span<const ArgumentHelp> arguments();

}  // namespace skybrant::cli
