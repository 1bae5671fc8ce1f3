// skybrant-cli --adif against --batch on the same stations, both timed in
// this run, taking turns: a log of 100,000 QSOs from one own station to
// random six-character squares, and the same pairs as batch lines. The
// ratio of the times per line is to be at most 1 (the label says PASS or
// FAIL), and the log is to be read in under 1 s.

#include "cli/adif_run.h"
#include "cli/batch.h"
#include "core/locator.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <unistd.h>

namespace {

constexpr int kQsos = 100'000;

std::string randomSquare(std::mt19937_64& rng)
{
    std::uniform_int_distribution<int> field(0, 17);
    std::uniform_int_distribution<int> digit(0, 9);
    std::uniform_int_distribution<int> sub(0, 23);
    std::string square;
    square += static_cast<char>('A' + field(rng));
    square += static_cast<char>('A' + field(rng));
    square += static_cast<char>('0' + digit(rng));
    square += static_cast<char>('0' + digit(rng));
    square += static_cast<char>('a' + sub(rng));
    square += static_cast<char>('a' + sub(rng));
    return square;
}

std::string field(const char* name, const std::string& value)
{
    return "<" + std::string(name) + ":" + std::to_string(value.size()) + ">" + value + " ";
}

// The log (a file, as --adif reads one) and the batch lines of the same pairs.
struct Inputs {
    Inputs() = default;
    Inputs(const Inputs&) = delete;
    Inputs& operator=(const Inputs&) = delete;
    Inputs(Inputs&&) = default;
    Inputs& operator=(Inputs&&) = delete;
    ~Inputs()
    {
        if (!log.empty()) {
            std::error_code ignored;
            std::filesystem::remove(log, ignored);
        }
    }
    std::filesystem::path log;
    std::FILE* pairs = nullptr;
};

const Inputs& inputs()
{
    static const Inputs made = [] {
        Inputs in;
        in.log =
            std::filesystem::temp_directory_path() / ("skybrant-adif-bench-" + std::to_string(::getpid()) + ".adi");
        std::FILE* log = std::fopen(in.log.c_str(), "w");
        in.pairs = std::tmpfile();
        std::fputs("Made for the benchmark <ADIF_VER:5>3.1.4 <EOH>\n", log);
        std::mt19937_64 rng(3);
        for (int i = 0; i < kQsos; ++i) {
            const std::string square = randomSquare(rng);
            const std::string record = field("CALL", "K" + std::to_string(i)) + field("GRIDSQUARE", square) +
                field("QSO_DATE", "20260621") + field("TIME_ON", "2000") + field("BAND", "20m") + field("MODE", "FT8") +
                "<EOR>\n";
            std::fputs(record.c_str(), log);
            const std::string pair = "JO01mm " + square + "\n";
            std::fputs(pair.c_str(), in.pairs);
        }
        std::fclose(log);
        std::fflush(in.pairs);
        return in;
    }();
    return made;
}

template <typename Run>
double seconds(Run run)
{
    const auto start = std::chrono::steady_clock::now();
    run();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_AdifAgainstBatch(benchmark::State& state)
{
    const Inputs& in = inputs();
    // A discard sink: the output is written and thrown away, as to a pipe.
    std::FILE* out = std::fopen("/dev/null", "w");
    skybrant::cli::AdifRunOptions adif;
    skybrant::Position own;
    std::string error;
    skybrant::parseLocator("JO01mm", own, error);
    adif.own = own;
    double adifSeconds = 0;
    double batchSeconds = 0;
    // --adif reads a log on one thread; the batch on one thread shows how
    // much of the difference is the batch's other threads.
    double oneThreadSeconds = 0;
    skybrant::cli::BatchOptions oneThread;
    oneThread.threads = 1;
    bool failed = false;
    for (auto _ : state) {
        adifSeconds += seconds([&] {
            const auto outcome = skybrant::cli::runAdif(in.log.string(), adif, out);
            failed = failed || outcome.failed != 0 || outcome.qsos != kQsos || !outcome.error.empty();
        });
        batchSeconds += seconds([&] {
            std::rewind(in.pairs);
            const auto outcome = skybrant::cli::runBatch(in.pairs, out);
            failed = failed || outcome.failedLines != 0 || outcome.ioFailed;
        });
        oneThreadSeconds += seconds([&] {
            std::rewind(in.pairs);
            const auto outcome = skybrant::cli::runBatch(in.pairs, out, oneThread);
            failed = failed || outcome.failedLines != 0 || outcome.ioFailed;
        });
    }
    std::fclose(out);
    if (failed) {
        state.SkipWithError("a run failed");
        return;
    }
    const auto runs = static_cast<double>(state.iterations());
    const double ratio = adifSeconds / batchSeconds;
    state.counters["adif_ns_per_qso"] = adifSeconds / runs / kQsos * 1e9;
    state.counters["batch_ns_per_line"] = batchSeconds / runs / kQsos * 1e9;
    state.counters["log_seconds"] = adifSeconds / runs;
    state.counters["ratio"] = ratio;
    state.counters["ratio_one_thread"] = adifSeconds / oneThreadSeconds;
    // A QSO's record is some six times the bytes of its pair line: the
    // input each reads a second, in MB.
    std::error_code unknown;
    const auto logBytes = static_cast<double>(std::filesystem::file_size(in.log, unknown));
    std::fseek(in.pairs, 0, SEEK_END);
    const auto pairBytes = static_cast<double>(std::ftell(in.pairs));
    state.counters["adif_mb_per_s"] = logBytes * runs / adifSeconds / 1e6;
    state.counters["batch_mb_per_s"] = pairBytes * runs / batchSeconds / 1e6;
    state.SetLabel(ratio <= 1.0 && adifSeconds / runs < 1.0 ? "PASS (at most 1, under 1 s)"
                                                            : "FAIL (more than 1, or 1 s or more)");
}
BENCHMARK(BM_AdifAgainstBatch)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
