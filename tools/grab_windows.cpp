// Renders the program's real windows offscreen over a small sample list and
// saves each as a PNG, so the manual's pictures always show the current build.
//
//   grab_windows OUT_FOLDER SANDBOX_FOLDER DATA_FOLDER [--readme SCREENSHOT_FOLDER]
//
// Everything the windows write (settings, database, temporary files) goes into
// SANDBOX_FOLDER: HOME and the XDG folders point there before Qt starts.

#include "app/core/ProgramFolder.h"
#include "app/gui/QuorvexApplication.h"
#include "app/gui/TMainForm.h"
#include "app/gui/LogoArt.h"
#include "appearance/gui/TOpenDirForm.h"
#include "appearance/gui/TSettingsForm.h"
#include "document/core/ListDocument.h"
#include "document/core/PageSetup.h"
#include "document/gui/StringGrid.h"
#include "listfile/core/ListFileWriter.h"
#include "listfile/core/TemplateLists.h"
#include "platform/core/AppConstants.h"
#include "platform/core/FileSystem.h"
#include "platform/core/MessageService.h"
#include "platform/core/ProgressReporter.h"
#include "platform/gui/QtFileDialogService.h"
#include "platform/gui/QtMessageService.h"
#include "search/gui/TFindForm.h"
#include "sort/gui/SortController.h"
#include "sort/gui/TStatusForm.h"

#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QImage>
#include <QLinearGradient>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

#include <cstdio>
#include <functional>
#include <string>

using namespace quorvex;

namespace {

class StderrMessages final : public MessageService {
public:
    MessageAnswer show(MessageKind, const std::string &text, MessageButtons) override
    {
        std::fprintf(stderr, "grab_windows: %s\n", text.c_str());
        return MessageAnswer::Cancel;
    }
    void showException(const std::string &what) override { std::fprintf(stderr, "grab_windows: %s\n", what.c_str()); }
};

class NoProgress final : public ProgressReporter {
public:
    void setProgress(int, const std::string &) override {}
    void pumpEvents() override {}
};

// The DVD template's columns: number, title, genre, main actor, duration, year,
// quality, description.
struct Movie {
    const char *title, *genre, *actor, *duration, *year, *quality, *description;
};

// A small collection of invented titles: realistic shapes without real names.
const Movie Movies[] = {
    {"A Harbour in Winter", "Drama", "Elena Marsh", "1:52", "1998", "16:9", "A lighthouse keeper's last season"},
    {"Blue Meridian", "Adventure", "Tom Hadley", "2:05", "2004", "16:9", "Sailing round the world"},
    {"Clockwork Orchard", "Fantasy", "Mira Olsen", "1:38", "2011", "16:9", ""},
    {"Dust on the Rails", "Western", "Jack Corrigan", "1:44", "1972", "4:3", "Restored print"},
    {"Echoes of Ember Street S1", "Series", "Lena Kowal", "7:00", "2015", "16:9", "Three discs"},
    {"Echoes of Ember Street S2", "Series", "Lena Kowal", "7:16", "2016", "16:9", "Three discs"},
    {"Falling Upward", "Comedy", "Priya Nand", "1:31", "2009", "16:9", ""},
    {"Glass Lanterns", "Drama", "Oskar Lind", "2:11", "1987", "4:3", "Director's cut"},
    {"Harvest of Stars", "Science Fiction", "Ada Quinn", "2:22", "2019", "Dolby 5.1", ""},
    {"Iron Lullaby", "Thriller", "Marcus Dale", "1:49", "2001", "16:9", "Borrowed by Sam"},
    {"Juniper Road", "Family", "Nora Field", "1:28", "2013", "16:9", ""},
    {"Kites over Kallio", "Documentary", "", "1:16", "2017", "Subtitled", "Kite makers of Helsinki"},
    {"Last Train to Marlow", "Mystery", "Henry Cole", "1:57", "1964", "B/W", "Black and white"},
    {"Moonlight Ledger", "Crime", "Iris Vane", "2:01", "2007", "16:9", ""},
    {"Northbound", "Road Movie", "Felix Aro", "1:39", "1995", "4:3", ""},
    {"Orchestra of Rain", "Music", "", "1:23", "2012", "Dolby 5.1", "Concert film"},
    {"Paper Kingdoms", "Animation", "", "1:34", "2003", "16:9", "Part 1"},
    {"Paper Kingdoms II", "Animation", "", "1:37", "2006", "16:9", "Part 2"},
    {"Quiet Thunder", "War", "Anton Brisk", "2:18", "1979", "4:3", ""},
    {"Riverbend Motel", "Horror", "Kate Mercer", "1:29", "1983", "4:3", "Not for children"},
    {"Salt and Silver", "Romance", "Julia Hart", "1:46", "2010", "16:9", ""},
    {"Tidewater", "Drama", "Owen Pike", "1:55", "1991", "4:3", ""},
    {"Under the Copper Sky", "Adventure", "Rosa Mendel", "2:08", "2021", "Dolby 5.1", "New in 2021"},
    {"Velvet Static", "Science Fiction", "Dev Arden", "1:51", "1999", "16:9", ""},
    {"Winter Ferns", "Drama", "Clara Voss", "1:42", "2014", "16:9", ""},
    {"Yesterday's Compass", "Adventure", "Ben Oduya", "1:59", "1986", "4:3", ""},
    {"Zephyr Lane", "Comedy", "Lola Brandt", "1:33", "2018", "16:9", "Gift from Anna"},
};
constexpr int MovieCount = static_cast<int>(sizeof(Movies) / sizeof(Movies[0]));
// The row whose description cell holds the cover picture.
constexpr int PictureRow = 3;
constexpr int PictureCol = 8;

// A made-up cover: a gradient sky, a sun and the title.
bool paintCover(const QString &path)
{
    QImage image(240, 340, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient sky(0, 0, 0, 340);
    sky.setColorAt(0, QColor(32, 48, 110));
    sky.setColorAt(0.6, QColor(220, 120, 60));
    sky.setColorAt(1, QColor(60, 40, 30));
    p.fillRect(image.rect(), sky);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(255, 220, 120));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(120, 190), 46, 46);
    p.setBrush(QColor(30, 70, 40));
    for (int x = 10; x < 240; x += 34) {
        p.drawEllipse(QPointF(x, 268), 24, 40);
        p.drawRect(x - 3, 270, 6, 40);
    }
    p.fillRect(0, 300, 240, 40, QColor(40, 30, 25));
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(24);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 20, 240, 80), Qt::AlignCenter | Qt::TextWordWrap, QStringLiteral("CLOCKWORK\nORCHARD"));
    p.end();
    return image.save(path, "JPG", 90) || image.save(path, "BMP");
}

