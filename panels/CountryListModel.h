// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractTableModel>
#include <QJsonArray>
#include <QJsonValue>
#include <QList>
#include <QString>

// One row of the country picker.
struct CountryEntry {
    QString cc;       // upper-case code from the directory's "iso_3166_1"
    QJsonValue count; // the directory's "stationcount", as received (a number or a text)
    QString name;     // the country's name in the user's language

    // The count's integer value: numbers truncated, texts by their leading integer, else 0.
    qint64 stationCount() const;
};

// The rows of the country picker: flag and name, code, number of stations.
class CountryListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { NameColumn, CodeColumn, CountColumn, ColumnCount };
    static constexpr int CodeRole = Qt::UserRole + 1;

    using QAbstractTableModel::QAbstractTableModel;

    // The directory's country list as rows: the countries with stations that the directory is
    // browsed by, named in the user's language and ordered by the user's collation, so that
    // "Åland" sits among the A's and "Österreich" among the O's.
    static QList<CountryEntry> entriesFromDirectory(const QJsonArray& countries);

    void setEntries(const QList<CountryEntry>& entries);
    const QList<CountryEntry>& entries() const { return entries_; }
    int rowOfCode(const QString& code) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QList<CountryEntry> entries_;
};
