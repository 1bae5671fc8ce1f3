// The azimuthal map: the first draw of a 1024-pixel map with the earth
// images and the night side, the redraw after the other station moves, and
// the peak memory of the map window against the minimal Qt window.

#include "map/azimuthal_map.h"
#include "map/earth_images.h"
#include "ui/map_view.h"
#include "ui/map_window.h"

#include <QApplication>
#include <QLayout>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace skybrant;
using namespace std::chrono;

const sys_seconds kTime = sys_days{year{2026} / December / 21} + hours{12};

std::shared_ptr<const EarthImages> images()
{
    static const auto loaded = std::make_shared<const EarthImages>(loadEarthImages());
    return loaded;
}

void BM_MapFirstDraw(benchmark::State& state)
{
    if (!images()->available()) {
        state.SkipWithError("earth images not installed (xplanet-images)");
        return;
    }
    const auto size = static_cast<int>(state.range(0));
    for (auto _ : state) {
        AzimuthalMap map(positionFromDegrees(51.5, -0.1167), size, images());
        map.setNightTime(kTime);
        QImage picture = map.picture(OtherStation{positionFromDegrees(40.7, -74), QStringLiteral("New York")});
        benchmark::DoNotOptimize(picture.constBits());
    }
}
BENCHMARK(BM_MapFirstDraw)->Arg(1024)->Unit(benchmark::kMillisecond);

void BM_MapMoveOtherStation(benchmark::State& state)
{
    if (!images()->available()) {
        state.SkipWithError("earth images not installed (xplanet-images)");
        return;
    }
    AzimuthalMap map(positionFromDegrees(51.5, -0.1167), static_cast<int>(state.range(0)), images());
    map.setNightTime(kTime);
    map.base();
    double lon = -74;
    for (auto _ : state) {
        lon += 1;
        QImage picture = map.picture(OtherStation{positionFromDegrees(40.7, lon), QStringLiteral("Other")});
        benchmark::DoNotOptimize(picture.constBits());
    }
}
BENCHMARK(BM_MapMoveOtherStation)->Arg(1024)->Unit(benchmark::kMillisecond);

void BM_EarthImagesRead(benchmark::State& state)
{
    for (auto _ : state) {
        EarthImages loaded = loadEarthImages();
        benchmark::DoNotOptimize(loaded.day.constBits());
    }
}
BENCHMARK(BM_EarthImagesRead)->Unit(benchmark::kMillisecond);

// The maximum resident set of a program run to its end, in MiB, or a
// negative number when it could not be run or failed.
double peakMiB(std::vector<std::string> args, const std::vector<std::string>& extraEnvironment)
{
    std::vector<std::string> environment = extraEnvironment;
    for (char** e = environ; *e != nullptr; ++e) {
        environment.emplace_back(*e);
    }
    std::vector<char*> argv;
    argv.reserve(args.size() + 1);
    for (std::string& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    std::vector<char*> envp;
    envp.reserve(environment.size() + 1);
    for (std::string& e : environment) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), envp.data()) != 0) {
        return -1;
    }
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return -1;
    }
    return static_cast<double>(usage.ru_maxrss) / 1024;  // KiB on Linux
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Peak memory of the map window with a map of 1024 device pixels, hosted by
// this program (--map-window-child), against the minimal Qt window of the
// start-up benchmark, and of skybrant --map at the size it opens with; all
// offscreen, each the median of 5 runs taken in turns.
void BM_MapWindowPeakMemory(benchmark::State& state)
{
    const QTemporaryDir config;
    const std::vector<std::string> environment = {
        "QT_QPA_PLATFORM=offscreen", "SKYBRANT_STARTUP_PROBE=quit", "XDG_CONFIG_HOME=" + config.path().toStdString()};
    const std::string self = QCoreApplication::applicationFilePath().toStdString();
    for (auto _ : state) {
        std::vector<double> map;
        std::vector<double> minimal;
        std::vector<double> app;
        for (int run = 0; run < 5; ++run) {
            map.push_back(peakMiB({self, "--map-window-child", "1024"}, environment));
            minimal.push_back(peakMiB({SKYBRANT_MINIMAL_WINDOW_PATH}, environment));
            app.push_back(peakMiB({SKYBRANT_APP_PATH, "--map"}, environment));
        }
        if (std::min({*std::min_element(map.begin(), map.end()), *std::min_element(minimal.begin(), minimal.end()),
                *std::min_element(app.begin(), app.end())}) < 0) {
            state.SkipWithError("a window could not be run (built? a display platform?)");
            return;
        }
        state.counters["map_window_1024_MiB"] = median(map);
        state.counters["minimal_window_MiB"] = median(minimal);
        state.counters["ratio"] = median(map) / median(minimal);
        state.counters["skybrant_map_MiB"] = median(app);
    }
}
BENCHMARK(BM_MapWindowPeakMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

// The map window shown with its map at size device pixels, painted once.
int mapWindowChild(int size)
{
    int argc = 1;
    char name[] = "skybrant_map_bench";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    skybrant::ui::MapWindow window(nullptr);
    window.setOwn(positionFromDegrees(51.5, -0.1167));
    window.setOther(positionFromDegrees(40.7, -74));
    window.show();
    skybrant::ui::MapView* view = window.view();
    for (int i = 0; i < 3 && std::min(view->width(), view->height()) != size; ++i) {
        window.resize(window.size() + QSize(size - view->width(), size - view->height()));
        window.layout()->activate();
    }
    window.repaint();
    if (view->picture().width() != size) {
        std::fprintf(stderr, "the map came out %d pixels wide, not %d\n", view->picture().width(), size);
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    if (argc == 3 && std::strcmp(argv[1], "--map-window-child") == 0) {
        return mapWindowChild(QByteArray(argv[2]).toInt());
    }
    const QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
