#include "rotator_offset.h"

#include "core/utf8.h"
#include "rotator/rotator_limits.h"

#include <charconv>
#include <cmath>

namespace skybrant::settings {

std::optional<double> offsetFromText(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) {
        return 0.0;
    }
    text = text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
    // As written by hand: a leading + is a sign like any other.
    if (text.size() > 1 && text[0] == '+' && text[1] != '-') {
        text.remove_prefix(1);
    }
    double degrees = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), degrees);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(degrees)) {
        return std::nullopt;
    }
    return rotctl::mastOffset(degrees);
}

SavedOffset readSavedOffset(const std::string& path)
{
    SavedOffset saved;
    const IniKey keys[] = {kRotatorOffset};
    const SavedValues file = readSavedValues(path, keys);
    if (file.state == SavedValues::State::Unread) {
        saved.why = file.why;
        return saved;
    }
    if (!file.values.front()) {
        return saved;
    }
    const std::string& text = *file.values.front();
    if (const auto offset = offsetFromText(text)) {
        saved.offset = *offset;
        return saved;
    }
    saved.why = "the mast offset saved in " + file.shownPath + " is not understood: key [" + kRotatorOffset.section +
        "] " + kRotatorOffset.key + " holds " + quote(text, 40) + ", which is not a number of degrees from -" +
        std::to_string(static_cast<int>(rotctl::kLargestOffset)) + " to " +
        std::to_string(static_cast<int>(rotctl::kLargestOffset));
    return saved;
}

}  // namespace skybrant::settings
