// SPDX-License-Identifier: GPL-3.0-or-later
#include "panels/SearchFacetsView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>

SearchFacetsView::SearchFacetsView(QWidget* parent)
    : QWidget(parent), tags_(new QLineEdit(this)), language_(new QLineEdit(this)), country_(new QComboBox(this)),
      codec_(new QComboBox(this)), bitrate_(new QComboBox(this)), httpsOnly_(new QCheckBox(tr("Encrypted streams only (HTTPS)"), this)) {
    tags_->setPlaceholderText(tr("jazz, news"));
    tags_->setClearButtonEnabled(true);
    language_->setPlaceholderText(tr("Any language"));
    language_->setClearButtonEnabled(true);
    country_->addItem(tr("Any country"), QString());
    codec_->addItem(tr("Any format"), QString());
    for (const char* codec : {"MP3", "AAC", "AAC+", "OGG", "FLAC"})
        codec_->addItem(QString::fromLatin1(codec), QString::fromLatin1(codec));
    bitrate_->addItem(tr("Any bit rate"), 0);
    for (const int kbps : {64, 128, 192, 256, 320})
        bitrate_->addItem(tr("At least %1 kbps").arg(kbps), kbps);

    auto* form = new QFormLayout(this);
    form->addRow(tr("&Tags:"), tags_);
    form->addRow(tr("&Language:"), language_);
    form->addRow(tr("C&ountry:"), country_);
    form->addRow(tr("&Format:"), codec_);
    form->addRow(tr("&Bit rate:"), bitrate_);
    form->addRow(httpsOnly_);
    tags_->setAccessibleDescription(tr("Stations with every one of these tags, separated by commas"));

    connect(tags_, &QLineEdit::textChanged, this, &SearchFacetsView::facetsChanged);
    connect(language_, &QLineEdit::textChanged, this, &SearchFacetsView::facetsChanged);
    for (QComboBox* box : {country_, codec_, bitrate_})
        connect(box, &QComboBox::currentIndexChanged, this, &SearchFacetsView::facetsChanged);
    connect(httpsOnly_, &QCheckBox::toggled, this, &SearchFacetsView::facetsChanged);
}

void SearchFacetsView::setCountries(const QList<CountryEntry>& countries) {
    const QString current = country_->currentData().toString();
    const QSignalBlocker quiet(country_);
    country_->clear();
    country_->addItem(tr("Any country"), QString());
    for (const CountryEntry& entry : countries)
        country_->addItem(entry.name, entry.cc);
    country_->setCurrentIndex(qMax(0, country_->findData(current)));
}

StationSearch SearchFacetsView::search(const QString& name) const {
    StationSearch search;
    search.name = name.trimmed();
    for (const QString& tag : tags_->text().split(u',', Qt::SkipEmptyParts)) {
        if (!tag.trimmed().isEmpty())
            search.tags.append(tag.trimmed());
    }
    search.language = language_->text().trimmed();
    search.countryCode = country_->currentData().toString();
    search.codec = codec_->currentData().toString();
    search.minBitrate = bitrate_->currentData().toInt();
    search.httpsOnly = httpsOnly_->isChecked();
    return search;
}

void SearchFacetsView::clear() {
    tags_->clear();
    language_->clear();
    for (QComboBox* box : {country_, codec_, bitrate_})
        box->setCurrentIndex(0);
    httpsOnly_->setChecked(false);
}
