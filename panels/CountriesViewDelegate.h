// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Receives the country the user chose in the country picker. The picker never changes the
// country itself: the delegate does, and hides the picker.
class CountriesViewDelegate {
public:
    // Chosen instead of a country: search the whole directory.
    static inline const QString kEverywhere = QStringLiteral("*");

    virtual ~CountriesViewDelegate() = default;
    // A country code, kEverywhere, or a null string when the user's region has none.
    virtual void selectionCountryCodeChanged(const QString& countryCode) = 0;
};
