// Points on the map: the map view's redraw with 2,000 labelled points over
// its cached base, against the same redraw with none in the same run.

#include "map/band_colours.h"
#include "ui/map_view.h"

#include <benchmark/benchmark.h>

#include <array>
#include <chrono>
#include <cmath>
#include <numbers>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace skybrant;

constexpr int kMapPixels = 1024;

// Places spread evenly over the globe, with calls for labels and a band's
// colour each; the same every run.
std::vector<MapPoint> scatteredPoints(std::size_t count)
{
    static constexpr std::array<const char*, 6> kBands = {"80m", "40m", "20m", "17m", "15m", "10m"};
    std::mt19937 random(20261210);
    std::uniform_real_distribution<double> unit(0, 1);
    std::vector<MapPoint> points;
    points.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const double lat = std::asin(2 * unit(random) - 1) * 180 / std::numbers::pi;
        const double lon = 360 * unit(random) - 180;
        MapPoint point;
        point.position = positionFromDegrees(lat, lon);
        point.colour = bandColour(kBands.at(i % kBands.size()));
        point.opacity = static_cast<float>(0.3 + 0.7 * unit(random));
        point.label = QStringLiteral("K%1AB%2").arg(i % 10).arg(i);
        points.push_back(std::move(point));
    }
    return points;
}

// The view's picture redrawn after its points changed (one moved), the
// base kept; range(0) points, half worked stations and half spots,
// labelled when range(1) is 1.
void BM_MapPointsRedraw(benchmark::State& state)
{
    ui::MapView view;
    view.resize(kMapPixels, kMapPixels);
    view.setOwn(positionFromDegrees(51.5, -0.1167));
    view.setNightTime(std::chrono::sys_days{std::chrono::year{2026} / std::chrono::December / 21});
    view.setNeedle(290);
    const auto count = static_cast<std::size_t>(state.range(0));
    std::vector<MapPoint> all = scatteredPoints(count);
    if (state.range(1) == 0) {
        for (MapPoint& point : all) {
            point.label.clear();
        }
    }
    const std::vector<MapPoint> worked(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(count / 2));
    std::vector<MapPoint> spots(all.begin() + static_cast<std::ptrdiff_t>(count / 2), all.end());
    view.setPoints(ui::PointLayer::Worked, worked);
    benchmark::DoNotOptimize(view.picture().constBits());  // the base, once
    double lon = 0;
    for (auto _ : state) {
        if (!spots.empty()) {
            lon = std::fmod(lon + 1, 180);
            spots.front().position = positionFromDegrees(10, lon);
        }
        view.setPoints(ui::PointLayer::Spots, spots);
        benchmark::DoNotOptimize(view.picture().constBits());
    }
    if (view.picture().width() != kMapPixels) {
        state.SkipWithError("the map is not 1024 pixels wide");
    }
    state.counters["points"] = static_cast<double>(count);
}
BENCHMARK(BM_MapPointsRedraw)->Args({0, 0})->Args({2000, 0})->Args({2000, 1})->Unit(benchmark::kMillisecond);

}  // namespace
