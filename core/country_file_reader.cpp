#include "country_files.h"

#include "utf8.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace skybrant {

namespace {

constexpr std::string_view kContinents[] = {"AF", "AN", "AS", "EU", "NA", "OC", "SA"};
constexpr int kMaxCqZone = 40;
constexpr int kMaxItuZone = 90;
constexpr double kMaxUtcOffset = 14;
// Texts quoted from the file are cut short after this many bytes.
constexpr std::size_t kQuoteLimit = 40;

std::string shown(std::string_view text)
{
    return quote(text, kQuoteLimit);
}

std::string_view trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// Well-formed UTF-8 without controls.
bool readable(std::string_view text)
{
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const std::size_t length = utf8Length(text.substr(i));
        if (length == 0 || byte < 0x20 || byte == 0x7F) {
            return false;
        }
        i += length;
    }
    return true;
}

bool readInt(std::string_view text, int low, int high, int& value)
{
    text = trimmed(text);
    const auto* end = text.data() + text.size();
    const auto [stop, code] = std::from_chars(text.data(), end, value);
    return !text.empty() && code == std::errc{} && stop == end && value >= low && value <= high;
}

bool readDouble(std::string_view text, double limit, double& value)
{
    text = trimmed(text);
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    const auto* end = text.data() + text.size();
    const auto [stop, code] = std::from_chars(text.data(), end, value, std::chars_format::fixed);
    return !text.empty() && code == std::errc{} && stop == end && std::isfinite(value) && std::abs(value) <= limit;
}

bool isContinent(std::string_view text)
{
    return std::find(std::begin(kContinents), std::end(kContinents), text) != std::end(kContinents);
}

bool isCallCharacter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '/';
}

std::string upperCase(std::string_view text)
{
    std::string out(text);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return out;
}

// File values are positive west; the program's are positive east. Zero
// stays a plain zero.
double eastward(double west)
{
    return west == 0 ? 0.0 : -west;
}

