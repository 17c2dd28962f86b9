#include "GuiSandbox.h"
#include "appearance/core/GridCells.h"
#include "platform/gui/AttachmentArt.h"
#include "document/core/AttachmentRef.h"
#include "platform/core/AppConstants.h"
#include "appearance/gui/TSettingsForm.h"
#include "document/gui/StringGrid.h"

#include <QHeaderView>
#include <QTest>

using namespace quorvex;

namespace {

QColor rgb(int r, int g, int b) { return QColor(r, g, b); }

} // namespace

class GridPaintingTest : public QObject {
    Q_OBJECT

private slots:
    void paintedGrid_showsRowKindsSelectionLinesSkinsAndIcons()
    {
        test::GuiSandbox sandbox;
        auto form = sandbox.start();
        QVERIFY(form->started());
        Editor &editor = form->editor();
        ListDocument &doc = editor.document();
        doc.SetColCount(4);
        doc.SetRowCount(7);
        for (int c = 0; c < 4; ++c)
            for (int r = 1; r < 7; ++r)
                doc.SetCell(c, r, "");
        doc.SetCell(2, 0, "");
        doc.SetCell(1, 6, AttachmentRef::make(AttachPicture, "cover.jpg"));
        doc.SetCurrentCell(2, 3);
        doc.SelectRange(2, 3, 3, 4);
        form->documentChanged();
        StringGrid *grid = form->grid();
        grid->resize(600, 300);
        QCoreApplication::processEvents();

        const auto probe = [&](int col, int row, int dx, int dy) {
            // Document cell (col, row) -> a pixel of the grabbed grid, from the cell's top-left.
            const QImage image = grid->grab().toImage();
            QPoint at;
            if (row == 0) {
                QHeaderView *h = grid->horizontalHeader();
                at = h->geometry().topLeft() + QPoint(h->sectionViewportPosition(col - 1), 0);
            } else {
                const QRect r = grid->visualRect(grid->model()->index(row - 1, col - 1));
                at = grid->viewport()->geometry().topLeft() + r.topLeft();
            }
            return image.pixelColor(at + QPoint(dx, dy) * image.devicePixelRatio());
        };
        const QColor button = grid->palette().color(QPalette::Button);
        struct Case {
            const char *what;
            int col, row, dx, dy;
            QColor expected;
        };
        const Case cases[] = {
            {"row 1 takes the even colour", 2, 1, 30, 8, rgb(255, 255, 255)},
            {"row 2 takes the odd colour", 2, 2, 30, 8, rgb(255, 255, 225)},
            {"header cell", 2, 0, 30, 8, rgb(button.red(), button.green(), button.blue())},
            {"selected cell", 3, 4, 30, 8, rgb(32, 128, 192)},
            {"selected bevel top-left", 3, 4, 5, 0, rgb(2, 98, 162)},
            {"grid line right of a cell", 2, 2, doc.ColWidth(2), 5, rgb(192, 192, 192)},
        };
        for (const Case &c : cases)
            QCOMPARE(probe(c.col, c.row, c.dx, c.dy).name() + QLatin1String(" ") + QLatin1String(c.what),
                     c.expected.name() + QLatin1String(" ") + QLatin1String(c.what));

        // The attachment cell shows its icon: something other than the row colour in its middle.
        const int iconX = doc.ColWidth(1) / 2;
        bool drawn = false;
        for (int dx = -6; dx <= 6 && !drawn; ++dx)
            drawn = probe(1, 6, iconX + dx, 8) != rgb(255, 255, 225);
        QVERIFY(drawn);

        // A background picture behind the rows 1, 3, 5, ... with its black right edge.
        editor.gridAppearance.evenBackground = "Red.bmp";
        editor.gridSkins.setSkin(SkinKind::Even, GridCells::widenSkin(RasterImage(10, 10, pixelFromRgb(200, 0, 0))));
        grid->viewport()->update();
        QCoreApplication::processEvents();
        QCOMPARE(probe(2, 1, 30, 8).name(), rgb(200, 0, 0).name());
        QCOMPARE(probe(2, 1, doc.ColWidth(2) - 1, 8).name(), rgb(0, 0, 0).name());
        QCOMPARE(probe(2, 2, 30, 8).name(), rgb(255, 255, 225).name());
    }

