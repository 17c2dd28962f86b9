#pragma once

#include "filter/core/GroupCounts.h"

#include "platform/core/TextEncoding.h"

#include <QAbstractListModel>

#include <string>
#include <vector>

namespace quorvex {

// The group pane's list: one line per distinct text, "Drama (699)". A thin
// adapter over GroupCounts; the labels are built only for the lines painted.
class GroupListModel final : public QAbstractListModel {
    Q_OBJECT
public:
    explicit GroupListModel(QObject *parent = nullptr) : QAbstractListModel(parent) {}

    GroupCounts &counts() { return m_counts; }
    const GroupCounts &counts() const { return m_counts; }
    void setEncoding(TextEncoding encoding) { m_encoding = encoding; }
    // The entries the filter shows now; they are drawn picked.
    void setPicked(std::vector<std::string> picked);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;

    // After the counts changed as `change` says.
    void changed(const GroupCounts::Change &change);
    // After the counts were made again.
    void reset();
    // Roles: the entry's list text (bytes) for the filter.
    static constexpr int TextRole = Qt::UserRole + 1;

private:
    GroupCounts m_counts;
    TextEncoding m_encoding = TextEncoding::Windows1252;
    std::vector<std::string> m_picked; // sorted
    int m_rows = 0;
};

} // namespace quorvex
