// SPDX-License-Identifier: GPL-3.0-or-later
#include "directory/StationKeys.h"

#include <deque>
#include <mutex>
#include <shared_mutex>
#include <string>
#include <unordered_map>

namespace stationkeys {

namespace {
struct Table {
    std::shared_mutex mutex;
    std::deque<std::string> names; // a deque keeps the views in `ids` valid as it grows
    std::unordered_map<std::string_view, KeyId> ids;

    Table() {
        for (const char* hot : {"stationuuid", "name", "url", "bitrate", "codec", "tags", "state",
                                "countrycode", "language", "favicon", "homepage", "votes", "clickcount"}) {
            names.emplace_back(hot);
            ids.emplace(names.back(), KeyId(names.size() - 1));
        }
    }
};

Table& table() {
    static Table t;
    return t;
}
} // namespace

std::optional<KeyId> find(std::string_view utf8) {
    Table& t = table();
    std::shared_lock lock(t.mutex);
    auto it = t.ids.find(utf8);
    if (it == t.ids.end())
        return std::nullopt;
    return it->second;
}

std::optional<KeyId> intern(std::string_view utf8) {
    if (auto id = find(utf8))
        return id;
    Table& t = table();
    std::unique_lock lock(t.mutex);
    auto it = t.ids.find(utf8);
    if (it != t.ids.end())
        return it->second;
    if (utf8.size() > kMaxKeyBytes || t.names.size() >= kMaxKeys)
        return std::nullopt;
    t.names.emplace_back(utf8);
    const auto id = KeyId(t.names.size() - 1);
    t.ids.emplace(t.names.back(), id);
    return id;
}

std::string_view nameUtf8(KeyId id) {
    Table& t = table();
    std::shared_lock lock(t.mutex);
    return id < t.names.size() ? std::string_view(t.names[id]) : std::string_view();
}

QString name(KeyId id) {
    const std::string_view n = nameUtf8(id);
    return QString::fromUtf8(n.data(), qsizetype(n.size()));
}

std::optional<KeyId> KeyCache::idFor(std::size_t position, std::string_view utf8) {
    if (position == 0) {
        previous_ = kNone;
        newInObject_ = 0;
    }
    KeyId id = kNone;
    if (position < byPosition_.size() && matches(byPosition_[position], utf8)) {
        id = byPosition_[position];
    } else if (previous_ < successor_.size() && matches(successor_[previous_], utf8)) {
        id = successor_[previous_];
    } else if (const auto known = seen_.find(utf8); known != seen_.end()) {
        id = known->second;
    } else {
        std::optional<KeyId> interned = find(utf8);
        if (!interned && newInObject_ < kMaxNewKeysPerObject) {
            interned = intern(utf8);
            newInObject_ += interned.has_value();
        }
        if (!interned) {
            ++dropped_;
            return std::nullopt;
        }
        id = *interned;
        {
            if (id >= names_.size())
                names_.resize(std::size_t(id) + 1);
            names_[id] = nameUtf8(id);
            seen_.emplace(names_[id], id);
        }
    }
    if (id < names_.size()) {
        if (position < 256) {
            if (position >= byPosition_.size())
                byPosition_.resize(position + 1, kNone);
            byPosition_[position] = id;
        }
        if (previous_ != kNone) {
            if (previous_ >= successor_.size())
                successor_.resize(std::size_t(previous_) + 1, kNone);
            successor_[previous_] = id;
        }
    }
    previous_ = id;
    return id;
}

} // namespace stationkeys
