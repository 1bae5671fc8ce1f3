#pragma once

#include "country_files.h"
#include "position.h"

#include <string>
#include <string_view>

namespace skybrant {

// Longest callsign text looked up, portable parts included.
inline constexpr std::size_t kMaxCallsignLength = 32;

enum class CallsignStatus {
    Found,
    MaritimeMobile,  // /MM: at sea, no fixed position
    AeronauticalMobile,  // /AM: in the air, no fixed position
    NotACallsign,  // empty, too long, or not letters, digits and '/'
    NoEntity,  // no prefix of the country file matches
};

// What the country file says about a callsign. The texts point into the
// CountryFiles it was looked up in and last as long as it does.
struct CallsignInfo {
    CallsignStatus status = CallsignStatus::NotACallsign;
    std::string_view entity;  // "England"
    std::string_view primaryPrefix;  // "G"
    bool otherList = false;  // an entity of the WAE or another list
    // For an entity of another list: the DXCC entity the call counts for,
    // the one its longest prefix of a DXCC entity names; empty when none.
    std::string_view dxccEntity;
    std::string_view continent;
    int cqZone = 0;
    int ituZone = 0;
    double utcOffsetHours = 0;  // ahead of UTC
    Position position;
    // True when position is the entity's reference point rather than one
    // the file gives for this call or prefix: the station is only about
    // there.
    bool entityReferencePoint = false;
};

// Looks up a callsign in either case: an exact call of the file wins, then
// the longest listed prefix. Portable forms: DL/G4ABC and G4ABC/DL (the
// part that is a prefix rather than the home call decides), G4ABC/4 (call
// area 4 of the home prefix), G4ABC/P, /M, /QRP and /A (the home entity);
// /MM and /AM have no position.
CallsignInfo lookupCallsign(const CountryFiles& files, std::string_view callsign);

// Whether text is shaped like a callsign rather than a number or a word:
// letters, digits and '/' between parts as a lookup takes them, one part
// with a letter after a digit, as a call's suffix follows its prefix (W1AW,
// DL/G4ABC, 1A0KM; not 12.5, N, DL, FN2, JO01).
bool isCallsignShaped(std::string_view text);

// A sentence for a lookup that found no position ("G4ABC/MM is maritime
// mobile: ..."); empty for Found.
std::string callsignProblem(const CallsignInfo& info, std::string_view callsign);

}  // namespace skybrant
