#include "cluster_lines.h"

#include "locator.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <vector>

namespace skybrant {

namespace {

struct Band {
    double lowKhz;
    double highKhz;
    std::string_view name;
};

constexpr std::array kBands{
    Band{1800, 2000, "160m"},
    Band{3500, 4000, "80m"},
    Band{5250, 5450, "60m"},
    Band{7000, 7300, "40m"},
    Band{10100, 10150, "30m"},
    Band{14000, 14350, "20m"},
    Band{18068, 18168, "17m"},
    Band{21000, 21450, "15m"},
    Band{24890, 24990, "12m"},
    Band{28000, 29700, "10m"},
    Band{50000, 54000, "6m"},
};

// The most a frequency in kHz can be: 300 GHz.
constexpr double kMaxKhz = 3e8;

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// The line without the line end, bells and blanks clusters put around it.
std::string_view trimmed(std::string_view text)
{
    const auto edge = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    while (!text.empty() && edge(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && edge(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::vector<std::string_view> words(std::string_view text)
{
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && isBlank(text[i])) {
            ++i;
        }
        const std::size_t start = i;
        while (i < text.size() && !isBlank(text[i])) {
            ++i;
        }
        if (i > start) {
            out.push_back(text.substr(start, i - start));
        }
    }
    return out;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

std::string upper(std::string_view text)
{
    std::string out(text);
    std::transform(
        out.begin(), out.end(), out.begin(), [](char c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; });
    return out;
}

// A callsign as clusters write it: letters, digits and '/', with a digit.
bool isCall(std::string_view text)
{
    const auto allowed = [](char c) {
        return isDigit(c) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '/';
    };
    return text.size() >= 3 && text.size() <= 20 && std::all_of(text.begin(), text.end(), allowed) &&
        std::any_of(text.begin(), text.end(), isDigit) && text.front() != '/' && text.back() != '/';
}

bool isLocator(std::string_view text)
{
    if (text.size() != 4 && text.size() != 6) {
        return false;
    }
    Position centre;
    std::string error;
    return parseLocator(text, centre, error);
}

// HHMMZ as minutes of the day.
std::optional<int> minuteOf(std::string_view text)
{
    if (text.size() != 5 || (text[4] != 'Z' && text[4] != 'z') ||
        !std::all_of(text.begin(), text.begin() + 4, isDigit)) {
        return std::nullopt;
    }
    const int hours = (text[0] - '0') * 10 + (text[1] - '0');
    const int minutes = (text[2] - '0') * 10 + (text[3] - '0');
    if (hours > 23 || minutes > 59) {
        return std::nullopt;
    }
    return hours * 60 + minutes;
}

std::optional<double> frequencyOf(std::string_view text)
{
    double value = 0;
    if (text.empty() || !std::all_of(text.begin(), text.end(), [](char c) { return isDigit(c) || c == '.'; })) {
        return std::nullopt;
    }
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || !(value > 0) || value > kMaxKhz) {
        return std::nullopt;
    }
    return value;
}

// The last locator written in a comment, as a word or beside '<', '>' or
// '-' ("JO62<ES>FN42" names the DX station's square last).
std::string lastLocatorIn(std::string_view comment)
{
    std::string found;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= comment.size(); ++i) {
        const bool end = i == comment.size() || isBlank(comment[i]) || comment[i] == '<' || comment[i] == '>' ||
            comment[i] == '-' || comment[i] == ',';
        if (!end) {
            continue;
        }
        if (const std::string_view word = comment.substr(start, i - start); isLocator(word)) {
            found = word;
        }
        start = i + 1;
    }
    return found;
}

bool readSpot(std::string_view rest, ClusterSpot& spot)
{
    // "SPOTTER:  FREQ  CALL  comment  HHMMZ [GRID]"
    const std::size_t colon = rest.find(':');
    if (colon == std::string_view::npos || colon == 0) {
        return false;
    }
    std::string_view spotter = trimmed(rest.substr(0, colon));
    if (spotter.ends_with("-#")) {
        spotter.remove_suffix(2);
    }
    if (spotter.empty() || std::any_of(spotter.begin(), spotter.end(), isBlank)) {
        return false;
    }
    const std::vector<std::string_view> all = words(rest.substr(colon + 1));
    if (all.size() < 2) {
        return false;
    }
    const auto frequency = frequencyOf(all[0]);
    if (!frequency || !isCall(all[1])) {
        return false;
    }
    spot.spotter = upper(spotter);
    spot.frequencyKhz = *frequency;
    spot.dxCall = upper(all[1]);
    std::size_t commentEnd = all.size();
    if (all.size() >= 4 && isLocator(all.back()) && minuteOf(all[all.size() - 2])) {
        spot.dxGrid = all.back();
        spot.minuteOfDay = minuteOf(all[all.size() - 2]);
        commentEnd -= 2;
    } else if (all.size() >= 3 && minuteOf(all.back())) {
        spot.minuteOfDay = minuteOf(all.back());
        commentEnd -= 1;
    }
    if (commentEnd > 2) {
        const char* from = all[2].data();
        const char* to = all[commentEnd - 1].data() + all[commentEnd - 1].size();
        spot.comment.assign(from, to);
    }
    if (spot.dxGrid.empty()) {
        spot.dxGrid = lastLocatorIn(spot.comment);
    }
    return true;
}

// A whole number after NAME= in a report, the name standing alone
// ("K=" but not "expK=").
std::optional<int> reading(std::string_view text, std::string_view name)
{
    for (std::size_t at = text.find(name); at != std::string_view::npos; at = text.find(name, at + 1)) {
        if (at != 0 && (std::isalnum(static_cast<unsigned char>(text[at - 1])) != 0)) {
            continue;
        }
        const char* first = text.data() + at + name.size();
        const char* last = text.data() + text.size();
        int value = 0;
        const auto [end, error] = std::from_chars(first, last, value);
        if (error == std::errc{} && end != first && value >= 0 && value <= 1000) {
            return value;
        }
    }
    return std::nullopt;
}

bool readWeather(std::string_view rest, ClusterWeather& weather)
{
    const std::size_t end = std::min({rest.find(' '), rest.find('<'), rest.find(':'), rest.size()});
    weather.reporter = upper(rest.substr(0, end));
    weather.solarFlux = reading(rest, "SFI=");
    weather.aIndex = reading(rest, "A=");
    weather.kIndex = reading(rest, "K=");
    return !weather.reporter.empty() && (weather.solarFlux || weather.aIndex || weather.kIndex);
}

}  // namespace

ClusterLine readClusterLine(std::string_view line)
{
    ClusterLine read;
    const std::string_view text = trimmed(line);
    if (text.starts_with("DX de ") && readSpot(text.substr(6), read.spot)) {
        read.kind = ClusterLineKind::Spot;
    } else if ((text.starts_with("WWV de ") || text.starts_with("WCY de ")) &&
        readWeather(trimmed(text.substr(7)), read.weather)) {
        read.weather.wcy = text.starts_with("WCY");
        read.kind = ClusterLineKind::Weather;
    } else {
        read = {};
    }
    return read;
}

std::string_view bandOf(double frequencyKhz)
{
    for (const Band& band : kBands) {
        if (frequencyKhz >= band.lowKhz && frequencyKhz <= band.highKhz) {
            return band.name;
        }
    }
    return {};
}

}  // namespace skybrant
