// The report over any 32-bit entries and any hemisphere texts: no NaN,
// infinity or exponent in a text, well-formed distance and headings, and
// swapping the stations swaps the headings and keeps the distance.

#include "core/report.h"
#include "core/report_text.h"
#include "fuzz_text.h"

#include <cstring>
#include <string>

namespace {

using skybrant::StationEntry;

bool wellFormed(const std::string& s, bool oneDecimal, double high)
{
    if (s.empty()) {
        return false;
    }
    const auto dot = s.find('.');
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (i != dot && (s[i] < '0' || s[i] > '9')) {
            return false;
        }
    }
    if (dot != std::string::npos && (!oneDecimal || dot == 0 || dot + 2 != s.size())) {
        return false;
    }
    return std::stod(s) <= high;
}

std::int32_t take32(const std::uint8_t*& data, std::size_t& size)
{
    std::uint32_t v = 0;
    const std::size_t n = size < 4 ? size : 4;
    std::memcpy(&v, data, n);
    data += n;
    size -= n;
    return static_cast<std::int32_t>(v);
}

// Small values most of the time, so that ordinary positions come up.
std::int32_t field(const std::uint8_t*& data, std::size_t& size)
{
    const std::int32_t raw = take32(data, size);
    return (raw & 0x80) != 0 ? raw : raw % 400;
}

std::string hemisphere(const std::uint8_t*& data, std::size_t& size)
{
    static const char* const kCommon[] = {"N", "S", "E", "W", " S ", "W  ", "s", "", "X"};
    if (size == 0) {
        return "N";
    }
    const std::uint8_t pick = *data++;
    --size;
    if (pick < 200) {
        return kCommon[pick % std::size(kCommon)];
    }
    const std::size_t n = size < (pick - 200U) % 4 ? size : (pick - 200U) % 4;
    std::string s(reinterpret_cast<const char*>(data), n);
    data += n;
    size -= n;
    return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    StationEntry e[2];
    for (auto& s : e) {
        s.latDegrees = field(data, size);
        s.latMinutes = field(data, size);
        s.latSeconds = field(data, size);
        s.lonDegrees = field(data, size);
        s.lonMinutes = field(data, size);
        s.lonSeconds = field(data, size);
        s.latHemisphere = hemisphere(data, size);
        s.lonHemisphere = hemisphere(data, size);
    }
    const skybrant::Position own = skybrant::positionFromEntry(e[0]);
    const skybrant::Position other = skybrant::positionFromEntry(e[1]);
    const auto t = skybrant::makeReport(own, other, {});
    FUZZ_CHECK(wellFormed(figureText(t.distance), true, 19898.2));
    FUZZ_CHECK(figureText(t.ownToOther).empty() == !t.result.hasHeadings());
    FUZZ_CHECK(figureText(t.otherToOwn).empty() == !t.result.hasHeadings());
    FUZZ_CHECK(figureText(t.ownToOther).empty() || wellFormed(figureText(t.ownToOther), false, 360));
    FUZZ_CHECK(figureText(t.otherToOwn).empty() || wellFormed(figureText(t.otherToOwn), false, 360));

    // The stations exchanged on purpose: the figures must swap with them.
    const skybrant::Position& first = other;
    const skybrant::Position& second = own;
    const auto swapped = skybrant::makeReport(first, second, {});
    FUZZ_CHECK(figureText(swapped.distance) == figureText(t.distance));
    FUZZ_CHECK(figureText(swapped.ownToOther) == figureText(t.otherToOwn) &&
        figureText(swapped.otherToOwn) == figureText(t.ownToOther));
    return 0;
}
