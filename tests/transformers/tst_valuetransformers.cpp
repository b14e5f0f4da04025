// SPDX-License-Identifier: GPL-3.0-or-later
#include "util/transformers/DisplayText.h"
#include "util/transformers/MediaTime.h"
#include "util/transformers/NumberFormatters.h"
#include "util/transformers/ValueReading.h"
#include "util/transformers/ValueTransformerRegistry.h"

#include <cmath>
#include <limits>
#include <QCoreApplication>
#include <QSet>
#include <QTest>
#include <QUrl>

namespace {

// A value as a short text that tells absent, flags, numbers and strings apart.
QString describe(const QVariant& v) {
    if (valuereading::isAbsent(v))
        return QStringLiteral("absent");
    if (v.typeId() == QMetaType::Bool)
        return v.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    if (v.typeId() == QMetaType::QString)
        return u'"' + v.toString() + u'"';
    return QString::fromLatin1(v.typeName()) + u':' + v.toString();
}

QVariant time(qint64 value, qint32 timescale) {
    return QVariant::fromValue(MediaTime{value, timescale});
}

void row(const char* transformer, const QVariant& input, const QString& expected) {
    QTest::addRow("%s %s", transformer, qPrintable(describe(input).replace(u'\n', QStringLiteral("\\n"))))
        << QString::fromLatin1(transformer) << input << expected;
}

QString quoted(const QString& s) {
    return u'"' + s + u'"';
}

const QString kAbsent = QStringLiteral("absent");
const QString kTrue = QStringLiteral("true");
const QString kFalse = QStringLiteral("false");

} // namespace