// Writes the sample list as an independent list carrying the cover.
bool writeSampleList(const std::string &listPath, const std::string &stageFolder, const std::string &coverName)
{
    ListDocument document(ListDocument::DesignColCount, ListDocument::DesignRowCount);
    PageSetup pageSetup;
    const std::string listType = "dvdmovie";
    TemplateLists::build(listType, document, pageSetup);
    document.SetRowCount(MovieCount + 1);
    for (int i = 0; i < MovieCount; ++i) {
        const Movie &m = Movies[i];
        const int row = i + 1;
        const char *cells[] = {nullptr, nullptr, m.title, m.genre, m.actor, m.duration, m.year, m.quality, m.description};
        char number[16];
        std::snprintf(number, sizeof number, "%03d", row);
        document.SetCell(1, row, number);
        for (int col = 2; col <= 8; ++col)
            document.SetCell(col, row, cells[col]);
    }
    std::string ref(1, attachmentMarker);
    ref += static_cast<char>(AttachPicture);
    ref += coverName;
    document.SetCell(PictureCol, PictureRow, ref);
    document.RenumberPages(pageSetup.entriesPerPage());
    StderrMessages messages;
    NoProgress progress;
    ListFileWriter writer(messages, progress);
    writer.setDatabaseFolder(stageFolder);
    return writer.SaveList_V11(listPath, ListFileSource{document, pageSetup, listType}) == 0;
}

class Grabber {
public:
    explicit Grabber(const QString &outFolder) : m_out(outFolder) {}

    void save(QWidget *widget, const QString &name)
    {
        QApplication::processEvents();
        const QPixmap pixmap = widget->grab();
        const QString path = m_out + QLatin1Char('/') + name + QStringLiteral(".png");
        if (pixmap.isNull() || !pixmap.save(path, "PNG")) {
            std::fprintf(stderr, "grab_windows: cannot save %s\n", qPrintable(path));
            m_failed = true;
        }
    }

