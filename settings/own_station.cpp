#include "own_station.h"

#include "ini_line.h"
#include "settings_read.h"

#include "core/utf8.h"
#include "validation/range_checks.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>

namespace skybrant::settings {

namespace {

using validation::Axis;
using validation::Unit;

// One coordinate's four boxes, as kOwnStationKeys lists them from first.
struct Coordinate {
    Axis axis;
    std::size_t first;  // index of its degrees in kOwnStationKeys
    std::string_view letters[2];  // the hemisphere box's list
};
constexpr Coordinate kCoordinates[] = {{Axis::Latitude, 0, {"N", "S"}}, {Axis::Longitude, 4, {"E", "W"}}};

// A coordinate's degrees, minutes and seconds in an entry.
std::array<std::int32_t*, 3> entryNumbers(Axis axis, StationEntry& e)
{
    if (axis == Axis::Latitude) {
        return {&e.latDegrees, &e.latMinutes, &e.latSeconds};
    }
    return {&e.lonDegrees, &e.lonMinutes, &e.lonSeconds};
}

std::string_view withoutBlanks(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t\n");
    return first == std::string_view::npos ? std::string_view()
                                           : text.substr(first, text.find_last_not_of(" \t\n") - first + 1);
}

std::string named(const IniKey& key)
{
    return "key [" + std::string(key.section) + "] " + key.key;
}

std::string holds(const IniKey& key, const std::string& value)
{
    return named(key) + " holds " + quote(value, 40);
}

// Why a number box's saved value is not what the box would take, or
// nothing; read holds its number.
std::optional<std::string> readNumber(
    const IniKey& key, const std::string& value, validation::BoxRole role, std::int32_t degrees, std::int32_t& read)
{
    // The box takes only typed digits; blanks come with its initial text.
    if (value.find_first_not_of("0123456789 \t\n") != std::string::npos) {
        return holds(key, value) + ", which is not a whole number";
    }
    const std::u16string wide(value.begin(), value.end());
    const validation::BoxReading reading = validation::readBox(wide);
    if (const auto broken = validation::firstViolation(role, reading, degrees)) {
        return holds(key, value) + ": at most " + std::to_string(broken->highest) + " is allowed" +
            (broken->atDegreesLimit ? " with " + std::to_string(degrees) + " degrees" : "");
    }
    read = reading.value;
    return std::nullopt;
}

// Reads one coordinate's saved values into its parts of entry; says why
// they are not usable, or nothing.
std::optional<std::string> readCoordinate(const Coordinate& c, const std::vector<std::optional<std::string>>& values,
    StationEntry& entry, std::size_t& blanks)
{
    const bool lat = c.axis == Axis::Latitude;
    const std::array<std::int32_t*, 3> numbers = entryNumbers(c.axis, entry);
    constexpr Unit kUnits[] = {Unit::Degrees, Unit::Minutes, Unit::Seconds};
    for (std::size_t i = 0; i < 3; ++i) {
        const std::string& value = *values[c.first + i];
        blanks += withoutBlanks(value).empty() ? 1 : 0;
        if (auto why = readNumber(kOwnStationKeys[c.first + i], value, {c.axis, kUnits[i]}, *numbers[0], *numbers[i])) {
            return why;
        }
    }
    const IniKey& key = kOwnStationKeys[c.first + 3];
    const std::string& value = *values[c.first + 3];
    const std::string_view letter = withoutBlanks(value);
    if (letter != c.letters[0] && letter != c.letters[1]) {
        return holds(key, value) + ": " + std::string(c.letters[0]) + " or " + std::string(c.letters[1]) +
            " is allowed";
    }
    (lat ? entry.latHemisphere : entry.lonHemisphere) = letter;
    return std::nullopt;
}

std::string whyNotRead(const SettingsBytes& file)
{
    switch (file.state) {
    case SettingsBytes::State::NotRegular:
        return "it is " + std::string(file.kind) + ", not a regular file";
    case SettingsBytes::State::TooLarge:
        return "it is larger than 1 MiB, which no settings file of Skybrant is";
    case SettingsBytes::State::CannotOpen:
        return "the file cannot be opened (" + file.why + ")";
    case SettingsBytes::State::Absent:
    case SettingsBytes::State::Read:
        break;
    }
    return {};
}

std::string text(const StationEntry& e)
{
    return std::to_string(e.latDegrees) + ' ' + std::to_string(e.latMinutes) + ' ' + std::to_string(e.latSeconds) +
        ' ' + e.latHemisphere + ' ' + std::to_string(e.lonDegrees) + ' ' + std::to_string(e.lonMinutes) + ' ' +
        std::to_string(e.lonSeconds) + ' ' + e.lonHemisphere;
}

}  // namespace

SavedValues readSavedValues(const std::string& path, std::span<const IniKey> keys)
{
    SavedValues saved;
    saved.values.resize(keys.size());
    appendShown(path, saved.shownPath);
    const SettingsBytes file = readSettingsBytes(path);
    if (file.state == SettingsBytes::State::Absent) {
        return saved;
    }
    saved.state = SavedValues::State::Unread;
    if (file.state != SettingsBytes::State::Read) {
        saved.why = "the settings in " + saved.shownPath + " could not be read: " + whyNotRead(file);
        return saved;
    }
    // A line that cannot be read may hold a key asked for: the last line of
    // a key is its value, and a heading that cannot be read hides the
    // section of the lines below it.
    const IniText lines = splitIniText(file.bytes);
    IniSection current;
    for (std::size_t n = 0; n < lines.lines.size(); ++n) {
        IniLine line = readIniLine(lines.lines[n].raw, current);
        if (!line.problem.empty()) {
            saved.values.assign(keys.size(), std::nullopt);
            saved.why =
                "the settings in " + saved.shownPath + " could not be read in full: " + iniProblem(n + 1, line.problem);
            return saved;
        }
        for (std::size_t k = 0; k < keys.size() && line.kind == IniLineKind::Key; ++k) {
            if (line.section == keys[k].section && line.key == keys[k].key) {
                saved.values[k] = std::move(line.value);
                break;
            }
        }
    }
    saved.state = SavedValues::State::Read;
    return saved;
}

WindowLoad windowLoad(const std::array<std::u16string, kOwnStationKeys.size()>& texts)
{
    WindowLoad load;
    for (const Coordinate& c : kCoordinates) {
        std::array<std::int32_t*, 3> numbers = entryNumbers(c.axis, load.entry);
        constexpr Unit kUnits[] = {Unit::Degrees, Unit::Minutes, Unit::Seconds};
        for (std::size_t i = 0; i < 3; ++i) {
            const validation::BoxReading reading = validation::readBox(texts.at(c.first + i));
            // A number beyond 32 bits is not stored; the reset stores 0.
            if (!reading.outOfRange) {
                *numbers.at(i) = reading.value;
            }
            if (const auto broken = validation::firstViolation({c.axis, kUnits[i]}, reading, *numbers[0])) {
                *numbers.at(i) = 0;
                load.resetTo.at(c.first + i) = broken->resetText;
            }
        }
        const std::u16string& letter = texts.at(c.first + 3);
        (c.axis == Axis::Latitude ? load.entry.latHemisphere : load.entry.lonHemisphere) =
            std::string(letter.begin(), letter.end());
    }
    return load;
}

std::array<std::string, kOwnStationKeys.size()> ownStationTexts(const Position& position)
{
    // The grid's standard form: latitudes past a pole back on the globe,
    // longitudes within -180 up to 180, 180 itself written as west. A pole
    // keeps the longitude it was given.
    constexpr std::int64_t kTurn = 360 * kUnitsPerDegree;
    const GridPoint point = gridPoint(position);
    std::int64_t lon = point.lon;
    if (std::abs(point.lat) == kTurn / 4) {
        lon = (position.lonUnits % kTurn + kTurn) % kTurn;
        lon = lon >= kTurn / 2 ? lon - kTurn : lon;
    }
    std::array<std::string, kOwnStationKeys.size()> texts;
    for (const Coordinate& c : kCoordinates) {
        const std::int64_t units = c.axis == Axis::Latitude ? point.lat : lon;
        const std::int64_t seconds = (std::abs(units) + kUnitsPerArcSecond / 2) / kUnitsPerArcSecond;
        texts.at(c.first) = std::to_string(seconds / 3600);
        texts.at(c.first + 1) = std::to_string(seconds / 60 % 60);
        texts.at(c.first + 2) = std::to_string(seconds % 60);
        texts.at(c.first + 3) = c.letters[units < 0 ? 1 : 0];
    }
    return texts;
}

SavedOwnStation readSavedOwnStation(const std::string& path)
{
    SavedOwnStation saved;
    const SavedValues file = readSavedValues(path, kOwnStationKeys);
    const std::string noneSaved =
        "no own station is saved in " + file.shownPath + ": give it with --from or as the first station";
    if (file.state == SavedValues::State::Unread) {
        saved.why = file.why;
        return saved;
    }
    const auto& values = file.values;
    if (std::none_of(values.begin(), values.end(), [](const auto& v) { return v.has_value(); })) {
        saved.why = noneSaved;
        saved.noneSaved = true;
        return saved;
    }
    const std::string unusable = "the own station saved in " + file.shownPath + " is not usable: ";
    for (std::size_t k = 0; k < values.size(); ++k) {
        if (!values[k]) {
            saved.why = unusable + named(kOwnStationKeys.at(k)) + " is missing";
            return saved;
        }
    }
    StationEntry entry;
    std::size_t blanks = 0;
    for (const Coordinate& c : kCoordinates) {
        if (auto why = readCoordinate(c, values, entry, blanks)) {
            saved.why = unusable + *why;
            return saved;
        }
    }
    if (blanks == 6) {
        saved.why = noneSaved;
        saved.noneSaved = true;
        return saved;
    }
    saved.position = positionFromEntry(entry);
    saved.text = text(entry);
    saved.entry = std::move(entry);
    return saved;
}

}  // namespace skybrant::settings
