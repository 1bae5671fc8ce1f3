#include "callsign.h"

#include "utf8.h"

#include <algorithm>
#include <array>
#include <span>

namespace skybrant {

namespace {

// More parts than this are not a callsign ("3A/4Z5KJ/LH/P" has four).
constexpr std::size_t kMaxParts = 6;

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isLetter(char c)
{
    return c >= 'A' && c <= 'Z';
}

// A home call has a digit followed by letters (G4ABC, 4U1ITU); a prefix
// ends in its digit or has none (KH6, DL).
bool isCallShaped(std::string_view part)
{
    const auto lastDigit = part.find_last_of("0123456789");
    return part.size() >= 3 && lastDigit != std::string_view::npos && lastDigit + 1 < part.size();
}

bool isSingleDigit(std::string_view part)
{
    return part.size() == 1 && isDigit(part[0]);
}

// Suffixes that leave the station in its home entity.
bool isHomeSuffix(std::string_view part)
{
    return part == "P" || part == "M" || part == "QRP" || part == "A" || part == "R" || part == "LH";
}

std::string_view trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    return first == std::string_view::npos ? std::string_view{}
                                           : text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The DXCC entity of a call whose listing names an entity of another list:
// its longest prefix that names a DXCC entity.
std::string_view dxccEntityOf(const CountryFiles& files, std::string_view call)
{
    for (std::size_t length = call.size(); length > 0; --length) {
        const CountryListing* listing = files.findPrefix(call.substr(0, length));
        if (listing != nullptr && !files.entities()[listing->entity].otherList) {
            return files.entities()[listing->entity].name;
        }
    }
    return {};
}

CallsignInfo found(const CountryFiles& files, const CountryListing& listing)
{
    const CountryEntity& entity = files.entities()[listing.entity];
    CallsignInfo info;
    info.status = CallsignStatus::Found;
    info.entity = entity.name;
    info.primaryPrefix = entity.primaryPrefix;
    info.otherList = entity.otherList;
    info.continent =
        listing.hasContinent ? std::string_view(listing.continent.data(), listing.continent.size()) : entity.continent;
    info.cqZone = listing.cqZone != 0 ? listing.cqZone : entity.cqZone;
    info.ituZone = listing.ituZone != 0 ? listing.ituZone : entity.ituZone;
    info.utcOffsetHours = listing.hasUtcOffset ? listing.utcOffsetHours : entity.utcOffsetHours;
    info.entityReferencePoint = !listing.hasPosition;
    info.position = listing.hasPosition ? positionFromDegrees(listing.latDegrees, listing.lonDegrees)
                                        : positionFromDegrees(entity.latDegrees, entity.lonDegrees);
    return info;
}

CallsignInfo noEntity()
{
    CallsignInfo info;
    info.status = CallsignStatus::NoEntity;
    return info;
}

// The home call alone: its exact entry, else its longest prefix.
CallsignInfo byHomeCall(const CountryFiles& files, std::string_view home)
{
    const CountryListing* listing = files.findExact(home);
    if (listing == nullptr) {
        listing = files.findLongestPrefix(home);
    }
    return listing == nullptr ? noEntity() : found(files, *listing);
}

// The callsign in capitals in buffer, split at each '/'; false when it is
// not letters, digits and '/' between non-empty parts.
struct Parts {
    std::array<char, kMaxCallsignLength> buffer{};
    std::string_view call;
    std::array<std::string_view, kMaxParts> part;
    std::size_t count = 0;
};

bool split(std::string_view callsign, Parts& parts)
{
    if (callsign.empty() || callsign.size() > kMaxCallsignLength) {
        return false;
    }
    for (std::size_t i = 0; i < callsign.size(); ++i) {
        const char c = callsign[i];
        const char upper = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
        if (!isLetter(upper) && !isDigit(upper) && upper != '/') {
            return false;
        }
        parts.buffer[i] = upper;
    }
    parts.call = std::string_view(parts.buffer.data(), callsign.size());
    for (std::size_t start = 0;;) {
        const auto slash = parts.call.find('/', start);
        const std::string_view part = parts.call.substr(start, slash - start);
        if (part.empty() || parts.count == kMaxParts) {
            return false;
        }
        parts.part[parts.count++] = part;
        if (slash == std::string_view::npos) {
            return true;
        }
        start = slash + 1;
    }
}

// The home call is the longest part shaped like one (the right one of two
// the same length: DL/G, the usual order).
std::size_t homePart(const Parts& parts)
{
    const std::span<const std::string_view> written(parts.part.data(), parts.count);
    const bool anyShaped = std::any_of(written.begin(), written.end(), isCallShaped);
    std::size_t home = 0;
    for (std::size_t i = 1; i < parts.count; ++i) {
        const bool candidate = !anyShaped || isCallShaped(parts.part[i]);
        const bool homeShaped = !anyShaped || isCallShaped(parts.part[home]);
        if (candidate && (!homeShaped || parts.part[i].size() >= parts.part[home].size())) {
            home = i;
        }
    }
    return home;
}

// A call of several parts: the first other part that is a prefix decides;
// else a call area digit (G4ABC/2) moves the home call; else the home call.
CallsignInfo portable(const CountryFiles& files, const Parts& parts)
{
    const std::size_t home = homePart(parts);
    const std::string_view homeCall = parts.part[home];
    char area = 0;
    for (std::size_t i = 0; i < parts.count; ++i) {
        const std::string_view part = parts.part[i];
        if (i == home || isHomeSuffix(part)) {
            continue;
        }
        if (isSingleDigit(part)) {
            area = part[0];
        } else if (const CountryListing* listing = files.findLongestPrefix(part)) {
            return found(files, *listing);
        }
    }
    const auto digit = homeCall.find_last_of("0123456789");
    if (area != 0 && digit != std::string_view::npos) {
        std::array<char, kMaxCallsignLength> moved{};
        std::copy(homeCall.begin(), homeCall.end(), moved.begin());
        moved[digit] = area;
        if (const CountryListing* listing = files.findLongestPrefix(std::string_view(moved.data(), homeCall.size()))) {
            return found(files, *listing);
        }
    }
    return byHomeCall(files, homeCall);
}

}  // namespace

namespace {

CallsignInfo lookUpParts(const CountryFiles& files, Parts& parts)
{
    if (const CountryListing* exact = files.findExact(parts.call)) {
        return found(files, *exact);
    }
    // Suffixes at the end: /MM and /AM have no position, the others keep
    // the home entity.
    const std::size_t written = parts.count;
    for (; parts.count > 1; --parts.count) {
        const std::string_view last = parts.part[parts.count - 1];
        if (last == "MM" || last == "AM") {
            CallsignInfo info;
            info.status = last == "MM" ? CallsignStatus::MaritimeMobile : CallsignStatus::AeronauticalMobile;
            return info;
        }
        if (!isHomeSuffix(last)) {
            break;
        }
    }
    if (parts.count < written) {
        const std::string_view rest = parts.part[parts.count - 1];
        const auto length = static_cast<std::size_t>(rest.data() + rest.size() - parts.call.data());
        if (const CountryListing* exact = files.findExact(parts.call.substr(0, length))) {
            return found(files, *exact);
        }
    }
    return parts.count == 1 ? byHomeCall(files, parts.part[0]) : portable(files, parts);
}

}  // namespace

CallsignInfo lookupCallsign(const CountryFiles& files, std::string_view callsign)
{
    Parts parts;
    if (!split(trimmed(callsign), parts)) {
        return {};
    }
    const std::string_view call = parts.call;
    CallsignInfo info = lookUpParts(files, parts);
    if (info.status == CallsignStatus::Found && info.otherList) {
        info.dxccEntity = dxccEntityOf(files, call);
    }
    return info;
}

bool isCallsignShaped(std::string_view text)
{
    Parts parts;
    if (!split(text, parts)) {
        return false;
    }
    return std::any_of(
        parts.part.begin(), parts.part.begin() + static_cast<std::ptrdiff_t>(parts.count), [](std::string_view part) {
            return std::any_of(std::find_if(part.begin(), part.end(), isDigit), part.end(), isLetter);
        });
}

std::string callsignProblem(const CallsignInfo& info, std::string_view callsign)
{
    const std::string call = quote(trimmed(callsign), kMaxCallsignLength + 8);
    const std::string bare = call.substr(1, call.size() - 2);
    switch (info.status) {
    case CallsignStatus::Found:
        return {};
    case CallsignStatus::MaritimeMobile:
        return bare + " is maritime mobile (/MM): a station at sea has no fixed position";
    case CallsignStatus::AeronauticalMobile:
        return bare + " is aeronautical mobile (/AM): a station in the air has no fixed position";
    case CallsignStatus::NoEntity:
        return "no country of the country file has a prefix of " + bare;
    case CallsignStatus::NotACallsign:
        break;
    }
    return call + " is not a callsign: at most 32 letters, digits and '/' between parts";
}

}  // namespace skybrant
