#pragma once

#include "BinaryInStream.h"
#include "ListFileFormat.h"
#include "platform/core/FileSystem.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace quorvex {

class ListDocument;
class MessageService;
class ProgressReporter;
struct PageSetup;

// Where a reader puts what it reads.
struct ListFileTarget {
    ListDocument &document;
    PageSetup &pageSetup;
    std::string &listType;
};

// One attachment record met while reading a version 1.1 list.
struct EmbeddedFileRecord {
    int col = 0;
    int row = 0;
    std::string name;       // the reference's name part, raw bytes
    bool present = false;   // the record carried the file's data
    std::uint64_t size = 0; // when present
    FileTimes times;        // when present
    int result = 0;         // what GetFileFromFStreamBin returned
};

// The readers of the list file versions 1.0 to 1.4. They talk to the user only
// through the message and progress services; nothing of the window is touched.
class ListFileReader {
public:
    ListFileReader(MessageService &messages, ProgressReporter &progress);

    // The folder version 1.1 attachments are written to (trailing "/" optional).
    void setDatabaseFolder(const std::string &folder) { m_databaseFolder = folder; }
    const std::string &databaseFolder() const { return m_databaseFolder; }
    // False: embedded files are read past and listed, nothing is written.
    void setExtractAttachments(bool extract) { m_extract = extract; }
    // The least time between two progress reports inside the row loops; zero
    // reports at every step the format names.
    void setProgressInterval(std::chrono::milliseconds interval) { m_progressInterval = interval; }
    // Lists of at least this many rows have their rows decoded on two threads
    // (the outcome is the same as row by row).
    void setParallelRowThreshold(int rows) { m_parallelRows = rows; }

    // Opens `path` and reads its signature, leaving `in` right after it (after
    // the 10 characters of version 1.0, after the 30 bytes of the binary
    // versions). On failure shows the open sequence's message and returns Unknown.
    ListFileVersion openAndDetect(const std::string &path, BinaryInStream &in);
    // Runs the reader of `version` on a stream from openAndDetect; closes it.
    int readBody(ListFileVersion version, BinaryInStream &in, const std::string &fileName,
                 const ListFileTarget &target);
    // Both steps in one, for callers without a window. `version` receives the
    // version found (Unknown when the file was refused, result 1 then).
    int readFile(const std::string &path, const ListFileTarget &target, ListFileVersion *version = nullptr);

    // Readers of the bodies: 0 loaded, 1 failed after a message, 10 aborted.
    int LoadList_V10(BinaryInStream &in, const std::string &fileName, const ListFileTarget &target);
    int LoadList_V11(BinaryInStream &in, const std::string &fileName, const ListFileTarget &target);
    int LoadList_V12(BinaryInStream &in, const std::string &fileName, const ListFileTarget &target);
    // The Unicode lists: the document's encoding becomes UTF-8.
    int LoadList_V13(BinaryInStream &in, const std::string &fileName, const ListFileTarget &target);
    int LoadList_V14(BinaryInStream &in, const std::string &fileName, const ListFileTarget &target);

    // One embedded-file block: 0 done (written, already there, no data or read
    // past), 5 skipped because it could not be written, 10 aborted by the user.
    int GetFileFromFStreamBin(BinaryInStream &in, const std::string &fileName, const std::string &folder);
    // Discards `count` bytes in pieces of at most 10000; nothing for count <= 0.
    static void SkipBytes(BinaryInStream &in, std::int64_t count);

    // Of the last read: the attachment records of a version 1.1 list, and the
    // names refused as unsafe file names.
    const std::vector<EmbeddedFileRecord> &embeddedFiles() const { return m_embedded; }
    const std::vector<std::string> &refusedNames() const { return m_refused; }
    // The last read found header or trailer data of a later version.
    bool hadExtraData() const { return m_extra; }

private:
    int loadBinary(BinaryInStream &in, const ListFileTarget &target, ListFileVersion version);
    void reportRow(int row, int last, const char *verb, bool force);
    int decodeRowsInParallel(const unsigned char *data, std::size_t size, ListDocument &doc, int cols, int rows,
                             bool v11, int last, std::size_t &used);
    void reportRefusedNames(const char *routine);

    MessageService &m_messages;
    ProgressReporter &m_progress;
    std::string m_databaseFolder;
    bool m_extract = true;
    // Of the list being read: how its attachment names are spelt.
    TextEncoding m_encoding = TextEncoding::Windows1252;
    bool m_extra = false;
    std::chrono::milliseconds m_progressInterval{20};
    int m_parallelRows = 50000;
    std::chrono::steady_clock::time_point m_lastReport{};
    std::vector<EmbeddedFileRecord> m_embedded;
    std::vector<std::string> m_refused;
    std::string m_sweptFolder;
};

} // namespace quorvex
