// SPDX-License-Identifier: GPL-3.0-or-later
// Station record costs: tags of a large list, the list file format against Qt's JSON parser,
// and the memory a large list takes.
#include "RealisticStations.h"
#include "directory/RadioBrowser.h"
#include "directory/DirectoryJson.h"
#include "directory/StationArchive.h"
#include "directory/StationValidation.h"
#include "util/UserDefaults.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <fstream>
#include <malloc.h>
#include <unistd.h>

namespace {

const StationList& stations(int count) {
    static QHash<int, StationList> cache;
    if (!cache.contains(count))
        cache.insert(count, realistic::stations(count));
    return cache[count];
}

void BM_TagsForStation(benchmark::State& state) {
    const StationList& list = stations(int(state.range(0)));
    for (auto _ : state) {
        qsizetype tags = 0;
        for (const Station& s : list)
            tags += RadioBrowser::tagsForStation(s).size();
        benchmark::DoNotOptimize(tags);
    }
    state.SetItemsProcessed(state.iterations() * list.size());
}
BENCHMARK(BM_TagsForStation)->Arg(50000)->Unit(benchmark::kMillisecond);

struct ListFile {
    QTemporaryDir dir;
    QUrl url = QUrl::fromLocalFile(dir.filePath("listing.dat"));
    QByteArray json; // the same stations as compact JSON
    UserDefaults defaults{dir.filePath("settings.ini")};
    HttpTransport transport;
    HttpFetcher http{transport, QString()};
    RadioBrowser api{RadioBrowser::Environment{QUrl::fromLocalFile(dir.path()), &defaults, &http, {}, {}, {}}};

    explicit ListFile(int count) {
        StationList prepared;
        QJsonArray array;
        for (const Station& s : stations(count)) {
            prepared.append(api._prepareStationForWriting(s));
            array.append(prepared.last().toJsonObject());
        }
        api.writeStations(prepared, url);
        json = QJsonDocument(array).toJson(QJsonDocument::Compact);
    }
};

ListFile& listFile() {
    static ListFile file(7000);
    return file;
}

void BM_WriteListFile(benchmark::State& state) {
    ListFile& file = listFile();
    const StationList& list = stations(7000);
    for (auto _ : state)
        file.api.writeStations(list, file.url);
    state.counters["file_bytes"] = double(QFile(file.url.toLocalFile()).size());
}
BENCHMARK(BM_WriteListFile)->Unit(benchmark::kMillisecond);

void BM_ReadListFile(benchmark::State& state) {
    ListFile& file = listFile();
    for (auto _ : state) {
        auto list = file.api.readStationsFromURL(file.url);
        benchmark::DoNotOptimize(list);
    }
}
BENCHMARK(BM_ReadListFile)->Unit(benchmark::kMillisecond);

// The yardstick for reading: Qt's JSON parser on the same stations, from memory (no file I/O).
void BM_QJsonDocumentFromJson(benchmark::State& state) {
    ListFile& file = listFile();
    for (auto _ : state) {
        QJsonDocument doc = QJsonDocument::fromJson(file.json);
        benchmark::DoNotOptimize(doc);
    }
    state.counters["json_bytes"] = double(file.json.size());
}
BENCHMARK(BM_QJsonDocumentFromJson)->Unit(benchmark::kMillisecond);

qint64 residentBytes() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return qint64(resident) * sysconf(_SC_PAGESIZE);
}

// Memory of a 50,000-station list against the size of its compact JSON text.
void BM_ListMemory(benchmark::State& state) {
    const int count = int(state.range(0));
    const qint64 jsonBytes = realistic::stationsJson(count).size();
    for (auto _ : state) {
        malloc_trim(0);
        const qint64 heapBefore = realistic::heapInUse();
        const qint64 rssBefore = residentBytes();
        StationList list = realistic::stations(count);
        malloc_trim(0);
        state.counters["heap_bytes_per_station"] = double(realistic::heapInUse() - heapBefore) / count;
        state.counters["rss_bytes_per_station"] = double(residentBytes() - rssBefore) / count;
        benchmark::DoNotOptimize(list);
    }
    state.counters["json_bytes_per_station"] = double(jsonBytes) / count;
}
BENCHMARK(BM_ListMemory)->Arg(50000)->Iterations(1)->Unit(benchmark::kMillisecond);

const QByteArray& directoryReply() {
    static const QByteArray json = [] {
        QByteArray bytes = realistic::stationsJson(50000);
        bytes.reserve(bytes.size() + 64); // as the HTTP client leaves it
        return bytes;
    }();
    return json;
}

// A 50,000-station directory reply: parse, validate and de-duplicate, as a station request does.
void BM_DirectoryReplyParseAndValidate(benchmark::State& state) {
    const QByteArray& json = directoryReply();
    for (auto _ : state) {
        auto parsed = directoryjson::parseStationArray(json);
        StationList kept = stationvalidation::validatedStations(*parsed);
        benchmark::DoNotOptimize(kept);
    }
    state.counters["reply_MB"] = double(json.size()) / 1e6;
}
BENCHMARK(BM_DirectoryReplyParseAndValidate)->Unit(benchmark::kMillisecond);

// The yardstick: Qt's JSON parser alone on the same bytes.
void BM_DirectoryReplyQJsonDocument(benchmark::State& state) {
    const QByteArray& json = directoryReply();
    for (auto _ : state) {
        QJsonDocument doc = QJsonDocument::fromJson(json);
        benchmark::DoNotOptimize(doc);
    }
}
BENCHMARK(BM_DirectoryReplyQJsonDocument)->Unit(benchmark::kMillisecond);

// Memory held by the 50,000 stations as a station request leaves them.
void BM_DirectoryReplyMemory(benchmark::State& state) {
    const QByteArray& json = directoryReply();
    for (auto _ : state) {
        malloc_trim(0);
        const qint64 heapBefore = realistic::heapInUse();
        const qint64 rssBefore = residentBytes();
        StationList kept = stationvalidation::validatedStations(*directoryjson::parseStationArray(json));
        malloc_trim(0);
        state.counters["heap_bytes_per_station"] = double(realistic::heapInUse() - heapBefore) / kept.size();
        state.counters["rss_bytes_per_station"] = double(residentBytes() - rssBefore) / kept.size();
        benchmark::DoNotOptimize(kept);
    }
    state.counters["json_bytes_per_station"] = double(json.size()) / 50000;
}
BENCHMARK(BM_DirectoryReplyMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
