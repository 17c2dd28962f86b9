// One full-screen repaint of the main grid deep inside a million-row list,
// with background pictures behind every row kind, icons and long cell texts.
#include "core/BenchData.h"
#include "gui/BenchProgramFolder.h"
#include "appearance/core/GridCells.h"
#include "document/core/AttachmentRef.h"
#include "platform/core/AppConstants.h"
#include "document/gui/StringGrid.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QScrollBar>

#include <benchmark/benchmark.h>

#include <string>

using namespace quorvex;

namespace {

RasterImage gradient(int w, int h, int tint)
{
    RasterImage p(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            p.setPixel(x, y, pixelFromRgb((x * 3 + tint) % 256, (y * 5) % 256, (x + y + tint) % 256));
    return p;
}

void paintViewport(benchmark::State &state, bool unicode)
{
    bench::BenchProgramFolder folder;
    {
        TMainForm form;
        bench::BenchProgramFolder::start(form);

        Editor &editor = form.editor();
        ListDocument &doc = editor.document();
        if (unicode)
            bench::fillUnicodeList(doc, 1000000, 10);
        else
            bench::fillRealisticList(doc, 1000000, 10);
        std::string longText(3000, 'W');
        if (unicode) {
            // 3000 bytes of Japanese text, cut inside no character.
            longText.clear();
            while (longText.size() + 3 <= 3000)
                longText += (longText.size() / 3) % 2 ? "\u4F8D" : "\u4E03";
        }
        for (int r = 499990; r < 500100; ++r)
            for (int c = 1; c < 10; ++c) {
                if (c == 3)
                    doc.SetCell(c, r, AttachmentRef::make(static_cast<char>(1 + r % 5), "item.jpg"));
                else
                    doc.SetCell(c, r, longText);
            }
        for (int c = 1; c < 10; ++c)
            doc.SetColWidth(c, 200);
        editor.gridAppearance.gridLineWidth = 1;
        editor.gridAppearance.fixedBackground = "Clouds001.jpg";
        editor.gridAppearance.oddBackground = "Clouds002.bmp";
        editor.gridAppearance.evenBackground = "Clouds003.bmp";
        editor.gridSkins.setSkin(SkinKind::Fixed, GridCells::widenSkin(gradient(320, 120, 0)));
        editor.gridSkins.setSkin(SkinKind::Odd, GridCells::widenSkin(gradient(640, 200, 80)));
        editor.gridSkins.setSkin(SkinKind::Even, GridCells::widenSkin(gradient(500, 90, 160)));
        doc.SetCurrentCell(2, 500000);
        form.documentChanged();

        StringGrid *grid = form.grid();
        grid->setParent(nullptr);
        grid->resize(1920, 1080);
        grid->show();
        grid->verticalScrollBar()->setValue(500000 - 1);
        QCoreApplication::processEvents();
        QImage image(grid->size(), QImage::Format_RGB32);
        grid->render(&image); // warm the scaled pictures
        for (auto _ : state) {
            QElapsedTimer t;
            t.start();
            grid->render(&image);
            state.SetIterationTime(static_cast<double>(t.nsecsElapsed()) / 1e9);
        }
        grid->hide();
        grid->setParent(&form);
        form.ExitBtnClick();
    }
}
void BM_GridPaintViewport(benchmark::State &state)
{
    paintViewport(state, false);
}
BENCHMARK(BM_GridPaintViewport)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(30);

// The same on a Unicode list: a third of the cells non-Latin, the long texts Japanese and Greek.
void BM_GridPaintViewportUnicode(benchmark::State &state)
{
    paintViewport(state, true);
}
BENCHMARK(BM_GridPaintViewportUnicode)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(30);

} // namespace
