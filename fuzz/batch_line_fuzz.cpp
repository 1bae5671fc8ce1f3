// The --batch line reader and writer: any line gives one output line, which
// is the line itself (blank or comment), an ERROR line, or three fields: a
// distance from 0 to 19898.2 and two headings, each empty or a whole number
// from 0 to 360. With every column turned on the line starts with the same
// three fields; as JSON it is one object on one line, in valid UTF-8. An
// ERROR line holds no raw control byte, whatever the line held.

#include "cli/batch.h"
#include "cli/callsign_stations.h"
#include "fuzz_text.h"

#include <algorithm>
#include <charconv>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

bool wholeNumber(std::string_view s, int low, int high)
{
    int v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    return !s.empty() && ec == std::errc{} && end == s.data() + s.size() && v >= low && v <= high;
}

void checkWithEveryOption(std::string_view line, bool ok, std::string_view plain)
{
    skybrant::cli::BatchOptions options;
    options.report = {.unit = skybrant::DistanceUnit::StatuteMiles,
        .longPath = true,
        .ellipsoid = skybrant::solveWgs84,
        .locators = true};
    std::string csv;
    FUZZ_CHECK(skybrant::cli::appendBatchLine(line, options, 1, csv) == ok);
    if (ok && plain != line) {
        FUZZ_CHECK(std::count(csv.begin(), csv.end(), ',') == 11);
        // The distance is in other units; the headings are the same.
        const std::string_view headings = plain.substr(plain.find(','));
        const std::string_view rest = std::string_view(csv).substr(csv.find(','));
        FUZZ_CHECK(rest.substr(0, headings.size()) == headings && rest[headings.size()] == ',');
    }
    options.json = true;
    std::string json;
    FUZZ_CHECK(skybrant::cli::appendBatchLine(line, options, 1, json) == ok);
    if (ok && plain == line) {
        FUZZ_CHECK(json.empty());
        return;
    }
    FUZZ_CHECK(json.rfind("{\"line\":1,", 0) == 0);
    FUZZ_CHECK(json.size() >= 2 && json.substr(json.size() - 2) == "}\n");
    FUZZ_CHECK(skybrant::fuzz::terminalSafe(std::string_view(json).substr(0, json.size() - 1)));
}

bool distance(std::string_view s)
{
    double v = -1;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    const auto dot = s.find('.');
    const bool shape = dot == std::string_view::npos || dot + 2 == s.size();
    return !s.empty() && shape && ec == std::errc{} && end == s.data() + s.size() && v >= 0 && v <= 19898.2 &&
        s.find_first_of("eE") == std::string_view::npos;
}

// The quick reader of two plain entries, where it reads a line at all,
// gives the positions the general reader gives.
void checkQuickEntries(std::string_view line)
{
    skybrant::Position quickOwn;
    skybrant::Position quickOther;
    if (!skybrant::cli::readCommonPair(line, quickOwn, quickOther)) {
        return;
    }
    std::vector<std::string_view> tokens;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const std::size_t start = i;
        while (i < line.size() && !skybrant::cli::isFieldBlank(line[i])) {
            ++i;
        }
        if (i > start) {
            tokens.push_back(line.substr(start, i - start));
        }
    }
    skybrant::Position own;
    skybrant::Position other;
    std::string error;
    FUZZ_CHECK(skybrant::cli::readPair(tokens, own, other, error) == skybrant::cli::ReadResult::Ok);
    for (const auto& [a, b] : {std::pair{quickOwn, own}, std::pair{quickOther, other}}) {
        FUZZ_CHECK(a.latDegrees == b.latDegrees && a.lonDegrees == b.lonDegrees && a.latUnits == b.latUnits &&
            a.lonUnits == b.lonUnits);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view line(reinterpret_cast<const char*>(data), size);
    line = line.substr(0, line.find('\n'));  // one line, as the reader hands them over
    std::string out;
    const bool ok = skybrant::cli::appendBatchLine(line, {}, 1, out);
    FUZZ_CHECK(!out.empty() && out.back() == '\n');
    const std::string_view result(out.data(), out.size() - 1);
    FUZZ_CHECK(result.find('\n') == std::string_view::npos);
    checkWithEveryOption(line, ok, result);
    checkQuickEntries(line);
    if (!ok) {
        FUZZ_CHECK(result.substr(0, 7) == "ERROR: ");
        FUZZ_CHECK(skybrant::fuzz::terminalSafe(result));
        return 0;
    }
    if (result == line) {
        return 0;  // a blank or comment line copied through
    }
    const auto c1 = result.find(',');
    FUZZ_CHECK(c1 != std::string_view::npos);
    const auto c2 = result.find(',', c1 + 1);
    FUZZ_CHECK(c2 != std::string_view::npos && result.find(',', c2 + 1) == std::string_view::npos);
    FUZZ_CHECK(distance(result.substr(0, c1)));
    const std::string_view own = result.substr(c1 + 1, c2 - c1 - 1);
    const std::string_view other = result.substr(c2 + 1);
    FUZZ_CHECK(own.empty() == other.empty());
    FUZZ_CHECK(own.empty() || (wholeNumber(own, 0, 360) && wholeNumber(other, 0, 360)));
    return 0;
}
