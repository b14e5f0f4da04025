// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/LibAsound.h"

#include "audio/AlsaSampleFormats.h"
#include "audio/AudioLog.h"

#include <QScopeGuard>
#include <alsa/asoundlib.h>
#include <array>
#include <cstdarg>
#include <memory>

// alsa/error.h declares this outside its extern "C" block, so C++ would look for a mangled name.
extern "C" snd_local_error_handler_t alsaSetLocalErrorHandler(snd_local_error_handler_t handler) __asm__(
    "snd_lib_error_set_local");

namespace {

// libasound prints its errors to stderr; a missing or busy device is an expected answer here.
void logAlsaError(const char* file, int line, const char* function, int err, const char* fmt, va_list args) {
    std::array<char, 512> text{};
    std::vsnprintf(text.data(), text.size(), fmt, args);
    qCDebug(lcAudio, "alsa: %s (%s:%d %s, error %d)", text.data(), file, line, function, err);
}

// Routes libasound's messages of the calling thread to the log for the life of the object.
class QuietAlsa {
public:
    QuietAlsa() : previous_(alsaSetLocalErrorHandler(logAlsaError)) {}
    ~QuietAlsa() { alsaSetLocalErrorHandler(previous_); }
    QuietAlsa(const QuietAlsa&) = delete;
    QuietAlsa& operator=(const QuietAlsa&) = delete;

private:
    snd_local_error_handler_t previous_;
};

struct HwParamsDeleter {
    void operator()(snd_pcm_hw_params_t* p) const { snd_pcm_hw_params_free(p); }
};
using HwParams = std::unique_ptr<snd_pcm_hw_params_t, HwParamsDeleter>;

HwParams copyOf(const snd_pcm_hw_params_t* source) {
    snd_pcm_hw_params_t* p = nullptr;
    if (snd_pcm_hw_params_malloc(&p) < 0)
        return nullptr;
    snd_pcm_hw_params_copy(p, source);
    return HwParams(p);
}

constexpr std::array<unsigned, 14> kRates{8000,  11025, 16000,  22050,  32000,  44100,  48000,
                                          64000, 88200, 96000, 176400, 192000, 352800, 384000};

// The channel counts worth offering: every count up to 8 and the device's largest.
QList<unsigned> channelCounts(unsigned min, unsigned max) {
    QList<unsigned> counts;
    for (unsigned c = std::max(min, 1u); c <= std::min(max, 8u); ++c)
        counts.append(c);
    if (max > 8)
        counts.append(max);
    return counts;
}

} // namespace

LibAsound::LibAsound() = default;

LibAsound::~LibAsound() {
    const QList<QString> pcms = held_.keys();
    for (const QString& pcm : pcms)
        release(pcm);
}

