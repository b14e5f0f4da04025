// SPDX-License-Identifier: GPL-3.0-or-later
#include "panels/CountriesView.h"
#include "panels/CountriesViewDelegate.h"

#include "support/DirectoryFixture.h"
#include "support/FakeStationDirectory.h"

#include <QtTest>
#include <QtWidgets>

namespace {

struct Recorder : CountriesViewDelegate {
    QStringList codes;
    void selectionCountryCodeChanged(const QString& code) override { codes.append(code); }
};

constexpr int kWait = 20000;

// The directory's countries in English collation order: Åland Islands first.
const QStringList kOrdered{"AX", "AT", "BR", "CI", "FR", "DE", "JP", "RU", "CH", "GB", "US"};

QJsonArray countriesJson(const QList<std::pair<QString, QJsonValue>>& rows) {
    QJsonArray array;
    for (const auto& [code, count] : rows)
        array.append(QJsonObject{{"name", "ignored"}, {"iso_3166_1", code}, {"stationcount", count}});
    return array;
}

// As the directory sends them: ordered by its English names, one count as text.
QJsonArray directoryCountries() {
    QList<std::pair<QString, QJsonValue>> rows;
    for (const char* code : {"AX", "AT", "BR", "CI", "FR", "DE", "JP", "RU", "CH", "US", "GB"})
        rows.append({QString::fromLatin1(code), code == QByteArrayView("CH") ? QJsonValue("79") : QJsonValue(40)});
    return countriesJson(rows);
}

} // namespace

