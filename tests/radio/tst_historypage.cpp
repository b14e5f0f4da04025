// SPDX-License-Identifier: GPL-3.0-or-later
#include "radio/HistoryPage.h"
#include "radio/SongHistory.h"
#include "radio/SongHistoryModel.h"
#include "support/DirectoryFixture.h"

#include <QtTest>
#include <QtWidgets>

namespace {
Station station(const QString& name) {
    return stationFromJson(QJsonObject{{"stationuuid", "uuid-" + name}, {"name", name}, {"url", "http://s.example/" + name}});
}
} // namespace

// The "History" tab on the offscreen platform, used as a user does: typing, clicking, reading.
class TestHistoryPage : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        now_ = QDateTime(QDate(2024, 5, 10), QTime(9, 0));
        history_ = std::make_unique<SongHistory>(dir_->filePath("songHistory.dat"), [this] { return now_; });
        searched_.clear();
        played_.clear();
        HistoryPage::Hooks hooks;
        hooks.search = [this](const QString& title) { searched_.append(title); };
        hooks.play = [this](const Station& s) { played_.append(s.string(Station::Key::Name)); };
        hooks.exportFile = [this](const QString&, const QString&) { return dir_->filePath("starred"); };
        page_ = std::make_unique<HistoryPage>(*history_, hooks);
        page_->resize(440, 500);
        page_->show();
    }

    void cleanup() {
        page_.reset();
        history_.reset();
    }

    void groupsByDayNewestFirst() {
        hear("Radio Eins", "Oldest - Song", QDateTime(QDate(2024, 4, 28), QTime(22, 15)));
        hear("Radio Eins", "Late - Night", QDateTime(QDate(2024, 5, 9), QTime(23, 59)));
        hear("FM4", "Morning - One", QDateTime(QDate(2024, 5, 10), QTime(7, 30)));
        hear("FM4", "Morning - Two", QDateTime(QDate(2024, 5, 10), QTime(8, 45)));
        const QString april = QLocale().toString(QDate(2024, 4, 28), QLocale::LongFormat);
        QCOMPARE(rows(), (QStringList{"Today", "Morning - Two", "Morning - One", "Yesterday", "Late - Night", april,
                                      "Oldest - Song"}));
        // Each song reads as its title, station and time; a day row is no song to act on.
        QCOMPARE(rowText(1, Qt::AccessibleTextRole), QStringLiteral("Morning - Two, on FM4 at %1")
                                                         .arg(QLocale().toString(QTime(8, 45), QLocale::ShortFormat)));
        QVERIFY(!(page_->model()->flags(page_->model()->index(0, 0)) & Qt::ItemIsSelectable));
        page_->list->setCurrentIndex(page_->model()->index(0, 0));
        QVERIFY(!page_->copyButton->isEnabled());

        // A new title goes on top, and the song chosen stays chosen.
        select("Late - Night");
        hear("FM4", "Morning - Three", QDateTime(QDate(2024, 5, 10), QTime(8, 50)));
        QCOMPARE(rows().mid(0, 3), (QStringList{"Today", "Morning - Three", "Morning - Two"}));
        QCOMPARE(page_->list->currentIndex().data(SongHistoryModel::TitleRole).toString(), QStringLiteral("Late - Night"));
    }

    void filterIgnoresCaseAndAccents_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("nothing") << "" << QStringList{"Today", "Daft Punk - One More Time", "Café del Mar - Energy", "Sigur Rós - Hoppípolla"};
        QTest::newRow("plain letters for accented") << "cafe" << QStringList{"Today", "Café del Mar - Energy"};
        QTest::newRow("capitals") << "HOPPIPOLLA" << QStringList{"Today", "Sigur Rós - Hoppípolla"};
        QTest::newRow("the station") << "fip" << QStringList{"Today", "Daft Punk - One More Time"};
        QTest::newRow("no match") << "zzz" << QStringList{};
    }

    void filterIgnoresCaseAndAccents() {
        QFETCH(QString, typed);
        QFETCH(QStringList, shown);
        hear("Radio Eins", "Sigur Rós - Hoppípolla", now_.addSecs(-300));
        hear("Radio Eins", "Café del Mar - Energy", now_.addSecs(-200));
        hear("FIP", "Daft Punk - One More Time", now_.addSecs(-100));
        QTest::keyClicks(page_->filterField, typed);
        QCOMPARE(rows(), shown);
        // Songs that come meanwhile show only when they match.
        hear("Radio Eins", "Hoppipolla (Live)", now_);
        QCOMPARE(rows().contains("Hoppipolla (Live)"), typed.isEmpty() || typed == "HOPPIPOLLA");
    }

    void songActions() {
        hear("FIP", "Artist - Title", now_);
        select("Artist - Title");
        page_->copyButton->click();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("Artist - Title"));
        page_->searchButton->click();
        QCOMPARE(searched_, QStringList{"Artist - Title"});
        page_->playButton->click();
        QCOMPARE(played_, QStringList{"FIP"});

        // Starred through the button, then shown alone, and exported.
        QVERIFY(!page_->exportButton->isEnabled());
        hear("FIP", "Other - Song", now_);
        select("Artist - Title");
        page_->starButton->toggle(); // as a screen reader's "Toggle" does
        QVERIFY(history_->songs()[1].starred);
        QCOMPARE(rowText(2, Qt::DisplayRole).section(u'\n', 0, 0), QStringLiteral("★ Artist - Title"));
        page_->starredOnly->click();
        QCOMPARE(rows(), (QStringList{"Today", "Artist - Title"}));
        QVERIFY(page_->exportButton->isEnabled());
        page_->exportButton->menu()->actions().at(1)->trigger(); // As CSV
        QFile csv(dir_->filePath("starred.csv"));
        QVERIFY(csv.open(QIODevice::ReadOnly));
        QCOMPARE(csv.readAll(), QByteArray("time,station,title,address\r\n2024-05-10 09:00:00,FIP,Artist - Title,http://s.example/FIP\r\n"));
        QCOMPARE(page_->status->text(), QStringLiteral("Exported 1 starred song(s)."));
        page_->starButton->toggle();
        QCOMPARE(rows(), QStringList{});
    }

    void clearingAsksFirst() {
        QVERIFY(!page_->clearButton->isEnabled()); // nothing to clear yet
        hear("FIP", "Keep - Me", now_);
        QVERIFY(page_->clearButton->isEnabled());
        hear("FIP", "Forget - Me", now_);
        select("Keep - Me");
        page_->starButton->toggle();
        for (const bool confirm : {false, true}) {
            page_->clearButton->click();
            auto* box = page_->findChild<QMessageBox*>();
            QVERIFY(box);
            QTRY_VERIFY(box->isVisible());
            QCOMPARE(history_->songs().size(), 2); // nothing gone before the answer
            QAbstractButton* answer = nullptr;
            for (QAbstractButton* button : box->buttons())
                if ((box->buttonRole(button) == QMessageBox::DestructiveRole) == confirm)
                    answer = button;
            answer->click();
            QTRY_VERIFY(!page_->findChild<QMessageBox*>());
            QCOMPARE(history_->songs().size(), confirm ? 1 : 2);
        }
        QCOMPARE(rows(), (QStringList{"Today", "Keep - Me"}));
        QVERIFY(!page_->clearButton->isEnabled()); // only starred songs are left
    }

    // Keyboard and screen readers reach everything: every control has a name to read.
    void everyControlHasAName() {
        hear("FIP", "Artist - Title", now_);
        select("Artist - Title");
        for (QWidget* w : page_->findChildren<QWidget*>()) {
            if (!w->isVisible() || !(w->focusPolicy() & Qt::TabFocus))
                continue;
            QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
            QVERIFY2(a && !a->text(QAccessible::Name).isEmpty(), w->metaObject()->className());
        }
        QVERIFY(page_->list->actions().size() == 4); // the same actions in the list's context menu
        QAccessibleInterface* list = QAccessible::queryAccessibleInterface(page_->list);
        QVERIFY(list->childCount() >= 2);
        QVERIFY(list->child(1)->text(QAccessible::Name).startsWith("Artist - Title, on FIP"));
    }

