#include "QPrinterDevice.h"

#include "QtPageRenderer.h"

#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPaintEngine>
#include <QPrintDialog>
#include <QPrinter>
#include <QTemporaryFile>

#include <cstdio>

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
    m_temporary.clear();
    const QString target = m_printer.outputFileName();
    if (!target.isEmpty()) {
        const QFileInfo info(target);
        QTemporaryFile temporary(info.absolutePath() + QStringLiteral("/.") + info.fileName() +
                                 QStringLiteral(".XXXXXX"));
        temporary.setAutoRemove(false);
        if (!temporary.open())
            return false;
        m_target = target;
        m_temporary = temporary.fileName();
        temporary.close();
        m_printer.setOutputFileName(m_temporary);
    }
    if (!m_painter.begin(&m_printer)) {
        dropTemporary();
        return false;
    }
    return true;
}

bool QPrinterDevice::newPage()
{
    return m_printer.newPage();
}

bool QPrinterDevice::sendPage()
{
    const QImage &image = m_renderer.image();
    if (image.isNull() || !m_painter.isActive())
        return false;
    // Stretched over the whole printable area, whatever its proportions.
    const QRect area(QPoint(0, 0), m_printer.pageLayout().paintRectPixels(m_printer.resolution()).size());
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
    if (!m_temporary.isEmpty()) {
        m_printer.setOutputFileName(m_target);
        if (ok) {
            const QByteArray from = QFile::encodeName(m_temporary);
            const QByteArray to = QFile::encodeName(m_target);
            ok = std::rename(from.constData(), to.constData()) == 0;
            if (ok)
                QFile::setPermissions(m_target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                                    QFile::ReadOther);
        }
        if (!ok)
            QFile::remove(m_temporary);
        m_temporary.clear();
    }
    return ok;
}

void QPrinterDevice::abort()
{
    if (m_temporary.isEmpty()) {
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
    if (m_temporary.isEmpty())
        return;
    QFile::remove(m_temporary);
    m_printer.setOutputFileName(m_target);
    m_temporary.clear();
}

bool QPrinterDevice::splitsJobAtPause() const
{
    return m_printer.outputFormat() == QPrinter::NativeFormat && m_printer.outputFileName().isEmpty();
}

} // namespace quorvex
