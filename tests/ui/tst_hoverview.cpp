// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/HoverView.h"

#include <QtTest>
#include <QtWidgets>

// A target that answers only the plain form.
class PlainTarget : public QObject {
    Q_OBJECT
public:
    int plain = 0;
    Q_INVOKABLE void mouseEntered() { ++plain; }
    Q_INVOKABLE void mouseExited() { ++plain; }
};

// A target that answers both forms: it hears the action form.
class BothTarget : public PlainTarget {
    Q_OBJECT
public:
    int entered = 0;
    int exited = 0;
    Q_INVOKABLE void mouseEnteredAction(HoverView*) { ++entered; }
    Q_INVOKABLE void mouseExitedAction(HoverView*) { ++exited; }
};

// The animations' clock, moved on by the test alone, so a fade stands where the test leaves it.
class SteppedAnimationClock : public QAnimationDriver {
public:
    // Time since the animations last started running, as the default clock counts it.
    qint64 elapsed() const override { return now_; }
    void start() override {
        now_ = 0;
        QAnimationDriver::start();
    }
    void step(qint64 ms) {
        now_ += ms;
        advance();
    }

private:
    qint64 now_ = 0;
};

class TestHoverView : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() {
        window_ = std::make_unique<QWidget>();
        window_->resize(400, 300);
        hover_ = new HoverView(window_.get());
        target_.entered = target_.exited = target_.plain = 0;
        hover_->setTarget(&target_);
        hover_->setGeometry(10, 10, 100, 100);
        pointAt(QPoint(390, 290));
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    }

    void cleanup() { window_.reset(); }

    void geometryChangeRechecksThePointer_data() {
        QTest::addColumn<QPoint>("pointer");
        QTest::addColumn<QSize>("newSize");
        QTest::addColumn<int>("entered");
        QTest::addColumn<int>("exited");
        QTest::newRow("grows under a still pointer") << QPoint(60, 60) << QSize(150, 150) << 1 << 0;
        QTest::newRow("shrinks away from the pointer") << QPoint(100, 100) << QSize(40, 40) << 0 << 1;
        QTest::newRow("grows under the pointer") << QPoint(140, 60) << QSize(150, 100) << 1 << 0;
        QTest::newRow("pointer elsewhere") << QPoint(300, 250) << QSize(150, 150) << 0 << 1;
    }

    void geometryChangeRechecksThePointer() {
        QFETCH(QPoint, pointer);
        QFETCH(QSize, newSize);
        QFETCH(int, entered);
        QFETCH(int, exited);
        pointAt(pointer);
        QTRY_COMPARE(target_.entered, hover_->geometry().contains(pointer) ? 1 : 0);
        target_.entered = target_.exited = 0;
        hover_->resize(newSize);
        QCOMPARE(target_.entered, entered);
        QCOMPARE(target_.exited, exited);
    }

    void targetHearsTheActionFormFirst() {
        pointAt(QPoint(50, 50));
        QTRY_COMPARE(target_.entered, 1);
        target_.exited = 0;
        pointAt(QPoint(300, 250));
        QTRY_COMPARE(target_.exited, 1);
        QCOMPARE(target_.plain, 0);

        PlainTarget plain;
        hover_->setTarget(&plain);
        pointAt(QPoint(50, 50));
        QTRY_COMPARE(plain.plain, 1);

        // A target that has gone counts as none.
        {
            BothTarget gone;
            hover_->setTarget(&gone);
        }
        pointAt(QPoint(300, 250));
        QTRY_VERIFY(!hover_->underMouse());
        QVERIFY(!hover_->target());
    }

    void targetViewFadesInAndOut() {
        auto* companion = new QWidget(window_.get());
        companion->setGeometry(200, 10, 50, 50);
        companion->hide();
        hover_->setTargetView(companion);
        auto opacity = [companion] {
            auto* effect = qobject_cast<QGraphicsOpacityEffect*>(companion->graphicsEffect());
            return effect ? effect->opacity() : 1.0;
        };

        pointAt(QPoint(50, 50));
        QTRY_VERIFY(companion->isVisible());
        QTRY_COMPARE(opacity(), 1.0);
        pointAt(QPoint(300, 250));
        QVERIFY(companion->isVisible()); // fading, not gone at once
        QTRY_VERIFY(opacity() < 1.0);
        pointAt(QPoint(50, 50)); // back during the fade-out: it ends shown
        QTRY_COMPARE(opacity(), 1.0);
        QVERIFY(companion->isVisible());
        pointAt(QPoint(300, 250));
        QTRY_VERIFY(companion->isHidden());
        pointAt(QPoint(50, 50)); // away during the fade-in: it ends hidden
        QTRY_VERIFY(companion->isVisible());
        pointAt(QPoint(300, 250));
        QTRY_VERIFY(companion->isHidden());
    }

    // The pointer coming back over the view while the companion is on show starts no fade-in:
    // a fade-in goes on as it was, a fade-out is called off and the companion stays shown.
    void enteringWhileShownStartsNoFade_data() {
        QTest::addColumn<int>("fadeInMs");
        QTest::addColumn<int>("fadeOutMs");
        QTest::addColumn<qreal>("opacityOnEntering");
        QTest::newRow("fully shown") << 300 << 0 << 1.0;
        QTest::newRow("during the fade-in") << 100 << 0 << 0.4;
        QTest::newRow("during the fade-out") << 300 << 100 << 1.0;
    }

    void enteringWhileShownStartsNoFade() {
        QFETCH(int, fadeInMs);
        QFETCH(int, fadeOutMs);
        QFETCH(qreal, opacityOnEntering);
        SteppedAnimationClock clock;
        clock.install();
        auto* companion = new QWidget(window_.get());
        companion->setGeometry(200, 10, 50, 50);
        companion->hide();
        hover_->setTargetView(companion);
        auto opacity = [companion] {
            auto* effect = qobject_cast<QGraphicsOpacityEffect*>(companion->graphicsEffect());
            return effect ? effect->opacity() : 1.0;
        };

        pointAt(QPoint(50, 50));
        QTRY_VERIFY(hover_->underMouse());
        clock.step(fadeInMs);
        if (fadeOutMs > 0) {
            pointAt(QPoint(300, 250));
            QTRY_VERIFY(!hover_->underMouse());
            clock.step(fadeOutMs);
            QVERIFY(opacity() < 1.0);
            pointAt(QPoint(50, 50));
            QTRY_VERIFY(hover_->underMouse());
        } else {
            hover_->resize(110, 110); // the view re-checks the pointer and finds it inside
        }
        QVERIFY(companion->isVisible());
        QVERIFY(qAbs(opacity() - opacityOnEntering) < 0.01);

        clock.step(HoverView::kFadeDurationMs);
        QVERIFY(companion->isVisible());
        QCOMPARE(opacity(), 1.0);
    }

private:
    void pointAt(const QPoint& local) { QCursor::setPos(window_->mapToGlobal(local)); }

    std::unique_ptr<QWidget> window_;
    HoverView* hover_ = nullptr;
    BothTarget target_;
};

QTEST_MAIN(TestHoverView)
#include "tst_hoverview.moc"
