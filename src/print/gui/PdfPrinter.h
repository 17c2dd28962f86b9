#pragma once

#include <QFont>

#include <string>

namespace quorvex {

class ListDocument;
class MessageService;
class ProgressReporter;
struct PrintJob;

// Prints a job into a PDF file without any window: for scripts and checks.
class PdfPrinter {
public:
    // 0 written, otherwise the engine's result after its message.
    static int print(const ListDocument &doc, const PrintJob &job, const QFont &gridFont, const std::string &path,
                     MessageService &messages, ProgressReporter &progress);
};

} // namespace quorvex
