// SPDX-License-Identifier: GPL-3.0-or-later
#include "directory/StationArchive.h"

#include <QCborStreamWriter>
#include <QFile>
#include <QLoggingCategory>
#include <cmath>
#include <cstring>
#include <limits>
#include <simdjson.h>

Q_LOGGING_CATEGORY(lcArchive, "ostrel.archive")

namespace archive {

QByteArray archivedDataWithRootObject(const StationList& stations) {
    return archivedDataWithRootObject(stations, kStationListTag);
}

QByteArray archivedDataWithRootObject(const StationList& stations, quint64 formatTag) {
    QByteArray bytes;
    bytes.reserve(stations.size() * 640);
    QCborStreamWriter writer(&bytes);
    writer.append(QCborTag(kSelfDescribeTag));
    writer.append(QCborTag(formatTag));
    writer.startArray(quint64(stations.size()));
    for (const Station& station : stations) {
        quint64 count = 0;
        station.forEach([&](stationkeys::KeyId, const StationValue& v) { count += v.isString() || v.isNumber(); });
        writer.startMap(count);
        station.forEach([&](stationkeys::KeyId key, const StationValue& v) {
            if (!v.isString() && !v.isNumber())
                return;
            const std::string_view name = stationkeys::nameUtf8(key);
            writer.appendTextString(name.data(), qsizetype(name.size()));
            switch (v.type()) {
            case StationValue::Type::String:
                writer.appendTextString(v.utf8().data(), qsizetype(v.utf8().size()));
                break;
            case StationValue::Type::Bool:
                writer.append(v.toBool());
                break;
            case StationValue::Type::Integer:
                writer.append(v.toInteger());
                break;
            default:
                writer.append(v.toDouble());
                break;
            }
        });
        writer.endMap();
    }
    writer.endArray();
    return bytes;
}

namespace {

// A strict CBOR reader for exactly this format, working on the bytes in place: it is several
// times faster than a general-purpose stream reader, and what it does not expect it refuses.
class Decoder {
public:
    Decoder(QByteArrayView data, ArchiveClasses classes, std::uint64_t maxStations = UINT64_MAX,
            std::uint64_t formatTag = kStationListTag)
        : p_(reinterpret_cast<const std::uint8_t*>(data.data())), begin_(p_), end_(p_ + data.size()),
          classes_(classes), maxStations_(maxStations), formatTag_(formatTag) {}

    Expected<StationList> run() {
        StationList stations;
        if (readList(stations)) {
            if (keys_.dropped() > 0)
                qCWarning(lcArchive, "dropped %zu keys that are too long or too many", keys_.dropped());
            if (p_ == end_ || leftUnread_)
                return stations;
            fail("bytes after the station list");
        }
        // Only ever logged: the same words for the user and the log.
        return Error::make(Error::Code::BadReply, error_, 0, error_);
    }

private:
    enum Major : std::uint8_t { Unsigned = 0, Negative = 1, Bytes = 2, Text = 3, Array = 4, Map = 5, Tag = 6, Simple = 7 };

    bool fail(const char* why) {
        if (error_.isEmpty())
            error_ = QStringLiteral("%1 at byte %2").arg(QLatin1String(why)).arg(p_ - begin_);
        return false;
    }

    // The head of the next item: its major type and its argument (a length, a value or a tag).
    // Indefinite lengths and reserved encodings are refused.
    bool head(Major& major, std::uint64_t& argument, std::uint8_t& info) {
        if (p_ >= end_)
            return fail("unexpected end of data");
        const std::uint8_t initial = *p_;
        major = Major(initial >> 5);
        info = initial & 0x1F;
        if (info < 24) {
            argument = info;
            ++p_;
            return true;
        }
        if (info > 27)
            return fail(info == 31 ? "an item of indefinite length" : "a reserved encoding");
        const int size = 1 << (info - 24);
        if (end_ - p_ < 1 + size)
            return fail("unexpected end of data");
        argument = 0;
        for (int i = 1; i <= size; ++i)
            argument = (argument << 8) | p_[i];
        p_ += 1 + size;
        return true;
    }

