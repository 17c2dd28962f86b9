#include "FakeServices.h"
#include "TempFolder.h"
#include "document/core/ListDocument.h"
#include "platform/core/FileDialogService.h"
#include "platform/core/FileSystem.h"
#include "stats/gui/TStatisticsForm.h"

#include <QAction>
#include <QCheckBox>
#include <QChartView>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

#include <deque>
#include <sys/stat.h>

using namespace quorvex;

namespace {

// Hands back the queued names with the filter index given; records the calls.
class QueuedDialogs final : public FileDialogService {
public:
    struct Answer {
        std::string path;
        int filterIndex;
    };
    std::deque<Answer> answers;
    std::vector<std::string> initialNames;

    std::optional<std::string> openFile(const std::string &, const std::string &) override { return std::nullopt; }
    std::optional<std::string> saveFile(const std::string &, int &filterIndex, const std::string &initial) override
    {
        initialNames.push_back(initial);
        if (answers.empty())
            return std::nullopt;
        const Answer a = answers.front();
        answers.pop_front();
        filterIndex = a.filterIndex;
        return a.path;
    }
};

// Genre, Year (1950..2019 and a few "?"), Duration ("95 min" and the like).
ListDocument films(int rows)
{
    static const char *const genres[] = {"Drama", "Comedy", "Western", "Horror"};
    ListDocument doc(4, rows + 1);
    doc.SetCell(1, 0, "Genre");
    doc.SetCell(2, 0, "Year");
    doc.SetCell(3, 0, "Duration");
    for (int r = 1; r <= rows; ++r) {
        const std::string year = r % 50 == 0 ? "?" : std::to_string(1950 + r % 70);
        doc.setRowAt(r, CellRow::fromCells(std::vector<std::string>{
                            std::to_string(r), genres[r % 7 % 4], year, std::to_string(80 + r % 41) + " min"}));
    }
    return doc;
}

std::string head(const std::string &path, std::size_t n)
{
    return FileSystem::readFile(path).value_or(std::string()).substr(0, n);
}

} // namespace

class StatisticsWindowTest : public QObject {
    Q_OBJECT
private slots:
    void window_showsTheFiguresAndTheChartsOfEveryKind()
    {
        const ListDocument doc = films(700);
        QueuedDialogs dialogs;
        test::ScriptedMessages messages;
        TStatisticsForm form(doc, dialogs, messages);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.itemsLabel()->text(), QStringLiteral("Items: 700"));
        QTableWidget *table = form.columnTable();
        QCOMPARE(table->rowCount(), 3);
        struct Row {
            QString header, distinct, holds;
        };
        const Row rows[] = {{QStringLiteral("Genre"), QStringLiteral("4"), QStringLiteral("text")},
                            {QStringLiteral("Year"), QStringLiteral("71"), QStringLiteral("years")},
                            {QStringLiteral("Duration"), QStringLiteral("41"), QStringLiteral("durations")}};
        for (int r = 0; r < 3; ++r) {
            QCOMPARE(table->item(r, 1)->text(), rows[r].header);
            QCOMPARE(table->item(r, 2)->text(), rows[r].distinct);
            QCOMPARE(table->item(r, 4)->text(), rows[r].holds);
        }
        // The value chart starts on the column with the fewest texts, largest first.
        QCOMPARE(form.valueColumnBox()->currentData().toInt(), 1);
        const auto &values = form.bars(TStatisticsForm::ValuesTab);
        QCOMPARE(values.size(), std::size_t(4));
        long long total = 0;
        for (const ChartBar &b : values)
            total += b.count;
        QCOMPARE(total, 700LL);
        QVERIFY(values[0].count >= values[1].count);
        QVERIFY(!form.chartView(TStatisticsForm::ValuesTab)->chart()->series().isEmpty());

        // 70 years: decades first; the years shown when asked.
        QVERIFY(form.decadesBox()->isChecked());
        QCOMPARE(form.bars(TStatisticsForm::YearsTab).size(), std::size_t(7));
        QCOMPARE(form.bars(TStatisticsForm::YearsTab)[0].label, std::string("1950s"));
        form.decadesBox()->setChecked(false);
        QCOMPARE(form.bars(TStatisticsForm::YearsTab).size(), std::size_t(70));

        QCOMPARE(form.numberColumnBox()->count(), 1);
        QVERIFY(form.numberFigures()->text().contains(QStringLiteral("Average: 1 h 40 min")));
        QCOMPARE(form.bars(TStatisticsForm::NumbersTab).size(), std::size_t(TStatisticsForm::RangeCount));
    }

    void saveChart_writesPngAndSvgWholeAndRefusesWhatItCannotWrite()
    {
        test::TempFolder scratch;
        const ListDocument doc = films(300);
        QueuedDialogs dialogs;
        test::ScriptedMessages messages;
        TStatisticsForm form(doc, dialogs, messages);
        form.resize(900, 700);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.tabs()->setCurrentIndex(TStatisticsForm::YearsTab);

        const std::string readOnly = scratch.file("kept.png");
        QVERIFY(FileSystem::writeFileAtomic(readOnly, "old"));
        ::chmod(readOnly.c_str(), 0444);
        struct Case {
            std::string chosen;
            int filterIndex;
            std::string written; // "" when nothing may be written
            std::string starts;
            bool ok;
        };
        const std::vector<Case> cases = {
            {scratch.file("years"), 1, scratch.file("years.png"), "\x89PNG", true},
            {scratch.file("years"), 2, scratch.file("years.svg"), "<?xml", true},
            {scratch.file("YEARS.SVG"), 1, scratch.file("YEARS.SVG"), "<?xml", true},
            {scratch.file("no/such/folder/years.png"), 1, "", "", false},
            {readOnly, 1, readOnly, "old", false},
        };
        for (const Case &c : cases) {
            dialogs.answers.push_back({c.chosen, c.filterIndex});
            messages.shown.clear();
            QCOMPARE(form.saveChart(), c.ok);
            QCOMPARE(messages.shown.empty(), c.ok);
            if (!c.written.empty())
                QCOMPARE(head(c.written, c.starts.size()), c.starts);
        }
        const std::string svg = FileSystem::readFile(scratch.file("years.svg")).value_or(std::string());
        QVERIFY(svg.find("<svg") != std::string::npos);
        QVERIFY(svg.find("1950s") != std::string::npos);
        QCOMPARE(dialogs.initialNames.front(), std::string("years"));
        // Nothing left beside the files: the writes were whole or none.
        for (const std::string &name : FileSystem::listFolder(scratch.path()).value_or(std::vector<std::string>()))
            QVERIFY2(name.find(".tmp-") == std::string::npos, name.c_str());
        // Replacing a file asks first; No keeps it.
        const std::string before = FileSystem::readFile(scratch.file("years.png")).value_or(std::string());
        dialogs.answers.push_back({scratch.file("years"), 1});
        messages.answers.push_back(MessageAnswer::No);
        QVERIFY(!form.saveChart());
        QCOMPARE(FileSystem::readFile(scratch.file("years.png")).value_or(std::string()), before);
        // Cancelled: nothing happens.
        QVERIFY(!form.saveChart());
    }
};

QTEST_MAIN(StatisticsWindowTest)
#include "StatisticsWindowTest.moc"
