#include "core/callsign.h"
#include "core/country_files.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

namespace {

using namespace skybrant;

constexpr const char* kPackagedFile = "/usr/share/hamradio-files/cty.dat";

// Callsigns as a contest log holds them: busy prefixes, one digit, one to
// three letters; one in ten portable (DL/G4ABC, G4ABC/P) and one in a
// hundred maritime mobile.
std::vector<std::string> logCallsigns(std::size_t n)
{
    const char* prefixes[] = {"K", "W", "N", "AA", "DL", "G", "M", "JA", "VK", "UA", "RA", "EA", "I", "F", "PY", "LU",
        "VE", "OH", "SM", "ON", "PA", "OK", "SP", "YO", "HA", "9A", "S5", "LZ", "UR", "ZS", "VU", "BY", "HL", "BV",
        "KH6", "KL7", "VP2E", "3D2"};
    std::mt19937_64 rng(1);
    std::vector<std::string> calls;
    calls.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        std::string call = prefixes[rng() % std::size(prefixes)];
        call += static_cast<char>('0' + rng() % 10);
        for (std::size_t letters = 1 + rng() % 3; letters > 0; --letters) {
            call += static_cast<char>('A' + rng() % 26);
        }
        const auto form = rng() % 100;
        if (form < 5) {
            call.insert(0, "DL/");
        } else if (form < 10) {
            call += "/P";
        } else if (form < 11) {
            call += "/MM";
        }
        calls.push_back(std::move(call));
    }
    return calls;
}

void BM_LoadCountryFile(benchmark::State& state)
{
    for (auto _ : state) {
        CountryFiles files;
        std::string error;
        if (!files.load(kPackagedFile, error)) {
            state.SkipWithError(error.c_str());
            return;
        }
        benchmark::DoNotOptimize(files);
    }
}
BENCHMARK(BM_LoadCountryFile)->Unit(benchmark::kMillisecond);

void BM_LookupCallsigns(benchmark::State& state)
{
    CountryFiles files;
    std::string error;
    if (!files.load(kPackagedFile, error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    const std::vector<std::string> calls = logCallsigns(100'000);
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(lookupCallsign(files, calls[i]));
        i = i + 1 == calls.size() ? 0 : i + 1;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_LookupCallsigns);

}  // namespace
