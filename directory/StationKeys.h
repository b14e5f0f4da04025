#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
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

// The id of a key, interned on first sight; thread-safe. Empty when the table is full
// (65,535 distinct keys: only hostile input gets there).
std::optional<KeyId> intern(std::string_view utf8);
// The id of a key seen before, without interning it.
std::optional<KeyId> find(std::string_view utf8);
std::string_view nameUtf8(KeyId id);
QString name(KeyId id);

// Remembers the key met at each position of the objects read so far. Directory objects list
// their keys in one order, so a parser that asks here mostly pays one comparison per key.
class KeyCache {
public:
    std::optional<KeyId> idFor(std::size_t position, std::string_view utf8);

private:
    std::vector<std::pair<std::string, KeyId>> byPosition_;
};

} // namespace stationkeys
