#pragma once

#include "position.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace skybrant {

// Where Debian's hamradio-files puts the country file.
inline constexpr std::string_view kPackagedCountryFile = "/usr/share/hamradio-files/cty.dat";

// The operator's own country file, which stands before the packaged one
// (newer ones are published often): Skybrant/cty.dat in $XDG_DATA_HOME, or
// in ~/.local/share when that is unset or not an absolute path. Empty when
// neither $XDG_DATA_HOME nor $HOME gives a place.
std::string userCountryFile();

// The country file to read when none is named: the operator's own when it
// exists, else the packaged one (whose path then names what is missing).
std::string defaultCountryFile();

// One entity (DXCC country, or a country of another award list) of a country
// file, with the program's signs: north and east positive, UTC offsets in
// hours ahead of UTC. The file itself gives longitudes and offsets positive
// west.
struct CountryEntity {
    std::string name;  // "England"
    std::string primaryPrefix;  // "G", "GM/s" (without the '*')
    bool otherList = false;  // marked '*': on the WAE or another list, not DXCC
    std::string continent;  // AF, AN, AS, EU, NA, OC or SA
    int cqZone = 0;
    int ituZone = 0;
    double utcOffsetHours = 0;
    double latDegrees = 0;
    double lonDegrees = 0;
};

// A prefix or exact call of the file with the overrides written after it.
struct CountryListing {
    std::uint16_t entity = 0;  // index into CountryFiles::entities()
    std::int8_t cqZone = 0;  // 0: the entity's
    std::int8_t ituZone = 0;  // 0: the entity's
    bool hasPosition = false;
    bool hasContinent = false;
    bool hasUtcOffset = false;
    std::array<char, 2> continent{};
    double latDegrees = 0;
    double lonDegrees = 0;
    double utcOffsetHours = 0;
};

// The country files (cty.dat, by AD1C and contributors): per entity a line
// "name: CQ zone: ITU zone: continent: latitude: longitude: UTC offset:
// primary prefix:" and then its prefixes and exact calls (=CALL), separated
// by commas and ended by ';'. Each may carry overrides: (CQ zone), [ITU
// zone], <latitude/longitude>, {continent}, ~UTC offset~.
class CountryFiles {
public:
    // Files larger than this are refused rather than read into memory.
    static constexpr std::size_t kMaxFileBytes = std::size_t{16} << 20;

    // Reads the text of a country file, replacing what was read before.
    // fileName names the file in messages. On failure returns false, keeps
    // nothing and sets error to "fileName:line: what is wrong there".
    bool read(std::string_view text, std::string_view fileName, std::string& error);

    // Reads the file at path; a missing, unreadable, oversized or damaged
    // file gives false and a sentence naming it, as does anything but a
    // regular file (a named pipe, a device), which is never waited on.
    bool load(const std::string& path, std::string& error);

    bool empty() const { return entities_.empty(); }
    const std::vector<CountryEntity>& entities() const { return entities_; }

    // The version entry of the file ("VER20230502"), empty when it has none.
    const std::string& version() const { return version_; }

    // The exact call entry for the whole text (in capitals), or null.
    const CountryListing* findExact(std::string_view call) const;

    // The listed prefix that is the longest start of text (in capitals), or
    // null when none is.
    const CountryListing* findLongestPrefix(std::string_view text) const;

    // Whether text (in capitals) is itself a listed prefix.
    bool isPrefix(std::string_view text) const { return prefixes_.find(text) != prefixes_.end(); }

    // The listing of text (in capitals) as a prefix of its own, or null.
    const CountryListing* findPrefix(std::string_view text) const
    {
        const auto found = prefixes_.find(text);
        return found == prefixes_.end() ? nullptr : &found->second;
    }

private:
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
    };
    using Table = std::unordered_map<std::string, CountryListing, Hash, std::equal_to<>>;

    std::vector<CountryEntity> entities_;
    Table prefixes_;
    Table exactCalls_;
    std::size_t longestPrefix_ = 0;
    std::string version_;

    friend class CountryFileReader;
};

}  // namespace skybrant
