#include "util/transformers/DisplayText.h"
#include "util/transformers/MediaTime.h"
#include "util/transformers/NumberFormatters.h"
#include "util/transformers/ValueReading.h"
#include "util/transformers/ValueTransformerRegistry.h"

#include <QCoreApplication>
#include <QSet>
#include <QTest>
#include <QUrl>
#include <cmath>
#include <limits>

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

QVariant list(std::initializer_list<QVariant> elements) {
    return QVariantList(elements);
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
    void transformers_data();
    void transformers();
    void reading_data();
    void reading();
    void monthNamesFollowTheLocale_data();
    void monthNamesFollowTheLocale();
    void fractionFormatterKeepsItsLastSetting();
};

// Each transformer by its registered name, as the views bind them.
void TestValueTransformers::transformers() {
    QFETCH(QString, transformer);
    QFETCH(QVariant, input);
    QFETCH(QString, expected);
    const ValueTransformer* t = valuetransformers::valueTransformerForName(transformer);
    QVERIFY2(t, qPrintable(transformer));
    QCOMPARE(describe(t->transformedValue(input)), expected);
}

void TestValueTransformers::transformers_data() {
    QTest::addColumn<QString>("transformer");
    QTest::addColumn<QVariant>("input");
    QTest::addColumn<QString>("expected");
    // Flags and counts.
    row("Is_0", QVariant(), kTrue);
    row("IsNot_0", QVariant(), kFalse);
    row("Is_0", QUrl("https://x"), kTrue); // no number in it
    row("Is_1", QStringLiteral("1 station"), kTrue);
    row("Is_1", true, kTrue);
    row("Is_2", 2.9, kTrue);
    row("Is_4", QStringList{"a", "b", "c", "d"}, kFalse);
    row("Is_5", 5, kTrue);
    row("IsNot_2", 2, kFalse);
    row("IsNot_5", 5, kFalse);
    row("Is_Neg1", QStringLiteral("-1"), kTrue);
    row("IsNot_Neg1", QStringLiteral("-1"), kFalse);
    row("NumberPlusOne", QVariant(), QStringLiteral("qlonglong:0"));
    row("NumberPlusOne", 0, QStringLiteral("qlonglong:1"));
    row("NumberPlusOne", QStringLiteral("41"), QStringLiteral("qlonglong:42"));
    row("ValidString", QStringLiteral("a"), kTrue);
    row("ValidString", QStringLiteral(""), kFalse);
    row("ValidString", 5, kFalse);
    row("InvalidString", QVariant(), kTrue);
    row("InvalidString", 5, kTrue);

    // Lists.
    row("ArrayToString", list({QStringLiteral("x"), 3}), quoted("x, 3"));
    row("ArrayToString", QVariantList{}, kAbsent);
    row("ArrayToString", QStringLiteral("x"), kAbsent);
    row("ArrayToString", QStringList{"", "a"}, quoted("a")); // nothing before the first text
    row("ArrayToString", QStringList{"a", "", "b"}, quoted("a, , b"));
    row("ArrayToString", list({true, 2.5, -7}), quoted("1, 2.5, -7"));
    row("ArrayCountToBadgeString", list({1, 2, 3}), quoted("-3-"));
    row("ArrayCountToBadgeString", QVariantList{}, quoted(""));
    row("ArrayCountToString", QVariant::fromValue(QList<int>{4, 5}), quoted("2"));
    row("ArrayCountToString", QStringLiteral("abc"), quoted("")); // a text is no list
    row("ArrayOfMany", list({1}), kFalse);
    row("ArrayOfMany", list({1, 2}), kTrue);
    row("ArrayOfMany", QVariant(), kFalse);
    row("NotArrayOfMany", QVariant(), kTrue);
    row("ArrayCountIsZero", QVariant(), kTrue);
    row("ArrayCountIsZero", QStringList{}, kTrue);
    row("ArrayCountIsNotZero", QVariant(), kFalse);
    row("ArrayCountIsNotZero", QStringList{"a"}, kTrue);

    // Numbers.
    row("IntegerToString", 1234, quoted("1,234"));
    row("IntegerToString", QStringLiteral("1234567 listeners"), quoted("1,234,567"));
    row("IntegerToString", 2.9, quoted("2"));
    row("IntegerToString", QVariant(), quoted(""));
    row("NumberToRomanString", 0, quoted("-"));
    row("NumberToRomanString", -5, quoted("-"));
    row("NumberToRomanString", 10000, quoted("-"));
    row("NumberToRomanString", 4, quoted("iv"));
    row("NumberToRomanString", 1990, quoted("mcmxc"));
    row("NumberToRomanString", QStringLiteral("14"), quoted("xiv"));
    row("NumberToRomanString", 9999, quoted("mmmmmmmmmcmxcix"));
    row("AbbreviatedNumberString", 999, quoted("999"));
    row("AbbreviatedNumberString", 1000, quoted("1K"));
    row("AbbreviatedNumberString", 1999, quoted("1K"));
    row("AbbreviatedNumberString", 9999, quoted("9K"));
    row("AbbreviatedNumberString", 10000, quoted("10K+"));
    row("AbbreviatedNumberString", 100000, quoted("100K+"));
    row("AbbreviatedNumberString", 1000000, quoted("1M+"));
    row("AbbreviatedNumberString", -1, quoted("1M+")); // read as unsigned
    row("AbbreviatedNumberString", QVariant(), quoted(""));
    row("FileSizeNumberToString", 999, quoted("999 bytes"));
    row("FileSizeNumberToString", 1000, quoted("1.00 KB"));
    row("FileSizeNumberToString", 999499, quoted("999.50 KB"));
    row("FileSizeNumberToString", 999999, quoted("1.00 MB"));
    row("FileSizeNumberToString", 1500000, quoted("1.50 MB"));
    row("FileSizeNumberToString", qint64(1234567890123), quoted("1.23 TB"));
    row("FileSizeNumberToString", qint64(999000000000000), quoted("999.00 TB"));
    row("FileSizeNumberToString", qint64(999999000000000), quoted("")); // 999.999 TB rounds past the last unit
    row("FileSizeNumberToString", -1, quoted(""));
    row("FileSizeNumberToString", QStringLiteral("1000"), quoted(""));
    row("DataRateNumberToString", QVariant(), quoted(""));
    row("DataRateNumberToString", 128000, quoted("0.13 mbs"));
    row("DataRateNumberToString", 320000, quoted("0.32 mbs"));
    row("DataRateNumberToString", QStringLiteral("1411200"), quoted("1.41 mbs"));
    row("DataRateNumberToString", 1234567890, quoted("1,234.57 mbs"));

    // Durations.
    row("AudioDurationToString", 59, quoted("00:59"));
    row("AudioDurationToString", 59.9, quoted("00:59"));
    row("AudioDurationToString", 60, quoted("01:00"));
    row("AudioDurationToString", 3599, quoted("59:59"));
    row("AudioDurationToString", 3600, quoted("1:00:00"));
    row("AudioDurationToString", 360000, quoted("100:00:00"));
    row("AudioDurationToString", -5, quoted("00:-5"));
    row("AudioDurationToString", QStringLiteral("60"), kAbsent); // numbers only
    row("VideoDurationToString", 3725, quoted("1:02:05"));
    row("AudioDecimalDurationToString", 75.5, quoted("01:15.500"));
    row("AudioDecimalDurationToString", 3.007, quoted("00:03.007"));
    row("AudioDecimalDurationToString", 0.05, quoted("00:00.050"));
    row("AudioDecimalDurationToString", 3725.25, quoted("1:02:05.250"));
    row("AudioDecimalDurationToString", QStringLiteral("2"), kAbsent);
    row("CMTimeToTimeString", time(45, 1), quoted("000:45"));
    row("CMTimeToTimeString", time(754, 1), quoted("012:34"));
    row("CMTimeToTimeString", time(1999, 1000), quoted("000:01"));
    row("CMTimeToTimeString", time(7200 * 600, 600), quoted("02:00:00"));
    row("CMTimeToTimeString", time(36000, 1), quoted("10:00:00"));
    row("CMTimeToTimeString", time(360000, 1), quoted("0100:00:00"));
    row("CMTimeToTimeString", time(1, 0), kAbsent);
    row("CMTimeToTimeString", 45, kAbsent);

    // Texts.
    row("CapitalizedString", QStringLiteral("hello wORLD"), quoted("Hello World"));
    row("CapitalizedString", 5, kAbsent);
    row("UppercaseString", QStringLiteral("straße"), quoted("STRASSE"));
    row("UnwrappedString", QStringLiteral("a\nb"), quoted("a ¬ b"));
    row("UnwrappedString", QStringLiteral("a\r\nb"), quoted("a ¬  ¬ b")); // each break on its own
    row("UnwrappedString", QStringLiteral("a\u2028b\u0085c\vd"), quoted("a ¬ b ¬ c ¬ d"));
    row("UnwrappedString", QStringLiteral("a\tb"), quoted("a\tb"));
    row("URLToString", QUrl("https://example.org/a"), QStringLiteral("QUrl:https://example.org/a"));
    row("PathToDisplayPathString", QStringLiteral("/Volumes/Backup/Music"), quoted("Backup/Music"));
    row("PathToDisplayPathString", QStringLiteral("/data/Volumes/x"), quoted("/data/Volumes/x"));
    const QString here = QCoreApplication::applicationDirPath();
    row("PathToDisplayPathString", QString(here).replace(u'/', QStringLiteral("//")) + u'/', quoted(here));

    // Countries and months.
    row("CountryCodeToFlagString", QStringLiteral("DE"), quoted("🇩🇪"));
    row("CountryCodeToFlagString", QStringLiteral("DEU"), kAbsent);
    row("CountryCodeToFlagString", 49, kAbsent);
    row("CountryCodeToCountryString", QStringLiteral("DE"), quoted("Germany"));
    row("CountryCodeToCountryString", 3, kAbsent);
    row("NumberStringToMonthString", QStringLiteral("3"), quoted("March"));
    row("NumberStringToMonthString", 12, quoted("December"));
    row("NumberStringToMonthString", 13, quoted(""));
    row("NumberStringToMonthString", QVariant(), quoted(""));
}

