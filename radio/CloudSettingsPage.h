// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QUrl>
#include <QWidget>
#include <functional>

class CloudSetup;
class NextcloudLoginFlow;
struct CloudAccount;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class UserDefaults;

// The "Cloud sync" tab: the WebDAV or Nextcloud account that carries favourites and recent
// stations to the user's other machines. The password goes to the keyring through CloudSetup.
class CloudSettingsPage : public QWidget {
    Q_OBJECT
public:
    CloudSettingsPage(CloudSetup& setup, UserDefaults& defaults, QWidget* parent = nullptr);

    // Called after the stored account changed (set up or switched off).
    void setAccountChanged(std::function<void()> callback) { accountChanged_ = std::move(callback); }
    // How the Nextcloud login page is opened in the user's browser.
    void setOpenURL(std::function<void(const QUrl&)> open) { openURL_ = std::move(open); }

    QLineEdit* serverField;
    QLineEdit* userField;
    QLineEdit* passwordField;
    QPushButton* nextcloudButton; // log in through the browser, no password typed here
    QPushButton* testButton;
    QPushButton* saveButton;
    QPushButton* offButton;
    QLabel* status;

private:
    void showAccount();
    void setBusy(bool busy);
    void report(const QString& text);
    void configure(const CloudAccount& account, const QString& password);

    CloudSetup& setup_;
    UserDefaults& defaults_;
    std::function<void()> accountChanged_;
    std::function<void(const QUrl&)> openURL_;
    NextcloudLoginFlow* loginFlow_;
};
