#pragma once

#include "platform/core/TextEncoding.h"
#include "export/core/Thumbnailer.h"

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace quorvex {

class ListDocument;
class MessageService;
class NonInteractiveMessages;
class ProgressReporter;
struct ListFileSource;
struct PrintJob;

// quorvex-cli: list files for scripts, backups and migration. Exit codes:
// 0 success, 1 the operation failed (one line on `err`), 2 wrong arguments
// (the usage on `err`). Nothing is ever asked.
class CliTool {
public:
    static constexpr int ExitOk = 0;
    static constexpr int ExitFailed = 1;
    static constexpr int ExitUsage = 2;
    static constexpr const char *DefaultImportType = "dvdmovie";

    // The options every verb that reads or writes lists takes.
    struct ListOptions {
        // --database DIR: where attachments of a version 1.1 list are put when
        // it is read, and taken from when one is written.
        std::string database;
        // --strict: a missing attachment file ends the save instead of being skipped.
        bool strict = false;
    };

    CliTool(std::ostream &out, std::ostream &err) : m_out(out), m_err(err) {}

    // `args` without the program name.
    int run(const std::vector<std::string> &args);

    static std::string usage();

    // Tab- or comma-separated text into a list (TextListImport): the first line
    // gives the headers of columns 1.., every further line a data row.
    // False when the text cannot be read or does not fit a list.
    static bool importText(const std::string &text, ListDocument &doc);
    // The export file's bytes: rows 0 to the last, columns 1 to the last, TAB
    // between cells, CR after every row, a line feed inside a cell as CR LF.
    static std::string exportText(const ListDocument &doc);
    // export --utf8: the same cells as UTF-8 from either kind of list, LF
    // after every row, line feeds in cells kept as they are.
    static std::string exportUtf8Text(const ListDocument &doc);

    // Prints a job into a PDF file; the program sets it when it is built with
    // the windowing toolkit. Returns 0 when written.
    using PdfPrintFunction = std::function<int(const ListDocument &doc, const PrintJob &job, const std::string &out,
                                               MessageService &messages)>;
    static void setPdfPrinter(PdfPrintFunction printer);
    // Reads the picture formats the catalogue's own decoders do not (bitmaps, icons).
    static void setPictureReader(Thumbnailer::ForeignReader reader);
    // The program ends right after run(): the lists it read may be left to the
    // process's end instead of being freed row by row.
    static void setProcessEndsAfterRun(bool ends);

private:
    int info(const std::string &list);
    int exportList(const std::string &list, const std::string &out, bool utf8);
    // `encoding`: the kind of list written (--unicode, --windows-1252), else the one read.
    int convert(const std::string &in, const std::string &out, const std::string &database,
                std::optional<TextEncoding> encoding);
    int import(const std::string &in, const std::string &out, const std::string &type, TextEncoding encoding);
    // A Tellico collection (.tc): its pictures go into --database DIR.
    int importTellico(const std::string &in, const std::string &out);
    // export --csv: comma-separated UTF-8 with a header row.
    int exportCsv(const std::string &list, const std::string &out);
    // html LIST OUTDIR: the web-page catalogue.
    int html(const std::vector<std::string> &args);
    int extract(const std::string &list, const std::string &folder);
    int print(const std::vector<std::string> &args);
    // Sorts a list as the Sort command does and writes it like convert.
    int sort(const std::vector<std::string> &args);
    // Replace All without questions from the first data cell; prints the count.
    // The figures of a list: items, distinct texts per column with their counts.
    int stats(const std::vector<std::string> &args);
    int replace(const std::string &in, const std::string &out, const std::string &find, const std::string &with,
                bool entireCell);

    // The database folder given, else `scratch`.
    std::string attachmentFolder(const std::string &scratch) const;
    // Saves a list in the version its name gives, through a link to its
    // target; skipped attachments get a warning line each.
    int writeList(const std::string &outPath, const ListFileSource &source, const std::string &folder,
                  NonInteractiveMessages &messages, ProgressReporter &progress);

    int fail(const std::string &line);
    int usageError();

    std::ostream &m_out;
    std::ostream &m_err;
    ListOptions m_options;
};

} // namespace quorvex