void TestValueTransformers::reading_data() {
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<qint64>("integer");
    QTest::addColumn<double>("real");
    QTest::addColumn<bool>("flag");
    constexpr qint64 max = std::numeric_limits<qint64>::max();
    constexpr qint64 min = std::numeric_limits<qint64>::min();
    QTest::newRow("leading digits") << QVariant(QStringLiteral("  -42.5abc")) << qint64(-42) << -42.5 << true;
    QTest::newRow("no digits") << QVariant(QStringLiteral("abc")) << qint64(0) << 0.0 << false;
    QTest::newRow("yes") << QVariant(QStringLiteral("YES")) << qint64(0) << 0.0 << true;
    QTest::newRow("zero before a digit") << QVariant(QStringLiteral(" -07")) << qint64(-7) << -7.0 << true;
    QTest::newRow("sign and one digit") << QVariant(QStringLiteral("-1")) << qint64(-1) << -1.0 << true;
    QTest::newRow("exponent") << QVariant(QStringLiteral("1.5e3x")) << qint64(1) << 1500.0 << true;
    QTest::newRow("dangling exponent") << QVariant(QStringLiteral(".5e")) << qint64(0) << 0.5 << false;
    QTest::newRow("too large") << QVariant(QStringLiteral("99999999999999999999")) << max << 1e20 << true;
    QTest::newRow("too small") << QVariant(QStringLiteral("-99999999999999999999")) << min << -1e20 << true;
    QTest::newRow("smallest") << QVariant(QStringLiteral("-9223372036854775808")) << min << -9223372036854775808.0
                              << true;
    QTest::newRow("fraction is true") << QVariant(0.5) << qint64(0) << 0.5 << true;
    QTest::newRow("huge double") << QVariant(1e30) << max << 1e30 << true;
    QTest::newRow("not a number") << QVariant(std::nan("")) << qint64(0) << std::nan("") << true;
    QTest::newRow("unsigned beyond signed") << QVariant(quint64(max) + 1) << min << 9223372036854775808.0 << true;
    QTest::newRow("url") << QVariant(QUrl("https://1.example")) << qint64(0) << 0.0 << false;
}

