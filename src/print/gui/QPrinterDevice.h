#pragma once

#include "print/core/PrintDevice.h"

#include <QPainter>
#include <QString>

#include <memory>
#include <string>

class QPrinter;
class QWidget;

namespace quorvex {

class AtomicFile;
class QtPageRenderer;

// A QPrinter as the print engine's device. Printing to a file renders into a
// temporary file beside the chosen one (beside a link's target), checks that
// the PDF is whole and renames it over the file only then, so a cancelled or
// failed job leaves any former file as it was. A pipe or terminal is written
// directly.
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
    std::string outputFile() const override;
    std::string failureText(const std::string &printerText) const override;

private:
    void dropTemporary();
    void failFile(int error);
    QPrinter &active();

    QPrinter &m_printer;
    const QtPageRenderer &m_renderer;
    QWidget *m_parent;
    bool m_showDialog;
    QPainter m_painter;
    QString m_proposedFile;
    QString m_target;
    std::unique_ptr<AtomicFile> m_file;
    // Writes the file; the chosen printer keeps the settings.
    std::unique_ptr<QPrinter> m_filePrinter;
    // The errno of a failed file job; -1: the PDF came out incomplete.
    int m_fileError = 0;
};

} // namespace quorvex