    bool expectTag(std::uint64_t tag, const char* missing) {
        Major major;
        std::uint64_t argument;
        std::uint8_t info;
        const std::uint8_t* at = p_;
        if (!head(major, argument, info))
            return false;
        if (major != Tag || argument != tag) {
            p_ = at;
            return fail(missing);
        }
        return true;
    }

    bool readList(StationList& stations) {
        if (!expectTag(kSelfDescribeTag, "missing CBOR self-describe tag") ||
            !expectTag(formatTag_, "missing format tag"))
            return false;
        Major major;
        std::uint64_t count;
        std::uint8_t info;
        if (!head(major, count, info))
            return false;
        if (major != Array || !classes_.testFlag(ArchiveClass::Array))
            return fail("the root is not an array");
        if (count > std::uint64_t(end_ - p_)) // each station takes at least one byte
            return fail("array longer than the data");
        leftUnread_ = count > maxStations_;
        count = std::min(count, maxStations_);
        stations.reserve(qsizetype(count));
        Station::Builder builder;
        for (std::uint64_t i = 0; i < count; ++i) {
            builder.clear();
            if (!readStation(builder))
                return false;
            stations.append(builder.build());
        }
        return true;
    }

    bool readStation(Station::Builder& builder) {
        Major major;
        std::uint64_t count;
        std::uint8_t info;
        if (!head(major, count, info))
            return false;
        if (major != Map || !classes_.testFlag(ArchiveClass::Dictionary))
            return fail("a list element is not a map");
        if (count > std::uint64_t(end_ - p_) / 2)
            return fail("map longer than the data");
        for (std::uint64_t i = 0; i < count; ++i) {
            std::string_view key;
            if (!readText(key, "a map key is not a text"))
                return false;
            const auto id = keys_.idFor(std::size_t(i), key);
            if (!id) { // a key the table does not take: its value is read and dropped
                Station::Builder dropped;
                if (!readValue(dropped, stationkeys::Name))
                    return false;
                continue;
            }
            if (builder.contains(*id))
                return fail("duplicate key");
            if (!readValue(builder, *id))
                return false;
        }
        return true;
    }

    bool readText(std::string_view& text, const char* notText) {
        const std::uint8_t* at = p_;
        Major major;
        std::uint64_t size;
        std::uint8_t info;
        if (!head(major, size, info))
            return false;
        if (major != Text) {
            p_ = at;
            return fail(notText);
        }
        if (size > std::uint64_t(end_ - p_))
            return fail("unexpected end of data");
        text = std::string_view(reinterpret_cast<const char*>(p_), std::size_t(size));
        if (!isAscii(text) && !simdjson::validate_utf8(text.data(), text.size()))
            return fail("a text that is not UTF-8");
        p_ += size;
        return true;
    }

