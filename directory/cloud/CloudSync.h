// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "directory/CloudMirror.h"
#include "directory/Station.h"
#include "util/SettingsKeys.h"

#include <QMap>
#include <QObject>
#include <QPointer>
#include <QThreadPool>
#include <chrono>

class CloudDatabase;
class UserDefaults;
struct CloudRecord;

// The favourite and recent lists mirrored through one record ("AppData.1" of type "AppData")
// of the user's private cloud store.
//
// All cloud work and every use of the settings happen on this object's (the main) thread;
// save() may be called from any thread and hands over to it. Lists taken over from the record
// are assigned on the main thread and then written to their files by a background task.
//
// Beyond the once-per-launch takeover, two things differ from a plain mirror: taken-over lists
// are written to their files too, so that the next launch does not bring back the older local
// lists; and a save refused because the record changed after its fetch is retried (fetch, set
// its field, save) up to kMaxSaveRetries times.
class CloudSync : public QObject, public CloudMirror {
    Q_OBJECT
public:
    static inline const QString kRecordType = QStringLiteral("AppData");
    static inline const QString kRecordName = QStringLiteral("AppData.1");
    // Settings: the record's modification date and change tag as this machine last saw them.
    static inline const QString& kUploadDateKey = settingskeys::kUploadDate;
    static inline const QString& kUploadTagKey = settingskeys::kUploadTag;
    static constexpr int kMaxSaveRetries = 3;

    // Both must outlive this object; `database` and `defaults` belong to the main thread.
    CloudSync(CloudDatabase& database, UserDefaults& defaults, QObject* parent = nullptr);
    // Waits for list files still being written.
    ~CloudSync() override;

    // CloudMirror: StationLists calls these.
    void fetch(StationLists& lists) override;
    void save(const QString& field, const QByteArray& bytes) override;

    // Fetches the record and takes over its lists when it changed since this machine saw it.
    // Main thread.
    void ckFetch(StationLists& lists);
    // Sets one field of the record and saves it. Main thread. Saves run one at a time; fields
    // handed over meanwhile go together into the next save, the latest bytes of each. During
    // the launch's fetch they wait for it; a list it takes over drops its waiting bytes.
    void ckSave(const QString& field, const QByteArray& bytes);

    // Blocks until taken-over lists have been written to their files. Call it before the
    // StationLists that fetch() was given goes away.
    void waitForWrites();
    // At quit: runs the event loop until no fetch or save is left, at most `limit`. Saves still
    // running then are given up with one log line. Returns whether all finished.
    bool finishSaves(std::chrono::milliseconds limit);
    // No fetch, save or queued save in progress.
    bool isIdle() const { return !fetching_ && !saving_ && pending_.isEmpty(); }

Q_SIGNALS:
    // After a fetch's result has been handled (lists assigned, file writes queued).
    void fetchFinished();
    // After a save ended, saved or logged as failed.
    void saveFinished(bool saved);

private:
    void startSave();
    void attemptSave(QMap<QString, QByteArray> fields, int retriesLeft);
    void finishSave(bool saved);
    bool alreadySeen(const CloudRecord& record) const;
    void remember(const CloudRecord& record);
    void takeOver(StationLists& lists, const CloudRecord& record, const QString& field);

    CloudDatabase& database_;
    UserDefaults& defaults_;
    QThreadPool writes_;
    bool fetching_ = false;
    bool saving_ = false;
    QMap<QString, QByteArray> pending_;
};
