// SPDX-License-Identifier: GPL-3.0-or-later
#include "directory/Station.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>
#include <atomic>
#include <charconv>
#include <cstring>
#include <new>

// Layout of one station's storage, in one allocation:
//   Data header | Slot[count] | payload bytes
// A slot holds small integers and booleans inline; texts, large integers and doubles live in
// the payload bytes. Texts are stored with a LEB128 length in front.
namespace {
struct Slot {
    stationkeys::KeyId key;
    StationValue::Type type;
    std::uint8_t inlineInteger; // 1 when `payload` is the integer value itself
    std::uint32_t payload;      // offset into the payload bytes, or the inline value
};
static_assert(sizeof(Slot) == 8);

constexpr std::uint8_t kNoSlot = 0xFF;

std::string_view readText(const char* bytes, std::uint32_t offset) {
    std::size_t n = 0;
    int shift = 0;
    const char* p = bytes + offset;
    for (;;) {
        auto byte = std::uint8_t(*p++);
        n |= std::size_t(byte & 0x7F) << shift;
        if (!(byte & 0x80))
            break;
        shift += 7;
    }
    return std::string_view(p, n);
}
} // namespace

struct Station::Data {
    std::atomic<int> ref{1};
    std::uint16_t count = 0;
    std::uint8_t hot[stationkeys::HotCount]; // slot index of each hot key, or kNoSlot
    std::uint32_t payloadSize = 0;

    Slot* slots() { return reinterpret_cast<Slot*>(this + 1); }
    const Slot* slots() const { return reinterpret_cast<const Slot*>(this + 1); }
    const char* payload() const { return reinterpret_cast<const char*>(slots() + count); }
    char* payload() { return reinterpret_cast<char*>(slots() + count); }
    std::size_t allocationSize() const { return sizeof(Data) + count * sizeof(Slot) + payloadSize; }
};

// ---- StationValue

QString StationValue::toString() const {
    if (type_ != Type::String)
        return QString();
    return QString::fromUtf8(text_.data(), qsizetype(text_.size()));
}

qint64 StationValue::toInteger() const {
    switch (type_) {
    case Type::Bool:
    case Type::Integer:
        return integer_;
    case Type::Double:
        if (!(double_ > -9.2e18 && double_ < 9.2e18))
            return 0; // NaN and values past the integer range
        return qint64(double_);
    case Type::String: {
        std::string_view s = text_;
        while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
            s.remove_prefix(1);
        if (!s.empty() && s.front() == '+')
            s.remove_prefix(1);
        qint64 v = 0;
        std::from_chars(s.data(), s.data() + s.size(), v);
        return v;
    }
    default:
        return 0;
    }
}

double StationValue::toDouble() const {
    switch (type_) {
    case Type::Bool:
    case Type::Integer:
        return double(integer_);
    case Type::Double:
        return double_;
    case Type::String:
        return toString().trimmed().toDouble();
    default:
        return 0;
    }
}

QVariant StationValue::toVariant() const {
    switch (type_) {
    case Type::Absent:
        return QVariant();
    case Type::Null:
        return QVariant::fromValue(nullptr);
    case Type::Bool:
        return QVariant(integer_ != 0);
    case Type::Integer:
        return QVariant(integer_);
    case Type::Double:
        return QVariant(double_);
    case Type::String:
        return QVariant(toString());
    case Type::Array:
    case Type::Object:
        return QJsonDocument::fromJson(QByteArray(text_.data(), qsizetype(text_.size()))).toVariant();
    }
    return QVariant();
}

bool StationValue::operator==(const StationValue& other) const {
    if (isNumber() && other.isNumber()) {
        if (type_ == Type::Double || other.type_ == Type::Double)
            return toDouble() == other.toDouble();
        return integer_ == other.integer_;
    }
    if (type_ != other.type_)
        return false;
    return text_ == other.text_;
}

// ---- Station

