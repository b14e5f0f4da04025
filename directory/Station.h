// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "directory/StationKeys.h"

#include <QList>
#include <QString>
#include <QVariant>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class QJsonObject;

// One value of a station object, viewed inside its station's storage: valid while a copy of
// that station lives.
class StationValue {
public:
    enum class Type : std::uint8_t { Absent, Null, Bool, Integer, Double, String, Array, Object };

    StationValue() = default;
    Type type() const { return type_; }
    bool isAbsent() const { return type_ == Type::Absent; }
    bool isNull() const { return type_ == Type::Null; }
    bool isString() const { return type_ == Type::String; }
    // Booleans count as numbers, as the directory sends 0/1 and true/false alike.
    bool isNumber() const { return type_ == Type::Bool || type_ == Type::Integer || type_ == Type::Double; }

    // Texts only; a null QString for every other type.
    QString toString() const;
    // The UTF-8 bytes of a text, or the JSON text of an array or object.
    std::string_view utf8() const { return text_; }
    // Numbers by value (floating ones truncated); texts by their leading integer ("128k" -> 128);
    // 0 for everything else.
    qint64 toInteger() const;
    double toDouble() const;
    bool toBool() const { return toInteger() != 0; }
    QVariant toVariant() const;

    // Equal types and values; numbers compare by value across integer, floating and boolean.
    bool operator==(const StationValue& other) const;

private:
    friend class Station;
    Type type_ = Type::Absent;
    qint64 integer_ = 0;
    double double_ = 0;
    std::string_view text_;
};

// A station as the directory describes it: an ordered map from text keys to texts, numbers,
// booleans, null, arrays or objects (the latter two kept as their JSON text). Immutable and
// implicitly shared: copies cost one atomic increment. All of a station lives in one allocation
// about as large as its compact JSON text; the keys the program reads often are found in O(1).
// A default-constructed station is absent (isNull()); an empty one has no keys.
class Station {
public:
    class Builder;
    using Key = stationkeys::Hot;

    Station() = default;
    Station(const Station& other);
    Station(Station&& other) noexcept : d_(other.d_) { other.d_ = nullptr; }
    Station& operator=(const Station& other);
    Station& operator=(Station&& other) noexcept;
    ~Station();

    bool isNull() const { return d_ == nullptr; }
    // True for copies of one station (shared storage), as opposed to equal contents.
    bool isSameObject(const Station& other) const { return d_ == other.d_; }
    qsizetype size() const;

    StationValue value(Key key) const;
    StationValue value(std::string_view key) const;
    bool contains(std::string_view key) const { return !value(key).isAbsent(); }
    // The text of a key, or a null QString when absent or not a text.
    QString string(Key key) const { return value(key).toString(); }
    std::string_view utf8(Key key) const;

    // Keys in their order, and each key with its value.
    QStringList keys() const;
    template <typename F> void forEach(F&& f) const {
        for (qsizetype i = 0; i < size(); ++i)
            f(keyIdAt(i), valueAt(i));
    }

    QJsonObject toJsonObject() const;
    // Whole-object equality: the same keys with equal values, in any order.
    bool operator==(const Station& other) const;

    // Bytes held by this station's storage (for memory accounting).
    qsizetype storageSize() const;

private:
    struct Data;
    explicit Station(Data* d) : d_(d) {}
    stationkeys::KeyId keyIdAt(qsizetype i) const;
    StationValue valueAt(qsizetype i) const;
    qsizetype indexOf(stationkeys::KeyId key) const;

    Data* d_ = nullptr;
};

using StationList = QList<Station>;

Q_DECLARE_METATYPE(Station)

// Collects keys and values, then lays them out into one station. Setting a key that is there
// already replaces its value in place. Reuse one builder (clear()) when building many stations:
// it then allocates nothing but the stations themselves.
class Station::Builder {
public:
    using KeyId = stationkeys::KeyId;

    Builder() = default;
    explicit Builder(const Station& station); // starts as a copy of `station`

    Builder& setNull(KeyId key);
    Builder& setBool(KeyId key, bool value);
    Builder& setInteger(KeyId key, qint64 value);
    Builder& setDouble(KeyId key, double value);
    Builder& setString(KeyId key, std::string_view utf8);
    // The same without copying: the bytes must stay as they are until build() has returned.
    Builder& setStringRef(KeyId key, std::string_view utf8);
    // An array or object, kept as its JSON text.
    Builder& setJson(KeyId key, StationValue::Type type, std::string_view json);
    Builder& set(KeyId key, const StationValue& value);

    // The same by key text. A key that cannot be interned (only hostile input has that many
    // distinct keys) is dropped.
    Builder& setNull(std::string_view key);
    Builder& setBool(std::string_view key, bool value);
    Builder& setInteger(std::string_view key, qint64 value);
    Builder& setDouble(std::string_view key, double value);
    Builder& setString(std::string_view key, std::string_view utf8);
    Builder& setString(std::string_view key, QStringView text);

    bool contains(KeyId key) const;
    bool isEmpty() const { return entries_.empty(); }
    void clear();
    Station build() const;

private:
    struct Entry {
        KeyId key;
        StationValue::Type type;
        bool outside;            // the text is held by the caller, not in texts_
        std::uint32_t textSize;
        union {
            qint64 integer;
            double floating;
            std::size_t textOffset; // into texts_
            const char* textData;   // when outside
        };
    };
    Entry* slot(KeyId key);
    Entry* slot(std::string_view key);
    std::vector<Entry> entries_;
    std::string texts_;
    // seen_[key] == generation_ marks keys set since the last clear(): O(1) duplicate checks.
    std::vector<std::uint32_t> seen_;
    std::uint32_t generation_ = 1;
};
