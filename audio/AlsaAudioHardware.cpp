// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/AlsaAudioHardware.h"

#include "audio/AlsaSampleFormats.h"
#include "audio/AlsaTransport.h"
#include "audio/LibAsound.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <algorithm>
#include <unistd.h>

namespace {

QString readText(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    // procfs reports no size: read until the end.
    return QString::fromUtf8(file.readAll());
}

QString probeKey(const QString& uid, const alsaproc::Card& card) {
    return uid + u'\n' + card.longName;
}

QDataStream& operator<<(QDataStream& out, const StreamDescription& d) {
    return out << d.sampleRate << d.formatID << d.formatFlags << d.bytesPerPacket << d.framesPerPacket
               << d.bytesPerFrame << d.channelsPerFrame << d.bitsPerChannel;
}

} // namespace

AlsaAudioHardware::AlsaAudioHardware(QObject* parent) : AlsaAudioHardware(Options{}, parent) {}

AlsaAudioHardware::AlsaAudioHardware(Options options, QObject* parent)
    : QObject(parent), options_(std::move(options)), library_(options_.library) {
    if (!library_)
        library_ = std::make_shared<LibAsound>();
    pollTimer_.setInterval(options_.pollInterval);
    connect(&pollTimer_, &QTimer::timeout, this, &AlsaAudioHardware::checkListeners);
}

AlsaAudioHardware::~AlsaAudioHardware() {
    for (const QString& uid : std::as_const(held_))
        library_->release(uid);
}

QList<AlsaAudioHardware::Entry> AlsaAudioHardware::scan() const {
    const QList<alsaproc::Card> cards = alsaproc::parseCards(readText(options_.procRoot + QStringLiteral("/cards")));
    const QList<alsaproc::Pcm> pcms = alsaproc::parsePcms(readText(options_.procRoot + QStringLiteral("/pcm")));
    QList<Entry> entries;
    for (const alsaproc::Pcm& pcm : pcms) {
        if (pcm.playbackSubstreams <= 0)
            continue;
        const auto card = std::find_if(cards.cbegin(), cards.cend(),
                                       [&](const alsaproc::Card& c) { return c.index == pcm.card; });
        if (card == cards.cend())
            continue;
        Entry entry{kAudioObjectUnknown, *card, pcm, QStringLiteral("hw:CARD=%1,DEV=%2").arg(card->id).arg(pcm.device)};
        auto id = ids_.constFind(entry.uid);
        if (id == ids_.cend()) {
            id = ids_.insert(entry.uid, nextID_);
            nextID_ += 2; // the device, then its stream
        }
        entry.id = *id;
        entries.append(std::move(entry));
    }
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        return std::pair(a.pcm.card, a.pcm.device) < std::pair(b.pcm.card, b.pcm.device);
    });
    // Forget the probes of devices that are gone; one plugged in again is probed anew.
    QSet<QString> present;
    for (const Entry& e : entries)
        present.insert(probeKey(e.uid, e.card));
    for (auto it = probed_.begin(); it != probed_.end();)
        it = present.contains(it.key()) ? std::next(it) : probed_.erase(it);
    return entries;
}

std::optional<AlsaAudioHardware::Entry> AlsaAudioHardware::entryForDevice(AudioObjectID device) const {
    for (Entry& e : scan()) {
        if (e.id == device)
            return std::move(e);
    }
    return std::nullopt;
}

std::optional<AlsaAudioHardware::Entry> AlsaAudioHardware::entryForStream(AudioObjectID stream) const {
    if (stream == kAudioObjectUnknown || stream % 2 == 0)
        return std::nullopt;
    return entryForDevice(stream - 1);
}

QString AlsaAudioHardware::substreamFile(const Entry& entry, int substream, const QString& file) const {
    return QStringLiteral("%1/card%2/pcm%3p/sub%4/%5")
        .arg(options_.procRoot)
        .arg(entry.pcm.card)
        .arg(entry.pcm.device)
        .arg(substream)
        .arg(file);
}

QList<alsaproc::SubstreamStatus> AlsaAudioHardware::statuses(const Entry& entry) const {
    QList<alsaproc::SubstreamStatus> list;
    for (int sub = 0; sub < entry.pcm.playbackSubstreams; ++sub)
        list.append(alsaproc::parseStatus(readText(substreamFile(entry, sub, QStringLiteral("status")))));
    return list;
}

// The set-up of the first substream that has one: what the device plays at now.
std::optional<alsaproc::HwParams> AlsaAudioHardware::runningParams(const Entry& entry) const {
    for (int sub = 0; sub < entry.pcm.playbackSubstreams; ++sub) {
        if (auto params = alsaproc::parseHwParams(readText(substreamFile(entry, sub, QStringLiteral("hw_params")))))
            return params;
    }
    return std::nullopt;
}

