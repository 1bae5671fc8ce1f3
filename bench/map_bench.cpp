// The azimuthal map: the first draw of a 1024-pixel map with the earth
// images and the night side, and the redraw after the other station moves.

#include "map/azimuthal_map.h"
#include "map/earth_images.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>

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

}  // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    const QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
