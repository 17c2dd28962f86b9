#include "TStatisticsForm.h"

#include "document/core/ListDocument.h"
#include "platform/core/FileDialogService.h"
#include "platform/core/MessageService.h"
#include "platform/gui/ListText.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QBuffer>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHorizontalBarSeries>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QSvgGenerator>
#include <QTabWidget>
#include <QTableWidget>
#include <QValueAxis>
#include <QVBoxLayout>

#include <algorithm>

namespace quorvex {

namespace {

QString utf8(const std::string &text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// Long titles would squeeze the bars to nothing.
QString shortLabel(const std::string &label)
{
    constexpr int Most = 32;
    QString text = utf8(label).simplified();
    if (text.size() > Most)
        text = text.left(Most - 1) + QChar(0x2026);
    return text.isEmpty() ? QStringLiteral(" ") : text;
}

QChartView *makeView(QWidget *parent)
{
    auto *chart = new QChart;
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->legend()->hide();
    auto *view = new QChartView(chart, parent);
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumSize(560, 320);
    return view;
}

QWidget *tabPage(const QString &label, QComboBox *&box, QWidget *extra, QLabel *figures, QLabel *none,
                 QChartView *view)
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    auto *row = new QHBoxLayout;
    auto *caption = new QLabel(label, page);
    box = new QComboBox(page);
    box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    caption->setBuddy(box);
    row->addWidget(caption);
    row->addWidget(box);
    if (extra)
        row->addWidget(extra);
    row->addStretch();
    layout->addLayout(row);
    if (figures)
        layout->addWidget(figures);
    if (none)
        layout->addWidget(none);
    layout->addWidget(view, 1);
    return page;
}

} // namespace

TStatisticsForm::TStatisticsForm(const ListDocument &doc, FileDialogService &dialogs, MessageService &messages,
                                 QWidget *parent)
    : QDialog(parent), m_doc(doc), m_dialogs(dialogs), m_messages(messages)
{
    setObjectName(QStringLiteral("StatisticsForm"));
    setWindowTitle(tr("Statistics"));
    setSizeGripEnabled(true);
    auto *layout = new QVBoxLayout(this);
    m_itemsLabel = new QLabel(this);
    QFont bold = m_itemsLabel->font();
    bold.setBold(true);
    m_itemsLabel->setFont(bold);
    layout->addWidget(m_itemsLabel);

    m_table = new QTableWidget(0, 7, this);
    m_table->setHorizontalHeaderLabels({tr("Column"), tr("Header"), tr("Distinct"), tr("Empty"), tr("Holds"),
                                        tr("Sum"), tr("Average")});
    m_table->verticalHeader()->hide();
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setMaximumHeight(220);
    layout->addWidget(m_table);

    m_tabs = new QTabWidget(this);
    for (auto &view : m_views)
        view = makeView(this);
    m_decades = new QCheckBox(tr("By &decade"), this);
    m_numberFigures = new QLabel(this);
    m_numberFigures->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_noYears = new QLabel(tr("No column holds years."), this);
    m_noNumbers = new QLabel(tr("No column holds numbers or durations."), this);
    m_tabs->addTab(tabPage(tr("&Column:"), m_valueColumn, nullptr, nullptr, nullptr, m_views[ValuesTab]),
                   tr("&Values"));
    m_tabs->addTab(tabPage(tr("Co&lumn:"), m_yearColumn, m_decades, nullptr, m_noYears, m_views[YearsTab]),
                   tr("&Years"));
    m_tabs->addTab(tabPage(tr("Colu&mn:"), m_numberColumn, nullptr, m_numberFigures, m_noNumbers,
                           m_views[NumbersTab]),
                   tr("&Numbers"));
    layout->addWidget(m_tabs, 1);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    m_saveBtn = buttons->addButton(tr("&Save Chart..."), QDialogButtonBox::ActionRole);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_saveBtn, &QPushButton::clicked, this, [this] { saveChart(); });
    connect(m_valueColumn, qOverload<int>(&QComboBox::currentIndexChanged), this, [this] { drawValues(); });
    connect(m_yearColumn, qOverload<int>(&QComboBox::currentIndexChanged), this, [this] { drawYears(); });
    connect(m_decades, &QCheckBox::toggled, this, [this] { drawYears(); });
    connect(m_numberColumn, qOverload<int>(&QComboBox::currentIndexChanged), this, [this] { drawNumbers(); });
    resize(820, 720);
    refresh();
}

void TStatisticsForm::showFor(QWidget *parent, const ListDocument &doc, FileDialogService &dialogs,
                              MessageService &messages)
{
    TStatisticsForm form(doc, dialogs, messages, parent);
    form.exec();
}

const ColumnCounts *TStatisticsForm::countsOf(int column) const
{
    for (const ColumnCounts &c : m_stats.columns())
        if (c.column == column)
            return &c;
    return nullptr;
}

int TStatisticsForm::profileIndex(int column) const
{
    for (std::size_t i = 0; i < m_stats.columns().size(); ++i)
        if (m_stats.columns()[i].column == column)
            return static_cast<int>(i);
    return -1;
}

