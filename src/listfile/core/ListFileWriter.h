#pragma once

#include "BinaryOutStream.h"
#include "ListFileFormat.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <unordered_set>

namespace quorvex {

class ListDocument;
class MessageService;
class ProgressReporter;
struct PageSetup;

// What a writer saves.
struct ListFileSource {
    const ListDocument &document;
    const PageSetup &pageSetup;
    const std::string &listType;
};

// The writers of versions 1.1 to 1.4. A list is written to a temporary file
// in the target's folder, synced and renamed over the target, so a failed or
// aborted save leaves the previous file exactly as it was.
class ListFileWriter {
public:
    ListFileWriter(MessageService &messages, ProgressReporter &progress);

    // The folder version 1.1 embeds attachment files from.
    void setDatabaseFolder(const std::string &folder) { m_databaseFolder = folder; }
    void setProgressInterval(std::chrono::milliseconds interval) { m_progressInterval = interval; }
    // The longest cell text a record can hold; lowered only by tests.
    void setCellLengthLimit(std::uint64_t limit) { m_cellLimit = limit; }

    // 0 saved, 1 failed after a message, 10 aborted at a missing attachment.
    int SaveList_V11(const std::string &fileName, const ListFileSource &source);
    // 0 saved, 1 failed after a message.
    int SaveList_V12(const std::string &fileName, const ListFileSource &source);
    // The Unicode lists: the bodies of 1.1 and 1.2 in UTF-8. Results as above.
    int SaveList_V13(const std::string &fileName, const ListFileSource &source);
    int SaveList_V14(const std::string &fileName, const ListFileSource &source);
    // The writer of `version` (V11 to V14). The texts are converted when the
    // document's encoding is not the version's: to Windows-1252 a character it
    // cannot hold becomes "?" (see unstorableCharacters).
    int saveAs(const std::string &fileName, const ListFileSource &source, ListFileVersion version);
    // The writer that the path's extension and the document's encoding select
    // (a Unicode list is written as 1.3 or 1.4).
    int save(const std::string &fileName, const ListFileSource &source);

    // Characters of a Unicode list (cells and list type) that a version 1.1
    // or 1.2 list cannot hold; 0 for a Windows-1252 list.
    static std::size_t unstorableCharacters(const ListFileSource &source);

    // After a 1 for a cell too long: that cell's coordinates, else (-1, -1).
    int tooLongCol() const { return m_tooLongCol; }
    int tooLongRow() const { return m_tooLongRow; }

    // One embedded-file block for folder + fileName: 0 written, 5 skipped
    // (present = 0 written), 10 the user chose to abort (nothing written).
    int AddFileToFStreamBin(BinaryOutStream &out, const std::string &fileName, const std::string &folder);

private:
    int saveList(const std::string &fileName, const ListFileSource &source, ListFileVersion version);
    void reportRow(int row, int last, bool force);
    int addFile(BinaryOutStream &out, const std::string &fileName, const std::string &folder, TextEncoding encoding);

    MessageService &m_messages;
    ProgressReporter &m_progress;
    std::string m_databaseFolder;
    std::chrono::milliseconds m_progressInterval{20};
    std::chrono::steady_clock::time_point m_lastReport{};
    std::uint64_t m_cellLimit = 0x7FFFFFFFu;
    int m_tooLongCol = -1;
    int m_tooLongRow = -1;
};

} // namespace quorvex
