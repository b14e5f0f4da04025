// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Popover.h"

#include <QtTest>
#include <QtWidgets>

// The attached panel keeps a popup's closing rules although it is a tool window.
class TestPopover : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void closingRules_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("detached");
        QTest::addColumn<bool>("staysOpen");
        QTest::newRow("escape") << "escape" << false << false;
        QTest::newRow("another window takes the focus") << "other window" << false << false;
        QTest::newRow("its own menu opens") << "menu" << false << true;
        QTest::newRow("detached: another window") << "other window" << true << true;
    }

    void closingRules() {
        QFETCH(QString, action);
        QFETCH(bool, detached);
        QFETCH(bool, staysOpen);
        auto* field = new QLineEdit;
        Popover popover(field);
        QWidget other;
        popover.showRelativeTo(QRect(100, 0, 20, 20));
        if (detached)
            popover.detach();
        QVERIFY(QTest::qWaitForWindowActive(&popover));
        field->setFocus();
        if (action == "escape") {
            QTest::keyClick(field, Qt::Key_Escape);
        } else if (action == "other window") {
            other.show();
            other.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&other));
        } else {
            QMenu menu(&popover);
            menu.addAction(QStringLiteral("Sort"));
            menu.popup(popover.mapToGlobal(QPoint(10, 10)));
            QTRY_VERIFY(menu.isVisible());
            QApplication::processEvents();
            QVERIFY(popover.isVisible());
            menu.close();
        }
        QApplication::processEvents();
        QTRY_COMPARE(popover.isVisible(), staysOpen);
    }
};

QTEST_MAIN(TestPopover)
#include "tst_popover.moc"
