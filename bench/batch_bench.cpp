#include "cli/batch.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>
#include <string>

namespace {

constexpr int kPairs = 1'000'000;

// One million random pairs in a temporary file, made once.
std::FILE* pairsFile()
{
    static std::FILE* file = [] {
        std::FILE* f = std::tmpfile();
        std::mt19937_64 rng(2);
        std::uniform_int_distribution<int> lat(0, 89);
        std::uniform_int_distribution<int> lon(0, 179);
        std::uniform_int_distribution<int> sub(0, 59);
        std::string line;
        for (int i = 0; i < kPairs; ++i) {
            line.clear();
            for (int station = 0; station < 2; ++station) {
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
    }();
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

}  // namespace
