#pragma once

#include <QString>

// Receives the country the user chose in the country picker. The picker never changes the
// country itself: the delegate does, and hides the picker.
class CountriesViewDelegate {
public:
    virtual ~CountriesViewDelegate() = default;
    // A country code, or a null string when the user's region has none.
    virtual void selectionCountryCodeChanged(const QString& countryCode) = 0;
};
