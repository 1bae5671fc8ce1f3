#include "core/angles.h"
#include "core/great_circle.h"
#include "core/report.h"

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

namespace {

using namespace skybrant;

std::vector<StationEntry> stations(std::size_t n)
{
    std::mt19937_64 rng(1);
    std::uniform_int_distribution<int> lat(0, 89);
    std::uniform_int_distribution<int> lon(0, 179);
    std::uniform_int_distribution<int> sub(0, 59);
    std::vector<StationEntry> v;
    v.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        v.push_back({lat(rng), sub(rng), sub(rng), lon(rng), sub(rng), sub(rng), (rng() & 1) != 0 ? "N" : "S",
            (rng() & 1) != 0 ? "E" : "W"});
    }
    return v;
}

void BM_Solver(benchmark::State& state)
{
    std::vector<LatLon<double>> r;
    for (const auto& s : stations(1024)) {
        const Position p = positionFromEntry(s);
        r.push_back({toRadians(p.latDegrees), toRadians(p.lonDegrees)});
    }
    std::size_t i = 0;
    for (auto _ : state) {
        const auto& a = r[i & 1023];
        const auto& b = r[(i + 1) & 1023];
        benchmark::DoNotOptimize(solveGreatCircle(a.lat, a.lon, b.lat, b.lon));
        ++i;
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}
BENCHMARK(BM_Solver);

// What a press of the compute button does: both entries to a report.
void BM_Report(benchmark::State& state)
{
    const auto s = stations(1024);
    const ReportOptions options;
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            makeReport(positionFromEntry(s[i & 1023]), positionFromEntry(s[(i + 1) & 1023]), options));
        ++i;
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}
BENCHMARK(BM_Report);

}  // namespace
