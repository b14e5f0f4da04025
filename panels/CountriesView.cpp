// SPDX-License-Identifier: GPL-3.0-or-later
#include "panels/CountriesView.h"

#include "directory/RadioBrowser.h"
#include "panels/CountriesViewDelegate.h"
#include "util/UserLocale.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QPointer>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

Q_LOGGING_CATEGORY(lcCountries, "ostrel.panels.countries")

CountriesView* CountriesView::countriesViewWithDelegate(RadioBrowser& api, CountriesViewDelegate* delegate,
                                                        QWidget* parent) {
    auto* view = new CountriesView(api, parent);
    view->setDelegate(delegate);
    return view;
}

CountriesView::CountriesView(RadioBrowser& api, QWidget* parent) : QWidget(parent), api_(api) {
    setAccessibleName(tr("Countries"));

    searchField_ = new QLineEdit(this);
    searchField_->setPlaceholderText(tr("Search Countries"));
    searchField_->setClearButtonEnabled(true);
    searchField_->setAccessibleName(tr("Search countries by name or code"));
    searchField_->installEventFilter(this);
    connect(searchField_, &QLineEdit::textChanged, this, &CountriesView::controlTextDidChange);

    arrayController_ = new CountryListModel(this);
    table_ = new QTreeView(this);
    table_->setModel(arrayController_);
    table_->setAccessibleName(tr("Country list"));
    table_->setRootIsDecorated(false);
    table_->setUniformRowHeights(true);
    table_->setAlternatingRowColors(true);
    table_->setAllColumnsShowFocus(true);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSortingEnabled(false);
    table_->header()->setStretchLastSection(false);
    table_->header()->setSectionResizeMode(CountryListModel::NameColumn, QHeaderView::Stretch);
    table_->header()->setSectionResizeMode(CountryListModel::CodeColumn, QHeaderView::ResizeToContents);
    table_->header()->setSectionResizeMode(CountryListModel::CountColumn, QHeaderView::ResizeToContents);
    table_->installEventFilter(this);
    connect(table_->selectionModel(), &QItemSelectionModel::selectionChanged, this, &CountriesView::tableAction);
    connect(table_, &QTreeView::doubleClicked, this, &CountriesView::tableDoubleAction);

    selectLocalButton_ = new QPushButton(tr("My Region"), this);
    selectLocalButton_->setAccessibleDescription(tr("Choose the country of my region"));
    selectLocalButton_->setToolTip(tr("Choose the country of your region"));
    selectLocalButton_->setAutoDefault(false);
    connect(selectLocalButton_, &QPushButton::clicked, this, &CountriesView::selectLocalAction);

    everywhereButton_ = new QPushButton(tr("Everywhere"), this);
    everywhereButton_->setAccessibleDescription(tr("Search the stations of every country"));
    everywhereButton_->setToolTip(tr("Search the whole directory, by name, tags, language and more"));
    everywhereButton_->setAutoDefault(false);
    connect(everywhereButton_, &QPushButton::clicked, this, [this] { choose(CountriesViewDelegate::kEverywhere); });

    selectButton_ = new QPushButton(tr("Select"), this);
    selectButton_->setAccessibleDescription(tr("Choose the selected country"));
    selectButton_->setAutoDefault(false);
    selectButton_->setEnabled(false);
    connect(selectButton_, &QPushButton::clicked, this, &CountriesView::selectAction);

    // Two rows: the picker is narrow, and three buttons in one row cut their texts short.
    auto* choices = new QHBoxLayout;
    choices->setSpacing(6);
    choices->addWidget(selectLocalButton_, 1);
    choices->addWidget(everywhereButton_, 1);
    auto* buttons = new QVBoxLayout;
    buttons->setSpacing(6);
    buttons->addLayout(choices);
    buttons->addWidget(selectButton_, 0, Qt::AlignRight);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(6);
    layout->addWidget(searchField_);
    layout->addWidget(table_, 1);
    layout->addLayout(buttons);

    setTabOrder(searchField_, table_);
    setTabOrder(table_, selectLocalButton_);
    setTabOrder(selectLocalButton_, selectButton_);
}

CountriesView::~CountriesView() = default;

QSize CountriesView::sizeHint() const {
    return QSize(360, 420);
}

