#include "platform/core/FileSystem.h"
#include "platform/core/AppConstants.h"
#include "app/core/ProgramFolder.h"
#include "app/gui/LogoArt.h"
#include "app/gui/QuorvexApplication.h"
#include "app/gui/TLogoForm.h"
#include "app/gui/TMainForm.h"

#include <QDir>
#include <QFileInfo>
#include <QMessageBox>

#include <cstdio>
#include <cstdlib>
#include <string>

using namespace quorvex;

namespace {

// Shipped data: the install prefix's share/quorvex beside the executable, then
// the build tree's generated data, then the source tree's data folder.
std::vector<std::string> dataSources()
{
    const QString exeDir = QCoreApplication::applicationDirPath();
    std::vector<std::string> sources;
    sources.push_back(QDir(exeDir + QStringLiteral("/../share/quorvex")).absolutePath().toStdString());
#ifdef QUORVEX_BUILD_DATA_DIR
    sources.push_back(QUORVEX_BUILD_DATA_DIR);
#endif
#ifdef QUORVEX_SOURCE_DATA_DIR
    sources.push_back(QUORVEX_SOURCE_DATA_DIR);
#endif
    return sources;
}

const char *const Usage = "Usage: quorvex [FILE]\n"
                          "Edit the lists of a media collection.\n"
                          "\n"
                          "  FILE        a list file (.lst or .lstd) to open instead of the starting template\n"
                          "  --help      show this help and exit\n"
                          "  --version   show the version and exit\n";

} // namespace

int main(int argc, char **argv)
{
    // Answered before the toolkit starts, so they work without a display.
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--")
            break;
        if (arg == "--help" || arg == "-h") {
            std::fputs(Usage, stdout);
            return 0;
        }
        if (arg == "--version") {
            std::printf("quorvex %s\n", releaseVersion);
            return 0;
        }
    }
    QuorvexApplication app(argc, argv);
    // The toolkit has taken its own options out of argv; the first other word is the list.
    QString listToOpen;
    bool optionsEnded = false;
    for (int i = 1; i < argc && listToOpen.isEmpty(); ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (!optionsEnded && arg == QStringLiteral("--")) {
            optionsEnded = true;
        } else if (!optionsEnded && arg.startsWith(QLatin1Char('-'))) {
            std::fprintf(stderr, "quorvex: unknown option %s\n%s", argv[i], Usage);
            return 2;
        } else {
            // Before the working folder becomes the program folder.
            listToOpen = QFileInfo(arg).absoluteFilePath();
        }
    }
    QApplication::setApplicationName(QStringLiteral("Quorvex"));
    QApplication::setWindowIcon(LogoArt::appIcon());

    const std::string folder = ProgramFolder::location(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
    if (!ProgramFolder::seed(folder, dataSources()) || !FileSystem::setCurrentFolder(folder)) {
        QMessageBox::critical(nullptr, QStringLiteral("Error"),
                              QStringLiteral("Unable to create directory:\n\n") + QString::fromStdString(folder));
        return 1;
    }

    TMainForm mainForm;
    // Not a child: the main window is disabled while the splash shows.
    TLogoForm logoForm;
    mainForm.setLogoForm(&logoForm);
    logoForm.onStop = [&mainForm] { mainForm.stopSplash(); };
    app.onUnexpectedFailure = [&mainForm](const char *what) {
        QMessageBox::critical(nullptr, QStringLiteral("Quorvex"), QString::fromLocal8Bit(what));
        mainForm.emergencyShutdown();
    };
    if (!listToOpen.isEmpty())
        QObject::connect(&mainForm, &TMainForm::startupFinished, &mainForm,
                         [&mainForm, listToOpen] { mainForm.openListFromCommandLine(listToOpen); });
    mainForm.show();
    const int status = app.exec();
    // However the loop ended, this copy is uncounted and its folder goes;
    // after a normal exit this finds nothing left to do.
    mainForm.emergencyShutdown();
    return status;
}
