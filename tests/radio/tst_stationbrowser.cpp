// SPDX-License-Identifier: GPL-3.0-or-later
#include "radio/EverywhereSearch.h"
#include "radio/StationBrowser.h"
#include "support/DirectoryFixture.h"
#include "support/FakeStationDirectory.h"

#include <QtTest>

// What the table is given from the directory's answers: the latest country only, an old listing
// at once and its fresh copy behind it, failures, and searches of the whole directory as the
// listener types. The directory is a fake; the listing files are real.

namespace {
constexpr int kWait = 20000;

StationList numbered(const QString& prefix, int count, const QString& country = QStringLiteral("AT")) {
    StationList list;
    for (int i = 0; i < count; ++i)
        list.append(stationFromJson(QJsonObject{{"stationuuid", QStringLiteral("%1-%2").arg(prefix).arg(i)},
                                                {"name", QStringLiteral("%1 %2").arg(prefix).arg(i)},
                                                {"url", "http://stream.example/"},
                                                {"bitrate", 128},
                                                {"countrycode", country}}));
    return list;
}
} // namespace

class TestStationBrowser : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() {
        directory_ = std::make_unique<FakeStationDirectory>();
        directory_->stationsByCountry = {{"AT", numbered("Wien", 3)}, {"DE", numbered("Berlin", 5, "DE")}};
        f_ = std::make_unique<DirectoryFixture>(*directory_);
        browser_ = std::make_unique<StationBrowser>(f_->api.get(), f_->defaults.get());
    }
    void cleanup() {
        browser_.reset();
        f_.reset();
    }

    void onlyTheLatestCountryFillsTheTable_data() {
        QTest::addColumn<bool>("newestFirst");
        QTest::newRow("answers in the order asked") << false;
        QTest::newRow("the earlier answer comes last") << true;
    }

    void onlyTheLatestCountryFillsTheTable() {
        QFETCH(bool, newestFirst);
        QSignalSpy arrived(browser_.get(), &StationBrowser::stationsArrived);
        directory_->hold();
        browser_->chooseCountry(QStringLiteral("AT"));
        browser_->chooseCountry(QStringLiteral("DE"));
        QVERIFY(browser_->isLoading());
        directory_->release(newestFirst);
        QVERIFY(arrived.wait(kWait));
        QCOMPARE(uuids(browser_->countryStations()), uuids(numbered("Berlin", 5, "DE")));
        QTRY_COMPARE_WITH_TIMEOUT(QFile::exists(f_->supportFile("Listings/AT.dat")), true, kWait);
        QCOMPARE(arrived.size(), 1);
        QCOMPARE(uuids(browser_->countryStations()).size(), 5);
        QCOMPARE(directory_->last("stations").refresh, true); // a country chosen is asked afresh
    }

    // An old listing fills the table at once; the fresh copy replaces the rows in place, the
    // search standing, and the file.
    void oldListingShowsAtOnceThenFollowsTheDirectory() {
        const QUrl listing = f_->api->listingURLForCountryCode(QStringLiteral("AT"));
        f_->api->writeStations(numbered("Wien", 2), listing);
        QFile file(listing.toLocalFile());
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(QDateTime::currentDateTimeUtc().addDays(-1), QFileDevice::FileModificationTime));
        file.close();

        QSignalSpy display(browser_.get(), &StationBrowser::displayChanged);
        directory_->hold();
        browser_->setCountryCode(QStringLiteral("AT"));
        browser_->requestStations(false);
        QTRY_COMPARE_WITH_TIMEOUT(browser_->displayRows().size(), 2, kWait);
        // The file answered; the directory is asked afresh once the table is filled.
        QTRY_COMPARE_WITH_TIMEOUT(directory_->heldCount(), 1, kWait);
        QCOMPARE(directory_->count("stations"), 1);
        QCOMPARE(directory_->last("stations").refresh, true);
        browser_->setSearchText(QStringLiteral("Wien"));

        directory_->release();
        QTRY_COMPARE_WITH_TIMEOUT(browser_->displayRows().size(), 3, kWait);
        QCOMPARE(display.last().first().toBool(), true); // in place
        QCOMPARE(browser_->searchText(), QStringLiteral("Wien"));
        QTRY_COMPARE_WITH_TIMEOUT(f_->api->readStationsFromURL(listing).value_or(StationList()).size(), 3, kWait);
    }

    void failureEmptiesTheTable() {
        browser_->chooseCountry(QStringLiteral("AT"));
        QTRY_COMPARE_WITH_TIMEOUT(browser_->displayRows().size(), 3, kWait);
        browser_->setSearchText(QStringLiteral("Wien"));
        directory_->failWith(Error::make(Error::Code::HttpStatus, QStringLiteral("The server answered HTTP 500"), 500));
        browser_->chooseCountry(QStringLiteral("DE"));
        QTRY_VERIFY_WITH_TIMEOUT(browser_->hasFailed(), kWait);
        QVERIFY(browser_->displayRows().isEmpty() && browser_->countryStations().isEmpty());
        QCOMPARE(browser_->searchText(), QString()); // no other country's stations under this flag
        QVERIFY(!QFile::exists(f_->supportFile("Listings/DE.dat")));
    }

    void typingSendsOnlyTheLatestQuery() {
        directory_->catalogue = numbered("Radio", 700) + numbered("Jazz", 3) + numbered("Welle", 2);
        EverywhereSearch everywhere(f_->api.get());
        QSignalSpy results(&everywhere, &EverywhereSearch::resultsChanged);
        auto type = [&](const char* text) { everywhere.setQuery({.name = QString::fromUtf8(text)}); };
        for (const char* text : {"r", "ra", "rad", "radio"}) // one keystroke after the other
            type(text);
        QTRY_COMPARE_WITH_TIMEOUT(results.size(), 1, kWait);
        QCOMPARE(directory_->count("search"), 1);
        QCOMPARE(directory_->last("search").argument, QStringLiteral("radio"));
        QCOMPARE(everywhere.results().size(), StationSearch::kPageSize);
        QVERIFY(everywhere.hasMore());

        // A slow answer is never shown once the query changed, and nothing else goes out meanwhile.
        directory_->hold();
        type("welle");
        QTRY_VERIFY_WITH_TIMEOUT(everywhere.isBusy(), kWait);
        type("jazz");
        QTest::qWait(2 * EverywhereSearch::kDebounceMs); // only a wrong second request could come now
        QCOMPARE(directory_->count("search"), 2);
        directory_->release();
        QTRY_COMPARE_WITH_TIMEOUT(results.size(), 2, kWait);
        QTRY_VERIFY_WITH_TIMEOUT(!everywhere.isBusy(), kWait);
        QCOMPARE(directory_->count("search"), 3);
        QCOMPARE(names(everywhere.results()), names(numbered("Jazz", 3)));
        QVERIFY(!everywhere.hasMore());

        type("radio");
        QTRY_COMPARE_WITH_TIMEOUT(results.size(), 3, kWait);
        everywhere.moreResults();
        QTRY_COMPARE_WITH_TIMEOUT(results.size(), 4, kWait);
        QCOMPARE(everywhere.results().size(), 700);
        QCOMPARE(directory_->last("search").offset, StationSearch::kPageSize);
        everywhere.setQuery({}); // cleared at once
        QCOMPARE(results.last().first().value<StationList>().size(), 0);
    }

    // "Everywhere" chosen again with a search standing asks it afresh, from the first station.
    void everywhereAgainRefreshesTheStandingSearch() {
        directory_->catalogue = numbered("Radio", 20);
        browser_->chooseCountry(StationBrowser::kEverywhere);
        QVERIFY(browser_->awaitsEverywhereQuery());
        browser_->setEverywhereQuery({.name = QStringLiteral("radio")});
        QTRY_COMPARE_WITH_TIMEOUT(browser_->displayRows().size(), 20, kWait);
        browser_->chooseCountry(StationBrowser::kEverywhere);
        QTRY_COMPARE_WITH_TIMEOUT(directory_->count("search"), 2, kWait);
        const FakeStationDirectory::Request again = directory_->last("search");
        QCOMPARE(again.refresh, true);
        QCOMPARE(again.offset, 0);
        QTRY_COMPARE_WITH_TIMEOUT(browser_->displayRows().size(), 20, kWait);
    }

private:
    std::unique_ptr<FakeStationDirectory> directory_;
    std::unique_ptr<DirectoryFixture> f_;
    std::unique_ptr<StationBrowser> browser_;
};

QTEST_GUILESS_MAIN(TestStationBrowser)
#include "tst_stationbrowser.moc"
