#include "shell/results/HistoryModel.h"

#include <QLocale>
#include <algorithm>

namespace {

QString Rate(double mbps)
{
    return mbps > 0 ? QLocale().toString(mbps, 'f', 2) : QString();
}

} // namespace

void HistoryModel::SetEntries(QList<HistoryEntry> entries)
{
    beginResetModel();
    m_entries = std::move(entries);
    endResetModel();
}

int HistoryModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_entries.size());
}

int HistoryModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant HistoryModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_entries.size())
        return {};
    const HistoryEntry &e = m_entries.at(index.row());
    if (role == Qt::TextAlignmentRole &&
        (index.column() == Size || index.column() == WriteRate || index.column() == ReadRate))
        return int(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole && role != Qt::UserRole)
        return {};
    const bool sortKey = role == Qt::UserRole;
    switch (index.column()) {
    case Date:
        return sortKey ? QVariant(e.started)
                       : QVariant(e.started.toLocalTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
    case Target:
        return e.target;
    case Device:
        return e.device;
    case Kind:
        return e.kind;
    case Size:
        if (sortKey)
            return qint64(std::max(e.files, 1)) * e.megabytes;
        // A profile run has one file per job, each of the size typed.
        return e.files > 0 ? QStringLiteral("%1 × %2").arg(e.files).arg(e.megabytes) : QString::number(e.megabytes);
    case WriteRate:
        return sortKey ? QVariant(e.writeRate) : QVariant(Rate(e.writeRate));
    case ReadRate:
        return sortKey ? QVariant(e.readRate) : QVariant(Rate(e.readRate));
    case Options:
        return e.options;
    case Outcome:
        return e.outcome;
    case Profiles:
        // One line per profile, beside the classic rates.
        return sortKey ? e.profiles : QString(e.profiles).replace(QStringLiteral("; "), QStringLiteral("\n"));
    }
    return {};
}

QVariant HistoryModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= ColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    return section < m_headers.size() ? m_headers.at(section) : QString();
}