Station::Station(const Station& other) : d_(other.d_) {
    if (d_)
        d_->ref.fetch_add(1, std::memory_order_relaxed);
}

Station& Station::operator=(const Station& other) {
    if (this != &other) {
        Station copy(other);
        std::swap(d_, copy.d_);
    }
    return *this;
}

Station& Station::operator=(Station&& other) noexcept {
    std::swap(d_, other.d_);
    return *this;
}

Station::~Station() {
    if (d_ && d_->ref.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        d_->~Data();
        ::operator delete(d_);
    }
}

qsizetype Station::size() const {
    return d_ ? d_->count : 0;
}

qsizetype Station::storageSize() const {
    return d_ ? qsizetype(d_->allocationSize()) : 0;
}

stationkeys::KeyId Station::keyIdAt(qsizetype i) const {
    return d_->slots()[i].key;
}

StationValue Station::valueAt(qsizetype i) const {
    const Slot& slot = d_->slots()[i];
    StationValue v;
    v.type_ = slot.type;
    switch (slot.type) {
    case StationValue::Type::Bool:
        v.integer_ = slot.payload;
        break;
    case StationValue::Type::Integer:
        if (slot.inlineInteger)
            v.integer_ = std::int32_t(slot.payload);
        else
            std::memcpy(&v.integer_, d_->payload() + slot.payload, sizeof(qint64));
        break;
    case StationValue::Type::Double:
        std::memcpy(&v.double_, d_->payload() + slot.payload, sizeof(double));
        break;
    case StationValue::Type::String:
    case StationValue::Type::Array:
    case StationValue::Type::Object:
        v.text_ = readText(d_->payload(), slot.payload);
        break;
    default:
        break;
    }
    return v;
}

qsizetype Station::indexOf(stationkeys::KeyId key) const {
    if (!d_)
        return -1;
    if (key < stationkeys::HotCount) {
        if (d_->hot[key] != kNoSlot)
            return d_->hot[key];
        if (d_->count < kNoSlot)
            return -1; // only slots past the small index table need a scan
    }
    const Slot* slots = d_->slots();
    for (qsizetype i = 0; i < d_->count; ++i)
        if (slots[i].key == key)
            return i;
    return -1;
}

StationValue Station::value(Key key) const {
    const qsizetype i = indexOf(key);
    return i < 0 ? StationValue() : valueAt(i);
}

StationValue Station::value(std::string_view key) const {
    if (!d_)
        return StationValue();
    const auto id = stationkeys::find(key);
    if (!id)
        return StationValue();
    const qsizetype i = indexOf(*id);
    return i < 0 ? StationValue() : valueAt(i);
}

std::string_view Station::utf8(Key key) const {
    const StationValue v = value(key);
    return v.isString() ? v.utf8() : std::string_view();
}

QStringList Station::keys() const {
    QStringList names;
    forEach([&](stationkeys::KeyId key, const StationValue&) { names.append(stationkeys::name(key)); });
    return names;
}

QJsonObject Station::toJsonObject() const {
    QJsonObject object;
    forEach([&](stationkeys::KeyId key, const StationValue& v) {
        QJsonValue json;
        switch (v.type()) {
        case StationValue::Type::Null:
            json = QJsonValue(QJsonValue::Null);
            break;
        case StationValue::Type::Bool:
            json = v.toBool();
            break;
        case StationValue::Type::Integer:
            json = v.toInteger();
            break;
        case StationValue::Type::Double:
            json = v.toDouble();
            break;
        case StationValue::Type::String:
            json = v.toString();
            break;
        default:
            json = QJsonValue::fromVariant(v.toVariant());
            break;
        }
        object.insert(stationkeys::name(key), json);
    });
    return object;
}

