// SPDX-License-Identifier: GPL-3.0-or-later
#include "directory/cloud/CloudSync.h"

#include "directory/cloud/CloudDatabase.h"
#include "directory/cloud/CloudLog.h"
#include "directory/StationLists.h"
#include "directory/StationArchive.h"
#include "directory/StationValidation.h"
#include "util/RemoteText.h"
#include "util/UserDefaults.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QRandomGenerator>
#include <QThread>
#include <QTimer>

namespace {
const char* const kFetchError = "Fetch Error ----------------------------------\r";
const char* const kSaveError = "Save Error ----------------------------------\r";

// The opaque part of an entity tag: a weak and a strong form name the same version here.
QByteArray opaqueTag(QByteArray tag) {
    if (tag.startsWith("W/"))
        tag.remove(0, 2);
    return tag;
}

QString describeDate(const QDateTime& date) {
    return date.isValid() ? date.toUTC().toString(Qt::ISODateWithMs) : QStringLiteral("(null)");
}

// A list file's writes after a takeover: the list is read when the write runs, and written
// again should it change meanwhile, so the file ends with the list as last assigned whichever
// of this and a local save writes last.
void writeCurrentList(StationLists* lists, StationList (StationLists::*current)() const, QUrl url) {
    for (int round = 0; round < 4; ++round) {
        const StationList list = (lists->*current)();
        lists->writeStations(list, url); // no cloud field: the record holds this list already
        if ((lists->*current)() == list)
            return;
    }
}
} // namespace

CloudSync::CloudSync(CloudDatabase& database, UserDefaults& defaults, QObject* parent)
    : QObject(parent)
    , database_(database)
    , defaults_(defaults) {
    writes_.setMaxThreadCount(1);
}

CloudSync::~CloudSync() {
    writes_.waitForDone();
}

void CloudSync::waitForWrites() {
    writes_.waitForDone();
}

bool CloudSync::finishSaves(std::chrono::milliseconds limit) {
    // Saves handed over by list writes that just ended are still queued: let them start first.
    QCoreApplication::sendPostedEvents(this);
    if (isIdle())
        return true;
    QEventLoop loop;
    QTimer timeout;
    timeout.setSingleShot(true);
    connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);
    auto check = [this, &loop] {
        if (isIdle())
            loop.quit();
    };
    const QMetaObject::Connection saved = connect(this, &CloudSync::saveFinished, &loop, check, Qt::QueuedConnection);
    const QMetaObject::Connection fetched = connect(this, &CloudSync::fetchFinished, &loop, check, Qt::QueuedConnection);
    timeout.start(limit);
    loop.exec();
    disconnect(saved);
    disconnect(fetched);
    if (isIdle())
        return true;
    qCWarning(lcCloud, "Quitting before the cloud has the latest lists: no answer within %lld s",
              qlonglong(std::chrono::duration_cast<std::chrono::seconds>(limit).count()));
    return false;
}

void CloudSync::fetch(StationLists& lists) {
    ckFetch(lists);
}

void CloudSync::save(const QString& field, const QByteArray& bytes) {
    if (thread() == QThread::currentThread()) {
        ckSave(field, bytes);
        return;
    }
    // From a list-saving task on a worker thread: the cloud belongs to the main thread.
    QMetaObject::invokeMethod(
        this, [this, field, bytes] { ckSave(field, bytes); }, Qt::QueuedConnection);
}

// ---- Fetch at launch

bool CloudSync::alreadySeen(const CloudRecord& record) const {
    const QDateTime seen = defaults_.value(kUploadDateKey).toDateTime();
    if (!seen.isValid() || !record.modificationDate.isValid() || seen != record.modificationDate)
        return false;
    // Server dates may have whole seconds only; two saves in one second differ in their tags.
    const QByteArray seenTag = defaults_.value(kUploadTagKey).toByteArray();
    return seenTag.isEmpty() || record.changeTag.isEmpty() ||
           opaqueTag(seenTag) == opaqueTag(record.changeTag);
}

void CloudSync::remember(const CloudRecord& record) {
    if (record.modificationDate.isValid())
        defaults_.setValue(kUploadDateKey, record.modificationDate.toUTC());
    else
        defaults_.remove(kUploadDateKey); // unknown: the next launch takes the record over
    if (record.changeTag.isEmpty())
        defaults_.remove(kUploadTagKey);
    else
        defaults_.setValue(kUploadTagKey, record.changeTag);
}