void CountriesView::configure(const QString& countryCode) {
    searchText_ = QStringLiteral("");
    {
        // The search was reset just above; the field's own signal must not run it again.
        const QSignalBlocker blocker(searchField_);
        searchField_->clear();
    }
    currentCC_ = countryCode;
    table_->setFocus(Qt::OtherFocusReason);
    table_->clearSelection();
    selectButton_->setEnabled(false);
    if (!countryDicts_.isEmpty()) {
        configureSnapshot();
        selectCurrentCC();
        return;
    }
    if (loading_)
        return;
    loading_ = true;
    QPointer<CountriesView> self(this);
    api_.requestCountries([self](Expected<QJsonArray> countries) {
        if (self)
            self->countriesArrived(countries);
    });
}

void CountriesView::countriesArrived(const Expected<QJsonArray>& countries) {
    loading_ = false;
    if (!countries.ok()) {
        // Left empty: the next configure asks again.
        qCWarning(lcCountries).noquote() << QStringLiteral("Countries [%1]").arg(countries.error().message);
        Q_EMIT countriesReceived();
        return;
    }
    countryDicts_ = CountryListModel::entriesFromDirectory(*countries);
    configureSnapshot();
    selectCurrentCC();
    Q_EMIT countriesReceived();
}

QStringList CountriesView::displayedCountryCodes() const {
    QStringList codes;
    for (const CountryEntry& entry : arrayController_->entries())
        codes.append(entry.cc);
    return codes;
}

QString CountriesView::selectedCountryCode() const {
    const QModelIndexList rows = table_->selectionModel()->selectedRows();
    if (rows.isEmpty())
        return QString();
    return arrayController_->entries().value(rows.first().row()).cc;
}

void CountriesView::configureSnapshot() {
    if (countryDicts_.isEmpty()) {
        arrayController_->setEntries({});
        tableAction();
        return;
    }
    if (searchText_.isEmpty()) {
        arrayController_->setEntries(countryDicts_);
    } else {
        QList<CountryEntry> kept;
        for (const CountryEntry& entry : std::as_const(countryDicts_))
            if (entry.cc.contains(searchText_, Qt::CaseInsensitive) || entry.name.contains(searchText_, Qt::CaseInsensitive))
                kept.append(entry);
        arrayController_->setEntries(kept);
    }
    tableAction();
}

void CountriesView::selectCurrentCC() {
    if (!currentCC_.isEmpty()) {
        if (const int row = arrayController_->rowOfCode(currentCC_); row >= 0) {
            const QModelIndex index = arrayController_->index(row, 0);
            table_->selectionModel()->select(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            table_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
            table_->scrollTo(index, QAbstractItemView::PositionAtCenter);
        }
    }
    tableAction();
}

void CountriesView::tableAction() {
    const QString code = selectedCountryCode();
    if (code.isNull()) {
        selectButton_->setText(tr("Select"));
        selectButton_->setEnabled(false);
        return;
    }
    selectButton_->setEnabled(true);
    // Choosing the country in use reloads its stations.
    selectButton_->setText(!currentCC_.isEmpty() && currentCC_ == code ? tr("Refresh") : tr("Select"));
}

void CountriesView::tableDoubleAction() {
    if (const QString code = selectedCountryCode(); !code.isNull())
        choose(code);
}

void CountriesView::selectAction() {
    if (const QString code = selectedCountryCode(); !code.isNull())
        choose(code);
}

void CountriesView::selectLocalAction() {
    choose(userlocale::regionCode());
}

void CountriesView::choose(const QString& code) {
    if (delegate_)
        delegate_->selectionCountryCodeChanged(code);
}

void CountriesView::controlTextDidChange(const QString& text) {
    if (text == searchText_)
        return;
    searchText_ = text;
    configureSnapshot();
}

bool CountriesView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    if (watched == table_ && enter) {
        selectAction();
        return true;
    }
    if (watched == searchField_) {
        if (enter) {
            selectAction();
            return true;
        }
        // From the search straight into the list, at its first row when nothing is selected.
        if (key == Qt::Key_Down && arrayController_->rowCount() > 0) {
            table_->setFocus(Qt::TabFocusReason);
            if (selectedCountryCode().isNull()) {
                const QModelIndex first = arrayController_->index(0, 0);
                table_->selectionModel()->select(first, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
                table_->selectionModel()->setCurrentIndex(first, QItemSelectionModel::NoUpdate);
            }
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
