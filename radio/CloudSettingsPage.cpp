// SPDX-License-Identifier: GPL-3.0-or-later
#include "radio/CloudSettingsPage.h"

#include "directory/cloud/CloudAccount.h"
#include "directory/cloud/CloudSetup.h"
#include "directory/cloud/NextcloudLoginFlow.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
CloudAccount accountFrom(const QLineEdit* server, const QLineEdit* user) {
    CloudAccount account;
    QString address = server->text().trimmed();
    if (!address.isEmpty() && !address.contains(QLatin1String("://")))
        address.prepend(QStringLiteral("https://"));
    account.serverURL = CloudAccount::withoutUserInfo(QUrl(address));
    account.user = user->text().trimmed();
    account.kind = CloudAccount::ServerKind::Auto; // a Nextcloud base address is found out
    return account;
}
} // namespace

CloudSettingsPage::CloudSettingsPage(CloudSetup& setup, UserDefaults& defaults, QWidget* parent)
    : QWidget(parent), setup_(setup), defaults_(defaults),
      loginFlow_(new NextcloudLoginFlow(setup.transport(), NextcloudLoginFlow::Options{}, this)) {
    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(4, 12, 4, 4);
    auto* intro = new QLabel(tr("Keep favourites and recent stations the same on all your machines, "
                                "through your own Nextcloud, ownCloud or WebDAV storage."),
                             this);
    intro->setWordWrap(true);
    root->addWidget(intro);

    auto* form = new QFormLayout;
    serverField = new QLineEdit(this);
    serverField->setPlaceholderText(QStringLiteral("https://cloud.example.org"));
    serverField->setAccessibleName(tr("Server address"));
    userField = new QLineEdit(this);
    userField->setAccessibleName(tr("User name"));
    passwordField = new QLineEdit(this);
    passwordField->setEchoMode(QLineEdit::Password);
    passwordField->setPlaceholderText(tr("App password"));
    passwordField->setAccessibleName(tr("App password"));
    form->addRow(tr("Server"), serverField);
    form->addRow(tr("User"), userField);
    form->addRow(tr("Password"), passwordField);
    root->addLayout(form);

    auto* buttons = new QHBoxLayout;
    nextcloudButton = new QPushButton(tr("Log in with Nextcloud…"), this);
    nextcloudButton->setToolTip(
        tr("Log in through your browser: Nextcloud gives Ostrel Radio an app password"));
    testButton = new QPushButton(tr("Test connection"), this);
    saveButton = new QPushButton(tr("Turn on"), this);
    offButton = new QPushButton(tr("Turn off"), this);
    buttons->addWidget(nextcloudButton);
    buttons->addWidget(testButton);
    buttons->addStretch(1);
    buttons->addWidget(offButton);
    buttons->addWidget(saveButton);
    root->addLayout(buttons);
    status = new QLabel(this);
    status->setTextFormat(Qt::PlainText); // may quote what a server said
    status->setWordWrap(true);
    status->setAccessibleDescription(tr("Cloud sync status"));
    root->addWidget(status);
    root->addStretch(1);

    connect(testButton, &QPushButton::clicked, this, [this] {
        setBusy(true);
        report(tr("Testing…"));
        setup_.testConnection(accountFrom(serverField, userField), passwordField->text(), [this](CloudSetup::Outcome outcome) {
            setBusy(false);
            if (!outcome.ok())
                report(QStringLiteral("⚠️ %1").arg(outcome.error.message));
            else if (!outcome.warning.isEmpty())
                report(QStringLiteral("⚠️ %1").arg(outcome.warning));
            else
                report(tr("The server works for sync."));
        });
    });
    connect(saveButton, &QPushButton::clicked, this, [this] { configure(accountFrom(serverField, userField), passwordField->text()); });
    connect(nextcloudButton, &QPushButton::clicked, this, [this] {
        setBusy(true);
        report(tr("Opening the Nextcloud login in your browser…"));
        loginFlow_->start(accountFrom(serverField, userField).serverURL);
    });
    connect(loginFlow_, &NextcloudLoginFlow::loginPageReady, this, [this](const QUrl& page) {
        report(tr("Log in and grant access in your browser; Ostrel Radio waits for it."));
        if (openURL_)
            openURL_(page);
    });
    connect(loginFlow_, &NextcloudLoginFlow::failed, this, [this](const QString& error) {
        setBusy(false);
        report(QStringLiteral("⚠️ %1").arg(error));
    });
    connect(loginFlow_, &NextcloudLoginFlow::finished, this,
            [this](const QUrl& server, const QString& login, const QString& appPassword) {
                CloudAccount account;
                account.serverURL = server;
                account.user = login;
                account.kind = CloudAccount::ServerKind::Nextcloud;
                configure(account, appPassword);
            });
    connect(offButton, &QPushButton::clicked, this, [this] {
        setBusy(true);
        setup_.disable([this](QString error) {
            setBusy(false);
            report(error.isNull() ? tr("Sync is off.") : QStringLiteral("⚠️ %1").arg(error));
            showAccount();
            if (accountChanged_)
                accountChanged_();
        });
    });
    showAccount();
}

void CloudSettingsPage::configure(const CloudAccount& account, const QString& password) {
    setBusy(true);
    report(tr("Checking the account…"));
    setup_.configure(account, password, [this](CloudSetup::Outcome outcome) {
        setBusy(false);
        passwordField->clear();
        if (!outcome.ok()) {
            report(QStringLiteral("⚠️ %1").arg(outcome.error.message));
            return;
        }
        QString text = tr("Sync is on. Your lists are shared from the next change, and taken "
                          "over from the cloud at the next start.");
        if (outcome.passwordNotStored)
            text += tr(" The keyring did not keep the password: you will be asked for it.");
        if (!outcome.warning.isEmpty())
            text += QStringLiteral(" ⚠️ ") + outcome.warning;
        report(text);
        showAccount();
        if (accountChanged_)
            accountChanged_();
    });
}

void CloudSettingsPage::showAccount() {
    const CloudAccount account = CloudAccount::load(defaults_);
    serverField->setText(account.serverURL.toString());
    userField->setText(account.user);
    offButton->setEnabled(account.isActive());
    saveButton->setText(account.isActive() ? tr("Save") : tr("Turn on"));
    if (status->text().isEmpty())
        status->setText(account.isActive() ? tr("Sync is on.") : tr("Sync is off."));
}

void CloudSettingsPage::setBusy(bool busy) {
    for (QWidget* w : {static_cast<QWidget*>(nextcloudButton), static_cast<QWidget*>(testButton),
                       static_cast<QWidget*>(saveButton), static_cast<QWidget*>(offButton)})
        w->setEnabled(!busy);
    if (!busy)
        offButton->setEnabled(CloudAccount::load(defaults_).isActive());
}

void CloudSettingsPage::report(const QString& text) {
    status->setText(text);
}
