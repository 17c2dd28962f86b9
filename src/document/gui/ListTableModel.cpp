#include "ListTableModel.h"

#include "platform/gui/ListText.h"
#include "document/core/AttachmentRef.h"
#include "document/core/ListDocument.h"
#include "document/core/ShownRows.h"

namespace quorvex {

ListTableModel::ListTableModel(ListDocument &document, QObject *parent)
    : QAbstractTableModel(parent), m_document(document), m_rows(document.RowCount() - 1),
      m_cols(document.ColCount() - 1)
{
}

int ListTableModel::documentRow(int modelRow) const
{
    if (m_shown && m_shown->active())
        return m_shown->documentRow(modelRow);
    return modelRow + 1;
}

int ListTableModel::modelRow(int documentRow) const
{
    if (!m_shown || !m_shown->active())
        return documentRow - 1;
    const int row = m_shown->firstAtOrAfter(documentRow);
    return row < m_document.RowCount() ? m_shown->indexOf(row) : -1;
}

int ListTableModel::modelRowAtOrBefore(int documentRow) const
{
    if (!m_shown || !m_shown->active())
        return documentRow - 1;
    const int row = m_shown->lastAtOrBefore(documentRow);
    return row > 0 ? m_shown->indexOf(row) : -1;
}

int ListTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int ListTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_cols;
}

QString ListTableModel::displayText(std::string_view cell, TextEncoding encoding)
{
    if (AttachmentRef::isReference(cell))
        return ListText::toUnicode(AttachmentRef::fileName(cell), encoding);
    return ListText::toUnicode(cell, encoding);
}

QVariant ListTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return QVariant();
    const std::string_view cell = m_document.cellView(index.column() + 1, documentRow(index.row()));
    switch (role) {
    case Qt::DisplayRole:
        return displayText(cell, m_document.textEncoding());
    case Qt::EditRole:
        return ListText::toUnicode(cell, m_document.textEncoding());
    default:
        return QVariant();
    }
}

bool ListTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    const int col = index.column() + 1;
    const int row = documentRow(index.row());
    // The in-place editor cannot enter tabs or line breaks.
    QString text = value.toString();
    text.replace(QLatin1Char('\t'), QLatin1Char(' '));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    const std::string bytes = ListText::fromUnicode(text, m_document.textEncoding());
    if (bytes == m_document.cellView(col, row))
        return true;
    if (m_onEdit)
        m_onEdit(col, row, bytes);
    else
        m_document.SetCell(col, row, bytes);
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

QVariant ListTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QVariant();
    if (orientation == Qt::Horizontal)
        return displayText(m_document.cellView(section + 1, 0), m_document.textEncoding());
    return displayText(m_document.cellView(0, documentRow(section)), m_document.textEncoding());
}

Qt::ItemFlags ListTableModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    const int col = index.column() + 1;
    const int row = documentRow(index.row());
    if (!AttachmentRef::isReference(m_document.cellView(col, row)) && (!m_editable || m_editable(col, row)))
        f |= Qt::ItemIsEditable;
    return f;
}

void ListTableModel::refresh()
{
    const int rows = m_shown ? m_shown->count() : m_document.RowCount() - 1;
    const int cols = m_document.ColCount() - 1;
    if (rows != m_rows || cols != m_cols) {
        beginResetModel();
        m_rows = rows;
        m_cols = cols;
        endResetModel();
        return;
    }
    if (m_rows > 0 && m_cols > 0)
        emit dataChanged(index(0, 0), index(m_rows - 1, m_cols - 1), {Qt::DisplayRole, Qt::EditRole});
    emit headerDataChanged(Qt::Horizontal, 0, m_cols - 1);
    emit headerDataChanged(Qt::Vertical, 0, m_rows - 1);
}

} // namespace quorvex
