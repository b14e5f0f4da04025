// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/AudioTypes.h"

#include <QList>
#include <QString>
#include <optional>

// The linear-PCM sample formats of ALSA that a stream description can express, by ALSA's names.
namespace alsasampleformats {

// "S16_LE", "S24_3LE", ... in the order in which devices are probed.
const QList<QString>& names();

// The interleaved stream description of a sample format; absent for names outside the table.
std::optional<StreamDescription> description(const QString& formatName, quint32 channels, double sampleRate);

// The ALSA name of the description's sample format; empty when ALSA has none for it.
QString formatName(const StreamDescription& description);

} // namespace alsasampleformats