bool Station::operator==(const Station& other) const {
    if (d_ == other.d_)
        return true;
    if (!d_ || !other.d_ || d_->count != other.d_->count)
        return false;
    for (qsizetype i = 0; i < d_->count; ++i) {
        const qsizetype j = other.indexOf(keyIdAt(i));
        if (j < 0 || !(valueAt(i) == other.valueAt(j)))
            return false;
    }
    return true;
}

// ---- Builder

Station::Builder::Builder(const Station& station) {
    station.forEach([&](KeyId key, const StationValue& v) { set(key, v); });
}

bool Station::Builder::contains(KeyId key) const {
    return key < seen_.size() && seen_[key] == generation_;
}

Station::Builder::Entry* Station::Builder::slot(KeyId key) {
    if (contains(key)) {
        for (Entry& e : entries_)
            if (e.key == key)
                return &e;
    }
    if (entries_.size() >= 0xFFFE)
        return nullptr; // more keys than a station can count
    if (key >= seen_.size())
        seen_.resize(std::size_t(key) + 1, 0);
    seen_[key] = generation_;
    Entry& e = entries_.emplace_back();
    e.key = key;
    e.type = StationValue::Type::Null;
    e.outside = false;
    return &e;
}

Station::Builder::Entry* Station::Builder::slot(std::string_view key) {
    const auto id = stationkeys::intern(key);
    return id ? slot(*id) : nullptr;
}

Station::Builder& Station::Builder::setNull(KeyId key) {
    if (Entry* e = slot(key))
        e->type = StationValue::Type::Null;
    return *this;
}

Station::Builder& Station::Builder::setBool(KeyId key, bool value) {
    if (Entry* e = slot(key)) {
        e->type = StationValue::Type::Bool;
        e->integer = value ? 1 : 0;
    }
    return *this;
}

Station::Builder& Station::Builder::setInteger(KeyId key, qint64 value) {
    if (Entry* e = slot(key)) {
        e->type = StationValue::Type::Integer;
        e->integer = value;
    }
    return *this;
}

Station::Builder& Station::Builder::setDouble(KeyId key, double value) {
    if (Entry* e = slot(key)) {
        e->type = StationValue::Type::Double;
        e->floating = value;
    }
    return *this;
}

Station::Builder& Station::Builder::setString(KeyId key, std::string_view utf8) {
    return setJson(key, StationValue::Type::String, utf8);
}

Station::Builder& Station::Builder::setStringRef(KeyId key, std::string_view utf8) {
    if (utf8.size() > UINT32_MAX)
        return *this; // beyond any station's text
    if (Entry* e = slot(key)) {
        e->type = StationValue::Type::String;
        e->outside = true;
        e->textData = utf8.data();
        e->textSize = std::uint32_t(utf8.size());
    }
    return *this;
}

Station::Builder& Station::Builder::setJson(KeyId key, StationValue::Type type, std::string_view json) {
    if (json.size() > UINT32_MAX)
        return *this; // beyond any station's text
    if (Entry* e = slot(key)) {
        e->type = type;
        e->outside = false;
        e->textOffset = texts_.size();
        e->textSize = std::uint32_t(json.size());
        texts_.append(json);
    }
    return *this;
}

Station::Builder& Station::Builder::set(KeyId key, const StationValue& value) {
    switch (value.type()) {
    case StationValue::Type::Absent:
        return *this;
    case StationValue::Type::Null:
        return setNull(key);
    case StationValue::Type::Bool:
        return setBool(key, value.toBool());
    case StationValue::Type::Integer:
        return setInteger(key, value.toInteger());
    case StationValue::Type::Double:
        return setDouble(key, value.toDouble());
    default:
        return setJson(key, value.type(), value.utf8());
    }
}

Station::Builder& Station::Builder::setNull(std::string_view key) {
    if (const auto id = stationkeys::intern(key))
        setNull(*id);
    return *this;
}

Station::Builder& Station::Builder::setBool(std::string_view key, bool value) {
    if (const auto id = stationkeys::intern(key))
        setBool(*id, value);
    return *this;
}

