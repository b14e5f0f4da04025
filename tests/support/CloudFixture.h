// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "directory/cloud/CloudAccount.h"
#include "directory/cloud/CloudSync.h"
#include "directory/cloud/CredentialStore.h"
#include "directory/cloud/WebDavDatabase.h"
#include "directory/StationArchive.h"
#include "support/DirectoryFixture.h"
#include "support/WebDavServer.h"

#include <QSignalSpy>

// The WebDAV store, able to hold a save back until released: to meet another machine's save.
class HoldingDatabase : public WebDavDatabase {
public:
    using WebDavDatabase::WebDavDatabase;

    void holdNextSave() { hold_ = true; }
    bool isHolding() const { return bool(held_); }
    void release() {
        if (auto held = std::exchange(held_, {}))
            held();
    }
    void saveRecord(const CloudRecord& record, SaveCompletion completion) override {
        if (std::exchange(hold_, false))
            held_ = [this, record, completion] { WebDavDatabase::saveRecord(record, completion); };
        else
            WebDavDatabase::saveRecord(record, std::move(completion));
    }

private:
    bool hold_ = false;
    std::function<void()> held_;
};

// One machine of the user: its own folders and keyring, a RadioBrowser whose lists a CloudSync
// mirrors over the server's WebDAV folder /dav/. launch() again to start the program anew.
struct CloudMachine : DirectoryFixture {
    MemoryCredentialStore credentials;
    CloudAccount account;
    std::unique_ptr<HoldingDatabase> database;
    std::unique_ptr<CloudSync> sync;
    std::unique_ptr<QSignalSpy> fetched;

    explicit CloudMachine(const WebDavServer& server, const QString& password = WebDavServer::kPassword,
                          bool enabled = true)
        : DirectoryFixture(Unlaunched()) {
        account.serverURL = server.url(QStringLiteral("/dav/"));
        account.user = WebDavServer::kUser;
        account.kind = CloudAccount::ServerKind::WebDav;
        account.enabled = enabled;
        credentials.writePassword(account.credentialKey(), password, [](QString) {});
    }
    ~CloudMachine() override { shutDown(); }

    // Starts the program, its directory at `directory`; the launch's fetch is still out.
    RadioBrowser& start(const QString& directory = QString()) { return DirectoryFixture::launch(directory); }

    // Starts the program and waits until the launch's fetch and its file writes are done.
    RadioBrowser& launch() {
        start();
        if (!fetched->wait(15000))
            qWarning("the launch's cloud fetch did not finish");
        sync->waitForWrites();
        return *api;
    }

    // Waits until every list change has been written and saved to the cloud.
    bool settle() {
        if (!api)
            return true;
        api->waitForSaves();
        QCoreApplication::processEvents(); // the saves' hand-over to the main thread
        const bool idle = QTest::qWaitFor([this] { return sync->isIdle(); }, 20000);
        sync->waitForWrites();
        return idle;
    }

    void shutDown() override {
        settle();
        DirectoryFixture::shutDown();
        fetched.reset();
        sync.reset();
        database.reset();
    }

    // Puts a list file in place as an earlier run would have left it.
    void writeListFile(const QString& name, const QStringList& uuids) const {
        QDir().mkpath(supportFile(QString()));
        writeFileOrFail(supportFile(name), archive::archivedDataWithRootObject(namedStations(uuids)));
    }
    QStringList readListFile(const QString& name) const {
        return uuids(archive::unarchivedObjectOfClasses(archive::kStationListClasses,
                                                        QUrl::fromLocalFile(supportFile(name)))
                         .value_or(StationList()));
    }

protected:
    CloudMirror* startCloud() override {
        account.store(*defaults);
        WebDavDatabase::Options options;
        options.timeoutMs = 20000;
        database = std::make_unique<HoldingDatabase>(transport, credentials, options);
        database->setAccount(CloudAccount::load(*defaults));
        sync = std::make_unique<CloudSync>(*database, *defaults);
        fetched = std::make_unique<QSignalSpy>(sync.get(), &CloudSync::fetchFinished);
        return sync.get();
    }
};
