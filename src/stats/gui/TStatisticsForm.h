#pragma once

#include "stats/core/ChartFile.h"
#include "stats/core/ColumnProfile.h"
#include "stats/core/ListStatistics.h"

#include <QDialog>

#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;
class QTabWidget;

QT_BEGIN_NAMESPACE
class QChartView;
QT_END_NAMESPACE

namespace quorvex {

class FileDialogService;
class ListDocument;
class MessageService;

// The statistics window: the number of items, the distinct texts of every
// column with what the column holds, and three charts: items per text of a
// chosen column (the top 20 and the rest), items per year or decade of a
// column of years, and the ranges of a column of numbers or durations with
// its sum and average. The figures point into the list, so the window is
// modal: the list cannot change while it is open.
class TStatisticsForm final : public QDialog {
    Q_OBJECT
public:
    static constexpr int TopCount = 20;
    static constexpr int RangeCount = 12;
    enum Tab { ValuesTab = 0, YearsTab = 1, NumbersTab = 2 };

    TStatisticsForm(const ListDocument &doc, FileDialogService &dialogs, MessageService &messages,
                    QWidget *parent = nullptr);

    // Opens the window on the list and returns when it is closed.
    static void showFor(QWidget *parent, const ListDocument &doc, FileDialogService &dialogs,
                        MessageService &messages);

    // Counts the list again and draws every chart.
    void refresh();
    // Saves the chart of the tab shown; false when cancelled or not written.
    bool saveChart();
    // The chart's bytes in a format, at the chart's size on screen.
    QByteArray chartBytes(Tab tab, ChartFile::Format format) const;

    QLabel *itemsLabel() const { return m_itemsLabel; }
    QTableWidget *columnTable() const { return m_table; }
    QTabWidget *tabs() const { return m_tabs; }
    QComboBox *valueColumnBox() const { return m_valueColumn; }
    QComboBox *yearColumnBox() const { return m_yearColumn; }
    QComboBox *numberColumnBox() const { return m_numberColumn; }
    QCheckBox *decadesBox() const { return m_decades; }
    QLabel *numberFigures() const { return m_numberFigures; }
    QPushButton *saveButton() const { return m_saveBtn; }
    QChartView *chartView(Tab tab) const { return m_views[tab]; }
    // The bars each chart shows now.
    const std::vector<ChartBar> &bars(Tab tab) const { return m_bars[tab]; }

private:
    void drawValues();
    void drawYears();
    void drawNumbers();
    void showBars(Tab tab, const QString &title, bool horizontal);
    const ColumnCounts *countsOf(int column) const;
    int profileIndex(int column) const;

    const ListDocument &m_doc;
    FileDialogService &m_dialogs;
    MessageService &m_messages;
    ListStatistics m_stats;
    std::vector<ColumnProfile> m_profiles;
    std::vector<ChartBar> m_bars[3];
    ChartFile::Format m_lastFormat = ChartFile::Format::Png;

    QLabel *m_itemsLabel = nullptr;
    QTableWidget *m_table = nullptr;
    QTabWidget *m_tabs = nullptr;
    QComboBox *m_valueColumn = nullptr;
    QComboBox *m_yearColumn = nullptr;
    QComboBox *m_numberColumn = nullptr;
    QCheckBox *m_decades = nullptr;
    QLabel *m_numberFigures = nullptr;
    QLabel *m_noYears = nullptr;
    QLabel *m_noNumbers = nullptr;
    QPushButton *m_saveBtn = nullptr;
    QChartView *m_views[3] = {nullptr, nullptr, nullptr};
};

} // namespace quorvex
