// SPDX-License-Identifier: GPL-3.0-or-later
#include "directory/ListFileStore.h"

#include "directory/StationArchive.h"
#include "util/FileURLs.h"

#include <QLoggingCategory>
#include <QSaveFile>

Q_DECLARE_LOGGING_CATEGORY(lcDirectory)

ListFileStore::ListFileStore() {
    pool_.setMaxThreadCount(2);
}

ListFileStore::~ListFileStore() {
    pool_.waitForDone();
}

QByteArray ListFileStore::write(const StationList& stations, const QUrl& fileUrl) {
    QMutexLocker lock(&locks_.lockFor(fileUrl.toLocalFile()));
    return writeLocked(stations, fileUrl);
}

QByteArray ListFileStore::writeLocked(const StationList& stations, const QUrl& fileUrl) {
    // The archive holds texts and numbers only, so encoding is the reduction that
    // _prepareStationForWriting makes: no copy of every station first.
    const QByteArray bytes = archive::archivedDataWithRootObject(stations);

    // QSaveFile writes beside the file and renames over it: a crash leaves the old list or the
    // new one, never a torn file.
    QSaveFile file(fileUrl.toLocalFile());
    const bool written = fileUrl.isLocalFile() && file.open(QIODevice::WriteOnly) &&
                         file.write(bytes) == bytes.size() && file.commit();
    if (!written) {
        const QString why = fileUrl.isLocalFile() ? file.errorString() : QStringLiteral("not a file URL");
        qCWarning(lcDirectory, "%s [%s]", "writeToURL", qUtf8Printable(why));
    }
    return bytes;
}

std::optional<StationList> ListFileStore::read(const QUrl& fileUrl) const {
    return archive::unarchivedObjectOfClasses(archive::kStationListClasses, fileUrl);
}

void ListFileStore::runLocked(const QUrl& fileUrl, std::function<void()> task) {
    pool_.start([this, path = fileUrl.toLocalFile(), task = std::move(task)] {
        QMutexLocker lock(&locks_.lockFor(path));
        task();
    });
}

void ListFileStore::writeLater(const StationList& stations, const QUrl& fileUrl) {
    const QString path = fileUrl.toLocalFile();
    {
        QMutexLocker lock(&latestMutex_);
        latest_.insert(path, stations);
    }
    runLocked(fileUrl, [this, fileUrl, path] {
        StationList latest;
        {
            QMutexLocker lock(&latestMutex_);
            latest = latest_.value(path);
        }
        writeLocked(latest, fileUrl);
    });
}

void ListFileStore::readLater(const QUrl& fileUrl, QObject* context,
                              std::function<void(std::optional<StationList>)> done) {
    pool_.start([this, fileUrl, context, done = std::move(done)] {
        // A missing file is nothing stored yet, not an error worth a log line.
        std::optional<StationList> stations = fileurls::exists(fileUrl) ? read(fileUrl) : std::nullopt;
        QMetaObject::invokeMethod(context, [done, stations = std::move(stations)] { done(stations); },
                                  Qt::QueuedConnection);
    });
}

void ListFileStore::waitForWrites() {
    pool_.waitForDone();
}