std::optional<QList<RangedStreamDescription>> LibAsound::probeFormats(const QString& pcmName) {
    QuietAlsa quiet;
    snd_pcm_t* pcm = nullptr;
    if (snd_pcm_open(&pcm, pcmName.toUtf8().constData(), SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0)
        return std::nullopt;
    const auto closePcm = qScopeGuard([pcm] { snd_pcm_close(pcm); });

    snd_pcm_hw_params_t* raw = nullptr;
    if (snd_pcm_hw_params_malloc(&raw) < 0)
        return std::nullopt;
    const HwParams any(raw);
    if (snd_pcm_hw_params_any(pcm, any.get()) < 0)
        return std::nullopt;
    snd_pcm_hw_params_set_access(pcm, any.get(), SND_PCM_ACCESS_RW_INTERLEAVED);

    QList<RangedStreamDescription> formats;
    for (const QString& name : alsasampleformats::names()) {
        const HwParams withFormat = copyOf(any.get());
        if (!withFormat ||
            snd_pcm_hw_params_set_format(pcm, withFormat.get(), snd_pcm_format_value(name.toLatin1().constData())) < 0)
            continue;
        unsigned minChannels = 0;
        unsigned maxChannels = 0;
        snd_pcm_hw_params_get_channels_min(withFormat.get(), &minChannels);
        snd_pcm_hw_params_get_channels_max(withFormat.get(), &maxChannels);
        for (const unsigned channels : channelCounts(minChannels, maxChannels)) {
            const HwParams withChannels = copyOf(withFormat.get());
            if (!withChannels || snd_pcm_hw_params_set_channels(pcm, withChannels.get(), channels) < 0)
                continue;
            for (const unsigned rate : kRates) {
                if (snd_pcm_hw_params_test_rate(pcm, withChannels.get(), rate, 0) != 0)
                    continue;
                if (const auto d = alsasampleformats::description(name, channels, rate))
                    formats.append({*d, double(rate), double(rate)});
            }
        }
    }
    return formats;
}

bool LibAsound::hold(const QString& pcmName, int substreams) {
    if (held_.contains(pcmName))
        return true;
    QuietAlsa quiet;
    std::vector<snd_pcm_t*> handles;
    for (int sub = 0; sub < std::max(substreams, 1); ++sub) {
        const QByteArray name = QStringLiteral("%1,SUBDEV=%2").arg(pcmName).arg(sub).toUtf8();
        snd_pcm_t* pcm = nullptr;
        if (snd_pcm_open(&pcm, name.constData(), SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0) {
            for (snd_pcm_t* h : handles)
                snd_pcm_close(h);
            return false;
        }
        handles.push_back(pcm);
    }
    held_.insert(pcmName, std::move(handles));
    return true;
}

void LibAsound::release(const QString& pcmName) {
    QuietAlsa quiet;
    for (snd_pcm_t* pcm : held_.take(pcmName))
        snd_pcm_close(pcm);
}

bool LibAsound::configure(const QString& pcmName, const QString& formatName, quint32 channels, quint32 rate) {
    const auto it = held_.constFind(pcmName);
    if (it == held_.cend() || it->empty())
        return false;
    QuietAlsa quiet;
    snd_pcm_t* pcm = it->front();
    snd_pcm_hw_params_t* raw = nullptr;
    if (snd_pcm_hw_params_malloc(&raw) < 0)
        return false;
    const HwParams params(raw);
    return snd_pcm_hw_params_any(pcm, params.get()) >= 0 &&
           snd_pcm_hw_params_set_access(pcm, params.get(), SND_PCM_ACCESS_RW_INTERLEAVED) >= 0 &&
           snd_pcm_hw_params_set_format(pcm, params.get(), snd_pcm_format_value(formatName.toLatin1().constData())) >= 0 &&
           snd_pcm_hw_params_set_channels(pcm, params.get(), channels) >= 0 &&
           snd_pcm_hw_params_set_rate(pcm, params.get(), rate, 0) >= 0 && snd_pcm_hw_params(pcm, params.get()) >= 0;
}

QByteArray LibAsound::eld(int card, int device) {
    QuietAlsa quiet;
    snd_ctl_t* ctl = nullptr;
    if (snd_ctl_open(&ctl, QByteArray("hw:" + QByteArray::number(card)).constData(), SND_CTL_NONBLOCK) < 0)
        return {};
    const auto closeCtl = qScopeGuard([ctl] { snd_ctl_close(ctl); });

    snd_ctl_elem_info_t* info = nullptr;
    snd_ctl_elem_value_t* value = nullptr;
    if (snd_ctl_elem_info_malloc(&info) < 0)
        return {};
    const auto freeInfo = qScopeGuard([info] { snd_ctl_elem_info_free(info); });
    if (snd_ctl_elem_value_malloc(&value) < 0)
        return {};
    const auto freeValue = qScopeGuard([value] { snd_ctl_elem_value_free(value); });

    snd_ctl_elem_info_set_interface(info, SND_CTL_ELEM_IFACE_PCM);
    snd_ctl_elem_info_set_name(info, "ELD");
    snd_ctl_elem_info_set_device(info, unsigned(device));
    if (snd_ctl_elem_info(ctl, info) < 0 || snd_ctl_elem_info_get_type(info) != SND_CTL_ELEM_TYPE_BYTES)
        return {};
    const unsigned count = snd_ctl_elem_info_get_count(info);
    snd_ctl_elem_value_set_interface(value, SND_CTL_ELEM_IFACE_PCM);
    snd_ctl_elem_value_set_name(value, "ELD");
    snd_ctl_elem_value_set_device(value, unsigned(device));
    if (count == 0 || snd_ctl_elem_read(ctl, value) < 0)
        return {};
    const auto* bytes = static_cast<const char*>(snd_ctl_elem_value_get_bytes(value));
    return QByteArray(bytes, qsizetype(count));
}

AlsaLibrary::DefaultPcm LibAsound::defaultPcm() {
    DefaultPcm result{QStringLiteral("0"), 0};
    // The variables that ALSA's own configuration consults before its defaults.
    const QByteArray envCard = qEnvironmentVariableIsSet("ALSA_PCM_CARD") ? qgetenv("ALSA_PCM_CARD") : qgetenv("ALSA_CARD");
    const QByteArray envDevice = qgetenv("ALSA_PCM_DEVICE");

    QuietAlsa quiet;
    snd_config_t* top = nullptr;
    if (snd_config_update_ref(&top) >= 0) {
        const auto unref = qScopeGuard([top] { snd_config_unref(top); });
        snd_config_t* node = nullptr;
        long number = 0;
        const char* text = nullptr;
        // Only plain values: a computed default is left to ALSA and read as card 0.
        if (snd_config_search(top, "defaults.pcm.card", &node) >= 0) {
            if (snd_config_get_integer(node, &number) >= 0)
                result.card = QString::number(number);
            else if (snd_config_get_string(node, &text) >= 0 && text)
                result.card = QString::fromUtf8(text);
        }
        if (snd_config_search(top, "defaults.pcm.device", &node) >= 0 && snd_config_get_integer(node, &number) >= 0)
            result.device = int(number);
    }
    if (!envCard.isEmpty())
        result.card = QString::fromUtf8(envCard);
    if (!envDevice.isEmpty())
        result.device = envDevice.toInt();
    return result;
}
