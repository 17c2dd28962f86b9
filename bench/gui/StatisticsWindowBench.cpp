// The statistics window opening on 1,000,000 x 9: counting, judging the
// columns, filling its table and drawing its three charts.
#include "core/BenchData.h"
#include "stats/gui/TStatisticsForm.h"

#include "platform/core/FileDialogService.h"
#include "platform/core/MessageService.h"

#include <QApplication>

#include <benchmark/benchmark.h>

using namespace quorvex;

namespace {

class NoDialogs final : public FileDialogService {
public:
    std::optional<std::string> openFile(const std::string &, const std::string &) override { return std::nullopt; }
    std::optional<std::string> saveFile(const std::string &, int &, const std::string &) override
    {
        return std::nullopt;
    }
};
class NoMessages final : public MessageService {
public:
    MessageAnswer show(MessageKind, const std::string &, MessageButtons) override { return MessageAnswer::Ok; }
    void showException(const std::string &) override {}
};

void BM_StatisticsWindowOpen(benchmark::State &state)
{
    static ListDocument doc = [] {
        ListDocument d;
        bench::fillRealisticList(d, 1000000);
        for (int r = 1; r <= 1000000; ++r)
            d.setRowAt(r, d.rowAt(r).withCell(1, "Title " + std::to_string(static_cast<long long>(r) * 7919 % 1000003)));
        return d;
    }();
    NoDialogs dialogs;
    NoMessages messages;
    for (auto _ : state) {
        TStatisticsForm form(doc, dialogs, messages);
        form.show();
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(form.bars(TStatisticsForm::ValuesTab).size());
    }
    state.SetLabel("1,000,000 x 9, shown");
}
BENCHMARK(BM_StatisticsWindowOpen)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->Iterations(3);

} // namespace
