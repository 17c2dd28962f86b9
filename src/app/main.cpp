#include "platform/core/FileSystem.h"
#include "app/core/ProgramFolder.h"
#include "app/gui/LogoArt.h"
#include "app/gui/QuorvexApplication.h"
#include "app/gui/TLogoForm.h"
#include "app/gui/TMainForm.h"
#include "app/gui/TUpdateForm.h"

#include <QDir>
#include <QMessageBox>

#include <cstdio>
#include <cstdlib>

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

} // namespace

int main(int argc, char **argv)
{
    QuorvexApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvex"));
    QApplication::setWindowIcon(LogoArt::appIcon());

    const std::string folder = ProgramFolder::location(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
    if (!ProgramFolder::seed(folder, dataSources()) || !FileSystem::setCurrentFolder(folder)) {
        QMessageBox::critical(nullptr, QStringLiteral("Error"),
                              QStringLiteral("Unable to create directory:\n\n") + QString::fromStdString(folder));
        return 1;
    }

    TMainForm mainForm;
    TUpdateForm updateForm(&mainForm);
    // Not a child: the main window is disabled while the splash shows.
    TLogoForm logoForm;
    mainForm.setLogoForm(&logoForm);
    mainForm.setUpdateForm(&updateForm);
    logoForm.onStop = [&mainForm] { mainForm.stopSplash(); };
    app.onUnexpectedFailure = [&mainForm](const char *what) {
        QMessageBox::critical(nullptr, QStringLiteral("Quorvex"), QString::fromLocal8Bit(what));
        mainForm.emergencyShutdown();
    };
    mainForm.show();
    return app.exec();
}
