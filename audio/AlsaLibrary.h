// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/AudioTypes.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

// What the ALSA adapter needs from the ALSA library: the parts that open devices or read the
// configuration, which a test cannot replay from files. PCM names are ALSA device names such as
// "hw:CARD=PCH,DEV=0".
class AlsaLibrary {
public:
    virtual ~AlsaLibrary();

    // The formats the PCM's hardware accepts; absent when it cannot be opened (busy, gone, no access).
    virtual std::optional<QList<RangedStreamDescription>> probeFormats(const QString& pcm) = 0;

    // Opens every playback substream of the PCM and keeps them open, so no other process can use
    // the device; false (and nothing held) when any of them cannot be opened.
    virtual bool hold(const QString& pcm, int substreams) = 0;
    virtual void release(const QString& pcm) = 0;
    // Sets up a held PCM to play at the format.
    virtual bool configure(const QString& pcm, const QString& formatName, quint32 channels, quint32 rate) = 0;

    // The ELD control of an HDMI/DisplayPort PCM: what the connected monitor reports.
    virtual QByteArray eld(int card, int device) = 0;

    // The card (index or id) and device that ALSA's "default" plays to.
    struct DefaultPcm {
        QString card;
        int device = 0;
    };
    virtual DefaultPcm defaultPcm() = 0;
};
