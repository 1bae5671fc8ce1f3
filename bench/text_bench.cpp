// Number text and field reading per call, each beside a reference measured
// in the same run, so that the figures are read as ratios:
//   skybrant_bench --benchmark_filter='NumberText|ReadFields'
#include "cli/callsign_stations.h"
#include "core/number_text.h"
#include "core/report.h"

#include <benchmark/benchmark.h>

#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace skybrant;

constexpr std::size_t kValues = 4096;

// Three figures a pair: a distance to a tenth and two whole headings.
std::vector<double> roundedFigures()
{
    std::mt19937_64 rng(5);
    std::uniform_real_distribution<double> distance(0, 20016);
    std::uniform_real_distribution<double> heading(0, 360);
    std::vector<double> v;
    for (std::size_t i = 0; i < kValues / 3 + 1; ++i) {
        v.push_back(roundDistance(distance(rng)));
        v.push_back(roundHeading(heading(rng)));
        v.push_back(roundHeading(heading(rng)));
    }
    return v;
}

// Positions as the JSON output writes them: degrees, minutes and seconds
// summed, up to 15 significant digits.
std::vector<double> coordinates()
{
    std::mt19937_64 rng(6);
    std::uniform_int_distribution<int> degrees(-179, 179);
    std::uniform_int_distribution<int> sub(0, 59);
    std::vector<double> v;
    for (std::size_t i = 0; i < kValues; ++i) {
        v.push_back(degrees(rng) + sub(rng) / 60.0 + sub(rng) / 3600.0);
    }
    return v;
}

template <typename Write>
void textOf(benchmark::State& state, const std::vector<double>& values, Write write)
{
    std::string out;
    std::size_t i = 0;
    for (auto _ : state) {
        out.clear();
        write(out, values[i % values.size()]);
        benchmark::DoNotOptimize(out.data());
        ++i;
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}

// The rounded figures: numberText, the general route it shortens, and the
// floor of writing the same tenths as integers with std::to_chars.
void BM_NumberTextRounded(benchmark::State& state)
{
    textOf(state, roundedFigures(), [](std::string& out, double v) { appendNumberText(out, v); });
}
BENCHMARK(BM_NumberTextRounded);

void BM_NumberTextRoundedGeneralRoute(benchmark::State& state)
{
    textOf(state, roundedFigures(), [](std::string& out, double v) { out += numberTextGeneral(v); });
}
BENCHMARK(BM_NumberTextRoundedGeneralRoute);

void BM_NumberTextRoundedIntegerFloor(benchmark::State& state)
{
    textOf(state, roundedFigures(), [](std::string& out, double v) {
        char buf[24];
        const long long tenths = std::llround(v * 10);
        char* end = std::to_chars(buf, buf + sizeof buf, tenths / 10).ptr;
        if (tenths % 10 != 0) {
            *end++ = '.';
            *end++ = static_cast<char>('0' + tenths % 10);
        }
        out.append(buf, end);
    });
}
BENCHMARK(BM_NumberTextRoundedIntegerFloor);

// Coordinates: numberText, the general route, and std::to_chars's shortest
// text alone (which may give 17 digits, so it is a yardstick, not a rival).
void BM_NumberTextCoordinate(benchmark::State& state)
{
    textOf(state, coordinates(), [](std::string& out, double v) { appendNumberText(out, v); });
}
BENCHMARK(BM_NumberTextCoordinate);

void BM_NumberTextCoordinateGeneralRoute(benchmark::State& state)
{
    textOf(state, coordinates(), [](std::string& out, double v) { out += numberTextGeneral(v); });
}
BENCHMARK(BM_NumberTextCoordinateGeneralRoute);

void BM_NumberTextCoordinateToCharsShortest(benchmark::State& state)
{
    textOf(state, coordinates(), [](std::string& out, double v) {
        char buf[32];
        out.append(buf, std::to_chars(buf, buf + sizeof buf, v).ptr);
    });
}
BENCHMARK(BM_NumberTextCoordinateToCharsShortest);

// Sixteen-field pairs split into fields, as a batch line gives them.
struct FieldPairs {
    std::vector<std::string> lines;
    std::vector<std::array<std::string_view, 16>> fields;
};

const FieldPairs& fieldPairs()
{
    static const FieldPairs pairs = [] {
        FieldPairs p;
        std::mt19937_64 rng(8);
        std::uniform_int_distribution<int> lat(0, 89);
        std::uniform_int_distribution<int> lon(0, 179);
        std::uniform_int_distribution<int> sub(0, 59);
        for (std::size_t i = 0; i < kValues; ++i) {
            std::string line;
            for (int station = 0; station < 2; ++station) {
                line += std::to_string(lat(rng)) + ' ' + std::to_string(sub(rng)) + ' ' + std::to_string(sub(rng)) +
                    ((rng() & 1) != 0 ? " N " : " S ") + std::to_string(lon(rng)) + ' ' + std::to_string(sub(rng)) +
                    ' ' + std::to_string(sub(rng)) + ((rng() & 1) != 0 ? " E " : " W ");
            }
            p.lines.push_back(line);
        }
        for (const std::string& line : p.lines) {
            std::array<std::string_view, 16> f{};
            std::size_t n = 0;
            std::size_t start = 0;
            while (n < f.size()) {
                const std::size_t end = line.find(' ', start);
                f[n++] = std::string_view(line).substr(start, end - start);
                start = end + 1;
            }
            p.fields.push_back(f);
        }
        return p;
    }();
    return pairs;
}

// Both stations of a pair from its sixteen fields, with every check.
void BM_ReadFieldsPair(benchmark::State& state)
{
    const FieldPairs& p = fieldPairs();
    Position own;
    Position other;
    std::string error;
    std::size_t i = 0;
    for (auto _ : state) {
        const auto result = cli::readPair(p.fields[i % p.fields.size()], own, other, error);
        benchmark::DoNotOptimize(result);
        benchmark::DoNotOptimize(own);
        benchmark::DoNotOptimize(other);
        ++i;
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}
BENCHMARK(BM_ReadFieldsPair);

// The reference: the twelve numbers of a pair read with strtol and the four
// letters compared, checking nothing, as the plain C program in bench/ does.
void BM_ReadFieldsStrtolReference(benchmark::State& state)
{
    const FieldPairs& p = fieldPairs();
    std::size_t i = 0;
    for (auto _ : state) {
        const char* s = p.lines[i % p.lines.size()].c_str();
        long sum = 0;
        for (int field = 0; field < 16; ++field) {
            char* end = nullptr;
            if (field % 4 == 3) {
                while (*s == ' ') {
                    ++s;
                }
                sum += (*s == 'S' || *s == 'W') ? 1 : 0;
                ++s;
            } else {
                sum += std::strtol(s, &end, 10);
                s = end;
            }
        }
        benchmark::DoNotOptimize(sum);
        ++i;
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}
BENCHMARK(BM_ReadFieldsStrtolReference);

}  // namespace
