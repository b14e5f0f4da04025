// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// How an ALSA card is attached, as a transport type code.
namespace alsatransport {

// What the kernel tells about one playback device.
struct Facts {
    QString subsystem;  // bus of the card's device in sysfs ("pci", "usb", "platform"); empty: none
    QString deviceName; // the card's device in sysfs ("0000:00:1f.3", "snd_aloop.0")
    QString cardName;   // short name of the card
    QString pcmName;    // id and name of the PCM
    QByteArray eld;     // the monitor's ELD of an HDMI/DisplayPort PCM; empty when none is connected
};

// HDMI and DisplayPort outputs are told by their names and the connected monitor; other devices
// by their bus, where drivers that play into nothing count as virtual.
quint32 transportType(const Facts& facts);

// The connection an ELD describes: true for DisplayPort, false for HDMI; absent when the ELD is
// too short to tell.
std::optional<bool> eldIsDisplayPort(const QByteArray& eld);

} // namespace alsatransport
