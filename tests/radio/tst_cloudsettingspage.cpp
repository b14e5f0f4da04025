// SPDX-License-Identifier: GPL-3.0-or-later
#include "directory/cloud/CloudSetup.h"
#include "directory/cloud/CredentialStore.h"
#include "radio/CloudSettingsPage.h"
#include "support/WebDavServer.h"
#include "util/HttpTransport.h"
#include "util/UserDefaults.h"

#include <QtTest>
#include <QtWidgets>

// The "Cloud sync" tab as the user works it, against a real WebDAV server.
class TestCloudSettingsPage : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void turnOnAndOff() {
        QTemporaryDir dir;
        UserDefaults defaults(dir.filePath(QStringLiteral("settings.ini")));
        MemoryCredentialStore credentials;
        HttpTransport transport;
        CloudSetup setup(transport, defaults, credentials);
        CloudSettingsPage page(setup, defaults);
        int changes = 0;
        page.setAccountChanged([&changes] { ++changes; });
        QVERIFY(page.status->text() == QStringLiteral("Sync is off.") && !page.offButton->isEnabled());
        // Every field has its label beside it, which also names it to a screen reader.
        const QList<QLabel*> labels = page.findChildren<QLabel*>();
        for (QWidget* field : {page.serverField, page.userField, page.passwordField})
            QVERIFY(std::ranges::any_of(labels, [field](QLabel* label) { return label->buddy() == field; }));

        // An address typed without a scheme is an https address, not one refused for its scheme
        // (this server speaks plain http, so the test itself fails on the encryption).
        page.serverField->setText(QStringLiteral("localhost:%1/dav/").arg(server_.url().port()));
        page.userField->setText(WebDavServer::kUser);
        page.passwordField->setText(WebDavServer::kPassword);
        page.testButton->click();
        QTRY_VERIFY_WITH_TIMEOUT(page.testButton->isEnabled(), 20000);
        QVERIFY2(page.status->text().startsWith(QStringLiteral("⚠️")), qPrintable(page.status->text()));
        QVERIFY2(!page.status->text().contains(QStringLiteral("must start with https://")),
                 qPrintable(page.status->text()));

        page.serverField->setText(server_.url(QStringLiteral("/dav/")).toString());
        page.saveButton->click();
        QTRY_VERIFY_WITH_TIMEOUT(page.status->text().startsWith(QStringLiteral("Sync is on.")), 20000);
        QCOMPARE(changes, 1);
        QVERIFY(CloudAccount::load(defaults).isActive() && page.passwordField->text().isEmpty());
        QCOMPARE(credentials.passwords().size(), 1);
        QVERIFY(page.saveButton->text() == QStringLiteral("Save") && page.offButton->isEnabled());

        page.offButton->click();
        QTRY_COMPARE_WITH_TIMEOUT(page.status->text(), QStringLiteral("Sync is off."), 20000);
        QCOMPARE(changes, 2);
        QVERIFY(!CloudAccount::load(defaults).isActive() && credentials.passwords().isEmpty());
        QVERIFY(page.saveButton->text() == QStringLiteral("Turn on") && !page.offButton->isEnabled());
    }

private:
    WebDavServer server_;
};

QTEST_MAIN(TestCloudSettingsPage)
#include "tst_cloudsettingspage.moc"
