#pragma once

#include "platform/core/FileSystem.h"
#include "platform/core/TextEncoding.h"

#include <string>
#include <string_view>

namespace quorvex {

// Base and extension of an inserted file's name: "cover.jpg" is "cover" + ".jpg",
// "README" is "README" + "".
struct SourceNameParts {
    std::string base;
    std::string ext;
};

enum class StoreOutcome {
    Copied,        // a new file was made in the database folder
    Reused,        // an identical copy was already there
    CopyFailed,    // the copy could not be made (or the source is unusable)
    TargetMissing, // the copy reported success but the file is not there
};

struct StoreResult {
    StoreOutcome outcome = StoreOutcome::CopyFailed;
    std::string name; // the bare name in the database folder
};

// The database folder's side of attachments: where an inserted file goes and how
// an attachment is copied back out.
class AttachmentStore {
public:
    // Bounds the numbering so a crowded folder cannot stall the window.
    static constexpr int MaxNumberedNames = 100000;

    static SourceNameParts splitSourceName(const std::string &sourcePath);
    // base + ext for n = 0, otherwise base + n + ext.
    static std::string numberedName(const SourceNameParts &parts, int n);
    // The identity test for an existing copy: the last-write times agree to the
    // millisecond and the sizes match.
    static bool isSameFile(const std::string &source, const std::string &existing);

    // Copies `sourcePath` into `databaseFolder` under the first name of the
    // numbering that is free (the name made to round-trip through a reference), unless an identical copy is met first. The copy
    // keeps the source's access and write times and is never executable.
    // `encoding`: the list's; the name returned is the name on disk.
    static StoreResult storeFile(const std::string &sourcePath, const std::string &databaseFolder,
                                 TextEncoding encoding = TextEncoding::Windows1252);

    // A reference names its file in the list's encoding like every cell text; on
    // disk the file is named by the UTF-8 form of that text (a Unicode list's
    // reference is that name already).
    static std::string diskName(std::string_view referenceName, TextEncoding encoding = TextEncoding::Windows1252);
    // The reference text for a file name on disk: characters the encoding cannot
    // hold, and bytes that are not UTF-8, become "?".
    static std::string referenceName(std::string_view diskName, TextEncoding encoding = TextEncoding::Windows1252);
    // The file of a reference in `databaseFolder`. A Windows-1252 reference saved
    // as UTF-8 bytes by an older build is found as it is when such a file exists.
    static std::string pathOf(const std::string &databaseFolder, std::string_view referenceName,
                              TextEncoding encoding = TextEncoding::Windows1252);

    // Copies `source` to `destination`, replacing an existing file only once the
    // copy is complete (through a link: its target). Keeps the source's times;
    // the result is never executable. On failure `error` gets the errno.
    static bool copyReplacing(const std::string &source, const std::string &destination, int *error = nullptr);
};

} // namespace quorvex
