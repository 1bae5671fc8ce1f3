#include "command_arguments.h"

#include <algorithm>
#include <cctype>

namespace skybrant::cli {

namespace {

const OptionHelp* rowNamed(std::string_view name)
{
    const auto* found = std::ranges::find_if(kOptionTable, [name](const OptionHelp& o) { return o.name == name; });
    return found != kOptionTable.end() ? found : nullptr;
}

const OptionHelp* rowWithShortName(std::string_view letters)
{
    if (letters.size() != 1) {
        return nullptr;
    }
    const auto* found =
        std::ranges::find_if(kOptionTable, [letters](const OptionHelp& o) { return o.shortName == letters[0]; });
    return found != kOptionTable.end() ? found : nullptr;
}

std::size_t indexOf(const OptionHelp& row)
{
    return static_cast<std::size_t>(&row - kOptionTable.data());
}

bool isDigit(char c)
{
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// -74, -0.12 and -.5 are numbers of a station, not options.
bool isNegativeNumber(std::string_view arg)
{
    return arg.size() >= 2 && arg[0] == '-' &&
        (isDigit(arg[1]) || (arg.size() >= 3 && arg[1] == '.' && isDigit(arg[2])));
}

// The value of an option given as "--x v": the next argument, or for
// --chart, whose file name is optional, only a picture's name there (any
// other text is a station or an option) and else none. False when the
// value is missing.
bool takeValue(
    const OptionHelp& row, std::span<const char* const> args, std::size_t& i, std::vector<std::string>& texts)
{
    if (row.kind == ValueKind::ChartFile) {
        const bool picture = i + 1 < args.size() && isChartFileName(args[i + 1]);
        texts.emplace_back(picture ? args[++i] : "");
        return true;
    }
    if (i + 1 >= args.size()) {
        return false;
    }
    texts.emplace_back(args[++i]);
    return true;
}

}  // namespace

bool isChartFileName(std::string_view text)
{
    const std::size_t dot = text.rfind('.');
    if (dot == std::string_view::npos || dot == 0 || text.starts_with('-')) {
        return false;
    }
    std::string suffix(text.substr(dot + 1));
    std::ranges::transform(
        suffix, suffix.begin(), [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
    return suffix == "pdf" || suffix == "svg" || suffix == "png";
}

bool CommandLine::read(std::span<const char* const> args, std::string& error)
{
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-' || isNegativeNumber(arg)) {
            arguments.emplace_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        const bool longForm = arg.starts_with("--");
        const std::string_view body = arg.substr(longForm ? 2 : 1);
        const std::size_t equals = longForm ? body.find('=') : std::string_view::npos;
        const std::string_view name = body.substr(0, equals);
        const OptionHelp* row = longForm ? rowNamed(name) : rowWithShortName(name);
        if (row == nullptr) {
            error = "Unknown option '" + std::string(name) + "'.";
            return false;
        }
        std::vector<std::string>& texts = given.at(indexOf(*row));
        if (row->kind == ValueKind::Switch) {
            if (equals != std::string_view::npos) {
                error = "Unexpected value after '" + std::string(arg.substr(0, equals + 2)) + "'.";
                return false;
            }
            texts.emplace_back();
        } else if (equals != std::string_view::npos) {
            texts.emplace_back(body.substr(equals + 1));
        } else if (!takeValue(*row, args, i, texts)) {
            error = "Missing value after '" + std::string(arg) + "'.";
            return false;
        }
    }
    return true;
}

std::optional<std::string> CommandLine::text(OptionName option) const
{
    const std::vector<std::string>& texts = given.at(option.index());
    if (!texts.empty()) {
        return texts.front();
    }
    if (!option.row().defaultValue.empty()) {
        return std::string(option.row().defaultValue);
    }
    return std::nullopt;
}

bool CommandLine::check(std::chrono::sys_seconds now, std::string& error)
{
    for (const OptionHelp& row : kOptionTable) {
        if (!row.repeatable && given.at(indexOf(row)).size() > 1) {
            error = "--" + std::string(row.name) + " is given more than once";
            return false;
        }
    }
    for (const OptionHelp& row : kOptionTable) {
        const std::vector<std::string>& texts = given.at(indexOf(row));
        if (row.kind == ValueKind::Switch || (texts.empty() && row.defaultValue.empty())) {
            continue;
        }
        const std::string text = texts.empty() ? std::string(row.defaultValue) : texts.front();
        if (!readOptionValue(row.kind, text, now, checked.at(indexOf(row)), error)) {
            error.insert(0, "--" + std::string(row.name) + ": ");
            return false;
        }
        for (std::size_t i = 0; row.repeatable && i < texts.size(); ++i) {
            OptionValue& value = repeated.at(indexOf(row)).emplace_back();
            if (!readOptionValue(row.kind, texts[i], now, value, error)) {
                error.insert(0, "--" + std::string(row.name) + ": ");
                return false;
            }
        }
    }
    return checkRelations(error);
}

bool CommandLine::checkRelations(std::string& error) const
{
    for (const OptionHelp& row : kOptionTable) {
        if (given.at(indexOf(row)).empty()) {
            continue;
        }
        const std::string name = "--" + std::string(row.name);
        if (!row.needs.empty() && given.at(indexOf(*rowNamed(row.needs))).empty()) {
            error = name + " " + std::string(row.needsWhy) + " and needs --" + std::string(row.needs);
            return false;
        }
        if (!row.conflicts.empty() && !given.at(indexOf(*rowNamed(row.conflicts))).empty()) {
            error = name + " " + std::string(row.conflictsWhy) + " and cannot go with --" + std::string(row.conflicts);
            return false;
        }
    }
    return true;
}

}  // namespace skybrant::cli
