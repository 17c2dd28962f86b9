#pragma once

#include "import/core/TellicoArchive.h"
#include "import/core/TellicoCollection.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace quorvex {

class ListDocument;
class ProgressReporter;

struct TellicoImportLimits {
    ArchiveLimits archive;
    TellicoXmlLimits xml;
    std::size_t maxColumns = 16384;
};

// A Tellico collection into a Unicode list of the closest template: title,
// genre, cast (or artist, or author), running time, year, medium and plot go
// to the template's columns 2 to 8; every other field the entries use gets a
// column of its own after them, headed by the field's title. Pictures go into
// the database folder and their cells refer to them as inserted pictures do.
class TellicoImport {
public:
    using Limits = TellicoImportLimits;

    struct Result {
        bool ok = false;
        std::string error;
        std::string listType;
        std::size_t entries = 0;
        std::size_t picturesWritten = 0;
        std::size_t picturesReused = 0;
        // Pictures the entries name that the file does not hold.
        std::size_t picturesMissing = 0;
        // The first picture column, 0 when there is none.
        int pictureColumn = 0;
    };

    // With an empty `databaseFolder` no picture is written and picture cells stay empty.
    static Result importFile(const std::string &path, const std::string &databaseFolder, ListDocument &doc,
                             ProgressReporter *progress = nullptr, const Limits &limits = Limits());
    static Result importMemory(std::string_view bytes, const std::string &databaseFolder, ListDocument &doc,
                               const Limits &limits = Limits());

    // The template a collection is closest to, by its type and the medium most of its entries name.
    static std::string closestListType(const TellicoCollection &collection);

private:
    static Result run(TellicoArchive &archive, const std::string &databaseFolder, ListDocument &doc,
                      ProgressReporter *progress, const Limits &limits);
};

} // namespace quorvex