void TStatisticsForm::refresh()
{
    m_stats = ListStatistics::compute(m_doc);
    m_profiles.clear();
    m_profiles.reserve(m_stats.columns().size());
    for (const ColumnCounts &c : m_stats.columns())
        m_profiles.push_back(ColumnProfile::of(c));
    const TextEncoding encoding = m_doc.textEncoding();
    m_itemsLabel->setText(tr("Items: %1").arg(utf8(ColumnProfile::groupedCount(m_stats.items()))));

    m_table->setRowCount(static_cast<int>(m_stats.columns().size()));
    auto number = [](long long n) {
        auto *item = new QTableWidgetItem(utf8(ColumnProfile::groupedCount(n)));
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        return item;
    };
    QSignalBlocker b1(m_valueColumn), b2(m_yearColumn), b3(m_numberColumn);
    m_valueColumn->clear();
    m_yearColumn->clear();
    m_numberColumn->clear();
    // The first chart starts on the column that groups best: the fewest
    // distinct texts, yet more than one.
    int groupIndex = -1;
    int groupDistinct = 0;
    for (std::size_t i = 0; i < m_stats.columns().size(); ++i) {
        const ColumnCounts &c = m_stats.columns()[i];
        const ColumnProfile &p = m_profiles[i];
        const int row = static_cast<int>(i);
        const QString header = ListText::toUnicode(c.header, encoding);
        const QString name = tr("%1: %2").arg(c.column).arg(header.simplified());
        m_table->setItem(row, 0, number(c.column));
        m_table->setItem(row, 1, new QTableWidgetItem(header.simplified()));
        m_table->setItem(row, 2, number(c.distinct()));
        m_table->setItem(row, 3, number(c.emptyCount));
        m_table->setItem(row, 4, new QTableWidgetItem(QString::fromLatin1(ColumnProfile::kindName(p.kind))));
        const bool summed = p.kind == ColumnKind::Numbers || p.kind == ColumnKind::Durations;
        m_table->setItem(row, 5, new QTableWidgetItem(summed ? utf8(p.valueText(p.sum)) : QString()));
        m_table->setItem(row, 6, new QTableWidgetItem(summed ? utf8(p.valueText(p.average())) : QString()));
        m_valueColumn->addItem(name, c.column);
        const int nonEmptyDistinct = c.distinct() - (c.emptyCount > 0 ? 1 : 0);
        if (nonEmptyDistinct > 1 && (groupIndex < 0 || nonEmptyDistinct < groupDistinct)) {
            groupIndex = row;
            groupDistinct = nonEmptyDistinct;
        }
        if (p.kind == ColumnKind::Years)
            m_yearColumn->addItem(name, c.column);
        if (summed)
            m_numberColumn->addItem(name, c.column);
    }
    m_table->resizeColumnsToContents();
    m_table->resizeRowsToContents();
    // Durations say more than running numbers such as a tape's.
    for (int i = 0; i < m_numberColumn->count(); ++i) {
        const int index = profileIndex(m_numberColumn->itemData(i).toInt());
        if (index >= 0 && m_profiles[static_cast<std::size_t>(index)].kind == ColumnKind::Durations) {
            m_numberColumn->setCurrentIndex(i);
            break;
        }
    }
    m_valueColumn->setCurrentIndex(std::max(0, groupIndex));
    // Decades once the first year column spans many years.
    if (m_yearColumn->count() > 0) {
        const int index = profileIndex(m_yearColumn->itemData(0).toInt());
        QSignalBlocker b4(m_decades);
        m_decades->setChecked(index >= 0 && m_profiles[static_cast<std::size_t>(index)].prefersDecades());
    }
    m_noYears->setVisible(m_yearColumn->count() == 0);
    m_noNumbers->setVisible(m_numberColumn->count() == 0);
    m_decades->setEnabled(m_yearColumn->count() > 0);
    drawValues();
    drawYears();
    drawNumbers();
}

void TStatisticsForm::drawValues()
{
    const ColumnCounts *c = countsOf(m_valueColumn->currentData().toInt());
    m_bars[ValuesTab] = c ? ColumnProfile::topValueBars(*c, TopCount, m_doc.textEncoding()) : std::vector<ChartBar>();
    showBars(ValuesTab, c ? tr("Items per text of %1").arg(m_valueColumn->currentText()) : QString(), true);
}

void TStatisticsForm::drawYears()
{
    const int index = m_yearColumn->count() > 0 ? profileIndex(m_yearColumn->currentData().toInt()) : -1;
    const bool decades = m_decades->isChecked();
    m_bars[YearsTab] =
        index >= 0 ? m_profiles[static_cast<std::size_t>(index)].yearBars(decades) : std::vector<ChartBar>();
    showBars(YearsTab,
             index < 0 ? QString()
             : decades ? tr("Items per decade of %1").arg(m_yearColumn->currentText())
                       : tr("Items per year of %1").arg(m_yearColumn->currentText()),
             false);
}

