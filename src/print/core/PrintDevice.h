#pragma once

#include <string>

namespace quorvex {

// The printer as a print job drives it. Each call returns false when the
// printer refused it.
class PrintDevice {
public:
    enum class DialogResult { Accepted, Cancelled, Failed };

    virtual ~PrintDevice() = default;
    // The system print dialog (or nothing, for a device chosen beforehand).
    virtual DialogResult choosePrinter() = 0;
    virtual bool setLandscape(bool landscape) = 0;
    virtual bool begin() = 0;
    virtual bool newPage() = 0;
    // Sends the page the renderer just drew, stretched over the printable area.
    virtual bool sendPage() = 0;
    virtual bool end() = 0;
    // Throws away the document: nothing of it reaches paper or file.
    virtual void abort() = 0;
    // A printer queue prints nothing until its job ends, so a pause to turn
    // the paper means something only when the odd pages went out as a job
    // of their own. A file keeps one document.
    virtual bool splitsJobAtPause() const { return false; }
    // The file the job writes once the printer is chosen; empty for a printer.
    virtual std::string outputFile() const { return std::string(); }
    // What a failure is told as: a printer's message, or for a file one that
    // names the file and the cause.
    virtual std::string failureText(const std::string &printerText) const { return printerText; }
};

} // namespace quorvex
