#include "quick_batch.h"

#include "core/ellipsoid.h"
#include "core/units.h"
#include "core/utf8.h"
#include "usage.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace skybrant::cli {

namespace {

constexpr std::array kSwitches = {
    Option::Batch, Option::Json, Option::LongPath, Option::Ellipsoid, Option::Locator, Option::Entity};
constexpr std::array kValued = {Option::Units, Option::Cty};

// The option an argument names, if it is one of those above.
std::optional<Option> quickOption(std::string_view name)
{
    for (const auto& group : {std::span<const Option>(kSwitches), std::span<const Option>(kValued)}) {
        const auto found = std::ranges::find_if(group, [name](Option o) { return help(o).name == name; });
        if (found != group.end()) {
            return *found;
        }
    }
    return std::nullopt;
}

bool takesValue(Option option)
{
    return std::ranges::find(kValued, option) != kValued.end();
}

// Printable UTF-8 only: the full command line reads other bytes its own
// way (through Qt's text, with a mark of its own on negative numbers), and
// the same arguments must mean the same whichever program reads them.
bool plainText(std::string_view arg)
{
    while (!arg.empty()) {
        const std::size_t length = utf8Length(arg);
        if (length == 0 || (length == 1 && (static_cast<unsigned char>(arg[0]) < 0x20 || arg[0] == 0x7F))) {
            return false;
        }
        arg.remove_prefix(length);
    }
    return true;
}

}  // namespace

std::optional<QuickBatch> readQuickBatch(std::span<char* const> arguments)
{
    unsigned given = 0;
    std::string units(help(Option::Units).defaultValue);
    QuickBatch quick;
    quick.cty = help(Option::Cty).defaultValue;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string_view arg = arguments[i];
        if (!arg.starts_with("--") || !plainText(arg)) {
            return std::nullopt;
        }
        arg.remove_prefix(2);
        const std::size_t equals = arg.find('=');
        const auto option = quickOption(arg.substr(0, equals));
        const unsigned bit = option ? 1U << static_cast<unsigned>(*option) : 0;
        if (!option || (given & bit) != 0) {
            return std::nullopt;
        }
        given |= bit;
        if (!takesValue(*option)) {
            if (equals != std::string_view::npos) {
                return std::nullopt;
            }
            continue;
        }
        std::string_view value;
        if (equals != std::string_view::npos) {
            value = arg.substr(equals + 1);
        } else if (i + 1 < arguments.size() && arguments[i + 1][0] != '-' && plainText(arguments[i + 1])) {
            value = arguments[++i];
        } else {
            return std::nullopt;
        }
        (*option == Option::Units ? units : quick.cty) = value;
    }
    const auto bitOf = [](Option o) { return 1U << static_cast<unsigned>(o); };
    const auto unit = unitFromTypedSymbol(units);
    if ((given & bitOf(Option::Batch)) == 0 || !unit) {
        return std::nullopt;
    }
    ReportOptions& report = quick.options.report;
    report.unit = *unit;
    report.longPath = (given & bitOf(Option::LongPath)) != 0;
    report.ellipsoid = (given & bitOf(Option::Ellipsoid)) != 0 ? solveWgs84 : nullptr;
    report.locators = (given & bitOf(Option::Locator)) != 0;
    quick.options.json = (given & bitOf(Option::Json)) != 0;
    quick.options.entity = (given & bitOf(Option::Entity)) != 0;
    return quick;
}

}  // namespace skybrant::cli
