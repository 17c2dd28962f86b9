#pragma once

#include "platform/core/FileSystem.h"
#include "platform/core/MessageService.h"
#include "platform/core/ProgressReporter.h"
#include "document/core/ListDocument.h"
#include "listfile/core/ListFileReader.h"
#include "document/core/PageSetup.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace quorvex::fuzz {

// Answers every box with its first button, so both the skip and the go-on paths run.
class QuietMessages final : public MessageService {
public:
    MessageAnswer show(MessageKind, const std::string &, MessageButtons buttons) override
    {
        ++m_count;
        if (buttons == MessageButtons::OkCancel)
            return (m_count & 1) ? MessageAnswer::Ok : MessageAnswer::Cancel;
        return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::Yes;
    }
    void showException(const std::string &) override {}

private:
    unsigned m_count = 0;
};

// A private database folder for the process, emptied now and then so that it
// never grows without bound, and removed at exit.
struct ScratchFolder {
    std::string path;
    ScratchFolder()
    {
        char name[] = "/tmp/quorvex-fuzz-XXXXXX";
        if (!::mkdtemp(name))
            std::abort();
        path = std::string(name) + "/";
    }
    ~ScratchFolder() { FileSystem::RemoveFolder(path); }
};

inline const std::string &databaseFolder()
{
    static ScratchFolder folder;
    static unsigned runs = 0;
    if (++runs % 512 == 0)
        FileSystem::ClearFolder(folder.path);
    return folder.path;
}

// Runs one body reader over the input; returns its result and the cells it
// read, row by row. Lists of `parallelRows` rows or more are decoded on two threads.
inline std::vector<std::string> readBody(const std::uint8_t *data, std::size_t size, ListFileVersion version,
                                         int parallelRows = 50000)
{
    QuietMessages messages;
    SilentProgress progress;
    ListFileReader reader(messages, progress);
    reader.setDatabaseFolder(databaseFolder());
    reader.setProgressInterval(std::chrono::milliseconds(0));
    reader.setParallelRowThreshold(parallelRows);
    ListDocument doc;
    PageSetup setup;
    std::string type;
    BinaryInStream in;
    in.openMemory(data, size);
    std::vector<std::string> read{std::to_string(reader.readBody(version, in, "fuzz.lst",
                                                                 ListFileTarget{doc, setup, type}))};
    // Touch what was read so that a broken row shows up here.
    std::size_t total = 0;
    for (int r = 0; r < doc.RowCount(); ++r) {
        read.emplace_back();
        for (int c = 0; c < doc.ColCount(); ++c) {
            total += doc.cellView(c, r).size();
            read.back() += std::to_string(doc.cellView(c, r).size()) + ":";
            read.back() += doc.cellView(c, r);
        }
    }
    if (total > size * 2 + 64)
        std::abort();
    return read;
}

} // namespace quorvex::fuzz
