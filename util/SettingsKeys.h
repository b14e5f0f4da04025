// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Every key of the settings file, spelled once. The names are those the settings have always
// had: changing one loses what users stored under it.
namespace settingskeys {

// Player volume, 0 to 1 (registered 1.0).
inline const QString kRadioVolume = QStringLiteral("radioVolume");
// Which strip the panel shows: 0 none, 1 favourites, 2 recent stations (registered 1).
inline const QString kStripVis = QStringLiteral("stripVis");
// The chosen directory server: a host name or an http(s) base address.
inline const QString kRadioServer = QStringLiteral("radioServer");
// The country whose stations the table shows ("*": the whole directory).
inline const QString kRadioStationsCountryCode = QStringLiteral("radioStationsCountryCode");
// The table's sort order, 0 to 3.
inline const QString kRadioStationsSortBy = QStringLiteral("radioStationsSortBy");
// Our votes: station uuid to seconds since the epoch.
inline const QString kStationVotes = QStringLiteral("stationVotes");
// When the favourites and recents were last refreshed from the directory.
inline const QString kLastListRefresh = QStringLiteral("lastListRefresh");
// The cloud record's modification date as this machine last saw it.
inline const QString kUploadDate = QStringLiteral("uploadDate");
// The cloud record's change tag as this machine last saw it.
inline const QString kUploadTag = QStringLiteral("uploadTag");
// The cloud account: server address (without user or password), user name, server kind, on/off.
inline const QString kCloudServerURL = QStringLiteral("cloudServerURL");
inline const QString kCloudUser = QStringLiteral("cloudUser");
inline const QString kCloudServerKind = QStringLiteral("cloudServerKind");
inline const QString kCloudEnabled = QStringLiteral("cloudEnabled");
// A desktop notification for each new stream title.
inline const QString kNotifyOnNewTitle = QStringLiteral("notifyOnNewTitle");
// The chosen sound output, by the device's uid, and its name for when it is gone.
inline const QString kAudioOutputDevice = QStringLiteral("audioOutputDevice");
inline const QString kAudioOutputDeviceName = QStringLiteral("audioOutputDeviceName");
// The wake-up alarm: on/off, the time of day ("07:00"), the weekdays (bit 0 Monday to bit 6
// Sunday) and the favourite it plays, by "stationuuid".
inline const QString kAlarmEnabled = QStringLiteral("alarmEnabled");
inline const QString kAlarmTime = QStringLiteral("alarmTime");
inline const QString kAlarmWeekdays = QStringLiteral("alarmWeekdays");
inline const QString kAlarmStation = QStringLiteral("alarmStation");
// Recordings start a new file at each new stream title (registered true).
inline const QString kSplitRecordingsAtTitles = QStringLiteral("splitRecordingsAtTitles");
// Where the window stood and how large it was, where no tray holds the panel
// (QWidget::saveGeometry).
inline const QString kWindowGeometry = QStringLiteral("windowGeometry");

} // namespace settingskeys