    void gridLines_lieRightOfAndBelowEachCellAtEveryWidth()
    {
        test::GuiSandbox sandbox;
        auto form = sandbox.start();
        QVERIFY(form->started());
        ListDocument &doc = form->editor().document();
        doc.SetColCount(4);
        doc.SetRowCount(8);
        for (int c = 1; c < 4; ++c)
            for (int r = 1; r < 8; ++r)
                doc.SetCell(c, r, "");
        doc.SetColWidth(1, 40);
        doc.SetColWidth(2, 2); // narrower than the widest negative line width
        doc.SetColWidth(3, 60);
        doc.SetCurrentCell(3, 7);
        form->documentChanged();
        StringGrid *grid = form->grid();
        grid->resize(600, 400);
        const int height = doc.RowHeight();
        QHeaderView *columns = grid->horizontalHeader();
        QHeaderView *rows = grid->verticalHeader();

        // W white (rows 1, 3, ...), B banana (rows 2, 4, ...), S silver line.
        const auto classify = [](QColor c) {
            return c == QColor(255, 255, 255) ? 'W' : c == QColor(255, 255, 225) ? 'B' : c == QColor(192, 192, 192) ? 'S' : '?';
        };
        for (const int w : {-3, 0, 1, 5, 30, 1}) {
            form->settingsForm()->setLineWidth(w);
            QCoreApplication::processEvents();
            const QString at = QStringLiteral("width %1").arg(w);
            QCOMPARE(grid->gridLineWidth(), w);
            // Sections are cell plus line; the list's own widths never move.
            QCOMPARE(rows->sectionSize(0), height + w);
            QCOMPARE(columns->height(), height + w);
            QCOMPARE(columns->sectionSize(0), 40 + w);
            QCOMPARE(columns->sectionSize(1), std::max(0, 2 + w));
            QCOMPARE(columns->sectionSize(2), 60 + w);
            QCOMPARE(doc.ColWidth(1), 40);
            QCOMPARE(doc.ColWidth(2), 2);
            QCOMPARE(doc.ColWidth(3), 60);
            QCOMPARE(doc.RowHeight(), height);

            const QImage image = grid->viewport()->grab().toImage();
            const qreal ratio = image.devicePixelRatio();
            const auto pixel = [&](int x, int y) { return classify(image.pixelColor((QPointF(x, y) * ratio).toPoint())); };
            // Down through column 1, then across row 1 from column 1 to column 3.
            QByteArray down, downWanted, across, acrossWanted;
            const int pitch = height + w;
            for (int y = 0; y < 3 * pitch; ++y) {
                down += pixel(20, y);
                const int inRow = y % pitch;
                downWanted += inRow >= height ? 'S' : (y / pitch) % 2 == 0 ? 'W' : 'B';
            }
            const int x3 = columns->sectionViewportPosition(2);
            for (int x = 0; x < x3 + 10; ++x)
                across += pixel(x, 5);
            for (int x = 0; x < x3 + 10; ++x) {
                // A cell starts at its section and is drawn over by the cells after it.
                const bool line = (x >= 40 && x < 40 + w) || (x >= x3 - w && x < x3 && x >= columns->sectionViewportPosition(1) + 2);
                acrossWanted += line ? 'S' : 'W';
            }
            QCOMPARE(QString::fromLatin1(down) + QLatin1Char(' ') + at, QString::fromLatin1(downWanted) + QLatin1Char(' ') + at);
            QCOMPARE(QString::fromLatin1(across) + QLatin1Char(' ') + at, QString::fromLatin1(acrossWanted) + QLatin1Char(' ') + at);
        }
    }

    void attachmentArt_keyAtOriginAtAnySize()
    {
        using AttachmentArt::Kind;
        for (Kind kind : {Kind::Picture, Kind::Audio, Kind::Video, Kind::WebPage, Kind::File, Kind::Unknown})
            for (const QSize size : {QSize(32, 32), QSize(165, 155), QSize(1, 1)}) {
                const QImage image = AttachmentArt::icon(kind, size.width(), size.height());
                QCOMPARE(image.size(), size);
                // The key colour frames the artwork, which covers a good part of the picture.
                QCOMPARE(image.pixel(0, 0), image.pixel(size.width() - 1, 0));
                int drawn = 0;
                for (int y = 0; y < size.height(); ++y)
                    for (int x = 0; x < size.width(); ++x)
                        drawn += image.pixel(x, y) != image.pixel(0, 0);
                if (size.width() > 1)
                    QVERIFY2(drawn * 8 > size.width() * size.height(), qPrintable(QString::number(int(kind))));
            }
        QVERIFY(AttachmentArt::icon(Kind::File, 0, 5).isNull());
    }
};

QTEST_MAIN(GridPaintingTest)
#include "GridPaintingTest.moc"
