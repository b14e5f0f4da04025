// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/AlsaLibrary.h"

#include <QHash>
#include <vector>

typedef struct _snd_pcm snd_pcm_t;

// AlsaLibrary on libasound.
class LibAsound final : public AlsaLibrary {
public:
    LibAsound();
    ~LibAsound() override;
    LibAsound(const LibAsound&) = delete;
    LibAsound& operator=(const LibAsound&) = delete;

    std::optional<QList<RangedStreamDescription>> probeFormats(const QString& pcm) override;
    bool hold(const QString& pcm, int substreams) override;
    void release(const QString& pcm) override;
    bool configure(const QString& pcm, const QString& formatName, quint32 channels, quint32 rate) override;
    QByteArray eld(int card, int device) override;
    DefaultPcm defaultPcm() override;

private:
    QHash<QString, std::vector<snd_pcm_t*>> held_;
};
