// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "directory/Station.h"

#include <QObject>
#include <QString>
#include <QUrl>
#include <functional>
#include <optional>

class RadioBrowser;
class StationPlayer;
class StreamRecorder;

// Playback driven from outside the panel: the command line of a second launch (`--play`,
// `--stop`, `--toggle`, `--next`, `--previous`, `--volume`, `--record`) and MPRIS's Next, Previous and
// OpenUri. Stations are found in the favourites and recents, then by identifier in the
// directory; a web address plays as a one-off station that joins no list. Main thread.
class PlayerCommands : public QObject {
    Q_OBJECT
public:
    enum class Kind { Play, Stop, Toggle, Next, Previous, Volume, Record };
    struct Command {
        Kind kind = Kind::Play;
        // Play: the station asked for (a name, an identifier or an address), empty for the loaded
        // one. Volume: "N", "+N" or "-N". Record: "start", "stop", or empty to switch.
        QString argument;
        bool operator==(const Command&) const = default;
    };

    // A volume asked for in percent: to be set, or added (negative: taken away).
    struct VolumeChange {
        int percent = 0;
        bool relative = false;
        bool operator==(const VolumeChange&) const = default;
    };

    // Done, or why not in one line for the user.
    struct Outcome {
        bool done = true;
        QString error;
    };
    using Completion = std::function<void(const Outcome&)>;

    // Turns a web address into the stream address to play (a playlist's first stream, say) and
    // a name for it, or an error for the user. Without one the address plays as it is.
    using AddressResolver =
        std::function<void(const QUrl& address, std::function<void(QUrl stream, QString name, QString error)> done)>;

    struct Collaborators {
        StationPlayer* player = nullptr;
        RadioBrowser* api = nullptr; // the favourites and recents, and the directory
        AddressResolver resolveAddress;
        StreamRecorder* recorder = nullptr; // none: recording is refused
    };

    explicit PlayerCommands(const Collaborators& collaborators, QObject* parent = nullptr);

    // A command as the single-instance socket carries it ("play Radio%20Eins", "next"), and back.
    static QString toRequest(const Command& command);
    static std::optional<Command> fromRequest(const QString& request);
    // "40", "+5", "-10": a volume of 0 to 100, or a change by up to 100; nothing for anything else.
    static std::optional<VolumeChange> parseVolume(const QString& text);
    // http or https with a host.
    static bool isWebAddress(const QUrl& url);

    // Runs a command; `done` is called once, maybe before this returns.
    void run(const Command& command, const Completion& done);
    // The favourites in their order, wrapping, from the loaded station's place (or the first).
    void step(int direction, const Completion& done = {});
    // Plays a stream or playlist at a web address as a one-off station.
    void playAddress(const QString& address, const Completion& done = {});
    // Two or more favourites to go through.
    bool canStep() const;

    // The station named by `wanted` in these lists: an identifier, else a name that folds (case
    // and accents aside) to the same text, else one that contains it; the first found wins, the
    // favourites before the recents.
    static Station findStation(const QString& wanted, const StationList& favourites, const StationList& recents);

Q_SIGNALS:
    void canStepChanged();

private:
    void play(const QString& wanted, const Completion& done);
    void playOneOff(const QUrl& stream, const QString& name);
    void adjustVolume(const QString& argument, const Completion& done);
    void record(const QString& argument, const Completion& done);

    Collaborators c_;
    bool canStep_ = false;
};
