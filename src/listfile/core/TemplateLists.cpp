#include "TemplateLists.h"

#include "ListFileWriter.h"
#include "platform/core/FileSystem.h"
#include "platform/core/ProgressReporter.h"
#include "document/core/ListDocument.h"
#include "document/core/PageSetup.h"

namespace quorvex {

namespace {

bool isMovieType(const std::string &type)
{
    return type == "vhsmovie" || type == "dvdmovie" || type == "vcdmovie" || type == "svcdmovie" ||
           type == "bdmovie";
}

} // namespace

const std::array<TemplateLists::Kind, 9> &TemplateLists::kinds()
{
    static const std::array<Kind, 9> all{{{"VHS.lst", "vhsmovie"},
                                          {"DVD.lst", "dvdmovie"},
                                          {"VCD.lst", "vcdmovie"},
                                          {"SVCD.lst", "svcdmovie"},
                                          {"BD.lst", "bdmovie"},
                                          {"CD.lst", "cdmusic"},
                                          {"Cassette.lst", "cassettemusic"},
                                          {"Record.lst", "recordmusic"},
                                          {"8Track.lst", "8trackmusic"}}};
    return all;
}

std::array<std::string, 8> TemplateLists::defaultHeaders(const std::string &type)
{
    std::array<std::string, 8> h;
    if (isMovieType(type)) {
        h = {"", "Movie Title", "Genre", "Main Actor", "Duration", "Year", "Quality", "Description / Plot Summary"};
        h[0] = type == "vhsmovie" ? "Tape#" : type == "dvdmovie" ? "DVD #" : type == "vcdmovie" ? "VCD #"
               : type == "svcdmovie"                             ? "SVCD#"
                                                                 : "BD #";
        return h;
    }
    h = {"", "", "Genre", "Artist / Group", "Duration", "Year", "Quality", "Comment"};
    if (type == "cdmusic") {
        h[0] = "CD #";
        h[1] = "CD Title";
    } else if (type == "cassettemusic") {
        h[0] = "Tape#";
        h[1] = "Cassette Title";
    } else if (type == "recordmusic") {
        h[0] = "Rec #";
        h[1] = "Record Title";
    } else {
        h[0] = "Tape#";
        h[1] = "Eight Track Title";
    }
    return h;
}

void TemplateLists::build(const std::string &type, ListDocument &doc, PageSetup &setup)
{
    doc = ListDocument(9, 2);
    static const int widths[9] = {40, 50, 200, 90, 120, 60, 40, 60, 250};
    for (int c = 0; c < 9; ++c)
        doc.SetColWidth(c, widths[c]);
    const auto headers = defaultHeaders(type);
    for (int c = 1; c <= 8; ++c)
        doc.SetCell(c, 0, headers[static_cast<std::size_t>(c - 1)]);
    doc.SetCell(0, 1, " 1");
    setup = PageSetup();
    if (isMovieType(type))
        setup.maxWidths = {{5, 40, 20, 9, 16, 8, 4, 17}};
    else
        setup.maxWidths = {{5, 31, 27, 10, 17, 8, 4, 17}};
    setup.leftIndent = 90;
    setup.topIndent = 90;
    setup.landscape = false;
}

bool TemplateLists::writeAll(const std::string &folder, MessageService &messages)
{
    if (!FileSystem::isDirectory(folder) && !FileSystem::createFolders(folder))
        return false;
    SilentProgress progress;
    ListFileWriter writer(messages, progress);
    for (const Kind &kind : kinds()) {
        ListDocument doc;
        PageSetup setup;
        const std::string type = kind.listType;
        build(type, doc, setup);
        if (writer.SaveList_V11(FileSystem::join(folder, kind.fileName), ListFileSource{doc, setup, type}) != 0)
            return false;
    }
    return true;
}

} // namespace quorvex
