#include "GroupListModel.h"

#include "filter/core/RowFilter.h"
#include "platform/gui/ListText.h"

#include <QBrush>
#include <QByteArray>
#include <QColor>
#include <QFont>

#include <algorithm>

namespace quorvex {

int GroupListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

QVariant GroupListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= static_cast<int>(m_counts.entries().size()))
        return QVariant();
    const GroupCounts::Entry &e = m_counts.entries()[static_cast<std::size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return (e.text.empty() ? QString::fromLatin1(GroupCounts::EmptyLabel) : ListText::toUnicode(e.text, m_encoding)) +
               QStringLiteral(" (") + QString::fromLatin1(RowFilter::groupedNumber(e.count).c_str()) +
               QLatin1Char(')');
    case TextRole: return QByteArray(e.text.data(), static_cast<int>(e.text.size()));
    case Qt::FontRole:
        if (std::binary_search(m_picked.begin(), m_picked.end(), e.text)) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return QVariant();
    case Qt::BackgroundRole:
        if (std::binary_search(m_picked.begin(), m_picked.end(), e.text))
            return QBrush(QColor(0xcc, 0xe4, 0xff));
        return QVariant();
    default: return QVariant();
    }
}

void GroupListModel::changed(const GroupCounts::Change &change)
{
    if (change.first > change.last)
        return;
    if (change.sizeChanged || static_cast<int>(m_counts.entries().size()) != m_rows) {
        reset();
        return;
    }
    emit dataChanged(index(change.first), index(change.last));
}

void GroupListModel::setPicked(std::vector<std::string> picked)
{
    std::sort(picked.begin(), picked.end());
    m_picked = std::move(picked);
}

void GroupListModel::reset()
{
    beginResetModel();
    m_rows = static_cast<int>(m_counts.entries().size());
    endResetModel();
}

} // namespace quorvex