class TestCountriesView : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void directoryListBecomesRows_data() {
        QTest::addColumn<QJsonArray>("countries");
        QTest::addColumn<QStringList>("codes");
        QTest::newRow("ordered by name in the user's language")
            << countriesJson({{"DE", 5}, {"AX", 3}, {"AT", 9}}) << QStringList{"AX", "AT", "DE"};
        QTest::newRow("no stations, not a directory country")
            << countriesJson({{"DE", 0}, {"EU", 40}, {"ZZ", 3}, {"FR", 1}}) << QStringList{"FR"};
        QTest::newRow("count as text") << countriesJson({{"CH", "79"}, {"AT", " 12abc"}}) << QStringList{"AT", "CH"};
        QTest::newRow("count not a number")
            << countriesJson({{"CH", "many"}, {"AT", QJsonValue()}, {"FR", -3}, {"DE", 2.9}}) << QStringList{"DE"};
        QTest::newRow("code in lower case, not objects")
            << (countriesJson({{"de", 5}}) + QJsonArray{1, "DE", QJsonArray()}) << QStringList();
    }

    void directoryListBecomesRows() {
        QFETCH(QJsonArray, countries);
        QFETCH(QStringList, codes);
        QStringList got;
        for (const CountryEntry& entry : CountryListModel::entriesFromDirectory(countries)) {
            got.append(entry.cc);
            QVERIFY(!entry.name.isEmpty());
        }
        QCOMPARE(got, codes);
    }

    void init() {
        directory_ = std::make_unique<FakeStationDirectory>();
        directory_->countries = directoryCountries();
        f_ = std::make_unique<DirectoryFixture>(*directory_);
        delegate_.codes.clear();
        host_ = std::make_unique<QWidget>();
        host_->resize(380, 440);
        view_ = CountriesView::countriesViewWithDelegate(*f_->api, &delegate_, host_.get());
        view_->resize(380, 440);
        host_->show();
        QVERIFY(QTest::qWaitForWindowExposed(host_.get()));
    }

    void cleanup() { // the picker goes before the directory it uses
        host_.reset();
        f_.reset();
    }

    // In the panel the picker is 220 px wide: every button has the room its text asks for.
    void buttonsFitThePanel() {
        host_->resize(220, 440);
        view_->resize(220, 440);
        view_->layout()->activate();
        for (const QPushButton* button : view_->findChildren<QPushButton*>())
            QVERIFY2(button->width() >= button->sizeHint().width(), qPrintable(button->text()));
    }

    // A failed fetch leaves the panel empty and is tried again; the list is then kept.
    void listIsFetchedOnceAndTheCountryInUseSelected() {
        directory_->failWith(Error::make(Error::Code::HttpStatus, QStringLiteral("The server answered HTTP 500"), 500), 1);
        QSignalSpy received(view_, &CountriesView::countriesReceived);
        view_->configure(QStringLiteral("FR"));
        QVERIFY(received.wait(kWait));
        QVERIFY(view_->countryDicts().isEmpty() && view_->displayedCountryCodes().isEmpty());
        QVERIFY(!view_->selectButton()->isEnabled());

        load(QStringLiteral("FR"));
        QCOMPARE(view_->displayedCountryCodes(), kOrdered);
        QCOMPARE(view_->countryDicts().at(kOrdered.indexOf("CH")).stationCount(), 79); // sent as text
        QCOMPARE(view_->selectedCountryCode(), QStringLiteral("FR"));
        QCOMPARE(view_->selectButton()->text(), QStringLiteral("Refresh"));
        QVERIFY(view_->selectButton()->isEnabled());

        view_->table()->setCurrentIndex(view_->table()->model()->index(kOrdered.indexOf("DE"), 0));
        QCOMPARE(view_->selectButton()->text(), QStringLiteral("Select"));

        // Shown again: the kept list, the search and the selection reset.
        QTest::keyClicks(view_->searchField(), QStringLiteral("ja"));
        QCOMPARE(view_->displayedCountryCodes(), QStringList{"JP"});
        view_->configure(QStringLiteral("DE"));
        QVERIFY(!view_->isLoading());
        QCOMPARE(view_->searchField()->text(), QString());
        QCOMPARE(view_->displayedCountryCodes(), kOrdered);
        QCOMPARE(view_->selectedCountryCode(), QStringLiteral("DE"));
        QCOMPARE(view_->selectButton()->text(), QStringLiteral("Refresh"));
        QCOMPARE(view_->table(), QApplication::focusWidget());
        // A code without a row selects nothing.
        for (const QString& code :
             {QString(), QStringLiteral(""), QStringLiteral("FI"), QStringLiteral("fr")}) {
            view_->configure(code);
            QVERIFY2(view_->selectedCountryCode().isNull() && !view_->selectButton()->isEnabled(),
                     qPrintable(code));
            QCOMPARE(view_->selectButton()->text(), QStringLiteral("Select"));
        }
        QCOMPARE(directory_->count("countries"), 2);
    }

    void searchMatchesCodeOrName_data() {
        QTest::addColumn<QString>("search");
        QTest::addColumn<QStringList>("codes");
        QTest::newRow("code, any case") << "de" << QStringList{"DE"};
        QTest::newRow("name, any case") << "UNITED" << QStringList{"GB", "US"};
        QTest::newRow("code or name") << "at" << QStringList{"AT", "US"}; // the code of Austria, "United States"
        QTest::newRow("accents count") << "Cote" << QStringList();
        QTest::newRow("with the accent") << QString::fromUtf8("C\u00f4te") << QStringList{"CI"};
    }

    void searchMatchesCodeOrName() {
        QFETCH(QString, search);
        QFETCH(QStringList, codes);
        load(QStringLiteral("FR"));
        view_->searchField()->setText(search);
        QCOMPARE(view_->displayedCountryCodes(), codes);
        // The select button follows the rows: France is gone from most of these.
        QCOMPARE(view_->selectButton()->isEnabled(), !view_->selectedCountryCode().isNull());
        view_->searchField()->clear();
        QCOMPARE(view_->displayedCountryCodes(), kOrdered);
    }

    // Every way of choosing reports one code, and the picker does not change the country in use
    // itself. "My Region" sends the locale's region even without a row, or else the default.
    void choosingReportsOneCode_data() {
        QTest::addColumn<QByteArray>(
            "locale"); // LC_ALL for "My Region"; the row's name says the way otherwise
        QTest::addColumn<QString>("code");
        QTest::newRow("double click") << QByteArray() << "JP";
        QTest::newRow("return key") << QByteArray() << "JP";
        QTest::newRow("select button") << QByteArray() << "JP";
        QTest::newRow("return in the search") << QByteArray() << "JP";
        QTest::newRow("region without a row") << QByteArray("fi_FI.UTF-8") << "FI";
        QTest::newRow("lower-case region") << QByteArray("en_gb") << "GB";
        QTest::newRow("C") << QByteArray("C") << "US";
        QTest::newRow("region that is no country") << QByteArray("es_419.UTF-8") << "US";
    }

    void choosingReportsOneCode() {
        QFETCH(QByteArray, locale);
        const QString how = QString::fromLatin1(QTest::currentDataTag());
        QFETCH(QString, code);
        load(QStringLiteral("FR"));
        QTreeView* table = view_->table();
        const QModelIndex japan = table->model()->index(kOrdered.indexOf("JP"), 0);
        table->setCurrentIndex(japan);
        if (!locale.isEmpty()) {
            const QByteArray saved = qgetenv("LC_ALL");
            qputenv("LC_ALL", locale);
            QTest::mouseClick(view_->selectLocalButton(), Qt::LeftButton);
            qputenv("LC_ALL", saved);
        } else if (how == QLatin1String("double click")) {
            const QPoint centre = table->visualRect(japan).center();
            QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, centre);
            QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, centre);
        } else if (how == QLatin1String("return key")) {
            QTest::keyClick(table, Qt::Key_Return);
        } else if (how == QLatin1String("select button")) {
            QTest::mouseClick(view_->selectButton(), Qt::LeftButton);
        } else {
            QTest::keyClick(view_->searchField(), Qt::Key_Return);
        }
        QCOMPARE(delegate_.codes, QStringList{code});
        QCOMPARE(view_->currentCC(), QStringLiteral("FR"));
    }

private:
    void load(const QString& code) {
        QSignalSpy received(view_, &CountriesView::countriesReceived);
        view_->configure(code);
        QVERIFY(received.wait(kWait));
        QVERIFY(!view_->countryDicts().isEmpty());
    }

    std::unique_ptr<FakeStationDirectory> directory_;
    std::unique_ptr<DirectoryFixture> f_;
    std::unique_ptr<QWidget> host_;
    CountriesView* view_ = nullptr;
    Recorder delegate_;
};

QTEST_MAIN(TestCountriesView)
#include "tst_countriesview.moc"
