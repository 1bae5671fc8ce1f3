// The log on the map: an ADIF log of 100,000 QSOs generated in a temporary
// directory, read, grouped by place and drawn on the map view, all on the
// calling thread; and one QSO more added to it, as the window's own thread
// does while the log grows.

#include "map/band_colours.h"
#include "ui/log_places.h"
#include "ui/map_view.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>

namespace {

using namespace skybrant;

std::string field(const char* name, const std::string& value)
{
    return "<" + std::string(name) + ":" + std::to_string(value.size()) + ">" + value;
}

// A log as a digital-mode program writes it, the stations on random
// 6-character locators; false when it cannot be written.
bool writeLog(const std::string& path, int qsos)
{
    static constexpr std::array<const char*, 6> kBands = {"80m", "40m", "30m", "20m", "17m", "15m"};
    static constexpr std::array<const char*, 4> kModes = {"FT8", "FT4", "CW", "SSB"};
    std::mt19937 random(100000);
    std::FILE* out = std::fopen(path.c_str(), "w");
    if (out == nullptr) {
        return false;
    }
    std::string text = "Generated for the benchmark\n<ADIF_VER:5>3.1.4<EOH>\n";
    for (int i = 0; i < qsos; ++i) {
        const auto pick = [&random](int n) { return static_cast<char>(random() % static_cast<unsigned>(n)); };
        const std::string grid = {static_cast<char>('A' + pick(18)), static_cast<char>('A' + pick(18)),
            static_cast<char>('0' + pick(10)), static_cast<char>('0' + pick(10)), static_cast<char>('a' + pick(24)),
            static_cast<char>('a' + pick(24))};
        text += field("CALL", "K" + std::to_string(i % 10) + "A" + std::to_string(i)) + field("GRIDSQUARE", grid) +
            field("BAND", kBands.at(static_cast<std::size_t>(i) % kBands.size())) +
            field("MODE", kModes.at(static_cast<std::size_t>(i) % kModes.size())) +
            field("QSO_DATE", "202612" + std::to_string(10 + i % 20)) + field("TIME_ON", "1234") +
            field("MY_GRIDSQUARE", "JO01mm") + "<EOR>\n";
        if (text.size() > 1U << 20U) {
            std::fwrite(text.data(), 1, text.size(), out);
            text.clear();
        }
    }
    std::fwrite(text.data(), 1, text.size(), out);
    return std::fclose(out) == 0;
}

// A generated log of state.range(0) QSOs in a temporary directory and the
// map view it is drawn on, its base drawn once as the window has it.
struct LogOnMap {
    explicit LogOnMap(benchmark::State& state) : qsos(static_cast<int>(state.range(0)))
    {
        if (!dir.isValid() || !writeLog(path, qsos)) {
            state.SkipWithError("cannot write the log in a temporary directory");
            return;
        }
        view.resize(1024, 1024);
        view.setOwn(positionFromDegrees(51.5, -0.1167));
        benchmark::DoNotOptimize(view.picture().constBits());
        made = true;
    }

    const QTemporaryDir dir;
    const std::string path = dir.filePath(QStringLiteral("log.adi")).toStdString();
    const int qsos;
    ui::MapView view;
    bool made = false;
};

void BM_LogReadAndDrawn(benchmark::State& state)
{
    LogOnMap log(state);
    if (!log.made) {
        return;
    }
    std::size_t places = 0;
    for (auto _ : state) {
        ui::LogSlice slice = ui::readLogSlice(log.path, {}, defaultCountryFile(), nullptr);
        if (slice.qsos.size() != static_cast<std::size_t>(log.qsos)) {
            state.SkipWithError("the log was not read whole");
            return;
        }
        ui::WorkedPlaces worked;
        worked.add(std::move(slice.qsos));
        std::vector<std::size_t> shown;
        log.view.setPoints(ui::PointLayer::Worked, worked.points({}, shown));
        benchmark::DoNotOptimize(log.view.picture().constBits());
        places = worked.placeCount();
    }
    state.counters["qsos"] = log.qsos;
    state.counters["places"] = static_cast<double>(places);
}
BENCHMARK(BM_LogReadAndDrawn)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);

// What the window does on its own thread when the program writing the log
// adds a QSO to a log of 100,000: the QSO added, the filters' lists made
// again and the worked stations drawn anew, with a band chosen.
void BM_LogQsoAdded(benchmark::State& state)
{
    LogOnMap log(state);
    if (!log.made) {
        return;
    }
    ui::WorkedPlaces worked;
    worked.add(ui::readLogSlice(log.path, {}, defaultCountryFile(), nullptr).qsos);
    const ui::PlacedQso added{positionFromDegrees(40.0, -75.0), "K1NEW", "20m", "FT8", "20261231", "2359"};
    const ui::LogFilter filter{"20m", ""};
    for (auto _ : state) {
        worked.add({added});
        benchmark::DoNotOptimize(worked.bands());
        benchmark::DoNotOptimize(worked.modes());
        std::vector<std::size_t> shown;
        log.view.setPoints(ui::PointLayer::Worked, worked.points(filter, shown));
        benchmark::DoNotOptimize(log.view.picture().constBits());
    }
    state.counters["places"] = static_cast<double>(worked.placeCount());
}
BENCHMARK(BM_LogQsoAdded)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace
