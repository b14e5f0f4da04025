#include "directory/StationArchive.h"

#include <QCborStreamReader>
#include <QCborStreamWriter>
#include <QFile>
#include <QLoggingCategory>
#include <simdjson.h>

Q_LOGGING_CATEGORY(lcArchive, "ostrel.archive")

namespace archive {

QByteArray archivedDataWithRootObject(const StationList& stations) {
    QByteArray bytes;
    bytes.reserve(stations.size() * 640);
    QCborStreamWriter writer(&bytes);
    writer.append(QCborTag(kSelfDescribeTag));
    writer.append(QCborTag(kStationListTag));
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

// One pass over the bytes with QCborStreamReader; the first problem ends it.
class Decoder {
public:
    Decoder(QByteArrayView data, ArchiveClasses classes)
        : data_(data), reader_(data.data(), data.size()), classes_(classes) {}

    std::optional<StationList> run(QString* error) {
        StationList stations;
        if (readList(stations) && !trailingBytes())
            return stations;
        if (error)
            *error = error_.isEmpty() ? reader_.lastError().toString() : error_;
        return std::nullopt;
    }

private:
    bool fail(const QString& why) {
        if (error_.isEmpty())
            error_ = QStringLiteral("%1 at byte %2").arg(why).arg(reader_.currentOffset());
        return false;
    }
    bool failOnReader() { return fail(reader_.lastError().toString()); }

    bool expectTag(quint64 tag, const char* what) {
        if (!reader_.isTag() || quint64(reader_.toTag()) != tag)
            return fail(QStringLiteral("missing %1").arg(QLatin1String(what)));
        return reader_.next() || failOnReader();
    }

    bool readList(StationList& stations) {
        if (!expectTag(kSelfDescribeTag, "CBOR self-describe tag") ||
            !expectTag(kStationListTag, "station list format tag"))
            return false;
        if (!reader_.isArray() || !classes_.testFlag(ArchiveClass::Array))
            return fail(QStringLiteral("the root is not an array"));
        if (!reader_.isLengthKnown())
            return fail(QStringLiteral("array of unknown length"));
        const quint64 count = reader_.length();
        if (count > quint64(data_.size())) // each map takes at least one byte
            return fail(QStringLiteral("array longer than the data"));
        stations.reserve(qsizetype(count));
        if (!reader_.enterContainer())
            return failOnReader();
        Station::Builder builder;
        for (quint64 i = 0; i < count; ++i) {
            builder.clear();
            if (!readStation(builder))
                return false;
            stations.append(builder.build());
        }
        if (reader_.hasNext())
            return fail(QStringLiteral("array longer than its length"));
        return reader_.leaveContainer() || failOnReader();
    }

    bool readStation(Station::Builder& builder) {
        if (!reader_.isMap() || !classes_.testFlag(ArchiveClass::Dictionary))
            return fail(QStringLiteral("a list element is not a map"));
        if (!reader_.isLengthKnown())
            return fail(QStringLiteral("map of unknown length"));
        const quint64 count = reader_.length();
        if (count > quint64(data_.size()) / 2)
            return fail(QStringLiteral("map longer than the data"));
        if (!reader_.enterContainer())
            return failOnReader();
        for (quint64 i = 0; i < count; ++i) {
            if (!reader_.isString())
                return fail(QStringLiteral("a map key is not a text"));
            if (!readText(key_))
                return false;
            const auto id = keys_.idFor(std::size_t(i), key_);
            if (!id)
                return fail(QStringLiteral("too many distinct keys"));
            if (builder.contains(*id))
                return fail(QStringLiteral("duplicate key '%1'").arg(QString::fromUtf8(key_.data(), qsizetype(key_.size()))));
            if (!readValue(builder, *id))
                return false;
        }
        if (reader_.hasNext())
            return fail(QStringLiteral("map longer than its length"));
        return reader_.leaveContainer() || failOnReader();
    }

    bool readValue(Station::Builder& builder, stationkeys::KeyId key) {
        const bool numbers = classes_.testFlag(ArchiveClass::Number);
        switch (reader_.type()) {
        case QCborStreamReader::String:
            if (!classes_.testFlag(ArchiveClass::String))
                return fail(QStringLiteral("a text where none is allowed"));
            if (!readText(value_))
                return false;
            builder.setString(key, value_);
            return true;
        case QCborStreamReader::UnsignedInteger:
            if (!numbers || reader_.toUnsignedInteger() > quint64(std::numeric_limits<qint64>::max()))
                return fail(QStringLiteral("an integer out of range"));
            builder.setInteger(key, qint64(reader_.toUnsignedInteger()));
            break;
        case QCborStreamReader::NegativeInteger:
            // CBOR stores -1 - n; n must stay within the signed range.
            if (!numbers || quint64(reader_.toNegativeInteger()) - 1 > quint64(std::numeric_limits<qint64>::max()))
                return fail(QStringLiteral("an integer out of range"));
            builder.setInteger(key, -1 - qint64(quint64(reader_.toNegativeInteger()) - 1));
            break;
        case QCborStreamReader::Float16:
            if (!numbers)
                return fail(QStringLiteral("a number where none is allowed"));
            builder.setDouble(key, double(reader_.toFloat16()));
            break;
        case QCborStreamReader::Float:
            if (!numbers)
                return fail(QStringLiteral("a number where none is allowed"));
            builder.setDouble(key, double(reader_.toFloat()));
            break;
        case QCborStreamReader::Double:
            if (!numbers)
                return fail(QStringLiteral("a number where none is allowed"));
            builder.setDouble(key, reader_.toDouble());
            break;
        case QCborStreamReader::SimpleType:
            if (!numbers || (reader_.toSimpleType() != QCborSimpleType::False &&
                             reader_.toSimpleType() != QCborSimpleType::True))
                return fail(QStringLiteral("a value that is neither text nor number"));
            builder.setBool(key, reader_.toSimpleType() == QCborSimpleType::True);
            break;
        default:
            return fail(QStringLiteral("a value that is neither text nor number"));
        }
        return reader_.next() || failOnReader();
    }

    // A text string's UTF-8 bytes, chunk by chunk, checked for valid UTF-8.
    bool readText(std::string& out) {
        out.clear();
        for (;;) {
            const qsizetype size = reader_.currentStringChunkSize();
            if (size < 0 || size > data_.size())
                return failOnReader();
            const std::size_t at = out.size();
            out.resize(at + std::size_t(size));
            const auto chunk = reader_.readStringChunk(out.data() + at, size);
            if (chunk.status == QCborStreamReader::Error)
                return failOnReader();
            out.resize(at + std::size_t(chunk.data));
            if (chunk.status == QCborStreamReader::EndOfString)
                break;
        }
        if (!simdjson::validate_utf8(out.data(), out.size()))
            return fail(QStringLiteral("a text that is not UTF-8"));
        return true;
    }

    bool trailingBytes() {
        if (reader_.lastError() != QCborError::NoError)
            return !failOnReader();
        if (reader_.currentOffset() != data_.size())
            return !fail(QStringLiteral("bytes after the station list"));
        return false;
    }

    QByteArrayView data_;
    QCborStreamReader reader_;
    ArchiveClasses classes_;
    stationkeys::KeyCache keys_;
    std::string key_;
    std::string value_;
    QString error_;
};

} // namespace

std::optional<StationList> decode(QByteArrayView data, ArchiveClasses classes, QString* error) {
    return Decoder(data, classes).run(error);
}

std::optional<StationList> unarchivedObjectOfClasses(ArchiveClasses classes, QByteArrayView data) {
    QString error;
    auto stations = decode(data, classes, &error);
    if (!stations)
        qCWarning(lcArchive, "%s [%s]", "unarchive error :", qUtf8Printable(error));
    return stations;
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
