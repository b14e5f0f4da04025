// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "panels/CountryListModel.h"
#include "util/Error.h"

#include <QJsonArray>
#include <QWidget>
#include <optional>

class CountriesViewDelegate;
class QLineEdit;
class QPushButton;
class QTreeView;
class RadioBrowser;

// The country picker: the directory's countries that have stations, by name in the user's
// language, searchable by code or name, with a button that chooses the selected row and one
// that chooses the user's own region. The list is fetched once and kept; a failed fetch is
// retried the next time the panel is configured. The choice goes to the delegate.
class CountriesView : public QWidget {
    Q_OBJECT
public:
    // A panel reporting to `delegate`, fetching through `api` (which must outlive it).
    static CountriesView* countriesViewWithDelegate(RadioBrowser& api, CountriesViewDelegate* delegate,
                                                    QWidget* parent = nullptr);

    explicit CountriesView(RadioBrowser& api, QWidget* parent = nullptr);
    ~CountriesView() override;

    // Not owned: it must outlive the panel or be replaced by nullptr first.
    CountriesViewDelegate* delegate() const { return delegate_; }
    void setDelegate(CountriesViewDelegate* delegate) { delegate_ = delegate; }

    // Prepares the panel each time it is shown: empty search, focus in the list, the country in
    // use selected once the list is there. Fetches the list when it has none yet.
    void configure(const QString& countryCode);

    const QString& searchText() const { return searchText_; }
    const QString& currentCC() const { return currentCC_; }
    // Every country of the fetched list, ordered; empty until it has arrived.
    const QList<CountryEntry>& countryDicts() const { return countryDicts_; }
    // The codes of the rows the search leaves shown, in order.
    QStringList displayedCountryCodes() const;
    // The code of the selected row, or a null string.
    QString selectedCountryCode() const;
    bool isLoading() const { return loading_; }

    QLineEdit* searchField() const { return searchField_; }
    QTreeView* table() const { return table_; }
    QPushButton* selectButton() const { return selectButton_; }
    QPushButton* selectLocalButton() const { return selectLocalButton_; }
    QPushButton* everywhereButton() const { return everywhereButton_; }

    QSize sizeHint() const override;

Q_SIGNALS:
    // The country list has arrived (or failed to: the list is then still empty).
    void countriesReceived();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void countriesArrived(const Expected<QJsonArray>& countries);
    void selectCurrentCC();
    void configureSnapshot();
    void tableAction();
    void tableDoubleAction();
    void selectAction();
    void selectLocalAction();
    void controlTextDidChange(const QString& text);
    void choose(const QString& code);

    RadioBrowser& api_;
    QLineEdit* searchField_ = nullptr;
    QString searchText_;
    CountriesViewDelegate* delegate_ = nullptr;
    QTreeView* table_ = nullptr;
    CountryListModel* arrayController_ = nullptr;
    QPushButton* selectLocalButton_ = nullptr;
    QPushButton* everywhereButton_ = nullptr;
    QPushButton* selectButton_ = nullptr;
    QList<CountryEntry> countryDicts_;
    QString currentCC_;
    bool loading_ = false;
};
