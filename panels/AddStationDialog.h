// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "directory/OwnStations.h"
#include "directory/Station.h"

#include <QDialog>

class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QPushButton;
class RadioBrowser;
class StationResolver;

// Adds a station of the user's own by its address, or edits one. The address is checked
// first (playlists followed, the stream probed), which fills in what the stream tells about
// itself; the user may change the name, tags, home page, country and icon before adding.
// Nothing is added until the check has passed; every refusal is said in the dialog.
class AddStationDialog : public QDialog {
    Q_OBJECT
public:
    // Adding: `resolver` checks addresses. Editing (`editing` given): the address stays, the
    // rest may change, and no resolver is needed.
    AddStationDialog(RadioBrowser& api, StationResolver* resolver, const Station& editing = Station(),
                     QWidget* parent = nullptr);

    QLineEdit* addressField;
    QLineEdit* nameField;
    QLineEdit* tagsField;
    QLineEdit* homepageField;
    QLineEdit* countryField;
    QLineEdit* iconField;
    QLabel* formatLabel;
    QLabel* message; // what went wrong, or what the check found
    QPushButton* checkButton;
    QPushButton* acceptButton; // "Add" or "Save"

    // The checked address, probed or not; for tests.
    bool isChecked() const { return checked_.has_value(); }

    void checkAction();
    void acceptAction();

Q_SIGNALS:
    // A station was added to the favourites or saved.
    void stationSaved(const Station& station);

private:
    void addressEdited();
    void showFields(const OwnStations::Fields& fields);
    OwnStations::Fields fieldsShown() const;
    void setMessage(const QString& text, bool problem);

    RadioBrowser& api_;
    StationResolver* resolver_;
    Station editing_;
    std::optional<OwnStations::Fields> checked_;
};
