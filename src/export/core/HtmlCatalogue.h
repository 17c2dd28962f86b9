#pragma once

#include "Thumbnailer.h"
#include "document/core/GridAppearance.h"

#include <string>
#include <vector>

namespace quorvex {

class ListDocument;
class ProgressReporter;

// A web page of a list: OUTDIR/index.html with the list as a table that sorts
// by a click on a header, a search box and pages of 1,000 rows; picture
// attachments shown as thumbnails (OUTDIR/thumbs/) linking to a copy of the
// picture (OUTDIR/pictures/), so the folder can be passed on whole. The grid's
// colours are the page's. Every file is written through the atomic write path
// and never through a link; only names that stay inside the database folder
// are read.
class HtmlCatalogue {
public:
    static constexpr int PageRows = 1000;
    static constexpr const char *IndexName = "index.html";
    static constexpr const char *ThumbFolder = "thumbs";
    static constexpr const char *PictureFolder = "pictures";
    static constexpr const char *ProgressSuffix = "% - Writing the HTML catalogue.";

    struct Options {
        std::vector<int> rows; // the data rows, in order; empty for all
        std::string databaseFolder;
        std::string title; // UTF-8
        GridAppearance appearance;
        Thumbnailer::ForeignReader foreignReader;
        ProgressReporter *progress = nullptr;
        int pageRows = PageRows;
    };

    struct Result {
        bool ok = false;
        std::string error; // why nothing (or not the page) was written
        int rows = 0;
        int pictures = 0;         // distinct picture files the rows refer to
        int thumbnailsWritten = 0;
        int thumbnailsKept = 0;   // already there from an earlier export of the same file
        std::vector<std::string> missing;    // not in the database folder (UTF-8 names)
        std::vector<std::string> unreadable; // there, but not a picture this system reads
        std::vector<std::string> refused;    // names that would leave the database folder
    };

    // True when the folder holds an index.html this program did not write.
    static bool holdsForeignIndex(const std::string &outFolder);
    static bool holdsIndex(const std::string &outFolder);

    static Result write(const ListDocument &doc, const std::string &outFolder, const Options &options);
};

} // namespace quorvex