const QList<RangedStreamDescription>* AlsaAudioHardware::probedFormats(const Entry& entry) const {
    const QString key = probeKey(entry.uid, entry.card);
    if (auto it = probed_.constFind(key); it != probed_.cend())
        return &*it;
    // A device in use by another process cannot be opened: probe again next time.
    auto formats = library_->probeFormats(entry.uid);
    if (!formats)
        return nullptr;
    return &*probed_.insert(key, std::move(*formats));
}

std::optional<AudioObjectID> AlsaAudioHardware::defaultOutputDevice() const {
    const AlsaLibrary::DefaultPcm wanted = library_->defaultPcm();
    bool isIndex = false;
    const int index = wanted.card.toInt(&isIndex);
    const QList<Entry> entries = scan();
    std::optional<AudioObjectID> firstOfCard;
    for (const Entry& e : entries) {
        if (isIndex ? e.card.index != index : e.card.id != wanted.card)
            continue;
        if (e.pcm.device == wanted.device)
            return e.id;
        if (!firstOfCard)
            firstOfCard = e.id;
    }
    return firstOfCard;
}

QList<AudioObjectID> AlsaAudioHardware::devices() const {
    QList<AudioObjectID> ids;
    for (const Entry& e : scan())
        ids.append(e.id);
    return ids;
}

QList<AudioObjectID> AlsaAudioHardware::subDevices(AudioObjectID) const {
    return {}; // the kernel has no aggregate devices
}

std::optional<quint32> AlsaAudioHardware::deviceClass(AudioObjectID device) const {
    if (!entryForDevice(device))
        return std::nullopt;
    return audioclass::kDevice;
}

std::optional<quint32> AlsaAudioHardware::transportType(AudioObjectID device) const {
    const auto entry = entryForDevice(device);
    if (!entry)
        return std::nullopt;
    const QString cardDir = QStringLiteral("%1/card%2").arg(options_.sysRoot).arg(entry->card.index);
    alsatransport::Facts facts;
    facts.subsystem = QFileInfo(QFileInfo(cardDir + QStringLiteral("/device/subsystem")).symLinkTarget()).fileName();
    facts.deviceName = QFileInfo(QFileInfo(cardDir + QStringLiteral("/device")).canonicalFilePath()).fileName();
    facts.cardName = entry->card.shortName;
    facts.pcmName = entry->pcm.id + u' ' + entry->pcm.name;
    if (facts.pcmName.contains(QLatin1String("HDMI"), Qt::CaseInsensitive))
        facts.eld = library_->eld(entry->card.index, entry->pcm.device);
    return alsatransport::transportType(facts);
}

QList<AudioObjectID> AlsaAudioHardware::outputStreams(AudioObjectID device) const {
    if (!entryForDevice(device))
        return {};
    return {device + 1};
}

QList<quint32> AlsaAudioHardware::outputBufferChannels(AudioObjectID device) const {
    const auto entry = entryForDevice(device);
    if (!entry)
        return {};
    if (const auto* formats = probedFormats(*entry); formats && !formats->isEmpty()) {
        const auto widest = std::max_element(formats->cbegin(), formats->cend(), [](const auto& a, const auto& b) {
            return a.format.channelsPerFrame < b.format.channelsPerFrame;
        });
        return {widest->format.channelsPerFrame};
    }
    if (const auto params = runningParams(*entry))
        return {params->channels};
    return {};
}

std::optional<QString> AlsaAudioHardware::stringProperty(AudioObjectID device, AudioPropertySelector selector) const {
    const auto entry = entryForDevice(device);
    if (!entry)
        return std::nullopt;
    if (selector == audioselector::kUid)
        return entry->uid;
    if (selector == audioselector::kName)
        return entry->card.shortName + QStringLiteral(": ") + entry->pcm.name;
    return std::nullopt;
}

bool AlsaAudioHardware::isHogPidSettable(AudioObjectID device) const {
    const auto entry = entryForDevice(device);
    if (!entry)
        return false;
    // Holding means opening the device node: without access to it there is nothing to set.
    const QString node =
        QStringLiteral("%1/pcmC%2D%3p").arg(options_.devRoot).arg(entry->pcm.card).arg(entry->pcm.device);
    return ::access(QFile::encodeName(node).constData(), R_OK | W_OK) == 0;
}

std::optional<pid_t> AlsaAudioHardware::hogPid(AudioObjectID device) const {
    const auto entry = entryForDevice(device);
    if (!entry)
        return std::nullopt;
    if (held_.contains(entry->uid))
        return ::getpid();
    // An open hardware PCM is exclusive to the process that opened it.
    for (const alsaproc::SubstreamStatus& s : statuses(*entry)) {
        if (s.open && s.ownerPid > 0)
            return s.ownerPid;
    }
    return -1;
}

bool AlsaAudioHardware::setHogPid(AudioObjectID device, pid_t pid) {
    const auto entry = entryForDevice(device);
    if (!entry)
        return false;
    if (pid == -1) {
        if (held_.remove(entry->uid))
            library_->release(entry->uid);
        return true;
    }
    if (pid != ::getpid())
        return false; // only this process can be made the holder
    if (held_.contains(entry->uid))
        return true;
    if (!library_->hold(entry->uid, entry->pcm.playbackSubstreams))
        return false;
    held_.insert(entry->uid);
    return true;
}

