#pragma once

#include "print/core/PrintDevice.h"

#include <QPainter>
#include <QString>

class QPrinter;
class QWidget;

namespace quorvex {

class QtPageRenderer;

// A QPrinter as the print engine's device. Printing to a file renders into a
// temporary file beside the chosen one and renames it when the job is done,
// so a cancelled or failed job leaves nothing at that path.
class QPrinterDevice final : public PrintDevice {
public:
    // With a dialog parent the system print dialog is shown first; without, the
    // printer is used as it was set up.
    QPrinterDevice(QPrinter &printer, const QtPageRenderer &renderer, QWidget *dialogParent = nullptr,
                   bool showDialog = true);
    ~QPrinterDevice() override;

    // The file the print dialog offers when the user picks printing to a
    // file and the printer has none yet.
    void setProposedFile(const QString &path) { m_proposedFile = path; }

    DialogResult choosePrinter() override;
    bool setLandscape(bool landscape) override;
    bool begin() override;
    bool newPage() override;
    bool sendPage() override;
    bool end() override;
    void abort() override;
    bool splitsJobAtPause() const override;

private:
    void dropTemporary();

    QPrinter &m_printer;
    const QtPageRenderer &m_renderer;
    QWidget *m_parent;
    bool m_showDialog;
    QPainter m_painter;
    QString m_proposedFile;
    QString m_target;
    QString m_temporary;
};

} // namespace quorvex