    // Runs `open`, which shows a modal dialog and returns once it is closed.
    // When the dialog is up, `inside` may act on it, then it is grabbed and
    // dismissed; any further modal window the command opens is dismissed too.
    void modal(const QString &name, const std::function<void()> &open,
               const std::function<void(QWidget *)> &inside = {})
    {
        QWidget *const outer = QApplication::activeModalWidget();
        bool grabbed = false;
        QElapsedTimer clock;
        clock.start();
        QTimer timer;
        timer.setInterval(30);
        QObject::connect(&timer, &QTimer::timeout, [&] {
            QWidget *w = QApplication::activeModalWidget();
            if (!w || w == outer || !w->isVisible()) {
                if (!grabbed && clock.elapsed() > 10000) {
                    std::fprintf(stderr, "grab_windows: %s did not open\n", qPrintable(name));
                    m_failed = true;
                    grabbed = true;
                }
                return;
            }
            timer.stop();
            if (!grabbed) {
                grabbed = true;
                QApplication::processEvents();
                if (inside)
                    inside(w);
                save(w, name);
            }
            w->close();
            timer.start();
        });
        timer.start();
        open();
        timer.stop();
        if (!grabbed) {
            std::fprintf(stderr, "grab_windows: %s was not shown\n", qPrintable(name));
            m_failed = true;
        }
    }

    bool failed() const { return m_failed; }

private:
    QString m_out;
    bool m_failed = false;
};

QAction *action(TMainForm &form, const char *name)
{
    auto *a = form.findChild<QAction *>(QString::fromLatin1(name));
    if (!a)
        std::fprintf(stderr, "grab_windows: no command %s\n", name);
    return a;
}

void trigger(TMainForm &form, const char *name)
{
    if (QAction *a = action(form, name))
        a->trigger();
}

void selectCell(TMainForm &form, int col, int row)
{
    StringGrid *grid = form.grid();
    // The view leaves out the header row and the page-number column.
    grid->setCurrentIndex(grid->model()->index(row - 1, col - 1));
    QApplication::processEvents();
}

// Shows the folders as a person's home would have them, not the build tree's sandbox.
void showPersonalPaths(QWidget *window, const QString &sandboxData)
{
    for (QLineEdit *edit : window->findChildren<QLineEdit *>()) {
        QString text = edit->text();
        if (text.startsWith(sandboxData)) {
            text.replace(0, sandboxData.size(), QStringLiteral("/home/anna/.local/share"));
            edit->setText(text);
            edit->setCursorPosition(0);
        }
    }
}

// The offscreen platform reports every raise and keyboard grab it cannot do;
// the build log needs none of that.
void quietPlatformNotes(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtWarningMsg && message.startsWith(QStringLiteral("This plugin does not support")))
        return;
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