std::optional<bool> AlsaAudioHardware::isRunningSomewhere(AudioObjectID device) const {
    const auto entry = entryForDevice(device);
    if (!entry)
        return std::nullopt;
    // Open in any state counts: an open substream is one no other process can have.
    const QList<alsaproc::SubstreamStatus> all = statuses(*entry);
    return std::any_of(all.cbegin(), all.cend(), [](const auto& s) { return s.open; });
}

std::optional<StreamDescription> AlsaAudioHardware::physicalFormat(AudioObjectID stream) const {
    const auto entry = entryForStream(stream);
    if (!entry)
        return std::nullopt;
    const auto params = runningParams(*entry);
    if (!params)
        return std::nullopt; // closed: ALSA keeps no format for an idle device
    return alsasampleformats::description(params->format, params->channels, params->rate);
}

bool AlsaAudioHardware::setPhysicalFormat(AudioObjectID stream, const StreamDescription& format) {
    const auto entry = entryForStream(stream);
    if (!entry || !held_.contains(entry->uid))
        return false; // a device another process may open plays at whatever that process sets
    const QString name = alsasampleformats::formatName(format);
    if (name.isEmpty())
        return false;
    return library_->configure(entry->uid, name, format.channelsPerFrame, quint32(format.sampleRate));
}

QList<RangedStreamDescription> AlsaAudioHardware::availablePhysicalFormats(AudioObjectID stream) const {
    const auto entry = entryForStream(stream);
    if (!entry)
        return {};
    if (const auto* formats = probedFormats(*entry))
        return *formats;
    // Busy since before we first looked: at least the format it runs at.
    if (const auto params = runningParams(*entry)) {
        if (const auto d = alsasampleformats::description(params->format, params->channels, params->rate))
            return {{*d, d->sampleRate, d->sampleRate}};
    }
    return {};
}

QByteArray AlsaAudioHardware::valueOf(AudioObjectID object, AudioPropertySelector selector) const {
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    using namespace audioselector;
    switch (selector) {
    case kDevices: out << devices(); break;
    case kDefaultOutputDevice: out << defaultOutputDevice().value_or(0); break;
    case kName:
    case kUid: out << stringProperty(object, selector).value_or(QString()); break;
    case kTransportType: out << transportType(object).value_or(0); break;
    case kStreams: out << outputStreams(object); break;
    case kStreamConfiguration: out << outputBufferChannels(object); break;
    case kHogPid: out << qint32(hogPid(object).value_or(0)); break;
    case kIsRunningSomewhere: out << isRunningSomewhere(object).value_or(false); break;
    case kPhysicalFormat: out << physicalFormat(object).value_or(StreamDescription{}); break;
    case kAvailablePhysicalFormats:
        for (const RangedStreamDescription& r : availablePhysicalFormats(object))
            out << r.format << r.minSampleRate << r.maxSampleRate;
        break;
    default: break;
    }
    return bytes;
}

bool AlsaAudioHardware::addPropertyListener(AudioObjectID object, AudioPropertySelector selector,
                                            PropertyListener listener, void* clientData) {
    if (!listener)
        return false;
    listeners_.append({object, selector, listener, clientData, valueOf(object, selector)});
    if (!watcher_ && QFileInfo(options_.devRoot).isDir()) {
        // Cards come and go with their device nodes.
        watcher_ = new QFileSystemWatcher({options_.devRoot}, this);
        connect(watcher_, &QFileSystemWatcher::directoryChanged, this, &AlsaAudioHardware::checkListeners);
    }
    pollTimer_.start();
    return true;
}

bool AlsaAudioHardware::removePropertyListener(AudioObjectID object, AudioPropertySelector selector,
                                               PropertyListener listener, void* clientData) {
    const auto removed = listeners_.removeIf([&](const Listener& l) {
        return l.object == object && l.selector == selector && l.proc == listener && l.clientData == clientData;
    });
    if (listeners_.isEmpty()) {
        pollTimer_.stop();
        delete watcher_;
        watcher_ = nullptr;
    }
    return removed > 0;
}

void AlsaAudioHardware::checkListeners() {
    // A listener may add or remove listeners: call from a snapshot, and only those still registered.
    QList<Listener> due;
    for (Listener& l : listeners_) {
        QByteArray value = valueOf(l.object, l.selector);
        if (value == l.lastValue)
            continue;
        l.lastValue = std::move(value);
        due.append(l);
    }
    for (const Listener& l : std::as_const(due)) {
        const bool registered = std::any_of(listeners_.cbegin(), listeners_.cend(), [&](const Listener& r) {
            return r.object == l.object && r.selector == l.selector && r.proc == l.proc && r.clientData == l.clientData;
        });
        if (registered)
            l.proc(l.object, l.selector, l.clientData);
    }
}
