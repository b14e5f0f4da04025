// SPDX-License-Identifier: GPL-3.0-or-later
#include "directory/StationSearch.h"

bool StationSearch::isEmpty() const {
    return name.trimmed().isEmpty() && tags.isEmpty() && language.trimmed().isEmpty() &&
           countryCode.trimmed().isEmpty() && codec.trimmed().isEmpty() && minBitrate <= 0 && !httpsOnly;
}

QList<std::pair<QString, QString>> StationSearch::queryItems(int offset) const {
    QList<std::pair<QString, QString>> items;
    auto add = [&items](const QString& key, const QString& value) {
        if (!value.trimmed().isEmpty())
            items.append({key, value.trimmed()});
    };
    add(QStringLiteral("name"), name);
    QStringList wanted;
    for (const QString& tag : tags) {
        if (!tag.trimmed().isEmpty())
            wanted.append(tag.trimmed());
    }
    add(QStringLiteral("tagList"), wanted.join(u','));
    add(QStringLiteral("language"), language);
    add(QStringLiteral("countrycode"), countryCode.toUpper());
    add(QStringLiteral("codec"), codec);
    if (minBitrate > 0)
        add(QStringLiteral("bitrateMin"), QString::number(minBitrate));
    if (httpsOnly)
        add(QStringLiteral("is_https"), QStringLiteral("true"));
    items.append({QStringLiteral("hidebroken"), QStringLiteral("true")});
    items.append({QStringLiteral("order"), QStringLiteral("clickcount")});
    items.append({QStringLiteral("reverse"), QStringLiteral("true")});
    items.append({QStringLiteral("offset"), QString::number(qMax(0, offset))});
    items.append({QStringLiteral("limit"), QString::number(kPageSize)});
    return items;
}
