#pragma once

#include "FakeServices.h"
#include "TempFolder.h"
#include "platform/core/FileSystem.h"
#include "document/core/ListDocument.h"
#include "listfile/core/ListFileReader.h"
#include "listfile/core/ListFileWriter.h"
#include "document/core/PageSetup.h"

#include <cstdint>
#include <cstdio>
#include <string>

namespace quorvex::test {

// Little-endian bytes as the list files hold them.
struct Bytes {
    std::string data;
    Bytes &raw(const std::string &s) { data += s; return *this; }
    Bytes &i32(std::int32_t v)
    {
        for (int i = 0; i < 4; ++i)
            data += static_cast<char>((static_cast<std::uint32_t>(v) >> (8 * i)) & 0xFF);
        return *this;
    }
    Bytes &u8(int v) { data += static_cast<char>(v); return *this; }
    Bytes &text(const std::string &s) { return i32(static_cast<std::int32_t>(s.size())).raw(s); }
};

// The list of the worked example: dvdmovie, 2 x 2, "Tape#" and " 1".
struct ExampleList {
    ListDocument doc{2, 2};
    PageSetup setup;
    std::string type = "dvdmovie";
    ExampleList()
    {
        doc.SetColWidth(0, 16);
        doc.SetColWidth(1, 120);
        setup.maxWidths = {{5, 30, 10, 10, 15, 8, 4, 20}};
        setup.maxEntries = 54;
        setup.leftIndent = 10;
        setup.topIndent = 10;
        setup.landscape = false;
        doc.SetCell(1, 0, "Tape#");
        doc.SetCell(0, 1, " 1");
    }
    ListFileSource source() const { return ListFileSource{doc, setup, type}; }
};

// Everything of the example up to the cell records, for hand-made files.
inline Bytes exampleHead(const char *tag, int headerExtra = 0, int pageExtra = 0)
{
    Bytes b;
    b.raw("QuorvexListFile").raw(tag).i32(28 + headerExtra).text("dvdmovie").i32(2).i32(2).i32(16).i32(120);
    b.data.append(static_cast<std::size_t>(headerExtra), 'x');
    b.i32(45 + pageExtra);
    for (int v : {5, 30, 10, 10, 15, 8, 4, 20, 54, 10, 10})
        b.i32(v);
    b.u8(0);
    b.data.append(static_cast<std::size_t>(pageExtra), 'y');
    return b;
}

inline void writeBytes(const std::string &path, const std::string &data)
{
    std::FILE *f = std::fopen(path.c_str(), "wb");
    std::fwrite(data.data(), 1, data.size(), f);
    std::fclose(f);
}

inline std::string readBytes(const std::string &path)
{
    return FileSystem::readFile(path).value_or(std::string());
}

// A reader with fakes, reporting progress at every step.
struct ReaderFixture {
    ScriptedMessages messages;
    RecordingProgress progress;
    ListFileReader reader{messages, progress};
    ListDocument doc;
    PageSetup setup;
    std::string type;
    ReaderFixture() { reader.setProgressInterval(std::chrono::milliseconds(0)); }
    int read(const std::string &path, ListFileVersion *version = nullptr)
    {
        return reader.readFile(path, ListFileTarget{doc, setup, type}, version);
    }
};

struct WriterFixture {
    ScriptedMessages messages;
    RecordingProgress progress;
    ListFileWriter writer{messages, progress};
    WriterFixture() { writer.setProgressInterval(std::chrono::milliseconds(0)); }
};

} // namespace quorvex::test
