#pragma once

#include <functional>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class SleepTimer;
class UserDefaults;

// The "General" tab: start at login, notifications of new titles and the sleep timer.
class GeneralSettingsPage : public QWidget {
    Q_OBJECT
public:
    struct Hooks {
        std::function<bool()> startsAtLogin;
        std::function<bool(bool on, QString* error)> setStartAtLogin;
        std::function<void(bool on)> setNotify;
    };

    GeneralSettingsPage(SleepTimer& timer, UserDefaults& defaults, Hooks hooks, QWidget* parent = nullptr);

    QCheckBox* startAtLogin;
    QCheckBox* notifyOnNewTitle;
    QComboBox* sleepChoice;
    QLabel* sleepLeft;
    QLabel* status;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void showTimer();

    SleepTimer& timer_;
    UserDefaults& defaults_;
    Hooks hooks_;
};