void CloudSync::ckFetch(StationLists& lists) {
    fetching_ = true;
    QPointer<StationLists> target(&lists);
    database_.fetchRecord(kRecordName, [this, self = QPointer<CloudSync>(this),
                                        target](std::optional<CloudRecord> record, CloudError error) {
        if (!self)
            return; // quitting
        fetching_ = false;
        if (!record) {
            qCWarning(lcCloud, "%s [%s]", kFetchError, qUtf8Printable(remote::forLog(error.message)));
        } else if (alreadySeen(*record)) {
            qCInfo(lcCloud, "iCloud synchonised favorite stations - ignored for same date.");
        } else {
            // Before the fields are looked at: a record with unusable fields is not tried again.
            remember(*record);
            if (target) {
                takeOver(*target, *record, StationLists::kFavoritesCloudField);
                takeOver(*target, *record, StationLists::kRecentsCloudField);
            }
        }
        if (target)
            target->cloudFetchFinished();
        // Saves held back while the fetch was out go now, those of lists taken over excepted.
        if (!saving_ && !pending_.isEmpty())
            startSave();
        Q_EMIT fetchFinished();
    });
}

void CloudSync::takeOver(StationLists& lists, const CloudRecord& record, const QString& field) {
    const QByteArray bytes = record.fields.value(field);
    if (bytes.isEmpty())
        return;
    // The same rules as for the lists kept here; a list of any length costs only what is kept.
    const bool favorites = field == StationLists::kFavoritesCloudField;
    const qsizetype limit = favorites ? StationLists::kMaxFavorites : StationLists::kMaxRecents;
    const Expected<StationList> decoded = archive::decodeFirst(bytes, archive::kStationListClasses, limit * 2);
    if (!decoded) {
        qCWarning(lcCloud, "%s [%s]", "unarchive error :", qUtf8Printable(decoded.error().message));
        return;
    }
    const StationList stations = stationvalidation::validatedList(*decoded, limit);
    // A save of the list this one replaces, held back during the fetch, would undo the takeover.
    pending_.remove(field);
    const bool changedHere = lists.takeOverFromCloud(field, stations);
    qCInfo(lcCloud, favorites ? "iCloud synchonised favorite stations." : "iCloud synchonised recent stations.");
    if (changedHere)
        return; // saved with those changes, to the file and the record
    const auto current = favorites ? &StationLists::favoriteStations : &StationLists::recentStations;
    const QUrl url = favorites ? lists.favoriteStationsURL() : lists.recentStationsURL();
    // The StationLists outlives the write: its owner calls waitForWrites() before it goes.
    writes_.start([target = &lists, current, url] { writeCurrentList(target, current, url); });
}

// ---- Save after a change

void CloudSync::ckSave(const QString& field, const QByteArray& bytes) {
    if (!database_.hasAccount())
        return; // sync is off: like a user who is not signed in, quietly
    pending_.insert(field, bytes);
    if (!saving_ && !fetching_) // during the launch's fetch, held until it has been handled
        startSave();
}

void CloudSync::startSave() {
    saving_ = true;
    attemptSave(std::exchange(pending_, {}), kMaxSaveRetries);
}

void CloudSync::attemptSave(QMap<QString, QByteArray> fields, int retriesLeft) {
    const QPointer<CloudSync> self(this);
    database_.fetchRecord(kRecordName, [this, self, fields, retriesLeft](std::optional<CloudRecord> fetched,
                                                                         CloudError) {
        if (!self)
            return; // quitting
        // Whatever kept the record from coming, a new one is tried: a missing record is the
        // common case, and for any other the save fails for the same cause.
        CloudRecord record;
        if (fetched) {
            record = std::move(*fetched);
        } else {
            record.recordType = kRecordType;
            record.recordName = kRecordName;
        }
        for (auto it = fields.begin(); it != fields.end(); ++it)
            record.fields.insert(it.key(), it.value());
        database_.saveRecord(record, [this, self, fields, retriesLeft](std::optional<CloudRecord> saved,
                                                                       CloudError error) {
            if (!self)
                return;
            if (!saved && error.code == CloudError::Code::ServerRecordChanged && retriesLeft > 0) {
                // Another save came between this one's fetch and save. A short random pause
                // keeps two machines from meeting again at once.
                const int pause = 50 + int(QRandomGenerator::global()->bounded(200));
                QTimer::singleShot(pause, this,
                                   [this, fields, retriesLeft] { attemptSave(fields, retriesLeft - 1); });
                return;
            }
            if (!saved) {
                qCWarning(lcCloud, "%s [%s]", kSaveError, qUtf8Printable(remote::forLog(error.message)));
                finishSave(false);
                return;
            }
            qCInfo(lcCloud, "Record Saved ------------r%s creationDate=%s modificationDate=%s",
                   qUtf8Printable(saved->description()), qUtf8Printable(describeDate(saved->creationDate)),
                   qUtf8Printable(describeDate(saved->modificationDate)));
            remember(*saved);
            finishSave(true);
        });
    });
}

void CloudSync::finishSave(bool saved) {
    saving_ = false;
    Q_EMIT saveFinished(saved);
    if (!pending_.isEmpty())
        startSave();
}