class TestValueTransformers : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Each transformer by its registered name, as the views bind them.
    void transformers() {
        QFETCH(QString, transformer);
        QFETCH(QVariant, input);
        QFETCH(QString, expected);
        const ValueTransformer* t = valuetransformers::valueTransformerForName(transformer);
        QVERIFY2(t, qPrintable(transformer));
        QCOMPARE(describe(t->transformedValue(input)), expected);
    }

    void transformers_data() {
        QTest::addColumn<QString>("transformer");
        QTest::addColumn<QVariant>("input");
        QTest::addColumn<QString>("expected");
        row("Is_0", QVariant(), kTrue);
        row("Is_1", true, kTrue);
        row("Is_2", 2.9, kTrue);
        row("Is_4", QStringList{"a", "b", "c", "d"}, kFalse);
        row("IsNot_2", 2, kFalse);
        row("Is_Neg1", QStringLiteral("-1"), kTrue);
        row("NumberPlusOne", QVariant(), QStringLiteral("qlonglong:0"));
        row("NumberPlusOne", QStringLiteral("41"), QStringLiteral("qlonglong:42"));
        // The largest integer stays the largest rather than wrapping to the smallest.
        row("NumberPlusOne", std::numeric_limits<qint64>::max(), QStringLiteral("qlonglong:9223372036854775807"));
        row("NumberPlusOne", QStringLiteral("99999999999999999999"), QStringLiteral("qlonglong:9223372036854775807"));
        row("ValidString", QStringLiteral("a"), kTrue);
        row("ValidString", QStringLiteral(""), kFalse);
        row("ValidString", 5, kFalse);
        row("InvalidString", QVariant(), kTrue);

        row("ArrayToString", QVariantList{QStringLiteral("x"), 3}, quoted("x, 3"));
        row("ArrayToString", QVariantList{}, kAbsent);
        row("ArrayToString", QStringList{"", "a"}, quoted("a")); // nothing before the first text
        row("ArrayToString", QStringList{"a", "", "b"}, quoted("a, , b"));
        row("ArrayToString", QVariantList{true, 2.5, -7}, quoted("1, 2.5, -7"));
        row("ArrayCountToBadgeString", QVariantList{1, 2, 3}, quoted("-3-"));
        row("ArrayCountToString", QVariant::fromValue(QList<int>{4, 5}), quoted("2"));
        row("ArrayCountToString", QStringLiteral("abc"), quoted("")); // a text is no list
        row("ArrayOfMany", QVariantList{1}, kFalse);
        row("ArrayOfMany", QVariantList{1, 2}, kTrue);
        row("ArrayCountIsZero", QVariant(), kTrue);
        row("ArrayCountIsNotZero", QStringList{"a"}, kTrue);

        row("IntegerToString", 1234, quoted("1,234"));
        row("IntegerToString", QStringLiteral("1234567 listeners"), quoted("1,234,567"));
        row("IntegerToString", QVariant(), quoted(""));
        row("NumberToRomanString", 0, quoted("-"));
        row("NumberToRomanString", 10000, quoted("-"));
        row("NumberToRomanString", 4, quoted("iv"));
        row("NumberToRomanString", 9999, quoted("mmmmmmmmmcmxcix"));
        row("AbbreviatedNumberString", 999, quoted("999"));
        row("AbbreviatedNumberString", 9999, quoted("9K"));
        row("AbbreviatedNumberString", 10000, quoted("10K+"));
        row("AbbreviatedNumberString", 1000000, quoted("1M+"));
        row("AbbreviatedNumberString", -1, quoted("1M+")); // read as unsigned
        row("AbbreviatedNumberString", QVariant(), quoted(""));
        row("FileSizeNumberToString", 999, quoted("999 bytes"));
        row("FileSizeNumberToString", 1000, quoted("1.00 KB"));
        row("FileSizeNumberToString", 999999, quoted("1.00 MB"));
        row("FileSizeNumberToString", qint64(1234567890123), quoted("1.23 TB"));
        row("FileSizeNumberToString", qint64(999999000000000), quoted("")); // rounds past the last unit
        row("FileSizeNumberToString", -1, quoted(""));
        row("FileSizeNumberToString", QStringLiteral("1000"), quoted(""));
        row("DataRateNumberToString", QVariant(), quoted(""));
        row("DataRateNumberToString", 128000, quoted("0.13 mbs"));
        row("DataRateNumberToString", 1234567890, quoted("1,234.57 mbs"));

        row("AudioDurationToString", 59.9, quoted("00:59"));
        row("AudioDurationToString", 60, quoted("01:00"));
        row("AudioDurationToString", 3600, quoted("1:00:00"));
        row("AudioDurationToString", 360000, quoted("100:00:00"));
        row("AudioDurationToString", -5, quoted("00:-5"));
        row("AudioDurationToString", QStringLiteral("60"), kAbsent); // numbers only
        row("VideoDurationToString", 3725, quoted("1:02:05"));
        row("AudioDecimalDurationToString", 3.007, quoted("00:03.007"));
        row("AudioDecimalDurationToString", 3725.25, quoted("1:02:05.250"));
        row("AudioDecimalDurationToString", QStringLiteral("2"), kAbsent);
        row("CMTimeToTimeString", time(45, 1), quoted("000:45"));
        row("CMTimeToTimeString", time(1999, 1000), quoted("000:01"));
        row("CMTimeToTimeString", time(7200 * 600, 600), quoted("02:00:00"));
        row("CMTimeToTimeString", time(360000, 1), quoted("0100:00:00"));
        row("CMTimeToTimeString", time(1, 0), kAbsent);
        row("CMTimeToTimeString", 45, kAbsent);

        row("CapitalizedString", QStringLiteral("hello wORLD"), quoted("Hello World"));
        row("CapitalizedString", 5, kAbsent);
        row("UppercaseString", QStringLiteral("straße"), quoted("STRASSE"));
        row("UnwrappedString", QStringLiteral("a\nb"), quoted("a ¬ b"));
        row("UnwrappedString", QStringLiteral("a\r\nb"), quoted("a ¬  ¬ b")); // each break on its own
        row("UnwrappedString", QStringLiteral("a\u2028b\u0085c\vd"), quoted("a ¬ b ¬ c ¬ d"));
        row("URLToString", QUrl("https://example.org/a"), QStringLiteral("QUrl:https://example.org/a"));
        row("PathToDisplayPathString", QStringLiteral("/Volumes/Backup/Music"), quoted("Backup/Music"));
        row("PathToDisplayPathString", QStringLiteral("/data/Volumes/x"), quoted("/data/Volumes/x"));
        const QString here = QCoreApplication::applicationDirPath();
        row("PathToDisplayPathString", QString(here).replace(u'/', QStringLiteral("//")) + u'/',
            quoted(here));

        row("CountryCodeToFlagString", QStringLiteral("DE"), quoted("🇩🇪"));
        row("CountryCodeToFlagString", QStringLiteral("DEU"), kAbsent);
        row("CountryCodeToCountryString", QStringLiteral("DE"), quoted("Germany"));
        row("NumberStringToMonthString", 12, quoted("December"));
        row("NumberStringToMonthString", 13, quoted(""));
        row("NumberStringToMonthString", QVariant(), quoted(""));
    }

    void reading_data() {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<qint64>("integer");
        QTest::addColumn<double>("real");
        QTest::addColumn<bool>("flag");
        constexpr qint64 max = std::numeric_limits<qint64>::max();
        constexpr qint64 min = std::numeric_limits<qint64>::min();
        QTest::newRow("leading digits") << QVariant("  -42.5abc") << qint64(-42) << -42.5 << true;
        QTest::newRow("no digits") << QVariant(QStringLiteral("abc")) << qint64(0) << 0.0 << false;
        QTest::newRow("yes") << QVariant(QStringLiteral("YES")) << qint64(0) << 0.0 << true;
        QTest::newRow("zero before a digit") << QVariant(" -07") << qint64(-7) << -7.0 << true;
        QTest::newRow("sign and one digit") << QVariant(QStringLiteral("-1")) << qint64(-1) << -1.0 << true;
        QTest::newRow("exponent") << QVariant(QStringLiteral("1.5e3x")) << qint64(1) << 1500.0 << true;
        QTest::newRow("dangling exponent") << QVariant(QStringLiteral(".5e")) << qint64(0) << 0.5 << false;
        QTest::newRow("too large") << QVariant(QStringLiteral("99999999999999999999")) << max << 1e20 << true;
        QTest::newRow("smallest") << QVariant("-9223372036854775808") << min << double(min) << true;
        QTest::newRow("fraction is true") << QVariant(0.5) << qint64(0) << 0.5 << true;
        QTest::newRow("huge double") << QVariant(1e30) << max << 1e30 << true;
        QTest::newRow("not a number") << QVariant(std::nan("")) << qint64(0) << std::nan("") << true;
        QTest::newRow("unsigned past signed") << QVariant(quint64(max) + 1) << min << -double(min) << true;
        QTest::newRow("url") << QVariant(QUrl("https://1.example")) << qint64(0) << 0.0 << false;
    }

    void reading() {
        QFETCH(QVariant, value);
        QFETCH(qint64, integer);
        QFETCH(double, real);
        QFETCH(bool, flag);
        QCOMPARE(valuereading::integerValue(value), integer);
        QCOMPARE(valuereading::doubleValue(value), real); // a NaN equals a NaN here
        QCOMPARE(valuereading::boolValue(value), flag);
    }

    void monthNamesFollowTheLocale() {
        using displaytext::monthName;
        QCOMPARE(monthName(3, icu::Locale("de_DE")), QStringLiteral("März"));
        QCOMPARE(monthName(3, icu::Locale("pl_PL")), QStringLiteral("marca")); // as in a date
        QCOMPARE(monthName(3, icu::Locale("")), QStringLiteral("M03"));
        QCOMPARE(monthName(0, icu::Locale("de_DE")), QString());
    }

    void fractionFormatterKeepsItsLastSetting() {
        using numberformatters::fractionString;
        QCOMPARE(fractionString(1.23456, 2), QStringLiteral("1.23"));
        QCOMPARE(fractionString(2.5, -1), QStringLiteral("2.50"));
        QCOMPARE(fractionString(1.23456, 4), QStringLiteral("1.2346"));
        QCOMPARE(fractionString(2.5, -3), QStringLiteral("2.5000"));
        QCOMPARE(fractionString(0.125, 2), QStringLiteral("0.12")); // halves to even
        QCOMPARE(fractionString(1234.5, 0), QStringLiteral("1,234"));
    }
};

QTEST_GUILESS_MAIN(TestValueTransformers)
#include "tst_valuetransformers.moc"
