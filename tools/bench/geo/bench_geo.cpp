// SPDX-License-Identifier: GPL-3.0-or-later
// Country lookups for a location: the grid index against testing every outline in turn, on
// the same points. Besides the mean time per lookup each run reports the median of single
// lookups ("median_us"), which is what the target of 50 µs is about.
#include "geo/CountryTables.h"
#include "geo/GeoServices.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <QFile>
#include <random>

namespace {

struct Point {
    double x;
    double y;
};

// Anywhere on the globe, so about seven in ten are at sea.
const std::vector<Point>& uniformPoints() {
    static const std::vector<Point> points = [] {
        std::mt19937 random(42);
        std::uniform_real_distribution<double> x(-180, 180), y(-90, 90);
        std::vector<Point> list(4096);
        for (Point& p : list)
            p = {x(random), y(random)};
        return list;
    }();
    return points;
}

// Within a few degrees of a country's middle: mostly on land, often near borders.
const std::vector<Point>& landPoints() {
    static const std::vector<Point> points = [] {
        std::mt19937 random(7);
        std::uniform_real_distribution<double> jitter(-2, 2);
        const auto middles = countries::representativePoints();
        std::vector<Point> list(4096);
        for (size_t i = 0; i < list.size(); ++i) {
            const auto& m = middles[i % middles.size()];
            list[i] = {m.longitude + jitter(random), m.latitude + jitter(random)};
        }
        return list;
    }();
    return points;
}

const CountryOutlines& outlines() {
    return GeoServices::sharedServices().countryPaths();
}

using Lookup = QString (CountryOutlines::*)(double, double) const;

template <typename Points> void lookups(benchmark::State& state, Lookup lookup, Points points) {
    const CountryOutlines& o = outlines();
    const std::vector<Point>& list = points();
    size_t i = 0;
    for (auto _ : state) {
        const Point& p = list[i++ % list.size()];
        benchmark::DoNotOptimize((o.*lookup)(p.x, p.y));
    }
    state.SetItemsProcessed(state.iterations());

    std::vector<double> single;
    single.reserve(list.size());
    for (const Point& p : list) {
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize((o.*lookup)(p.x, p.y));
        single.push_back(
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
    }
    std::nth_element(single.begin(), single.begin() + single.size() / 2, single.end());
    state.counters["median_us"] = single[single.size() / 2];
}

void BM_LookupIndexed(benchmark::State& state) {
    lookups(state, &CountryOutlines::countryCodeAt, uniformPoints);
}
void BM_LookupWalkingAllPaths(benchmark::State& state) {
    lookups(state, &CountryOutlines::countryCodeByWalkingAllPaths, uniformPoints);
}
void BM_LookupIndexedNearLand(benchmark::State& state) {
    lookups(state, &CountryOutlines::countryCodeAt, landPoints);
}
void BM_LookupWalkingAllPathsNearLand(benchmark::State& state) {
    lookups(state, &CountryOutlines::countryCodeByWalkingAllPaths, landPoints);
}

// Reading the resource, parsing the GeoJSON and building the index: the price of the first
// lookup.
void BM_BuildOutlines(benchmark::State& state) {
    outlines(); // registers the resource
    QFile file(QStringLiteral(":/geo/ne-countries-50m.geojson"));
    if (!file.open(QIODevice::ReadOnly)) {
        state.SkipWithError("outline resource missing");
        return;
    }
    const QByteArray json = file.readAll();
    for (auto _ : state)
        benchmark::DoNotOptimize(CountryOutlines::fromGeoJson(json));
    state.SetBytesProcessed(state.iterations() * json.size());
}

} // namespace

BENCHMARK(BM_LookupIndexed);
BENCHMARK(BM_LookupWalkingAllPaths);
BENCHMARK(BM_LookupIndexedNearLand);
BENCHMARK(BM_LookupWalkingAllPathsNearLand);
BENCHMARK(BM_BuildOutlines)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
