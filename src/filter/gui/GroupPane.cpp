#include "GroupPane.h"

#include "document/core/Editor.h"
#include "platform/gui/ListText.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QListView>
#include <QVBoxLayout>

#include <algorithm>

namespace quorvex {

GroupPane::GroupPane(Editor &editor, QWidget *parent) : QWidget(parent), m_editor(editor)
{
    setObjectName(QStringLiteral("GroupPane"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    auto *label = new QLabel(QStringLiteral("&Group by:"), this);
    m_columnBox = new QComboBox(this);
    m_columnBox->setObjectName(QStringLiteral("GroupColumnBox"));
    label->setBuddy(m_columnBox);
    m_orderBox = new QComboBox(this);
    m_orderBox->setObjectName(QStringLiteral("GroupOrderBox"));
    m_orderBox->addItem(QStringLiteral("By count"));
    m_orderBox->addItem(QStringLiteral("By name"));
    m_list = new QListView(this);
    m_list->setObjectName(QStringLiteral("GroupList"));
    // Lines of one height let the view lay out a million entries without measuring them.
    m_list->setUniformItemSizes(true);
    m_list->setSelectionMode(QAbstractItemView::NoSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setModel(&m_model);
    m_list->setToolTip(QStringLiteral("Click shows only the rows holding the text; Ctrl+click adds or removes texts."));
    layout->addWidget(label);
    layout->addWidget(m_columnBox);
    layout->addWidget(m_orderBox);
    layout->addWidget(m_list, 1);
    setMinimumWidth(165);
    setMaximumWidth(260);

    connect(m_columnBox, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!m_filling && index >= 0)
            setColumn(index + 1);
    });
    connect(m_orderBox, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!m_filling)
            setOrder(index == 1 ? GroupCounts::Order::ByName : GroupCounts::Order::ByCount);
    });
    connect(m_list, &QListView::clicked, this, [this](const QModelIndex &index) {
        pick(index.row(), QApplication::keyboardModifiers().testFlag(Qt::ControlModifier));
    });
}

void GroupPane::fillColumnBox()
{
    const ListDocument &doc = m_editor.document();
    m_filling = true;
    m_columnBox->clear();
    for (int c = 1; c < doc.ColCount(); ++c) {
        const QString header = ListText::toUnicode(doc.cellView(c, 0), doc.textEncoding());
        m_columnBox->addItem(header.isEmpty() ? QStringLiteral("Column %1").arg(c) : header);
    }
    m_column = std::clamp(m_column, 1, std::max(1, doc.ColCount() - 1));
    m_columnBox->setCurrentIndex(m_column - 1);
    m_headers = doc.rowAt(0);
    m_colCount = doc.ColCount();
    m_filling = false;
}

void GroupPane::countAgain()
{
    const ListDocument &doc = m_editor.document();
    m_model.setEncoding(doc.textEncoding());
    m_model.counts().count(doc, m_column, m_model.counts().order());
    m_model.setPicked(m_picked);
    m_model.reset();
}

void GroupPane::setColumn(int column)
{
    const bool hadPicked = !m_picked.empty();
    m_column = column;
    m_picked.clear();
    fillColumnBox();
    countAgain();
    if (hadPicked && onPicked)
        onPicked();
}

void GroupPane::setOrder(GroupCounts::Order order)
{
    m_filling = true;
    m_orderBox->setCurrentIndex(order == GroupCounts::Order::ByName ? 1 : 0);
    m_filling = false;
    m_model.counts().setOrder(order);
    m_model.reset();
}

void GroupPane::clearPicked()
{
    m_picked.clear();
    m_model.setPicked(m_picked);
    m_list->viewport()->update();
}

void GroupPane::pick(int row, bool add)
{
    const auto &entries = m_model.counts().entries();
    if (row < 0 || row >= static_cast<int>(entries.size()))
        return;
    const std::string &text = entries[static_cast<std::size_t>(row)].text;
    const auto at = std::find(m_picked.begin(), m_picked.end(), text);
    if (!add)
        m_picked = {text};
    else if (at == m_picked.end())
        m_picked.push_back(text);
    else
        m_picked.erase(at);
    m_model.setPicked(m_picked);
    m_list->viewport()->update();
    if (onPicked)
        onPicked();
}

void GroupPane::follow()
{
    if (!isVisible())
        return;
    const ListDocument &doc = m_editor.document();
    if (doc.ColCount() != m_colCount || !doc.rowAt(0).sharesBlockWith(m_headers))
        fillColumnBox();
    if (m_model.counts().column() != m_column) {
        countAgain();
        return;
    }
    m_model.changed(m_model.counts().follow(doc));
}

void GroupPane::listReplaced()
{
    m_picked.clear();
    fillColumnBox();
    if (isVisible())
        countAgain();
    else {
        m_model.counts().count(ListDocument(2, 2), 0, m_model.counts().order());
        m_model.reset();
    }
}

} // namespace quorvex
