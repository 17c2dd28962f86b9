#pragma once

#include "Thumbnailer.h"

#include <optional>
#include <string>
#include <vector>

namespace quorvex {

class Editor;

// File > Export > CSV and HTML catalogue as the window runs them: the
// questions before a file is replaced, the work, and the messages after it.
// Results: 0 written, 5 not written at the user's answer, 1 failed after a message.
class ListExportCommands {
public:
    static constexpr const char *CsvFilter = "CSV (spreadsheet) (*.csv)|*.csv|All Files (*.*)|*.*";
    static constexpr const char *CsvDefaultName = "My List.csv";
    static constexpr const char *CatalogueDefaultFolder = "My List Catalogue";
    static constexpr const char *CsvReadOnlyQuestion =
        "The CSV file being saved is read-only. Do you want Quorvex to make this file writable?";
    static constexpr const char *NotExported = "List NOT exported.";
    static constexpr const char *MakeWritableFailed =
        "Quorvex was unable to make the CSV file writable. Please make sure it is not on a write protected disk.";

    explicit ListExportCommands(Editor &editor) : m_editor(editor) {}

    // `rows`: the data rows to export in their order (the rows shown); empty for all.
    int exportCsv(const std::optional<std::string> &path, const std::vector<int> &rows);
    // Writes the catalogue into `folder` and opens its page in the desktop's browser.
    int exportCatalogue(const std::optional<std::string> &folder, const std::vector<int> &rows,
                        const std::string &title);

    // Reads the formats the catalogue's own decoders do not (the window side's reader).
    void setForeignReader(Thumbnailer::ForeignReader reader) { m_foreign = std::move(reader); }

    static std::string replaceCatalogueQuestion(const std::string &folder, bool foreign);
    // The names of the pictures left out, at most `limit` of them.
    static std::string leftOutMessage(const std::vector<std::string> &missing,
                                      const std::vector<std::string> &unreadable,
                                      const std::vector<std::string> &refused, std::size_t limit = 10);

private:
    void finish();

    Editor &m_editor;
    Thumbnailer::ForeignReader m_foreign;
};

} // namespace quorvex