void TStatisticsForm::drawNumbers()
{
    const int index = m_numberColumn->count() > 0 ? profileIndex(m_numberColumn->currentData().toInt()) : -1;
    if (index < 0) {
        m_bars[NumbersTab].clear();
        m_numberFigures->clear();
        showBars(NumbersTab, QString(), false);
        return;
    }
    const ColumnProfile &p = m_profiles[static_cast<std::size_t>(index)];
    const ColumnCounts &c = m_stats.columns()[static_cast<std::size_t>(index)];
    m_bars[NumbersTab] = p.rangeBars(c, RangeCount);
    m_numberFigures->setText(tr("Sum: %1    Average: %2    Smallest: %3    Largest: %4    "
                                "(%5 cells counted, %6 not read as %7)")
                                 .arg(utf8(p.valueText(p.sum)), utf8(p.valueText(p.average())),
                                      utf8(p.valueText(p.minimum)), utf8(p.valueText(p.maximum)),
                                      utf8(ColumnProfile::groupedCount(p.counted)),
                                      utf8(ColumnProfile::groupedCount(p.notCounted)),
                                      QString::fromLatin1(ColumnProfile::kindName(p.kind))));
    showBars(NumbersTab, tr("Items per range of %1").arg(m_numberColumn->currentText()), false);
}

void TStatisticsForm::showBars(Tab tab, const QString &title, bool horizontal)
{
    QChart *chart = m_views[tab]->chart();
    chart->removeAllSeries();
    for (QAbstractAxis *axis : chart->axes())
        chart->removeAxis(axis), delete axis;
    chart->setTitle(title);
    const std::vector<ChartBar> &bars = m_bars[tab];
    if (bars.empty())
        return;
    auto *set = new QBarSet(tr("Items"));
    QStringList labels;
    long long most = 0;
    // Horizontal bars read from the top: the largest first.
    for (std::size_t i = 0; i < bars.size(); ++i) {
        const ChartBar &bar = horizontal ? bars[bars.size() - 1 - i] : bars[i];
        *set << static_cast<qreal>(bar.count);
        labels << shortLabel(bar.label);
        most = std::max(most, bar.count);
    }
    QAbstractBarSeries *series = horizontal ? static_cast<QAbstractBarSeries *>(new QHorizontalBarSeries)
                                            : static_cast<QAbstractBarSeries *>(new QBarSeries);
    series->append(set);
    series->setBarWidth(0.8);
    chart->addSeries(series);
    auto *categories = new QBarCategoryAxis;
    categories->append(labels);
    auto *values = new QValueAxis;
    values->setRange(0, static_cast<qreal>(std::max<long long>(most, 1)) * 1.05);
    values->setLabelFormat(QStringLiteral("%.0f"));
    values->applyNiceNumbers();
    // Many years, or ranges, make the labels overlap: upright, and a smaller font.
    int longest = 0;
    for (const QString &label : labels)
        longest = std::max(longest, static_cast<int>(label.size()));
    if (!horizontal && (bars.size() > 12 || (bars.size() > 4 && longest > 7))) {
        categories->setLabelsAngle(-90);
        QFont small = categories->labelsFont();
        small.setPointSizeF(std::max(5.0, small.pointSizeF() * (bars.size() > 60 ? 0.6 : 0.8)));
        categories->setLabelsFont(small);
    }
    chart->addAxis(categories, horizontal ? Qt::AlignLeft : Qt::AlignBottom);
    chart->addAxis(values, horizontal ? Qt::AlignBottom : Qt::AlignLeft);
    series->attachAxis(categories);
    series->attachAxis(values);
}

QByteArray TStatisticsForm::chartBytes(Tab tab, ChartFile::Format format) const
{
    QChartView *view = m_views[tab];
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    const QSize size = view->size().isEmpty() ? view->sizeHint() : view->size();
    if (format == ChartFile::Format::Png) {
        QPixmap picture(size);
        picture.fill(Qt::white);
        QPainter painter(&picture);
        view->render(&painter);
        painter.end();
        if (!picture.save(&buffer, "PNG"))
            bytes.clear();
        return bytes;
    }
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    svg.setTitle(view->chart()->title());
    QPainter painter;
    if (!painter.begin(&svg))
        return {};
    view->render(&painter);
    painter.end();
    return bytes;
}

bool TStatisticsForm::saveChart()
{
    const Tab tab = static_cast<Tab>(m_tabs->currentIndex());
    if (m_bars[tab].empty()) {
        m_messages.information(tr("This chart has nothing to save.").toStdString());
        return false;
    }
    static const char *const names[] = {"values", "years", "numbers"};
    ChartFile::Format format = m_lastFormat;
    const std::string path = ChartFile::choosePath(m_dialogs, m_messages, names[tab], format);
    if (path.empty())
        return false;
    m_lastFormat = format;
    const QByteArray bytes = chartBytes(tab, format);
    return ChartFile::write(path, std::string(bytes.constData(), static_cast<std::size_t>(bytes.size())), m_messages);
}

} // namespace quorvex
