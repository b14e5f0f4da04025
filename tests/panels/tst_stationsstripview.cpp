// SPDX-License-Identifier: GPL-3.0-or-later
#include "panels/StationCollectionViewItem.h"
#include "panels/StationsStripView.h"
#include "ui/CachedURLImageView.h"
#include "ui/IconLoader.h"
#include "ui/ImageExtensions.h"

#include "support/DirectoryFixture.h"
#include "support/FakeStationDirectory.h"

#include <QtTest>
#include <QtWidgets>

namespace {

Station station(int i, const QString& name = QString(), const QString& country = QStringLiteral("DE")) {
    return stationFromJson(QJsonObject{{"stationuuid", QStringLiteral("uuid-%1").arg(i)},
                                       {"name", name.isNull() ? QStringLiteral("Station %1").arg(i) : name},
                                       {"countrycode", country}});
}

} // namespace

class TestStationsStripView : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() {
        f_ = std::make_unique<DirectoryFixture>(directory_); // lists only: no directory server
        icons_ = std::make_unique<IconLoader>(transport_, f_->dir.filePath(QStringLiteral("icons")));
        window_ = std::make_unique<QWidget>();
        window_->resize(600, 400);
        pointAway();
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    }

    void cleanup() { window_.reset(); } // the strips go before the list and icons they use

    void stripFollowsEveryChangeOfItsList() {
        StationsStripView* favourites = makeStrip(StationsStripView::List::Favorites);
        StationsStripView* recents = makeStrip(StationsStripView::List::Recents);
        RadioBrowser& api = *f_->api;
        // Empty, the strip says what it holds and how it fills.
        auto* hint = favourites->findChild<QLabel*>(QStringLiteral("noItemsHint"));
        QVERIFY(favourites->noItemsMessage()->isVisible() && hint->isVisible() && favourites->tiles().isEmpty());

        api.addFavoriteStation(station(1));
        QCOMPARE(favourites->tiles().size(), 1);
        QVERIFY(!favourites->noItemsMessage()->isVisible() && !hint->isVisible());
        QVERIFY(favourites->tiles().first()->graphicsEffect()); // fading in
        QTRY_VERIFY(!favourites->tiles().first()->graphicsEffect());

        api.addFavoriteStation(station(2));
        api.addFavoriteStation(station(3));
        api.moveFavoriteStation(station(3), 1);
        api.removeFavoriteStation(station(1));
        QCOMPARE(uuids(favourites->stations()), (QStringList{"uuid-3", "uuid-2"}));
        for (int i = 0; i < favourites->tiles().size(); ++i)
            QTRY_COMPARE(favourites->tiles().at(i)->pos(), QPoint(i * favourites->scrollStep(), 0));
        QTRY_COMPARE(favourites->findChildren<StationCollectionViewItem*>().size(), 2);

        QVERIFY(recents->tiles().isEmpty());
        api.addRecentStation(station(7));
        QCOMPARE(uuids(recents->stations()), QStringList{"uuid-7"});
        QCOMPARE(favourites->stations().size(), 2);

        // A whole new list, as a cloud copy brings it.
        api.setFavoriteStations({});
        QVERIFY(favourites->noItemsMessage()->isVisible() && favourites->tiles().isEmpty());
    }

    // Ten tiles: 10 * 64 - 8 = 632 pixels of content, 200 visible, so the end is at 432.
    void scrollButtonsStepAndStopAtTheEnds() {
        for (int i = 0; i < 10; ++i)
            f_->api->addFavoriteStation(station(i));
        StationsStripView* strip = makeStrip(StationsStripView::List::Favorites);
        strip->resize(strip->width() - strip->collection()->viewport()->width() + 200, strip->height());
        QCOMPARE(strip->collection()->viewport()->width(), 200);
        QScrollBar* bar = strip->collection()->horizontalScrollBar();
        QAbstractButton* left = strip->scrollLeftButton();
        QAbstractButton* right = strip->scrollRightButton();
        pointAt(strip, QPoint(150, 2)); // over the strip, not over a tile
        QTRY_VERIFY(left->isVisible() && right->isVisible());
        // From where, which button, and where it ends: one step, or the end and no further.
        for (const auto& [start, button, expected] :
             {std::tuple{0, right, 64}, {40, left, 0}, {400, right, 432}, {432, left, 368}}) {
            bar->setValue(start);
            button->click();
            QCOMPARE(bar->value(), expected);
        }
        pointAway();
        QTRY_VERIFY(left->isHidden() && right->isHidden());
    }

    void restingOnATileTypesItsName_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("ticks");
        QTest::newRow("twenty characters") << "Radio Twenty Chars!!" << 20;
        // A character outside the basic plane appears whole, in one tick.
        QTest::newRow("emoji") << QString::fromUtf8("Radio \U0001F4FB Eins") << 12;
    }

    void restingOnATileTypesItsName() {
        QFETCH(QString, name);
        QFETCH(int, ticks);
        f_->api->addFavoriteStation(station(1, name));
        StationsStripView* strip = makeStrip(StationsStripView::List::Favorites);
        StationCollectionViewItem* tile = strip->tiles().first();
        strip->labelField()->setText(QStringLiteral("left over"));

        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), tile->mapToGlobal(QPointF(5, 5)));
        QApplication::sendEvent(tile, &enter);
        QCOMPARE(strip->labelField()->text(), QString());
        auto* timer = tile->findChild<QTimer*>();
        QVERIFY(timer && timer->isActive());
        QStringList typed; // the label at each tick
        connect(timer, &QTimer::timeout, this, [&] { typed.append(strip->labelField()->text()); });
        QTRY_VERIFY(!tile->isTyping());

        QCOMPARE(strip->labelField()->text(), name);
        // One character per tick, then one more tick that finds the name whole and stops.
        QCOMPARE(typed.size(), ticks + 1);
        for (int i = 0; i < ticks; ++i) {
            QVERIFY2(name.startsWith(typed.at(i)), qPrintable(typed.at(i)));
            QVERIFY(!typed.at(i).back().isHighSurrogate());
            QCOMPARE(typed.at(i).size() > (i ? typed.at(i - 1).size() : 0), true);
        }
    }

    void leavingATileClearsTheLabelAtOnce() {
        f_->api->addFavoriteStation(station(1, QStringLiteral("A very long station name ").repeated(20)));
        StationsStripView* strip = makeStrip(StationsStripView::List::Favorites);
        StationCollectionViewItem* tile = strip->tiles().first();
        pointAt(tile, tile->rect().center());
        QTRY_VERIFY(!strip->labelField()->text().isEmpty());
        QVERIFY(tile->isTyping());
        pointAway();
        QTRY_VERIFY(!tile->underMouse());
        QCOMPARE(strip->labelField()->text(), QString());
        QVERIFY(!tile->isTyping());
    }

    void playingAsksOnce_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("click") << "click";
        QTest::newRow("return key") << "return";
        QTest::newRow("space key") << "space";
    }

    void playingAsksOnce() {
        QFETCH(QString, how);
        f_->api->addRecentStation(station(4));
        StationsStripView* strip = makeStrip(StationsStripView::List::Recents);
        StationCollectionViewItem* tile = strip->tiles().first();
        QSignalSpy asked(strip, &StationsStripView::loadStationRequested);
        if (how == QLatin1String("click")) {
            QTest::mouseClick(tile, Qt::LeftButton);
        } else {
            tile->setFocus();
            QTest::keyClick(tile, how == QLatin1String("return") ? Qt::Key_Return : Qt::Key_Space);
        }
        QCOMPARE(asked.size(), 1);
        QCOMPARE(asked.first().at(0).value<Station>().string(Station::Key::StationUuid), "uuid-4");
        QVERIFY(asked.first().at(1).toBool());
    }

    void onlyFavouriteTilesOfferRemoval() {
        f_->api->addFavoriteStation(station(1));
        f_->api->addFavoriteStation(station(2));
        f_->api->addRecentStation(station(1));
        StationsStripView* favourites = makeStrip(StationsStripView::List::Favorites);
        StationsStripView* recents = makeStrip(StationsStripView::List::Recents);

        StationCollectionViewItem* recent = recents->tiles().first();
        QCOMPARE(recent->contextMenuPolicy(), Qt::NoContextMenu);
        QVERIFY(!recent->removeFromFavoritesMenuAction() && recent->actions().isEmpty());

        StationCollectionViewItem* favourite = favourites->tiles().last();
        QCOMPARE(favourite->contextMenuPolicy(), Qt::ActionsContextMenu);
        QVERIFY(favourite->actions().contains(favourite->removeFromFavoritesMenuAction()));
        favourite->removeFromFavoritesMenuAction()->trigger();
        QCOMPARE(uuids(f_->api->favoriteStations()), QStringList{"uuid-2"});
        QCOMPARE(uuids(favourites->stations()), QStringList{"uuid-2"});
        QCOMPARE(recents->stations().size(), 1);

        favourites->tiles().first()->setFocus();
        QTest::keyClick(favourites->tiles().first(), Qt::Key_Delete);
        QVERIFY(f_->api->favoriteStations().isEmpty() && favourites->tiles().isEmpty());
    }

    void tileShowsFlagAndNameImage_data() {
        QTest::addColumn<QString>("country");
        QTest::addColumn<QString>("flag");
        QTest::newRow("country") << "FR" << QString::fromUtf8("\U0001F1EB\U0001F1F7");
        QTest::newRow("not a code") << "FRA" << "";
    }

    void tileShowsFlagAndNameImage() {
        QFETCH(QString, country);
        QFETCH(QString, flag);
        f_->api->addFavoriteStation(station(1, QStringLiteral("Radio One Classic Rock"), country));
        StationsStripView* strip = makeStrip(StationsStripView::List::Favorites);
        StationCollectionViewItem* tile = strip->tiles().first();
        QCOMPARE(tile->flagText(), flag);
        pointAt(strip, QPoint(150, 2)); // one tile fits: no scroll buttons
        QTRY_VERIFY(strip->underMouse());
        QVERIFY(strip->scrollLeftButton()->isHidden() && strip->scrollRightButton()->isHidden());
        // Without an icon address: the short name, drawn, at once and never scaled up.
        const QImage image = tile->imageView()->image();
        QVERIFY(!image.isNull() && images::isTemplate(image) && !tile->imageView()->isLoading());
        QCOMPARE(tile->imageView()->scaling(), CachedURLImageView::Scaling::FitDown);
        QCOMPARE(tile->accessibleName(), QStringLiteral("Radio One Classic Rock"));
        QVERIFY2(tile->accessibleDescription().contains(QStringLiteral("favourite")),
                 qPrintable(tile->accessibleDescription()));
    }

private:
    StationsStripView* makeStrip(StationsStripView::List list, int width = 400) {
        auto* strip = StationsStripView::createStationsStripView(list, *f_->api, *icons_, window_.get());
        strip->setGeometry(10, 10, width, strip->sizeHint().height());
        strip->show();
        return strip;
    }
    void pointAt(QWidget* widget, QPoint local) { QCursor::setPos(widget->mapToGlobal(local)); }
    void pointAway() { QCursor::setPos(window_->mapToGlobal(QPoint(590, 390))); }

    HttpTransport transport_;
    FakeStationDirectory directory_;
    std::unique_ptr<DirectoryFixture> f_;
    std::unique_ptr<IconLoader> icons_;
    std::unique_ptr<QWidget> window_;
};

QTEST_MAIN(TestStationsStripView)
#include "tst_stationsstripview.moc"
