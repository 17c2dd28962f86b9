#include "FilterBar.h"

#include "document/core/Editor.h"
#include "platform/gui/ListText.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace quorvex {

namespace {

const char *const TestNames[] = {"contains", "equals", "does not contain", "is empty"};

} // namespace

FilterBar::FilterBar(Editor &editor, QWidget *parent) : QWidget(parent), m_editor(editor)
{
    setObjectName(QStringLiteral("FilterBar"));
    auto *outer = new QHBoxLayout(this);
    outer->setContentsMargins(2, 2, 2, 2);
    auto *label = new QLabel(QStringLiteral("Filter rows:"), this);
    label->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    outer->addWidget(label);
    m_linesLayout = new QVBoxLayout();
    m_linesLayout->setContentsMargins(0, 0, 0, 0);
    m_linesLayout->setSpacing(2);
    outer->addLayout(m_linesLayout, 1);
    auto *buttons = new QVBoxLayout();
    auto *top = new QHBoxLayout();
    m_add = new QToolButton(this);
    m_add->setObjectName(QStringLiteral("FilterAddBtn"));
    m_add->setText(QStringLiteral("&And..."));
    m_add->setToolTip(QStringLiteral("Add a condition that must hold as well"));
    m_clear = new QToolButton(this);
    m_clear->setObjectName(QStringLiteral("FilterClearBtn"));
    m_clear->setText(QStringLiteral("C&lear Filter"));
    m_close = new QToolButton(this);
    m_close->setObjectName(QStringLiteral("FilterCloseBtn"));
    m_close->setText(QStringLiteral("\u00d7"));
    m_close->setToolTip(QStringLiteral("Close the filter bar and show every row"));
    top->addWidget(m_add);
    top->addWidget(m_clear);
    top->addWidget(m_close);
    buttons->addLayout(top);
    buttons->addStretch(1);
    outer->addLayout(buttons);

    connect(m_add, &QToolButton::clicked, this, [this] {
        addLine(FilterCondition{});
        m_lines.back().text->setFocus();
    });
    connect(m_clear, &QToolButton::clicked, this, [this] {
        setConditions({});
        if (onCleared)
            onCleared();
    });
    connect(m_close, &QToolButton::clicked, this, [this] {
        setConditions({});
        hide();
        if (onClosed)
            onClosed();
    });
    addLine(FilterCondition{});
}

void FilterBar::fillColumns(QComboBox *box, int column) const
{
    const ListDocument &doc = m_editor.document();
    box->clear();
    box->addItem(QStringLiteral("Any column"), 0);
    for (int c = 1; c < doc.ColCount(); ++c) {
        const QString header = ListText::toUnicode(doc.cellView(c, 0), doc.textEncoding());
        box->addItem(header.isEmpty() ? QStringLiteral("Column %1").arg(c) : QStringLiteral("%1: %2").arg(c).arg(header),
                     c);
    }
    const int at = box->findData(column);
    box->setCurrentIndex(at >= 0 ? at : 0);
}

void FilterBar::addLine(const FilterCondition &condition)
{
    const bool filling = m_filling;
    m_filling = true;
    Line line;
    line.row = new QWidget(this);
    auto *layout = new QHBoxLayout(line.row);
    layout->setContentsMargins(0, 0, 0, 0);
    line.column = new QComboBox(line.row);
    line.column->setObjectName(QStringLiteral("FilterColumnBox"));
    line.column->setMinimumContentsLength(14);
    line.column->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    fillColumns(line.column, condition.column);
    line.test = new QComboBox(line.row);
    line.test->setObjectName(QStringLiteral("FilterTestBox"));
    for (const char *name : TestNames)
        line.test->addItem(QString::fromLatin1(name));
    line.test->setCurrentIndex(static_cast<int>(condition.test));
    line.text = new QLineEdit(line.row);
    line.text->setObjectName(QStringLiteral("FilterTextBox"));
    line.text->setClearButtonEnabled(true);
    line.text->setText(ListText::toUnicode(condition.text, m_editor.document().textEncoding()));
    line.text->setEnabled(condition.test != FilterTest::IsEmpty);
    auto *remove = new QToolButton(line.row);
    remove->setText(QStringLiteral("\u2212"));
    remove->setToolTip(QStringLiteral("Remove this condition"));
    layout->addWidget(line.column);
    layout->addWidget(line.test);
    layout->addWidget(line.text, 1);
    layout->addWidget(remove);
    m_linesLayout->addWidget(line.row);
    QWidget *row = line.row;
    QLineEdit *text = line.text;
    connect(line.column, &QComboBox::currentIndexChanged, this, [this] { changed(); });
    connect(line.test, &QComboBox::currentIndexChanged, this, [this, text](int test) {
        text->setEnabled(test != static_cast<int>(FilterTest::IsEmpty));
        changed();
    });
    connect(line.text, &QLineEdit::textChanged, this, [this] { changed(); });
    connect(remove, &QToolButton::clicked, this, [this, row] { removeLine(row); });
    m_lines.push_back(line);
    m_filling = filling;
}

void FilterBar::removeLine(QWidget *row)
{
    if (m_lines.size() == 1) {
        // The last line stays, emptied.
        setConditions({});
        changed();
        return;
    }
    for (auto it = m_lines.begin(); it != m_lines.end(); ++it) {
        if (it->row == row) {
            m_lines.erase(it);
            break;
        }
    }
    row->deleteLater();
    row->hide();
    changed();
}

void FilterBar::setConditions(const std::vector<FilterCondition> &conditions)
{
    m_filling = true;
    for (const Line &line : m_lines) {
        line.row->hide();
        line.row->deleteLater();
    }
    m_lines.clear();
    if (conditions.empty())
        addLine(FilterCondition{});
    for (const FilterCondition &c : conditions)
        addLine(c);
    m_filling = false;
}

std::vector<FilterCondition> FilterBar::conditions() const
{
    std::vector<FilterCondition> out;
    const TextEncoding encoding = m_editor.document().textEncoding();
    for (const Line &line : m_lines) {
        FilterCondition c;
        c.column = line.column->currentData().toInt();
        c.test = static_cast<FilterTest>(std::max(0, line.test->currentIndex()));
        c.text = ListText::fromUnicode(line.text->text(), encoding);
        out.push_back(std::move(c));
    }
    return out;
}

void FilterBar::refreshColumns()
{
    m_filling = true;
    for (const Line &line : m_lines)
        fillColumns(line.column, line.column->currentData().toInt());
    m_filling = false;
}

void FilterBar::open()
{
    refreshColumns();
    show();
    if (!m_lines.empty()) {
        m_lines.front().text->setFocus();
        m_lines.front().text->selectAll();
    }
}

QLineEdit *FilterBar::textBox(int line) const
{
    return line >= 0 && line < lineCount() ? m_lines[static_cast<std::size_t>(line)].text : nullptr;
}

QComboBox *FilterBar::columnBox(int line) const
{
    return line >= 0 && line < lineCount() ? m_lines[static_cast<std::size_t>(line)].column : nullptr;
}

QComboBox *FilterBar::testBox(int line) const
{
    return line >= 0 && line < lineCount() ? m_lines[static_cast<std::size_t>(line)].test : nullptr;
}

void FilterBar::changed()
{
    if (!m_filling && onChanged)
        onChanged();
}

} // namespace quorvex