bool setEnvironment(const QString &sandbox)
{
    const QStringList folders = {QStringLiteral("home"), QStringLiteral("data"), QStringLiteral("config"),
                                 QStringLiteral("cache"), QStringLiteral("runtime"), QStringLiteral("tmp"),
                                 QStringLiteral("stage")};
    for (const QString &f : folders)
        if (!QDir().mkpath(sandbox + QLatin1Char('/') + f))
            return false;
    QFile::setPermissions(sandbox + QStringLiteral("/runtime"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("HOME", (sandbox + QStringLiteral("/home")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", (sandbox + QStringLiteral("/data")).toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (sandbox + QStringLiteral("/config")).toLocal8Bit());
    qputenv("XDG_CACHE_HOME", (sandbox + QStringLiteral("/cache")).toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", (sandbox + QStringLiteral("/runtime")).toLocal8Bit());
    qputenv("TMPDIR", (sandbox + QStringLiteral("/tmp")).toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 4 && !(argc == 6 && std::string(argv[4]) == "--readme")) {
        std::fprintf(stderr, "usage: grab_windows OUT_FOLDER SANDBOX_FOLDER DATA_FOLDER [--readme SCREENSHOT_FOLDER]\n");
        return 2;
    }
    const QString outFolder = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    const QString sandbox = QDir(QString::fromLocal8Bit(argv[2])).absolutePath();
    const std::string dataFolder = argv[3];
    const QString readmeFolder = argc == 6 ? QDir(QString::fromLocal8Bit(argv[5])).absolutePath() : QString();
    // A fresh sandbox each run: the windows must not see an earlier run's settings.
    // Only a folder this tool made is emptied, never one named by mistake.
    const QString marker = sandbox + QStringLiteral("/.grab-sandbox");
    if (QDir(sandbox).exists() && !QDir(sandbox).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)) {
        if (!QFile::exists(marker)) {
            std::fprintf(stderr, "grab_windows: %s is not a sandbox of this tool\n", qPrintable(sandbox));
            return 1;
        }
        QDir(sandbox).removeRecursively();
    }
    QDir().mkpath(sandbox);
    QFile markerFile(marker);
    if (!markerFile.open(QIODevice::WriteOnly) || !setEnvironment(sandbox) || !QDir().mkpath(outFolder)) {
        std::fprintf(stderr, "grab_windows: cannot make the sandbox folders\n");
        return 1;
    }

    qInstallMessageHandler(quietPlatformNotes);
    QuorvexApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvex"));
    QApplication::setWindowIcon(LogoArt::appIcon());

    const std::string home = (sandbox + QStringLiteral("/home")).toStdString();
    const std::string program = ProgramFolder::location(qgetenv("XDG_DATA_HOME").constData(), home.c_str());
    if (!ProgramFolder::seed(program, {dataFolder}) || !FileSystem::setCurrentFolder(program)) {
        std::fprintf(stderr, "grab_windows: cannot seed the program folder %s\n", program.c_str());
        return 1;
    }
    // The new-list dialog stays closed at start; it is grabbed from its command.
    FileSystem::writeFileAtomic(program + "new.mtr", "1 0 1 0 0 0\r\n0 0 0 0\r\n0");

    const std::string stage = (sandbox + QStringLiteral("/stage/")).toStdString();
    const std::string coverName = "ClockworkOrchard.jpg";
    const std::string listPath = (sandbox + QStringLiteral("/home/My DVDs.lst")).toStdString();
    const std::string importPath = (sandbox + QStringLiteral("/home/cassettes.txt")).toStdString();
    if (!paintCover(QString::fromStdString(stage + coverName)) || !writeSampleList(listPath, stage, coverName) ||
        !FileSystem::writeFileAtomic(importPath, "Artist\tAlbum\tYear\r\nThe Lanterns\tNight Ferry\t1984\r\n")) {
        std::fprintf(stderr, "grab_windows: cannot write the sample list\n");
        return 1;
    }

    // No box may wait for a person: every question is answered No and logged.
    QtMessageService::setResponder([](MessageKind, const std::string &text, MessageButtons buttons) {
        std::fprintf(stderr, "grab_windows: message: %s\n", text.c_str());
        return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::No;
    });
    QtFileDialogService::setResponder(
        [importPath](bool save, const std::string &, int &, const std::string &) -> std::optional<std::string> {
            if (save)
                return std::nullopt;
            return importPath;
        });

    Grabber grab(outFolder);
    TMainForm form;
    form.showSplash = false;
    form.setKeepSize(true);
    {
        QEventLoop wait;
        QObject::connect(&form, &TMainForm::startupFinished, &wait, &QEventLoop::quit);
        QTimer::singleShot(10000, &wait, &QEventLoop::quit);
        form.show();
        if (!form.started())
            wait.exec();
        if (!form.started()) {
            std::fprintf(stderr, "grab_windows: the main window did not start\n");
            return 1;
        }
    }
    form.resize(1180, 720);
    form.openListFromCommandLine(QString::fromStdString(listPath));
    // "Odds Aqua": every second row tinted.
    form.settingsForm()->applyTemplate(4);
    selectCell(form, PictureCol, PictureRow);
    QApplication::processEvents();
    grab.save(&form, QStringLiteral("main-window"));
    if (!readmeFolder.isEmpty())
        grab.save(&form, QStringLiteral("readme-main-window"));

    // The menus, each opened under its title.
    const auto menus = form.menuBar()->actions();
    for (QAction *title : menus) {
        QMenu *menu = title->menu();
        if (!menu)
            continue;
        const QRect where = form.menuBar()->actionGeometry(title);
        menu->popup(form.menuBar()->mapToGlobal(where.bottomLeft()));
        QApplication::processEvents();
        QString name = title->text();
        name.remove(QLatin1Char('&'));
        grab.save(menu, QStringLiteral("menu-") + name.toLower());
        menu->hide();
    }

    // The grid's pop-up menu: the main window's own menu outside the menu bar.
    for (QMenu *menu : form.findChildren<QMenu *>(QString(), Qt::FindDirectChildrenOnly)) {
        if (menu->actions().size() < 10)
            continue;
        menu->popup(form.grid()->mapToGlobal(QPoint(300, 120)));
        QApplication::processEvents();
        grab.save(menu, QStringLiteral("menu-popup"));
        menu->hide();
        break;
    }

    // The find window stays open beside the grid.
    form.findForm()->showFor(false);
    if (auto *edit = form.findForm()->findChild<QLineEdit *>(QStringLiteral("TextToFindEdit")))
        edit->setText(QStringLiteral("Harbour"));
    QApplication::processEvents();
    grab.save(form.findForm(), QStringLiteral("find"));
    if (!readmeFolder.isEmpty()) {
        // The find window over the grid after Find First, framed as a window.
        form.findForm()->FindBtnClick();
        QApplication::processEvents();
        const QPixmap dialog = form.findForm()->grab();
        QPixmap shot = form.grab();
        QPainter p(&shot);
        const QRect frame(QPoint(440, 300), dialog.size());
        p.fillRect(frame.translated(4, 4), QColor(0, 0, 0, 60));
        p.drawPixmap(frame.topLeft(), dialog);
        p.setPen(QColor(90, 90, 90));
        p.drawRect(frame.adjusted(-1, -1, 0, 0));
        p.end();
        shot.save(outFolder + QStringLiteral("/readme-find-window.png"), "PNG");
    }
    form.findForm()->close();
    form.findForm()->showFor(true);
    QApplication::processEvents();
    grab.save(form.findForm(), QStringLiteral("replace"));
    form.findForm()->close();

    grab.modal(QStringLiteral("sort"), [&] { trigger(form, "SortBtn"); });
    grab.modal(QStringLiteral("page-setup"), [&] { trigger(form, "PageSetupBtn"); });
    grab.modal(QStringLiteral("page-numbers"), [&] { trigger(form, "PrintPageNumsBtn"); });
    grab.modal(QStringLiteral("print-preview"), [&] { trigger(form, "PrintPreviewBtn"); }, [](QWidget *w) {
        w->resize(900, 640);
        QApplication::processEvents();
    });
    grab.modal(QStringLiteral("new-list"), [&] { trigger(form, "NewListBtn"); });
    grab.modal(QStringLiteral("wizard"), [&] { trigger(form, "WizardBtn"); });
    const QString sandboxData = sandbox + QStringLiteral("/data");
    for (int tab = 0; tab < 3; ++tab)
        grab.modal(QStringLiteral("settings-%1").arg(tab + 1), [&] { form.settingsForm()->openOnTab(tab); },
                   [&](QWidget *w) { showPersonalPaths(w, sandboxData); });
    if (auto *chooser = form.settingsForm()->findChild<TOpenDirForm *>()) {
        grab.modal(QStringLiteral("folder-chooser"), [&] {
            // A folder of a person's home, not yet made: the tree stays at the top.
            chooser->preset("/home/anna/Videos/Quorvex Database/");
            chooser->choose();
        });
    }
    grab.modal(QStringLiteral("import"), [&] { trigger(form, "ImportTextListBtn"); });
    selectCell(form, 2, 1);
    grab.modal(QStringLiteral("column-header"), [&] { trigger(form, "EditHdrBtn"); });
    selectCell(form, 8, 1);
    grab.modal(QStringLiteral("cell-text"), [&] { trigger(form, "ViewCellTextBtn"); });
    grab.modal(QStringLiteral("about"), [&] { trigger(form, "About1"); });

    // The progress window as the sort shows it halfway.
    TStatusForm *progress = form.sortController()->statusForm();
    progress->start("50% - Sorting row 13 of 27", nullptr);
    QApplication::processEvents();
    grab.save(progress, QStringLiteral("progress"));
    progress->hide();

    if (!readmeFolder.isEmpty()) {
        QDir().mkpath(readmeFolder);
        for (const char *name : {"main-window", "find-window"}) {
            const QString from = outFolder + QStringLiteral("/readme-") + QString::fromLatin1(name) + QStringLiteral(".png");
            const QString to = readmeFolder + QLatin1Char('/') + QString::fromLatin1(name) + QStringLiteral(".png");
            QFile::remove(to);
            QFile::copy(from, to);
        }
    }

    QtMessageService::setResponder(nullptr);
    QtFileDialogService::setResponder(nullptr);
    form.emergencyShutdown();
    FileSystem::setCurrentFolder("/");
    return grab.failed() ? 1 : 0;
}