Station::Builder& Station::Builder::setInteger(std::string_view key, qint64 value) {
    if (const auto id = stationkeys::intern(key))
        setInteger(*id, value);
    return *this;
}

Station::Builder& Station::Builder::setDouble(std::string_view key, double value) {
    if (const auto id = stationkeys::intern(key))
        setDouble(*id, value);
    return *this;
}

Station::Builder& Station::Builder::setString(std::string_view key, std::string_view utf8) {
    if (const auto id = stationkeys::intern(key))
        setString(*id, utf8);
    return *this;
}

Station::Builder& Station::Builder::setString(std::string_view key, QStringView text) {
    const QByteArray utf8 = text.toUtf8();
    return setString(key, std::string_view(utf8.constData(), std::size_t(utf8.size())));
}

void Station::Builder::clear() {
    entries_.clear();
    texts_.clear();
    if (++generation_ == 0) { // wrapped: old marks could match again
        std::fill(seen_.begin(), seen_.end(), 0);
        generation_ = 1;
    }
}

Station Station::Builder::build() const {
    // First pass: the payload's size, so that the station is laid out in place.
    std::size_t payloadSize = 0;
    for (const Entry& e : entries_) {
        switch (e.type) {
        case StationValue::Type::Integer:
            if (e.integer < INT32_MIN || e.integer > INT32_MAX)
                payloadSize += sizeof(qint64);
            break;
        case StationValue::Type::Double:
            payloadSize += sizeof(double);
            break;
        case StationValue::Type::String:
        case StationValue::Type::Array:
        case StationValue::Type::Object:
            for (std::size_t n = e.textSize; ; n >>= 7) {
                ++payloadSize;
                if (n < 0x80)
                    break;
            }
            payloadSize += e.textSize;
            break;
        default:
            break;
        }
    }
    if (payloadSize > UINT32_MAX)
        return Station(); // beyond any station the directory sends

    static_assert(sizeof(Data) % alignof(Slot) == 0, "slots follow the header unpadded");
    const std::size_t size = sizeof(Data) + entries_.size() * sizeof(Slot) + payloadSize;
    auto* d = new (::operator new(size)) Data;
    d->count = std::uint16_t(entries_.size());
    d->payloadSize = std::uint32_t(payloadSize);
    std::memset(d->hot, kNoSlot, sizeof d->hot);

    char* out = d->payload();
    auto offset = [&] { return std::uint32_t(out - d->payload()); };
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const Entry& e = entries_[i];
        Slot s{e.key, e.type, 0, 0};
        switch (e.type) {
        case StationValue::Type::Bool:
            s.payload = std::uint32_t(e.integer);
            break;
        case StationValue::Type::Integer:
            if (e.integer >= INT32_MIN && e.integer <= INT32_MAX) {
                s.inlineInteger = 1;
                s.payload = std::uint32_t(std::int32_t(e.integer));
            } else {
                s.payload = offset();
                std::memcpy(out, &e.integer, sizeof(qint64));
                out += sizeof(qint64);
            }
            break;
        case StationValue::Type::Double:
            s.payload = offset();
            std::memcpy(out, &e.floating, sizeof(double));
            out += sizeof(double);
            break;
        case StationValue::Type::String:
        case StationValue::Type::Array:
        case StationValue::Type::Object: {
            s.payload = offset();
            std::size_t n = e.textSize;
            do {
                auto byte = std::uint8_t(n & 0x7F);
                n >>= 7;
                *out++ = char(n ? byte | 0x80 : byte);
            } while (n);
            std::memcpy(out, e.outside ? e.textData : texts_.data() + e.textOffset, e.textSize);
            out += e.textSize;
            break;
        }
        default:
            break;
        }
        d->slots()[i] = s;
        if (e.key < stationkeys::HotCount && i < kNoSlot)
            d->hot[e.key] = std::uint8_t(i);
    }
    return Station(d);
}