void TestValueTransformers::reading() {
    QFETCH(QVariant, value);
    QFETCH(qint64, integer);
    QFETCH(double, real);
    QFETCH(bool, flag);
    QCOMPARE(valuereading::integerValue(value), integer);
    if (std::isnan(real))
        QVERIFY(std::isnan(valuereading::doubleValue(value)));
    else
        QCOMPARE(valuereading::doubleValue(value), real);
    QCOMPARE(valuereading::boolValue(value), flag);
}

void TestValueTransformers::monthNamesFollowTheLocale_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("expected");
    QTest::newRow("German") << "de_DE" << QStringLiteral("März");
    QTest::newRow("Polish, as in a date") << "pl_PL" << QStringLiteral("marca");
    QTest::newRow("root") << "" << QStringLiteral("M03");
}

void TestValueTransformers::monthNamesFollowTheLocale() {
    QFETCH(QString, locale);
    QFETCH(QString, expected);
    QCOMPARE(displaytext::monthName(3, icu::Locale(locale.toLatin1().constData())), expected);
    QCOMPARE(displaytext::monthName(0, icu::Locale("de_DE")), QString());
}

void TestValueTransformers::fractionFormatterKeepsItsLastSetting() {
    using numberformatters::fractionString;
    QCOMPARE(fractionString(1.23456, 2), QStringLiteral("1.23"));
    QCOMPARE(fractionString(2.5, -1), QStringLiteral("2.50"));
    QCOMPARE(fractionString(1.23456, 4), QStringLiteral("1.2346"));
    QCOMPARE(fractionString(2.5, -3), QStringLiteral("2.5000"));
    QCOMPARE(fractionString(0.125, 2), QStringLiteral("0.12")); // halves to even
    QCOMPARE(fractionString(1234.5, 0), QStringLiteral("1,234"));
}

QTEST_GUILESS_MAIN(TestValueTransformers)
#include "tst_valuetransformers.moc"
