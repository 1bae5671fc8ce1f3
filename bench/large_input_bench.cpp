// Reading very long box texts: the reader must stay linear in the length.

#include "validation/box_reader.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

using skybrant::validation::readBox;

// A long run of digits (out of range) and a long tail after a short number.
void BM_ReadBoxDigits(benchmark::State& state)
{
    const std::u16string text(static_cast<std::size_t>(state.range(0)), u'7');
    for (auto _ : state) {
        benchmark::DoNotOptimize(readBox(text));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0) * 2);
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ReadBoxDigits)->RangeMultiplier(4)->Range(1 << 16, 1 << 22)->Complexity(benchmark::oN);

void BM_ReadBoxBlanksThenNumber(benchmark::State& state)
{
    std::u16string text(static_cast<std::size_t>(state.range(0)), u' ');
    text += u"45";
    for (auto _ : state) {
        benchmark::DoNotOptimize(readBox(text));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0) * 2);
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ReadBoxBlanksThenNumber)->RangeMultiplier(4)->Range(1 << 16, 1 << 22)->Complexity(benchmark::oN);

}  // namespace
