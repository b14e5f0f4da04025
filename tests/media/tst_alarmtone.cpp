// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/AlarmTone.h"

#include <QtTest>
#include <atomic>
#include <cstdlib>

// The tone as it leaves the pipeline: 16-bit samples into a clocked sink whose buffers the test
// reads.
class TestAlarmTone : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void soundsAtTheSetVolumeUntilStopped_data() {
        QTest::addColumn<float>("volume");
        QTest::addColumn<int>("lowestPeak");
        QTest::addColumn<int>("highestPeak");
        QTest::newRow("full") << 1.0f << 30000 << 32767;
        QTest::newRow("half the slider: an eighth of the amplitude") << 0.5f << 3800 << 4200;
    }

    void soundsAtTheSetVolumeUntilStopped() {
        QFETCH(float, volume);
        QFETCH(int, lowestPeak);
        QFETCH(int, highestPeak);
        AlarmTone tone(QStringLiteral("capsfilter caps=audio/x-raw,format=S16LE ! fakesink name=out sync=true signal-handoffs=true"));
        tone.start(volume);
        QVERIFY(tone.isPlaying());
        std::atomic<int> peak{0};
        std::atomic<qint64> heard{0}; // nanoseconds of audio that reached the sink
        GstElement* out = gst_bin_get_by_name(GST_BIN(tone.pipeline()), "out");
        QVERIFY(out);
        struct Meter {
            std::atomic<int>* peak;
            std::atomic<qint64>* heard;
        } meter{&peak, &heard};
        g_signal_connect(out, "handoff", G_CALLBACK(+[](GstElement*, GstBuffer* buffer, GstPad*, gpointer data) {
                             auto* m = static_cast<Meter*>(data);
                             GstMapInfo map;
                             if (!gst_buffer_map(buffer, &map, GST_MAP_READ))
                                 return;
                             const auto* samples = reinterpret_cast<const qint16*>(map.data);
                             for (gsize i = 0; i < map.size / 2; ++i)
                                 if (const int level = std::abs(int(samples[i])); level > *m->peak)
                                     *m->peak = level;
                             gst_buffer_unmap(buffer, &map);
                             if (GST_BUFFER_DURATION_IS_VALID(buffer))
                                 *m->heard += GST_BUFFER_DURATION(buffer);
                         }),
                         &meter);
        // Two seconds heard: two beeps, each at its full height in the middle.
        QTRY_VERIFY_WITH_TIMEOUT(heard > 2 * GST_SECOND, 20000);
        tone.stop();
        gst_object_unref(out);
        QVERIFY(!tone.isPlaying());
        QVERIFY2(peak >= lowestPeak && peak <= highestPeak, qPrintable(QString::number(peak)));
    }
};

QTEST_MAIN(TestAlarmTone)
#include "tst_alarmtone.moc"
