#pragma once

#include "platform/core/TextEncoding.h"

#include <QAbstractTableModel>

#include <functional>
#include <string>

namespace quorvex {

class ListDocument;
class ShownRows;

// Shows a ListDocument in a QTableView: document row 0 and column 0 are the
// view's headers, so model cell (r, c) is document cell (c + 1, r + 1). With
// shown rows set, model row r is the r-th shown row instead (documentRow()).
class ListTableModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    using EditHandler = std::function<void(int col, int row, const std::string &text)>;
    using EditableTest = std::function<bool(int col, int row)>;

    explicit ListTableModel(ListDocument &document, QObject *parent = nullptr);

    // Called with document coordinates when the in-place editor commits a change.
    void setEditHandler(EditHandler handler) { m_onEdit = std::move(handler); }
    void setEditableTest(EditableTest test) { m_editable = std::move(test); }
    // The rows a filter shows; null or inactive: every row.
    void setShownRows(const ShownRows *shown) { m_shown = shown; }

    // Document row of a model row, and the model row of a document row: the shown
    // row at or after it (for a hidden row), or -1 past the last shown one.
    int documentRow(int modelRow) const;
    int modelRow(int documentRow) const;
    // The model row of the last shown row at or before a document row; -1 when none.
    int modelRowAtOrBefore(int documentRow) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    // The document changed behind the model's back: tell the views.
    void refresh();

    static QString displayText(std::string_view cell, TextEncoding encoding);

private:
    ListDocument &m_document;
    EditHandler m_onEdit;
    EditableTest m_editable;
    const ShownRows *m_shown = nullptr;
    int m_rows = 0;
    int m_cols = 0;
};

} // namespace quorvex
