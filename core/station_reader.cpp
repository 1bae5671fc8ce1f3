#include "station_reader.h"

#include "callsign.h"
#include "locator.h"
#include "utf8.h"
#include "written_position.h"

#include <algorithm>
#include <array>
#include <utility>

namespace skybrant {

namespace {

// Field counts of the plain forms: a locator or callsign, LAT LON, an entry.
constexpr bool plainCount(std::size_t n)
{
    return n == 1 || n == 2 || n == kEntryFields;
}

std::string upper(std::string_view text)
{
    std::string out(text);
    for (char& c : out) {
        c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    }
    return out;
}

template <typename Read>
bool take(std::span<const std::string_view>& tokens, std::size_t count, Read&& read)
{
    if (!read()) {
        return false;
    }
    tokens = tokens.subspan(count);
    return true;
}

}  // namespace

bool StationReader::listed(std::string_view text) const
{
    std::string unused;
    const CountryFiles* files = rules_.countryFile->files(unused);
    if (files == nullptr || text.size() > kMaxCallsignLength) {
        return false;
    }
    const std::string call = upper(text);
    return files->findExact(call) != nullptr || files->isPrefix(call);
}

bool StationReader::watchesLocators() const
{
    return rules_.countryFile != nullptr && rules_.countryFile->tried() && !rules_.countryFile->noted();
}

// Compared only while the note is still to be given, and only where the
// country file is read anyway or the locator is as coarse as a country
// (two characters), so a run of locators never waits for the file.
void StationReader::noteLocator(std::string_view text)
{
    if (rules_.countryFile == nullptr || (text.size() != 2 && !rules_.countryFile->tried()) || !listed(text) ||
        !rules_.countryFile->firstNote()) {
        return;
    }
    const std::string shown = quote(text, kMaxCallsignLength + 8);
    const std::string bare = shown.substr(1, shown.size() - 2);
    note_ = bare + " read as a locator; write @" + bare + " for the callsign";
}

bool StationReader::readCall(std::string_view text, bool own, Station& station, std::string& error) const
{
    if (rules_.countryFile == nullptr) {
        error = std::string(own ? "own" : "other") + " station: callsigns cannot be read here";
        return false;
    }
    Position position;
    auto call = lookUpStation(*rules_.countryFile, text, position, error);
    if (!call) {
        error.insert(0, own ? "own station: " : "other station: ");
        return false;
    }
    station = {position, StationForm::Callsign, std::move(call)};
    return true;
}

// "@CALL": a callsign, whatever else the text could be.
bool StationReader::readMarkedCall(
    std::span<const std::string_view>& tokens, bool own, Station& station, std::string& error) const
{
    const std::string_view call = tokens[0].substr(1);
    if (call.empty()) {
        error = std::string(own ? "own" : "other") + " station: \"@\" needs a callsign after it";
        return false;
    }
    return take(tokens, 1, [&] { return readCall(call, own, station, error); });
}

// Reads one station from the front of tokens and drops the tokens it used.
// On a bad field returns false and sets error to a sentence naming the
// field and what is allowed; when tokens run out returns false and leaves
// error as it was.
bool StationReader::readStation(
    std::span<const std::string_view>& tokens, Side side, Station& station, std::string& error)
{
    const bool own = side == Side::Own;
    if (tokens.empty()) {
        return false;
    }
    const std::string_view first = tokens[0];
    if (extended_ && first.starts_with('@')) {
        return readMarkedCall(tokens, own, station, error);
    }
    const WrittenRead written = extended_ ? readWrittenPosition(tokens, own) : WrittenRead{};
    const auto takeWritten = [&] {
        station = {written.position, StationForm::Written, std::nullopt};
        tokens = tokens.subspan(written.tokens);
        return true;
    };
    if (!own && rules_.otherAsCallsign && !looksNumeric(first) && written.tokens == 0) {
        return take(tokens, 1, [&] { return readCall(first, own, station, error); });
    }
    Position centre;
    std::string locatorError;
    const bool isLocator = !looksNumeric(first) && parseLocator(first, centre, locatorError);
    // 51d30N 0d7W is a position, though its words are shaped like calls.
    if (rules_.countryFile != nullptr && !isLocator && written.tokens == 0 && isCallsignToken(first)) {
        return take(tokens, 1, [&] { return readCall(first, own, station, error); });
    }
    // The fourth field of an entry is its hemisphere letter; after a locator
    // or in LAT LON it would be a number.
    if (tokens.size() >= kEntryFields && !looksNumeric(tokens[3])) {
        std::string entryError;
        if (readEntryStation(tokens, own, station.position, entryError)) {
            station.form = StationForm::Fields;
            station.call.reset();
            return true;
        }
        if (written.tokens != 0) {
            return takeWritten();
        }
        error = std::move(entryError);
        return false;
    }
    if (written.tokens != 0) {
        return takeWritten();
    }
    if (isLocator) {
        noteLocator(first);
        station = {centre, StationForm::Locator, std::nullopt};
        tokens = tokens.subspan(1);
        return true;
    }
    if (extended_ && rules_.countryFile != nullptr && !looksNumeric(first) && listed(first)) {
        return take(tokens, 1, [&] { return readCall(first, own, station, error); });
    }
    if (!looksNumeric(first)) {
        error = std::move(locatorError);
        error.insert(0, own ? "own " : "other ");
        return false;
    }
    station.form = StationForm::Degrees;
    station.call.reset();
    return readDecimalPair(tokens, own, station.position, error);
}

// The plain forms first, which keep their readings and their words for a
// text they refuse; then the forms written with letters and marks, '@' and
// the prefixes of the country file, for a text they could not read. A text
// with '@' is refused in the words of the forms that read it.
template <typename Read>
bool StationReader::inTwoPasses(std::span<const std::string_view> tokens, std::string& error, Read&& read)
{
    const bool marked = std::ranges::any_of(tokens, [](std::string_view t) { return t.starts_with('@'); });
    for (const bool extended : {false, true}) {
        extended_ = extended;
        std::span<const std::string_view> rest = tokens;
        std::string why;
        if (read(rest, why) && rest.empty()) {
            extended_ = false;
            error.clear();
            return true;
        }
        if (!extended || marked) {
            error = std::move(why);
        }
    }
    extended_ = false;
    return false;
}

ReadResult StationReader::readPair(
    std::span<const std::string_view> tokens, Station& own, Station& other, std::string& error)
{
    const std::size_t found = tokens.size();
    error.clear();
    own = {};
    other = {};
    // Sixteen fields can only be two entries, whatever the fields hold, so
    // a mistyped hemisphere is named as such.
    if (found == 2 * kEntryFields) {
        if (readEntryStation(tokens, true, own.position, error) &&
            readEntryStation(tokens, false, other.position, error)) {
            return ReadResult::Ok;
        }
        return ReadResult::BadField;
    }
    if (inTwoPasses(tokens, error, [&](std::span<const std::string_view>& rest, std::string& why) {
            return readStation(rest, Side::Own, own, why) && readStation(rest, Side::Other, other, why);
        })) {
        return ReadResult::Ok;
    }
    own = {};
    other = {};
    // Counts no pair of the plain forms takes are named as such, whatever
    // the fields say.
    const bool plainPair = std::ranges::any_of(std::array<std::size_t, 3>{1, 2, kEntryFields},
        [found](std::size_t first) { return found > first && plainCount(found - first); });
    if (plainPair && !error.empty()) {
        return ReadResult::BadField;
    }
    error = wrongFieldCount(found);
    return ReadResult::WrongCount;
}

ReadResult StationReader::readOne(
    std::span<const std::string_view> tokens, Side side, Station& station, std::string& error)
{
    const std::size_t found = tokens.size();
    error.clear();
    station = {};
    if (inTwoPasses(tokens, error, [&](std::span<const std::string_view>& rest, std::string& why) {
            return readStation(rest, side, station, why);
        })) {
        return ReadResult::Ok;
    }
    station = {};
    // A text written with hemisphere letters is refused in its own words,
    // but for the eight entry fields, which have theirs.
    const bool entry = found == kEntryFields && !looksNumeric(tokens[3]);
    if (const WrittenRead written = readWrittenPosition(tokens, side == Side::Own); !entry && !written.error.empty()) {
        error = written.error;
        return ReadResult::BadField;
    }
    if (plainCount(found) && !error.empty()) {
        return ReadResult::BadField;
    }
    error = "expected one station (" + std::string(kStationForms) + "), found " + std::to_string(found) +
        (found == 1 ? " field" : " fields");
    return ReadResult::WrongCount;
}

std::vector<std::string_view> stationTokens(std::string_view text)
{
    std::vector<std::string_view> tokens;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && isFieldBlank(text[i])) {
            ++i;
        }
        const std::size_t start = i;
        while (i < text.size() && !isFieldBlank(text[i])) {
            ++i;
        }
        if (i > start) {
            tokens.push_back(text.substr(start, i - start));
        }
    }
    return tokens;
}

}  // namespace skybrant
