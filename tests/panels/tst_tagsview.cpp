// SPDX-License-Identifier: GPL-3.0-or-later
#include "panels/TagsCollectionViewItem.h"
#include "panels/TagsView.h"
#include "panels/TagsViewDelegate.h"
#include "support/AccessibleAction.h"

#include <QtTest>
#include <QtWidgets>

namespace {

struct Recorder : TagsViewDelegate {
    QList<QStringList> calls;
    void selectionTagsChanged(const QStringList& tags) override { calls.append(tags); }
};

const QStringList kTags{QStringLiteral("80s"), QStringLiteral("Jazz"), QStringLiteral("Pop"), QStringLiteral("Rock"),
                        QStringLiteral("Rock'n'Roll"), QString::fromUtf8("\u00c9lectro"), QStringLiteral("Talk")};

} // namespace

class TestTagsView : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() {
        delegate_.calls.clear();
        // Hosted as in the menu that shows it, not a window of its own.
        host_ = std::make_unique<QWidget>();
        host_->resize(360, 300);
        view_.reset(TagsView::tagsViewWithDelegate(&delegate_, host_.get()));
        view_->resize(360, 300);
        host_->show();
        QVERIFY(QTest::qWaitForWindowExposed(host_.get()));
    }

    void cleanup() {
        view_.reset();
        host_.reset();
    }

    void selectionKeepsTheOrderOfClicks_data() {
        QTest::addColumn<QStringList>("given");
        QTest::addColumn<QStringList>("clicks");
        QTest::addColumn<QList<QStringList>>("reports");
        QTest::addColumn<bool>("screenReader"); // the accessible "Toggle" instead of the mouse
        const QList<QStringList> inOrder{{"Jazz"}, {"Jazz", "Rock"}, {"Jazz", "Rock", "Pop"}, {"Jazz", "Pop"}};
        QTest::newRow("in click order, then one off")
            << QStringList() << QStringList{"Jazz", "Rock", "Pop", "Rock"} << inOrder << false;
        QTest::newRow("toggled by a screen reader")
            << QStringList() << QStringList{"Jazz", "Rock", "Pop", "Rock"} << inOrder << true;
        QTest::newRow("after a given selection")
            << QStringList{"Talk", "80s"} << QStringList{"Jazz", "Talk"}
            << QList<QStringList>{{"Talk", "80s", "Jazz"}, {"80s", "Jazz"}} << false;
        QTest::newRow("last one off") << QStringList{"Rock"} << QStringList{"Rock"} << QList<QStringList>{{}} << false;
    }

    void selectionKeepsTheOrderOfClicks() {
        QFETCH(QStringList, given);
        QFETCH(QStringList, clicks);
        QFETCH(QList<QStringList>, reports);
        QFETCH(bool, screenReader);
        view_->setItems(kTags, given);
        for (const QString& tag : clicks) {
            if (screenReader)
                QVERIFY(doAccessibleAction(view_->buttonForTag(tag), QAccessibleActionInterface::toggleAction()));
            else
                click(tag);
            QCoreApplication::processEvents();
        }
        QCOMPARE(delegate_.calls, reports);
        QCOMPARE(view_->selectedItems(), reports.last());
        for (const QString& tag : kTags)
            QCOMPARE(view_->buttonForTag(tag)->isChecked(), reports.last().contains(tag));
        QCOMPARE(view_->clearAllButton()->isEnabled(), !reports.last().isEmpty());
    }

    void delegateIsCalledAfterTheClickWithTheSelectionThen() {
        view_->setItems(kTags, {});
        QTest::mouseClick(view_->buttonForTag(QStringLiteral("Jazz")), Qt::LeftButton);
        QVERIFY(delegate_.calls.isEmpty()); // not inside the button's event handling
        // A second toggle before the queue runs: both calls see the selection as it is by then.
        view_->buttonForTag(QStringLiteral("Pop"))->click();
        QVERIFY(delegate_.calls.isEmpty());
        QCoreApplication::processEvents();
        QCOMPARE(delegate_.calls, (QList<QStringList>{{"Jazz", "Pop"}, {"Jazz", "Pop"}}));

        // No delegate, no call; a panel gone before the queue runs calls nobody.
        view_->setDelegate(nullptr);
        view_->buttonForTag(QStringLiteral("Rock"))->click();
        view_->setDelegate(&delegate_);
        view_->buttonForTag(QStringLiteral("Talk"))->click();
        view_.reset();
        QCoreApplication::processEvents();
        QCOMPARE(delegate_.calls.size(), 2);
    }

    void searchIgnoresCaseAndAccents_data() {
        QTest::addColumn<QString>("search");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("upper case") << "ROC" << QStringList{"Rock", "Rock'n'Roll"};
        QTest::newRow("without the accent") << "ele" << QStringList{QString::fromUtf8("\u00c9lectro")};
        QTest::newRow("with the accent") << QString::fromUtf8("\u00e9lec") << QStringList{QString::fromUtf8("\u00c9lectro")};
        QTest::newRow("inside a word") << "n'r" << QStringList{"Rock'n'Roll"};
        QTest::newRow("nothing matches") << "xyz" << QStringList();
    }

    void searchIgnoresCaseAndAccents() {
        QFETCH(QString, search);
        QFETCH(QStringList, shown);
        view_->setItems(kTags, {});
        view_->searchField()->setText(search);
        QCOMPARE(view_->displayedItems(), shown);
        for (const QString& tag : shown)
            QVERIFY(view_->buttonForTag(tag)->isVisible());
    }

    // The keyboard walks the shown tags; hidden selected tags stay selected until cleared.
    void keyboardAndHiddenSelection() {
        view_->setItems(kTags, {QStringLiteral("Jazz")});
        view_->searchField()->setFocus();
        QTest::keyClicks(view_->searchField(), QStringLiteral("ro"));
        QTest::keyClick(view_->searchField(), Qt::Key_Down);
        QCOMPARE(QApplication::focusWidget(), view_->buttonForTag(QStringLiteral("Rock")));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
        QCOMPARE(QApplication::focusWidget(), view_->buttonForTag(QStringLiteral("Rock'n'Roll")));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QCoreApplication::processEvents();
        view_->searchField()->setText(QStringLiteral("no such tag"));
        QVERIFY(view_->displayedItems().isEmpty());
        QCOMPARE(view_->selectedItems(), (QStringList{"Jazz", "Rock'n'Roll"}));
        QVERIFY(view_->clearAllButton()->isEnabled());
        QTest::mouseClick(view_->clearAllButton(), Qt::LeftButton);
        QCoreApplication::processEvents();
        QCOMPARE(delegate_.calls, (QList<QStringList>{{"Jazz", "Rock'n'Roll"}, {}}));
        QVERIFY(view_->selectedItems().isEmpty() && !view_->clearAllButton()->isEnabled());
        view_->searchField()->clear(); // every tag again, in the given order, none checked
        QCOMPARE(view_->displayedItems(), kTags);
        for (const QString& tag : kTags)
            QVERIFY2(!view_->buttonForTag(tag)->isChecked(), qPrintable(tag));
    }

    void newItemsKeepTheSearchAndShowTheSelection_data() {
        QTest::addColumn<QStringList>("selected");
        QTest::addColumn<bool>("clearEnabled");
        QTest::newRow("nothing selected") << QStringList() << false;
        QTest::newRow("one selected") << QStringList{"Rock"} << true;
        QTest::newRow("selected tag not offered") << QStringList{"Gone"} << true;
    }

    void newItemsKeepTheSearchAndShowTheSelection() {
        QFETCH(QStringList, selected);
        QFETCH(bool, clearEnabled);
        view_->setItems(kTags, {QStringLiteral("Jazz")});
        QTest::keyClicks(view_->searchField(), QStringLiteral("ro"));
        // The menu opens again with another country's tags.
        const QStringList next{QStringLiteral("Chill"), QStringLiteral("Euro"), QStringLiteral("Rock")};
        view_->setItems(next, selected);
        QCOMPARE(view_->displayedItems(), (QStringList{QStringLiteral("Euro"), QStringLiteral("Rock")}));
        QCOMPARE(view_->clearAllButton()->isEnabled(), clearEnabled);
        QVERIFY(!view_->buttonForTag(QStringLiteral("Jazz")));
        for (const QString& tag : next)
            QCOMPARE(view_->buttonForTag(tag)->isChecked(), selected.contains(tag));
        QVERIFY(delegate_.calls.isEmpty());
    }

    void tagWiderThanTheViewIsCut() {
        const QString wide = QStringLiteral("Community Radio ").repeated(12).trimmed();
        view_->setItems({QStringLiteral("Ambient"), wide}, {});
        QCoreApplication::processEvents();
        const int visible = view_->findChild<QScrollArea*>()->viewport()->width();
        TagsCollectionViewItem* button = view_->buttonForTag(wide);
        QTRY_VERIFY(button->width() > 0);
        QVERIFY2(button->width() <= visible - 5, qPrintable(QStringLiteral("%1 of %2").arg(button->width()).arg(visible)));
        QVERIFY(button->width() < button->sizeHint().width());
        QTextDocument shown; // the tooltip as drawn: the whole tag, as text
        shown.setHtml(button->toolTip());
        QCOMPARE(shown.toPlainText(), wide);
        QCOMPARE(view_->buttonForTag(QStringLiteral("Ambient"))->width(),
                 view_->buttonForTag(QStringLiteral("Ambient"))->sizeHint().width());
    }

private:
    void click(const QString& tag) {
        TagsCollectionViewItem* button = view_->buttonForTag(tag);
        QVERIFY2(button && button->isVisible(), qPrintable(tag));
        QTest::mouseClick(button, Qt::LeftButton);
        QCoreApplication::processEvents();
    }

    std::unique_ptr<QWidget> host_;
    std::unique_ptr<TagsView> view_;
    Recorder delegate_;
};

QTEST_MAIN(TestTagsView)
#include "tst_tagsview.moc"
