#include "PdfPrinter.h"

#include "QPrinterDevice.h"
#include "QtPageRenderer.h"
#include "print/core/NullProgressWindow.h"
#include "print/core/PrintEngine.h"

#include <QPrinter>

namespace quorvex {

int PdfPrinter::print(const ListDocument &doc, const PrintJob &job, const QFont &gridFont, const std::string &path,
                      MessageService &messages, ProgressReporter &progress)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(path));
    printer.setPageSize(QPageSize(QPageSize::A4));
    QtPageRenderer renderer(gridFont);
    QPrinterDevice device(printer, renderer, nullptr, false);
    NullProgressWindow window;
    PrintEngine engine(messages, progress, window);
    return engine.printList(doc, job, device, renderer);
}

} // namespace quorvex
