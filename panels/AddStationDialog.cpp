// SPDX-License-Identifier: GPL-3.0-or-later
#include "panels/AddStationDialog.h"

#include "directory/RadioBrowser.h"
#include "directory/StationResolver.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

AddStationDialog::AddStationDialog(RadioBrowser& api, StationResolver* resolver, const Station& editing, QWidget* parent)
    : QDialog(parent), api_(api), resolver_(resolver), editing_(editing) {
    const bool adding = editing.isNull();
    setWindowTitle(adding ? tr("Add a Station") : tr("Edit Station"));
    setObjectName(QStringLiteral("addStationDialog"));
    auto* root = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    addressField = new QLineEdit(this);
    addressField->setPlaceholderText(tr("https://… of a stream or a playlist"));
    nameField = new QLineEdit(this);
    tagsField = new QLineEdit(this);
    tagsField->setPlaceholderText(tr("jazz, news, …"));
    homepageField = new QLineEdit(this);
    countryField = new QLineEdit(this);
    countryField->setMaxLength(2);
    countryField->setPlaceholderText(tr("two letters, such as DE"));
    iconField = new QLineEdit(this);
    iconField->setPlaceholderText(tr("https://… of a picture"));
    formatLabel = new QLabel(this);
    message = new QLabel(this);
    for (QLabel* label : {formatLabel, message}) {
        label->setTextFormat(Qt::PlainText); // what streams say about themselves is no markup
        label->setWordWrap(true);
    }
    formatLabel->setForegroundRole(QPalette::PlaceholderText);
    const std::pair<QString, QLineEdit*> rows[] = {
        {tr("&Address"), addressField}, {tr("&Name"), nameField},      {tr("&Tags"), tagsField},
        {tr("&Home page"), homepageField}, {tr("&Country"), countryField}, {tr("&Icon"), iconField}};
    for (const auto& [text, field] : rows)
        form->addRow(text, field);
    form->addRow(QString(), formatLabel);
    root->addLayout(form);
    root->addWidget(message);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    checkButton = buttons->addButton(tr("C&heck Address"), QDialogButtonBox::ActionRole);
    acceptButton = buttons->addButton(adding ? tr("&Add") : tr("&Save"), QDialogButtonBox::AcceptRole);
    // Enter in the address checks it; it adds only once the check has passed.
    checkButton->setAutoDefault(false);
    acceptButton->setAutoDefault(false);
    root->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(checkButton, &QPushButton::clicked, this, &AddStationDialog::checkAction);
    connect(acceptButton, &QPushButton::clicked, this, &AddStationDialog::acceptAction);
    connect(addressField, &QLineEdit::textEdited, this, &AddStationDialog::addressEdited);
    connect(addressField, &QLineEdit::returnPressed, this, &AddStationDialog::checkAction);

    if (adding) {
        acceptButton->setEnabled(false);
        if (api_.favoriteStations().size() >= RadioBrowser::kMaxFavorites) {
            setMessage(OwnStations::favoritesFullText(), true);
            checkButton->setEnabled(false);
        }
    } else {
        const OwnStations::Fields fields = OwnStations::fields(editing);
        addressField->setText(fields.url);
        addressField->setReadOnly(true);
        checkButton->hide();
        checked_ = fields;
        showFields(fields);
    }
    resize(qMax(sizeHint().width(), 420), sizeHint().height());
}

void AddStationDialog::addressEdited() {
    if (!editing_.isNull())
        return;
    checked_.reset();
    acceptButton->setEnabled(false);
    formatLabel->clear();
    if (resolver_)
        resolver_->cancel();
    checkButton->setEnabled(api_.favoriteStations().size() < RadioBrowser::kMaxFavorites);
}

void AddStationDialog::checkAction() {
    if (!resolver_ || !editing_.isNull() || !checkButton->isEnabled())
        return;
    checkButton->setEnabled(false);
    setMessage(tr("Checking the address…"), false);
    QPointer<AddStationDialog> self(this);
    resolver_->resolve(addressField->text(), [self](std::optional<OwnStations::Fields> fields, QString error) {
        if (!self)
            return;
        self->checkButton->setEnabled(true);
        if (!fields) {
            self->setMessage(error, true);
            return;
        }
        self->checked_ = fields;
        self->showFields(*fields);
        self->acceptButton->setEnabled(true);
        self->setMessage(fields->url == self->addressField->text().trimmed()
                             ? tr("The station plays. Change what you like, then add it.")
                             : tr("The playlist leads to %1, which plays. Change what you like, then add it.")
                                   .arg(fields->url),
                         false);
    });
}

void AddStationDialog::showFields(const OwnStations::Fields& fields) {
    // What the user typed before the check stays.
    auto fill = [](QLineEdit* field, const QString& text) {
        if (field->text().trimmed().isEmpty())
            field->setText(text);
    };
    fill(nameField, fields.name);
    fill(tagsField, fields.tags);
    fill(homepageField, fields.homepage);
    fill(countryField, fields.countryCode);
    fill(iconField, fields.favicon);
    QString format = fields.hls ? QStringLiteral("HLS") : RadioBrowser::soundQualityForStation(OwnStations::make(fields));
    formatLabel->setText(format);
}

OwnStations::Fields AddStationDialog::fieldsShown() const {
    OwnStations::Fields fields = checked_.value_or(OwnStations::Fields());
    fields.name = nameField->text().trimmed();
    fields.tags = tagsField->text().trimmed();
    fields.homepage = homepageField->text().trimmed();
    fields.countryCode = countryField->text().trimmed().toUpper();
    fields.favicon = iconField->text().trimmed();
    return fields;
}

void AddStationDialog::acceptAction() {
    if (!checked_)
        return;
    const OwnStations::Fields fields = fieldsShown();
    if (const QString problem = OwnStations::problem(fields); !problem.isEmpty()) {
        setMessage(problem, true);
        return;
    }
    if (!editing_.isNull()) {
        const Station edited = OwnStations::make(fields, editing_.string(Station::Key::StationUuid));
        OwnStations::replace(api_, edited);
        Q_EMIT stationSaved(edited);
        accept();
        return;
    }
    const Station station = OwnStations::make(fields);
    const OwnStations::Report report = OwnStations::addToFavorites(api_, {station});
    if (report.added == 0) {
        setMessage(report.overLimit > 0 ? OwnStations::favoritesFullText()
                                        : tr("This address is among the favourites already."),
                   true);
        return;
    }
    Q_EMIT stationSaved(station);
    accept();
}

void AddStationDialog::setMessage(const QString& text, bool problem) {
    message->setText(problem ? QStringLiteral("⚠️ ") + text : text);
}
