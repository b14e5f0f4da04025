// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/AlsaTransport.h"

#include "audio/AudioTypes.h"

#include <QRegularExpression>

namespace alsatransport {

namespace {

bool namesHdmi(const QString& name) {
    return name.contains(QLatin1String("HDMI"), Qt::CaseInsensitive);
}

bool namesDisplayPort(const QString& name) {
    static const QRegularExpression dp(QStringLiteral(R"(DisplayPort|\bDP\b)"), QRegularExpression::CaseInsensitiveOption);
    return dp.match(name).hasMatch();
}

// Platform drivers of ALSA that play into a loop or nowhere rather than a speaker.
bool isVirtualDriver(const QString& deviceName) {
    for (const char* prefix : {"snd_dummy", "snd-dummy", "snd_aloop", "snd-aloop", "snd_virmidi", "snd-virmidi"}) {
        if (deviceName.startsWith(QLatin1String(prefix)))
            return true;
    }
    return false;
}

} // namespace

std::optional<bool> eldIsDisplayPort(const QByteArray& eld) {
    // Baseline block from byte 4; byte 5 holds the connection type in bits 2-3 (0 HDMI, 1 DisplayPort).
    if (eld.size() < 6)
        return std::nullopt;
    return ((quint8(eld[5]) >> 2) & 0x3) == 1;
}

quint32 transportType(const Facts& facts) {
    using namespace audiotransport;
    if (const auto dp = eldIsDisplayPort(facts.eld))
        return *dp ? kDisplayPort : kHDMI;
    if (namesDisplayPort(facts.pcmName))
        return kDisplayPort;
    if (namesHdmi(facts.pcmName) || namesHdmi(facts.cardName))
        return kHDMI;
    const QString& bus = facts.subsystem;
    if (bus.isEmpty())
        return kVirtual;
    if (bus == u"usb")
        return kUSB;
    if (bus == u"pci")
        return kPCI;
    if (bus == u"bluetooth")
        return kBluetooth;
    if (bus == u"firewire")
        return kFireWire;
    if (bus == u"thunderbolt")
        return kThunderbolt;
    if (bus == u"virtio")
        return kVirtual;
    if (bus == u"platform")
        return isVirtualDriver(facts.deviceName) ? kVirtual : kBuiltIn;
    return kUnknown;
}

} // namespace alsatransport