private:
    void hear(const QString& name, const QString& title, const QDateTime& at) {
        now_ = at;
        QVERIFY(history_->add(station(name), title));
        now_ = QDateTime(QDate(2024, 5, 10), QTime(9, 0));
    }

    QString rowText(int row, int role) const { return page_->model()->index(row, 0).data(role).toString(); }

    // What the list shows: day rows as they read, songs by title.
    QStringList rows() const {
        QStringList shown;
        for (int row = 0; row < page_->model()->rowCount(); ++row) {
            const QModelIndex index = page_->model()->index(row, 0);
            shown.append(index.data(SongHistoryModel::IsDayRole).toBool() ? index.data().toString()
                                                                           : index.data(SongHistoryModel::TitleRole).toString());
        }
        return shown;
    }

    void select(const QString& title) {
        for (int row = 0; row < page_->model()->rowCount(); ++row)
            if (page_->model()->index(row, 0).data(SongHistoryModel::TitleRole).toString() == title) {
                page_->list->setFocus();
                page_->list->setCurrentIndex(page_->model()->index(row, 0));
                return;
            }
        QFAIL("no such song");
    }

    std::unique_ptr<QTemporaryDir> dir_;
    QDateTime now_;
    std::unique_ptr<SongHistory> history_;
    std::unique_ptr<HistoryPage> page_;
    QStringList searched_;
    QStringList played_;
};

QTEST_MAIN(TestHistoryPage)
#include "tst_historypage.moc"