bool isVersionEntry(std::string_view call)
{
    constexpr std::size_t kDigits = 8;
    return call.size() == 3 + kDigits && call.starts_with("VER") &&
        std::all_of(call.begin() + 3, call.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

// Reads a country file line by line into a CountryFiles, stopping at the
// first line it cannot read.
class CountryFileReader {
public:
    CountryFileReader(std::string_view fileName, CountryFiles& out) : fileName_(fileName), out_(out) { }

    bool run(std::string_view text, std::string& error)
    {
        if (text.starts_with("\xEF\xBB\xBF")) {
            text.remove_prefix(3);
        }
        bool ok = true;
        while (ok && !text.empty()) {
            ++line_;
            const auto end = text.find('\n');
            std::string_view row = text.substr(0, end);
            text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
            if (row.ends_with('\r')) {
                row.remove_suffix(1);
            }
            ok = inList_ ? readListLine(row) : readHeaderLine(row);
        }
        if (ok && inList_) {
            ok = fail("the file ends before the list of " + shown(out_.entities_.back().name) + " (line " +
                std::to_string(headerLine_) + ") is closed with ';'");
        }
        if (ok && out_.entities_.empty()) {
            error_.clear();
            appendShown(fileName_, error_);
            error_ += ": the file holds no entities; it is not a country file (cty.dat)";
            ok = false;
        }
        if (!ok) {
            error = error_;
        }
        return ok;
    }

private:
    bool fail(const std::string& message)
    {
        error_.clear();
        appendShown(fileName_, error_);
        error_ += ":" + std::to_string(line_) + ": " + message;
        return false;
    }

    bool readHeaderLine(std::string_view row)
    {
        if (trimmed(row).empty()) {
            return true;
        }
        std::vector<std::string_view> fields;
        std::size_t start = 0;
        for (std::size_t colon = row.find(':'); colon != std::string_view::npos; colon = row.find(':', start)) {
            fields.push_back(row.substr(start, colon - start));
            start = colon + 1;
        }
        constexpr std::size_t kFields = 8;
        if (fields.size() != kFields || !trimmed(row.substr(start)).empty()) {
            return fail("an entity line has 8 fields, each ended by ':' (name, CQ zone, ITU zone, continent, "
                        "latitude, longitude, UTC offset, primary prefix); this line is " +
                shown(trimmed(row)));
        }
        CountryEntity entity;
        entity.name = std::string(trimmed(fields[0]));
        std::string_view prefix = trimmed(fields[7]);
        entity.otherList = prefix.starts_with('*');
        if (entity.otherList) {
            prefix.remove_prefix(1);
        }
        entity.primaryPrefix = std::string(prefix);
        entity.continent = std::string(trimmed(fields[3]));
        double west = 0;
        double offset = 0;
        if (entity.name.empty() || !readable(entity.name)) {
            return fail("the entity name " + shown(fields[0]) + " is empty or holds unreadable characters");
        }
        if (!readInt(fields[1], 1, kMaxCqZone, entity.cqZone)) {
            return fail("the CQ zone " + shown(fields[1]) + " is not a whole number from 1 to 40");
        }
        if (!readInt(fields[2], 1, kMaxItuZone, entity.ituZone)) {
            return fail("the ITU zone " + shown(fields[2]) + " is not a whole number from 1 to 90");
        }
        if (!isContinent(entity.continent)) {
            return fail("the continent " + shown(fields[3]) + " is not one of AF, AN, AS, EU, NA, OC, SA");
        }
        if (!readDouble(fields[4], 90, entity.latDegrees)) {
            return fail("the latitude " + shown(fields[4]) + " is not a number of degrees from -90 to 90");
        }
        if (!readDouble(fields[5], 180, west)) {
            return fail("the longitude " + shown(fields[5]) + " is not a number of degrees from -180 to 180");
        }
        if (!readDouble(fields[6], kMaxUtcOffset, offset)) {
            return fail("the UTC offset " + shown(fields[6]) + " is not a number of hours from -14 to 14");
        }
        if (prefix.empty() || !std::all_of(prefix.begin(), prefix.end(), isCallCharacter)) {
            return fail("the primary prefix " + shown(fields[7]) + " is not letters, digits and '/'");
        }
        if (out_.entities_.size() > std::numeric_limits<std::uint16_t>::max()) {
            return fail("the file lists more entities than a country file can");
        }
        entity.lonDegrees = eastward(west);
        entity.utcOffsetHours = eastward(offset);
        out_.entities_.push_back(std::move(entity));
        inList_ = true;
        headerLine_ = line_;
        return true;
    }

    bool readListLine(std::string_view row)
    {
        const std::string& name = out_.entities_.back().name;
        if (row.find(':') != std::string_view::npos) {
            return fail("a new entity starts before the list of " + shown(name) + " (line " +
                std::to_string(headerLine_) + ") is closed with ';'");
        }
        std::string_view list = trimmed(row);
        if (list.empty()) {
            return true;
        }
        const auto semicolon = list.find(';');
        const bool last = semicolon != std::string_view::npos;
        if (last) {
            if (!trimmed(list.substr(semicolon + 1)).empty()) {
                return fail("text follows the ';' that closes the list of " + shown(name) + ": " +
                    shown(trimmed(list.substr(semicolon + 1))));
            }
            list = trimmed(list.substr(0, semicolon));
        } else if (!list.ends_with(',')) {
            return fail("the line of prefixes of " + shown(name) +
                " ends with neither ',' (more follow) nor ';' (the list is closed)");
        } else {
            list.remove_suffix(1);
        }
        inList_ = !last;
        if (last && list.empty()) {
            return true;
        }
        std::size_t start = 0;
        while (true) {
            const auto comma = list.find(',', start);
            if (!readEntry(trimmed(list.substr(start, comma - start)), name)) {
                return false;
            }
            if (comma == std::string_view::npos) {
                return true;
            }
            start = comma + 1;
        }
    }

    bool readEntry(std::string_view entry, const std::string& name)
    {
        const bool exact = entry.starts_with('=');
        const std::string_view call = entry.substr(exact ? 1 : 0, entry.find_first_of("([<{~") - (exact ? 1 : 0));
        if (call.empty() || !std::all_of(call.begin(), call.end(), isCallCharacter)) {
            return fail("the entry " + shown(entry) + " in the list of " + shown(name) +
                " is not a prefix or an exact call (=CALL) of letters, digits and '/'");
        }
        CountryListing listing;
        listing.entity = static_cast<std::uint16_t>(out_.entities_.size() - 1);
        for (std::string_view rest = entry.substr(call.size() + (exact ? 1 : 0)); !rest.empty();) {
            constexpr std::string_view kOpen = "([<{~";
            constexpr std::string_view kClose = ")]>}~";
            const auto kind = kOpen.find(rest.front());
            const auto close = kind == std::string_view::npos ? kind : rest.find(kClose[kind], 1);
            if (close == std::string_view::npos) {
                return fail("the entry " + shown(entry) + " has text that is not an override: " + shown(rest) +
                    " (overrides are (CQ zone), [ITU zone], <lat/lon>, {continent}, ~UTC offset~)");
            }
            if (!readOverride(kind, rest.substr(1, close - 1), listing)) {
                return fail("the override " + shown(rest.substr(0, close + 1)) + " of " + shown(entry) +
                    " is not a CQ zone 1-40 in (), an ITU zone 1-90 in [], latitude/longitude "
                    "in <>, a continent in {} or a UTC offset in ~~");
            }
            rest.remove_prefix(close + 1);
        }
        std::string key = upperCase(call);
        if (exact && out_.version_.empty() && isVersionEntry(key)) {
            out_.version_ = key;
        }
        CountryFiles::Table& table = exact ? out_.exactCalls_ : out_.prefixes_;
        if (!exact) {
            out_.longestPrefix_ = std::max(out_.longestPrefix_, key.size());
        }
        // A call listed under an entity of another list (Shetland) and under
        // its DXCC country (Scotland) belongs to the narrower one; otherwise
        // the first listing stands.
        const auto [place, added] = table.try_emplace(std::move(key), listing);
        if (!added && out_.entities_.back().otherList && !out_.entities_[place->second.entity].otherList) {
            place->second = listing;
        }
        return true;
    }

    static bool readOverride(std::size_t kind, std::string_view text, CountryListing& listing)
    {
        int zone = 0;
        switch (kind) {
        case 0:
            if (!readInt(text, 1, kMaxCqZone, zone)) {
                return false;
            }
            listing.cqZone = static_cast<std::int8_t>(zone);
            return true;
        case 1:
            if (!readInt(text, 1, kMaxItuZone, zone)) {
                return false;
            }
            listing.ituZone = static_cast<std::int8_t>(zone);
            return true;
        case 2: {
            const auto slash = text.find('/');
            double west = 0;
            if (slash == std::string_view::npos || !readDouble(text.substr(0, slash), 90, listing.latDegrees) ||
                !readDouble(text.substr(slash + 1), 180, west)) {
                return false;
            }
            listing.lonDegrees = eastward(west);
            listing.hasPosition = true;
            return true;
        }
        case 3:
            if (!isContinent(text)) {
                return false;
            }
            listing.continent = {text[0], text[1]};
            listing.hasContinent = true;
            return true;
        default: {
            double offset = 0;
            if (!readDouble(text, kMaxUtcOffset, offset)) {
                return false;
            }
            listing.utcOffsetHours = eastward(offset);
            listing.hasUtcOffset = true;
            return true;
        }
        }
    }

    std::string_view fileName_;
    CountryFiles& out_;
    std::size_t line_ = 0;
    std::size_t headerLine_ = 0;
    bool inList_ = false;
    std::string error_;
};

bool CountryFiles::read(std::string_view text, std::string_view fileName, std::string& error)
{
    CountryFiles files;
    CountryFileReader reader(fileName, files);
    if (!reader.run(text, error)) {
        *this = CountryFiles{};
        return false;
    }
    *this = std::move(files);
    return true;
}

}  // namespace skybrant
