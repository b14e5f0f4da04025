// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

// Keys of station objects, interned process-wide so that a station stores a 16-bit id per key
// instead of the key's text. The keys the program reads most have fixed ids.
namespace stationkeys {

using KeyId = std::uint16_t;

enum Hot : KeyId {
    StationUuid,
    Name,
    Url,
    Bitrate,
    Codec,
    Tags,
    State,
    CountryCode,
    Language,
    Favicon,
    Homepage,
    Votes,
    ClickCount,
    HotCount
};

// The table lives as long as the process, so what a reply may add to it is bounded: keys longer
// than kMaxKeyBytes are never interned, the table stops at kMaxKeys, and a parser takes at most
// kMaxNewKeysPerObject keys unknown so far from one object. Keys beyond these are dropped, never
// the object: a full table must not make later list files unreadable.
constexpr std::size_t kMaxKeyBytes = 64;
constexpr std::size_t kMaxKeys = 4096;
constexpr std::size_t kMaxNewKeysPerObject = 64;

// The id of a key, interned on first sight; thread-safe. Empty for a key over kMaxKeyBytes or
// when the table is full.
std::optional<KeyId> intern(std::string_view utf8);
// The id of a key seen before, without interning it.
std::optional<KeyId> find(std::string_view utf8);
std::string_view nameUtf8(KeyId id);
QString name(KeyId id);

// Finds key ids for a parser that reads many objects of one kind. Directory objects list their
// keys in one order, so the key at the same position as before, or the key that followed the
// previous key last time, is nearly always the one asked for: one comparison, no lock.
class KeyCache {
public:
    // `position` is the key's index within its object; 0 starts a new object. Empty for a key
    // that is dropped (see kMaxNewKeysPerObject).
    std::optional<KeyId> idFor(std::size_t position, std::string_view utf8);
    // How many keys were dropped so far, for one log line per reply or file.
    std::size_t dropped() const { return dropped_; }

private:
    static constexpr KeyId kNone = 0xFFFF;
    bool matches(KeyId id, std::string_view utf8) const {
        return id < names_.size() && names_[id] == utf8;
    }

    std::vector<KeyId> byPosition_;
    std::vector<KeyId> successor_;        // by key id: the key that followed it last time
    std::vector<std::string_view> names_; // by key id; views into the process-wide table
    std::unordered_map<std::string_view, KeyId> seen_;
    KeyId previous_ = kNone;
    std::size_t newInObject_ = 0;
    std::size_t dropped_ = 0;
};

} // namespace stationkeys
