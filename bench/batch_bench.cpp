#include "cli/batch.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <random>
#include <string>

namespace {

constexpr int kPairs = 1'000'000;

// One million random pairs in a temporary file, made once; with oneOwn,
// the own station of every line is the same, as in a log from one station.
std::FILE* writePairs(bool oneOwn)
{
    std::FILE* f = std::tmpfile();
    std::mt19937_64 rng(2);
    std::uniform_int_distribution<int> lat(0, 89);
    std::uniform_int_distribution<int> lon(0, 179);
    std::uniform_int_distribution<int> sub(0, 59);
    std::string line;
    for (int i = 0; i < kPairs; ++i) {
        line = oneOwn ? "51 28 38 N 0 0 5 W " : "";
        for (int station = oneOwn ? 1 : 0; station < 2; ++station) {
            line += std::to_string(lat(rng)) + ' ' + std::to_string(sub(rng)) + ' ' + std::to_string(sub(rng)) +
                ((rng() & 1) != 0 ? " N " : " S ");
            line += std::to_string(lon(rng)) + ' ' + std::to_string(sub(rng)) + ' ' + std::to_string(sub(rng)) +
                ((rng() & 1) != 0 ? " E " : " W ");
        }
        line.back() = '\n';
        std::fwrite(line.data(), 1, line.size(), f);
    }
    std::fflush(f);
    return f;
}

std::FILE* pairsFile()
{
    static std::FILE* file = writePairs(false);
    return file;
}

std::FILE* oneOwnStationFile()
{
    static std::FILE* file = writePairs(true);
    return file;
}

// Read, parse, compute, format and write, as skybrant-cli --batch does.
void BM_BatchMillionPairs(benchmark::State& state)
{
    std::FILE* in = pairsFile();
    std::FILE* out = std::fopen("/dev/null", "w");
    for (auto _ : state) {
        std::rewind(in);
        const auto outcome = skybrant::cli::runBatch(in, out);
        if (outcome.failedLines != 0 || outcome.ioFailed) {
            state.SkipWithError("batch failed");
        }
    }
    std::fclose(out);
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * kPairs);
}
BENCHMARK(BM_BatchMillionPairs)->Unit(benchmark::kMillisecond)->Iterations(3);

constexpr int kLocatorPairs = 200'000;

// Random 6-character locator pairs, as a contest log gives them.
std::FILE* locatorFile()
{
    static std::FILE* file = [] {
        std::FILE* f = std::tmpfile();
        std::mt19937_64 rng(3);
        const auto pick = [&](char first, int count) { return static_cast<char>(first + rng() % count); };
        std::string line;
        for (int i = 0; i < kLocatorPairs; ++i) {
            line.clear();
            for (int station = 0; station < 2; ++station) {
                line += {pick('A', 18), pick('A', 18), pick('0', 10), pick('0', 10), pick('a', 24), pick('a', 24), ' '};
            }
            line.back() = '\n';
            std::fwrite(line.data(), 1, line.size(), f);
        }
        std::fflush(f);
        return f;
    }();
    return file;
}

// Locator pairs with no extras (0), with the long path, ellipsoid and
// locator columns (1), and the same as JSON Lines (2).
void BM_BatchLocatorPairs(benchmark::State& state)
{
    skybrant::cli::BatchOptions options;
    if (state.range(0) > 0) {
        options.report = {.unit = skybrant::DistanceUnit::Kilometres,
            .longPath = true,
            .ellipsoid = skybrant::solveWgs84,
            .locators = true};
    }
    options.json = state.range(0) == 2;
    std::FILE* in = locatorFile();
    std::FILE* out = std::fopen("/dev/null", "w");
    for (auto _ : state) {
        std::rewind(in);
        const auto outcome = skybrant::cli::runBatch(in, out, options);
        if (outcome.failedLines != 0 || outcome.ioFailed) {
            state.SkipWithError("batch failed");
        }
    }
    std::fclose(out);
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * kLocatorPairs);
}
BENCHMARK(BM_BatchLocatorPairs)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(3);

// --magnetic on the million pairs against the plain batch, both timed in
// this run, taking turns: the ratio of the times per line is the figure,
// to be at most 1.3 (the label says PASS or FAIL). With random pairs (0)
// each line asks the model twice; with one own station (1), once.
double batchSeconds(const skybrant::cli::BatchOptions& options, std::FILE* in, std::FILE* out, bool& failed)
{
    std::rewind(in);
    const auto start = std::chrono::steady_clock::now();
    const auto outcome = skybrant::cli::runBatch(in, out, options);
    failed = failed || outcome.failedLines != 0 || outcome.ioFailed;
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_BatchMagneticRatio(benchmark::State& state)
{
    std::FILE* in = state.range(0) == 0 ? pairsFile() : oneOwnStationFile();
    std::FILE* out = std::fopen("/dev/null", "w");
    skybrant::cli::BatchOptions plain;
    skybrant::cli::BatchOptions magnetic;
    magnetic.report.magneticDate =
        std::chrono::year_month_day{std::chrono::year{2026}, std::chrono::June, std::chrono::day{21}};
    double plainSeconds = 0;
    double magneticSeconds = 0;
    bool failed = false;
    for (auto _ : state) {
        plainSeconds += batchSeconds(plain, in, out, failed);
        magneticSeconds += batchSeconds(magnetic, in, out, failed);
    }
    std::fclose(out);
    if (failed) {
        state.SkipWithError("batch failed");
        return;
    }
    const double ratio = magneticSeconds / plainSeconds;
    const double lines = static_cast<double>(state.iterations()) * kPairs;
    state.counters["plain_ns_per_line"] = plainSeconds / lines * 1e9;
    state.counters["magnetic_ns_per_line"] = magneticSeconds / lines * 1e9;
    state.counters["ratio"] = ratio;
    state.SetLabel(ratio <= 1.3 ? "PASS (at most 1.3)" : "FAIL (more than 1.3)");
}
BENCHMARK(BM_BatchMagneticRatio)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
