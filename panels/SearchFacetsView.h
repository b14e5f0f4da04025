// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "directory/StationSearch.h"
#include "panels/CountryListModel.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLineEdit;

// The facets of a search of the whole directory beside the name typed in the search field:
// tags, language, country, codec, minimum bit rate, encrypted streams only.
class SearchFacetsView : public QWidget {
    Q_OBJECT
public:
    explicit SearchFacetsView(QWidget* parent = nullptr);

    // Country choices, in the given order, after "Any country".
    void setCountries(const QList<CountryEntry>& countries);
    // The facets set here, with `name` as the name facet.
    StationSearch search(const QString& name) const;
    void clear();

Q_SIGNALS:
    void facetsChanged();

private:
    QLineEdit* tags_;
    QLineEdit* language_;
    QComboBox* country_;
    QComboBox* codec_;
    QComboBox* bitrate_;
    QCheckBox* httpsOnly_;
};
