#include "QPrinterDevice.h"

#include "QtPageRenderer.h"
#include "platform/core/AtomicFile.h"
#include "platform/core/FileSystem.h"
#include "platform/gui/Cp1252.h"
#include "print/core/PdfFileCheck.h"

#include <QLineEdit>
#include <QPaintEngine>
#include <QPrintDialog>
#include <QPrinter>
#include <cerrno>

namespace quorvex {

QPrinterDevice::QPrinterDevice(QPrinter &printer, const QtPageRenderer &renderer, QWidget *dialogParent,
                               bool showDialog)
    : m_printer(printer), m_renderer(renderer), m_parent(dialogParent), m_showDialog(showDialog)
{
    m_printer.setFullPage(false);
}

QPrinterDevice::~QPrinterDevice()
{
    if (m_painter.isActive())
        abort();
}

PrintDevice::DialogResult QPrinterDevice::choosePrinter()
{
    if (!m_showDialog)
        return DialogResult::Accepted;
    QPrintDialog dialog(&m_printer, m_parent);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    // The dialog's own proposal is print.pdf in the working folder, which is
    // the program's data folder. Only the file box: naming the printer's file
    // would choose the file over the printers.
    if (!m_proposedFile.isEmpty() && m_printer.outputFileName().isEmpty())
        if (auto *file = dialog.findChild<QLineEdit *>(QStringLiteral("filename")))
            file->setText(m_proposedFile);
    return dialog.exec() == QDialog::Accepted ? DialogResult::Accepted : DialogResult::Cancelled;
}

bool QPrinterDevice::setLandscape(bool landscape)
{
    return m_printer.setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
}

bool QPrinterDevice::begin()
{
    m_target.clear();
    m_file.reset();
    m_filePrinter.reset();
    m_fileError = 0;
    const QString target = m_printer.outputFileName();
    if (!target.isEmpty()) {
        m_target = target;
        m_file = std::make_unique<AtomicFile>(Cp1252::toPath(target));
        // A full disk leaves an empty file: never a PDF.
        m_file->allowEmpty(false);
        if (!m_file->open()) {
            failFile(m_file->error());
            m_file.reset();
            return false;
        }
        // A printer of its own for every file: the PDF engine's stream keeps
        // a failed write's state, so after a full disk every later document
        // of the same printer would come out empty.
        m_filePrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
        m_filePrinter->setOutputFormat(QPrinter::PdfFormat);
        m_filePrinter->setResolution(m_printer.resolution());
        m_filePrinter->setFullPage(false);
        m_filePrinter->setPageLayout(m_printer.pageLayout());
        m_filePrinter->setColorMode(m_printer.colorMode());
        m_filePrinter->setDocName(m_printer.docName());
        m_filePrinter->setCreator(m_printer.creator());
        m_filePrinter->setOutputFileName(
            Cp1252::fromPath(m_file->isDirect() ? m_file->finalPath() : m_file->tempPath()));
    }
    if (!m_painter.begin(&active())) {
        failFile(EIO);
        dropTemporary();
        return false;
    }
    return true;
}

QPrinter &QPrinterDevice::active()
{
    return m_filePrinter ? *m_filePrinter : m_printer;
}

bool QPrinterDevice::newPage()
{
    return active().newPage();
}

bool QPrinterDevice::sendPage()
{
    const QImage &image = m_renderer.image();
    if (image.isNull() || !m_painter.isActive())
        return false;
    // Stretched over the whole printable area, whatever its proportions.
    QPrinter &printer = active();
    const QRect area(QPoint(0, 0), printer.pageLayout().paintRectPixels(printer.resolution()).size());
    // The page image's pixels are painted over for the next page. A PDF engine
    // writes the picture out at once; any other (the print preview records the
    // pages to play them later) must keep a copy of its own.
    const QPaintEngine *engine = m_painter.paintEngine();
    if (engine && engine->type() == QPaintEngine::Pdf)
        m_painter.drawImage(area, image);
    else
        m_painter.drawImage(area, image.copy());
    return true;
}

bool QPrinterDevice::end()
{
    bool ok = m_painter.isActive() && m_painter.end();
    if (!m_file)
        return ok;
    // The engine reports no write error of its own: the file shows whether
    // every byte arrived. A pipe cannot be read back.
    if (ok && !m_file->isDirect() && !PdfFileCheck::isComplete(m_file->tempPath())) {
        ok = false;
        failFile(-1);
    }
    if (ok && !m_file->commit()) {
        ok = false;
        failFile(m_file->error());
    }
    if (!ok && m_fileError == 0)
        failFile(EIO);
    dropTemporary();
    return ok;
}

void QPrinterDevice::abort()
{
    if (!m_file) {
        m_printer.abort();
        if (m_painter.isActive())
            m_painter.end();
        return;
    }
    if (m_painter.isActive())
        m_painter.end();
    dropTemporary();
}

void QPrinterDevice::dropTemporary()
{
    // Discards the temporary file unless it was committed.
    m_file.reset();
    m_filePrinter.reset();
}

void QPrinterDevice::failFile(int error)
{
    if (m_fileError == 0)
        m_fileError = error;
}

std::string QPrinterDevice::outputFile() const
{
    return Cp1252::toPath(m_printer.outputFileName());
}

std::string QPrinterDevice::failureText(const std::string &printerText) const
{
    if (m_target.isEmpty())
        return printerText;
    const std::string path = Cp1252::toPath(m_target);
    std::string cause;
    if (m_fileError > 0)
        cause = FileSystem::errorCause(m_fileError);
    else
        cause = "It could not be written whole: the disk may be full, or the file too large for it.";
    return "Error writing the PDF file " + path + ". " + cause + " Any former file of that name is unchanged.";
}

bool QPrinterDevice::splitsJobAtPause() const
{
    return m_printer.outputFormat() == QPrinter::NativeFormat && m_printer.outputFileName().isEmpty();
}

} // namespace quorvex
