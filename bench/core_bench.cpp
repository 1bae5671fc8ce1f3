#include "core/compute.h"
#include "core/great_circle.h"

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
    std::vector<StationRadians> r;
    for (const auto& s : stations(1024)) {
        r.push_back(toRadians(s));
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

void BM_ComputeTexts(benchmark::State& state)
{
    const auto s = stations(1024);
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(computeTexts(s[i & 1023], s[(i + 1) & 1023]));
        ++i;
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}
BENCHMARK(BM_ComputeTexts);

}  // namespace
