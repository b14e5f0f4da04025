// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/IcyMetadataReader.h"

#include <QStringDecoder>
#include <algorithm>

namespace {

constexpr QByteArrayView kTitleKey = "StreamTitle=";

// Windows-1252 at 0x80–0x9F; its five unassigned bytes stay the C1 controls, as browsers read them.
constexpr char16_t kWindows1252[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool isKeyChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

// Whether `rest` begins another field ("StreamUrl='...") or is only padding: a quote followed by
// a semicolon inside a title ("Rock';n'roll") is neither.
bool endsTheValue(QByteArrayView rest) {
    const auto notBlank = std::find_if(rest.begin(), rest.end(), [](char c) { return c != ' ' && c != '\r' && c != '\n'; });
    if (notBlank == rest.end())
        return true;
    const auto keyEnd = std::find_if_not(notBlank, rest.end(), isKeyChar);
    return keyEnd != notBlank && keyEnd != rest.end() && *keyEnd == '=';
}

} // namespace

IcyMetadataReader::IcyMetadataReader(qsizetype metaint)
    : interval_(metaint > 0 && metaint <= kMaxInterval ? metaint : 0), left_(interval_) {}

QStringList IcyMetadataReader::read(QByteArrayView bytes) {
    QStringList titles;
    if (!isValid())
        return titles;
    while (!bytes.isEmpty()) {
        switch (state_) {
        case State::Audio: {
            const qsizetype skip = std::min(left_, bytes.size());
            bytes = bytes.sliced(skip);
            left_ -= skip;
            if (left_ == 0)
                state_ = State::Length;
            break;
        }
        case State::Length:
            left_ = qsizetype(static_cast<unsigned char>(bytes.front())) * 16;
            bytes = bytes.sliced(1);
            block_.clear();
            state_ = left_ > 0 ? State::Metadata : State::Audio;
            if (left_ == 0)
                left_ = interval_;
            break;
        case State::Metadata: {
            const qsizetype take = std::min(left_, bytes.size());
            block_.append(bytes.first(take));
            bytes = bytes.sliced(take);
            left_ -= take;
            if (left_ == 0) {
                if (const std::optional<QByteArray> title = streamTitle(block_))
                    titles.append(decode(*title));
                state_ = State::Audio;
                left_ = interval_;
            }
            break;
        }
        }
    }
    return titles;
}

std::optional<QByteArray> IcyMetadataReader::streamTitle(QByteArrayView block) {
    // The text ends at the padding.
    if (const qsizetype nul = block.indexOf('\0'); nul >= 0)
        block = block.first(nul);
    // The key starts the block or follows a field's semicolon; servers differ in its case.
    qsizetype at = 0;
    for (;;) {
        while (at < block.size() && (block[at] == ' ' || block[at] == '\r' || block[at] == '\n'))
            ++at;
        if (block.size() - at < kTitleKey.size())
            return std::nullopt;
        if (block.sliced(at, kTitleKey.size()).compare(kTitleKey, Qt::CaseInsensitive) == 0)
            break;
        const qsizetype next = block.indexOf(';', at);
        if (next < 0)
            return std::nullopt;
        at = next + 1;
    }
    QByteArrayView value = block.sliced(at + kTitleKey.size());
    if (!value.startsWith('\'')) {
        // Unquoted: up to the semicolon.
        const qsizetype end = value.indexOf(';');
        return (end < 0 ? value : value.first(end)).toByteArray();
    }
    value = value.sliced(1);
    qsizetype last = -1;
    for (qsizetype end = value.indexOf("';"); end >= 0; end = value.indexOf("';", end + 1)) {
        if (endsTheValue(value.sliced(end + 2)))
            return value.first(end).toByteArray();
        last = end;
    }
    if (last >= 0) // garbage after the field
        return value.first(last).toByteArray();
    // No closing quote and semicolon: the rest, without a closing quote.
    if (value.endsWith('\''))
        value.chop(1);
    return value.toByteArray();
}

QString IcyMetadataReader::decode(QByteArrayView text) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString decoded = utf8.decode(text);
    if (!utf8.hasError())
        return decoded;
    decoded.resize(text.size());
    QChar* out = decoded.data();
    for (const char byte : text) {
        const auto c = static_cast<unsigned char>(byte);
        *out++ = c >= 0x80 && c < 0xA0 ? QChar(kWindows1252[c - 0x80]) : QChar(c);
    }
    return decoded;
}
