#include "cli/core/CliTool.h"

#ifdef QUORVEX_CLI_PRINT
#include "print/core/PrintEngine.h"
#include "print/gui/PdfPrinter.h"
#include "attachments/gui/QtPictureReader.h"

#include "platform/core/ProgressReporter.h"

#include <QFont>
#include <QGuiApplication>

#include <memory>
#endif

#include <iostream>
#include <malloc.h>
#include <string>
#include <vector>

int main(int argc, char **argv)
{
    std::ios::sync_with_stdio(false);
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.emplace_back(argv[i]);
#ifdef QUORVEX_CLI_PRINT
    // Pages are painted with the toolkit, off screen; nothing else needs it.
    std::unique_ptr<QGuiApplication> app;
    auto ensureApp = [&app] {
        if (!app) {
            // The tool speaks in one line per failure; the toolkit's notes stay out of it.
            qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
            if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
                qputenv("QT_QPA_PLATFORM", "offscreen");
            static int qtArgc = 1;
            static char name[] = "quorvex-cli";
            static char *qtArgv[] = {name, nullptr};
            app = std::make_unique<QGuiApplication>(qtArgc, qtArgv);
        }
    };
    quorvex::CliTool::setPdfPrinter([&](const quorvex::ListDocument &doc, const quorvex::PrintJob &job,
                                        const std::string &out, quorvex::MessageService &messages) {
        ensureApp();
        quorvex::SilentProgress progress;
        return quorvex::PdfPrinter::print(doc, job, QFont(QStringLiteral("Arial"), 9), out, messages, progress);
    });
    // Bitmaps and icons of the catalogue's thumbnails go through the toolkit's reader.
    quorvex::CliTool::setPictureReader([&](const std::string &path, const std::string &ext,
                                           quorvex::RasterImage &picture, std::string &error) {
        ensureApp();
        return quorvex::QtPictureReader::read(path, ext, picture, error);
    });
#endif
    // One run, then exit: arrays of up to 32 MB (the largest threshold) freed
    // by one stage are handed to the next instead of going back to the system
    // and faulting in again page by page.
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    quorvex::CliTool::setProcessEndsAfterRun(true);
    quorvex::CliTool tool(std::cout, std::cerr);
    const int code = tool.run(args);
    std::cout.flush();
    return std::cout.good() ? code : quorvex::CliTool::ExitFailed;
}
