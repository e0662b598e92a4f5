#pragma once

#include "history/HistoryStore.h"

#include <QAbstractTableModel>

// The history table's rows. Qt::UserRole gives the value to sort by: the time, a number, or text.
class HistoryModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Date, Target, Device, Kind, Size, WriteRate, ReadRate, Profiles, Options, Outcome, ColumnCount };

    using QAbstractTableModel::QAbstractTableModel;

    void SetEntries(QList<HistoryEntry> entries);
    void SetHeaders(const QStringList &headers) { m_headers = headers; }
    const HistoryEntry &EntryAt(int row) const { return m_entries.at(row); }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QList<HistoryEntry> m_entries;
    QStringList m_headers;
};
