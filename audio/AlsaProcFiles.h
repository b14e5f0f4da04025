// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <optional>
#include <sys/types.h>

// Readers of the texts the kernel's ALSA core writes under /proc/asound.
namespace alsaproc {

// One line pair of "cards": " 0 [PCH            ]: HDA-Intel - HDA Intel PCH" and the long name.
struct Card {
    int index = -1;
    QString id;
    QString driver;
    QString shortName;
    QString longName;
    friend bool operator==(const Card&, const Card&) = default;
};
QList<Card> parseCards(QStringView text);

// One line of "pcm": "00-03: HDMI 0 : HDMI 0 : playback 1 : capture 1".
struct Pcm {
    int card = -1;
    int device = -1;
    QString id;
    QString name;
    int playbackSubstreams = 0;
    int captureSubstreams = 0;
    friend bool operator==(const Pcm&, const Pcm&) = default;
};
QList<Pcm> parsePcms(QStringView text);

// "cardN/pcmMp/subK/status": "closed", or the state and the process that opened the substream.
struct SubstreamStatus {
    bool open = false;
    QString state; // "RUNNING", "PREPARED", "OPEN", ...
    pid_t ownerPid = -1;
    friend bool operator==(const SubstreamStatus&, const SubstreamStatus&) = default;
};
SubstreamStatus parseStatus(QStringView text);

// "cardN/pcmMp/subK/hw_params" of a configured substream; absent when closed or not set up.
struct HwParams {
    QString access;
    QString format; // ALSA's format name, "S16_LE"
    quint32 channels = 0;
    quint32 rate = 0;
    friend bool operator==(const HwParams&, const HwParams&) = default;
};
std::optional<HwParams> parseHwParams(QStringView text);

} // namespace alsaproc
