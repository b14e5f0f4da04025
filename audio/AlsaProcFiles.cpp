// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/AlsaProcFiles.h"

#include <QRegularExpression>

namespace alsaproc {

namespace {

// "key: value" and "key   : value" lines, as the status and hw_params files write them.
std::optional<QStringView> valueOf(QStringView line, QStringView key) {
    if (!line.startsWith(key))
        return std::nullopt;
    QStringView rest = line.sliced(key.size()).trimmed();
    if (!rest.startsWith(u':'))
        return std::nullopt;
    return rest.sliced(1).trimmed();
}

} // namespace

QList<Card> parseCards(QStringView text) {
    static const QRegularExpression header(QStringLiteral(R"(^\s*(\d+) \[([^\]]*)\]: (.*?) - (.*)$)"));
    QList<Card> cards;
    const QList<QStringView> lines = text.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QRegularExpressionMatch m = header.match(lines[i]);
        if (!m.hasMatch())
            continue;
        Card card;
        card.index = m.captured(1).toInt();
        card.id = m.captured(2).trimmed();
        card.driver = m.captured(3);
        card.shortName = m.captured(4).trimmed();
        // The long name is the indented line below the header.
        if (i + 1 < lines.size() && !header.match(lines[i + 1]).hasMatch())
            card.longName = lines[i + 1].trimmed().toString();
        cards.append(std::move(card));
    }
    return cards;
}

QList<Pcm> parsePcms(QStringView text) {
    static const QRegularExpression line(QStringLiteral(R"(^(\d+)-(\d+): (.*)$)"));
    static const QRegularExpression streams(QStringLiteral(R"(( : (playback|capture) (\d+))+$)"));
    static const QRegularExpression stream(QStringLiteral(R"( : (playback|capture) (\d+))"));
    QList<Pcm> pcms;
    for (const QStringView l : text.split(u'\n')) {
        const QRegularExpressionMatch m = line.match(l);
        if (!m.hasMatch())
            continue;
        Pcm pcm;
        pcm.card = m.captured(1).toInt();
        pcm.device = m.captured(2).toInt();
        QString rest = m.captured(3);
        // The stream counts end the line; the id and name before them may hold anything.
        if (const QRegularExpressionMatch s = streams.match(rest); s.hasMatch()) {
            for (auto it = stream.globalMatch(s.captured(0)); it.hasNext();) {
                const QRegularExpressionMatch one = it.next();
                (one.captured(1) == u"playback" ? pcm.playbackSubstreams : pcm.captureSubstreams) =
                    one.captured(2).toInt();
            }
            rest.truncate(s.capturedStart(0));
        }
        const qsizetype separator = rest.indexOf(QStringLiteral(" : "));
        pcm.id = separator < 0 ? rest : rest.left(separator);
        pcm.name = separator < 0 ? rest : rest.mid(separator + 3);
        pcms.append(std::move(pcm));
    }
    return pcms;
}

SubstreamStatus parseStatus(QStringView text) {
    SubstreamStatus status;
    const QStringView trimmed = text.trimmed();
    if (trimmed.isEmpty() || trimmed == u"closed")
        return status;
    status.open = true;
    for (const QStringView line : text.split(u'\n')) {
        if (const auto state = valueOf(line, u"state"))
            status.state = state->toString();
        else if (const auto pid = valueOf(line, u"owner_pid")) {
            bool ok = false;
            const int value = pid->toInt(&ok);
            if (ok)
                status.ownerPid = value;
        }
    }
    return status;
}

std::optional<HwParams> parseHwParams(QStringView text) {
    HwParams params;
    for (const QStringView line : text.split(u'\n')) {
        if (const auto access = valueOf(line, u"access"))
            params.access = access->toString();
        else if (const auto format = valueOf(line, u"format"))
            params.format = format->toString();
        else if (const auto channels = valueOf(line, u"channels"))
            params.channels = channels->toUInt();
        else if (const auto rate = valueOf(line, u"rate")) // "48000 (48000/1)"
            params.rate = rate->left(rate->indexOf(u' ') < 0 ? rate->size() : rate->indexOf(u' ')).toUInt();
    }
    if (params.format.isEmpty() || params.channels == 0 || params.rate == 0)
        return std::nullopt; // "closed", "no setup" or something unreadable
    return params;
}

} // namespace alsaproc
