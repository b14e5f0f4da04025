// SPDX-License-Identifier: GPL-3.0-or-later
// The station table at the user's pace: filtering and ordering 50,000 stations per keystroke
// through the real controller and table, against comparing every station with an ICU collator
// search; and the time from opening the popover to a table filled from a listing file.
// Runs on the offscreen platform: QT_QPA_PLATFORM=offscreen build/tools/bench/radio/bench_radio
#include "RealisticStations.h"
#include "directory/RadioBrowser.h"
#include "radio/EverywhereSearch.h"
#include "radio/PopoverView.h"
#include "radio/RadioShell.h"
#include "radio/RadioViewController.h"
#include "radio/StationIndex.h"
#include "support/FakeMediaPlayer.h"
#include "ui/IconLoader.h"
#include "util/IcuText.h"
#include "util/UserDefaults.h"
#include "util/UserLocale.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <memory>
#include <unicode/coll.h>
#include <unicode/stsearch.h>

namespace {

struct Shell : RadioShell {
    void beep() override {}
    void openURL(const QUrl&) override {}
};

// A controller with its real popover view, on a temporary data folder.
struct Popover {
    QTemporaryDir dir;
    UserDefaults defaults{dir.filePath("settings.ini")};
    HttpTransport transport;
    HttpFetcher http{transport, QString()};
    std::unique_ptr<RadioBrowser> api;
    FakeMediaPlayer player;
    Shell shell;
    IconLoader icons{transport, dir.filePath("icons")};
    PlaybackSession session;
    std::unique_ptr<StationPlayer> playback;
    std::unique_ptr<RadioViewController> controller;

    Popover() {
        RadioBrowser::Environment env;
        env.supportURL = QUrl::fromLocalFile(dir.path());
        env.defaults = &defaults;
        env.http = &http;
        env.serverOverride = QStringLiteral("http://127.0.0.1:9"); // never asked: the listing answers
        api = std::make_unique<RadioBrowser>(env);
        playback = std::make_unique<StationPlayer>(
            StationPlayer::Collaborators{api.get(), &player, &session, &defaults, env.supportURL, {}});
        controller = std::make_unique<RadioViewController>(
            RadioViewController::Collaborators{api.get(), &defaults, playback.get(), &shell, &icons});
        controller->view()->resize(440, 640);
        controller->view()->show();
    }
};

const QStringList kTyping = {"r", "ra", "rad", "radi", "radio", "radio ", "radio k", "radio", "rad", "r", "",
                             "j", "ja", "jaz", "jazz", "jaz", "ja", "j", ""};

void BM_KeystrokeThroughController(benchmark::State& state) {
    Popover popover;
    popover.controller->requestStations_Callback(realistic::stations(50000));
    auto* search = popover.controller->view()->findChild<QLineEdit*>(QStringLiteral("search"));
    qsizetype shown = 0;
    int i = 0;
    for (auto _ : state) {
        search->setText(kTyping[i++ % kTyping.size()]);
        shown += popover.controller->displayCount();
    }
    benchmark::DoNotOptimize(shown);
}
BENCHMARK(BM_KeystrokeThroughController)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly();

// The filter alone, without the table, to tell where a keystroke's time goes.
void BM_KeystrokeFilterOnly(benchmark::State& state) {
    StationIndex index(realistic::stations(50000));
    const QList<int>& ordered = index.order(StationIndex::SortKey::Votes);
    int i = 0;
    for (auto _ : state) {
        QList<int> rows = index.filter(ordered, {}, kTyping[i++ % kTyping.size()]);
        benchmark::DoNotOptimize(rows);
    }
}
BENCHMARK(BM_KeystrokeFilterOnly)->Unit(benchmark::kMillisecond);

// The yardstick: every station's name and tags searched with an ICU collator at every keystroke.
void BM_KeystrokeCollatorSearch(benchmark::State& state) {
    const StationList stations = realistic::stations(50000);
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Collator> collator(icu::Collator::createInstance(userlocale::current(), status));
    collator->setStrength(icu::Collator::PRIMARY);
    auto* rules = dynamic_cast<icu::RuleBasedCollator*>(collator.get());
    int i = 0;
    for (auto _ : state) {
        const QString text = kTyping[i++ % kTyping.size()];
        int kept = 0;
        if (text.isEmpty()) {
            kept = int(stations.size());
        } else {
            const icu::UnicodeString pattern = icutext::toIcu(text);
            for (const Station& s : stations) {
                status = U_ZERO_ERROR;
                icu::StringSearch search(pattern, icutext::toIcu(s.string(Station::Key::Name)), rules, nullptr, status);
                bool found = U_SUCCESS(status) && search.first(status) != USEARCH_DONE;
                if (!found) {
                    for (const QString& tag : RadioBrowser::tagsForStation(s)) {
                        icu::StringSearch tagSearch(pattern, icutext::toIcu(tag), rules, nullptr, status);
                        if (tagSearch.first(status) != USEARCH_DONE) {
                            found = true;
                            break;
                        }
                    }
                }
                kept += found;
            }
        }
        benchmark::DoNotOptimize(kept);
    }
}
BENCHMARK(BM_KeystrokeCollatorSearch)->Unit(benchmark::kMillisecond)->Iterations(5);

// A page of 500 stations from a search everywhere, from its arrival on the main thread (parsed
// and validated already, on a worker) to the painted table.
void BM_SearchPageToTable(benchmark::State& state) {
    Popover popover;
    popover.defaults.setValue(settingskeys::kRadioStationsCountryCode, CountriesViewDelegate::kEverywhere);
    popover.controller->popoverWillShow();
    const StationList page = realistic::stations(StationSearch::kPageSize);
    for (auto _ : state) {
        Q_EMIT popover.controller->everywhereSearch()->resultsChanged(page, true);
        popover.controller->view()->repaint(); // the table paints
    }
    benchmark::DoNotOptimize(popover.controller->displayCount());
}
BENCHMARK(BM_SearchPageToTable)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly();

// From the first opening of the popover to a table filled from a 7,000-station listing file.
void BM_OpenToFilledTable(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto popover = std::make_unique<Popover>();
        popover->defaults.setValue(settingskeys::kRadioStationsCountryCode, "US");
        popover->api->writeStations(realistic::stations(7000), popover->api->listingURLForCountryCode("US"));
        QEventLoop loop;
        QObject::connect(popover->controller.get(), &RadioViewController::displayStationsChanged, &loop, &QEventLoop::quit);
        state.ResumeTiming();
        popover->controller->popoverWillShow();
        loop.exec();
        QApplication::processEvents(); // the table paints
        state.PauseTiming();
        popover.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenToFilledTable)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
