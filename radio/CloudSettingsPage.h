#pragma once

#include <QWidget>
#include <functional>

class CloudSetup;
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

    QLineEdit* serverField;
    QLineEdit* userField;
    QLineEdit* passwordField;
    QPushButton* testButton;
    QPushButton* saveButton;
    QPushButton* offButton;
    QLabel* status;

private:
    void showAccount();
    void setBusy(bool busy);
    void report(const QString& text);

    CloudSetup& setup_;
    UserDefaults& defaults_;
    std::function<void()> accountChanged_;
};