    bool readValue(Station::Builder& builder, stationkeys::KeyId key) {
        const std::uint8_t* at = p_;
        Major major;
        std::uint64_t argument;
        std::uint8_t info;
        if (p_ < end_ && Major(*p_ >> 5) == Text) {
            if (!classes_.testFlag(ArchiveClass::String))
                return fail("a text where none is allowed");
            std::string_view text;
            if (!readText(text, ""))
                return false;
            builder.setStringRef(key, text); // the bytes outlive the station's build()
            return true;
        }
        if (!head(major, argument, info))
            return false;
        const bool numbers = classes_.testFlag(ArchiveClass::Number);
        switch (major) {
        case Unsigned:
            if (!numbers || argument > std::uint64_t(std::numeric_limits<qint64>::max()))
                return fail("an integer out of range");
            builder.setInteger(key, qint64(argument));
            return true;
        case Negative: // the value is -1 - argument
            if (!numbers || argument > std::uint64_t(std::numeric_limits<qint64>::max()))
                return fail("an integer out of range");
            builder.setInteger(key, -1 - qint64(argument));
            return true;
        case Simple:
            if (!numbers)
                return fail("a number where none is allowed");
            switch (info) {
            case 20:
            case 21:
                builder.setBool(key, info == 21);
                return true;
            case 25:
                builder.setDouble(key, fromHalf(std::uint16_t(argument)));
                return true;
            case 26: {
                float f;
                const auto bits = std::uint32_t(argument);
                std::memcpy(&f, &bits, sizeof f);
                builder.setDouble(key, double(f));
                return true;
            }
            case 27: {
                double d;
                std::memcpy(&d, &argument, sizeof d);
                builder.setDouble(key, d);
                return true;
            }
            default:
                break;
            }
            break;
        default:
            break;
        }
        p_ = at;
        return fail("a value that is neither text nor number");
    }

    // Most texts are plain ASCII, which is valid UTF-8 without asking the validator.
    static bool isAscii(std::string_view text) {
        std::size_t i = 0;
        for (; i + 8 <= text.size(); i += 8) {
            std::uint64_t word;
            std::memcpy(&word, text.data() + i, 8);
            if (word & 0x8080808080808080ULL)
                return false;
        }
        for (; i < text.size(); ++i)
            if (std::uint8_t(text[i]) & 0x80)
                return false;
        return true;
    }

    static double fromHalf(std::uint16_t bits) {
        const int exponent = (bits >> 10) & 0x1F;
        const int mantissa = bits & 0x3FF;
        double value;
        if (exponent == 0)
            value = std::ldexp(mantissa, -24);
        else if (exponent != 31)
            value = std::ldexp(mantissa + 1024, exponent - 25);
        else
            value = mantissa == 0 ? std::numeric_limits<double>::infinity() : std::numeric_limits<double>::quiet_NaN();
        return (bits & 0x8000) ? -value : value;
    }

    const std::uint8_t* p_;
    const std::uint8_t* begin_;
    const std::uint8_t* end_;
    ArchiveClasses classes_;
    std::uint64_t maxStations_;
    std::uint64_t formatTag_;
    bool leftUnread_ = false;
    stationkeys::KeyCache keys_;
    QString error_;
};

} // namespace

Expected<StationList> decode(QByteArrayView data, ArchiveClasses classes) {
    return Decoder(data, classes).run();
}

Expected<StationList> decode(QByteArrayView data, ArchiveClasses classes, quint64 formatTag) {
    return Decoder(data, classes, UINT64_MAX, formatTag).run();
}

Expected<StationList> decodeFirst(QByteArrayView data, ArchiveClasses classes, qsizetype maxStations) {
    return Decoder(data, classes, std::uint64_t(std::max<qsizetype>(maxStations, 0))).run();
}

std::optional<StationList> unarchivedObjectOfClasses(ArchiveClasses classes, QByteArrayView data) {
    const Expected<StationList> stations = decode(data, classes);
    if (!stations)
        qCWarning(lcArchive, "%s [%s]", "unarchive error :", qUtf8Printable(stations.error().message));
    return stations.optional();
}

std::optional<StationList> unarchivedObjectOfClasses(ArchiveClasses classes, const QUrl& fileUrl) {
    QFile file(fileUrl.toLocalFile());
    if (!fileUrl.isLocalFile() || !file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        const QString why = fileUrl.isLocalFile() ? file.errorString() : QStringLiteral("not a file URL");
        qCWarning(lcArchive, "%s [%s]", "unarchive error reading file :", qUtf8Printable(why));
        return std::nullopt;
    }
    const QByteArray data = file.readAll();
    if (data.isEmpty())
        return std::nullopt;
    return unarchivedObjectOfClasses(classes, data);
}

} // namespace archive
