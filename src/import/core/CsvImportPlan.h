#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace quorvex {

class ListDocument;
class ProgressReporter;

enum class CsvEncoding { Detect, Utf8, Windows1252, Latin1, Utf16 };
enum class CsvSeparator { Detect, Tab, Comma, Semicolon };

// Where one column of the text goes.
struct CsvDestination {
    enum class Kind { TemplateColumn, NewColumn, Skip };
    Kind kind = Kind::NewColumn;
    // 1 to 8 for a template column.
    int column = 0;
    bool operator==(const CsvDestination &o) const
    {
        return kind == o.kind && (kind != Kind::TemplateColumn || column == o.column);
    }
};

struct CsvImportOptions {
    CsvEncoding encoding = CsvEncoding::Detect;
    CsvSeparator separator = CsvSeparator::Detect;
    bool headerRow = true;
    std::string listType = "dvdmovie";
    // One per column of the text; a column past the end is a new column.
    std::vector<CsvDestination> destinations;
};

struct CsvImportLimits {
    std::uint64_t maxFileBytes = 1ull << 30;
    std::size_t maxColumns = 16384;
    std::size_t maxRows = 10000000;
    std::size_t maxFieldBytes = 1u << 20;
};

// Comma-, semicolon- or tab-separated text as spreadsheets write it (quoted
// fields, doubled quotes, line breaks inside quotes, a byte order mark) into a
// Unicode list of a template. The preview and the import both come from
// build(): the preview is the same list cut after its first rows.
class CsvImportPlan {
public:
    using Limits = CsvImportLimits;

    struct Result {
        bool ok = false;
        bool cancelled = false;
        std::string error;
        std::size_t rows = 0;
        // Bytes that were not text in the chosen encoding and became U+FFFD.
        std::size_t replaced = 0;
    };

    explicit CsvImportPlan(const Limits &limits = Limits());

    // False after a message in `error`.
    bool loadFile(const std::string &path, std::string &error);
    void setBytes(std::string bytes);

    // What Detect stands for with these bytes: a byte order mark, then
    // UTF-16 by its zero bytes, then valid UTF-8, else Windows-1252.
    CsvEncoding detectedEncoding() const;
    // Tab when the first line holds one, else the more frequent of semicolon
    // and comma (comma on a tie or when it holds neither).
    char detectedSeparator(CsvEncoding encoding) const;
    char separatorOf(const CsvImportOptions &options) const;

    // The first `rows` rows of the text as it is, for choosing destinations.
    std::vector<std::vector<std::string>> sourceRows(const CsvImportOptions &options, std::size_t rows) const;
    // Header texts matched to the template's headers (case and blanks aside), the rest new columns.
    static std::vector<CsvDestination> defaultDestinations(const std::vector<std::string> &headers,
                                                           const std::string &listType);

    // The list: the template's nine columns, then one column per source column
    // sent to a new one, in the text's order. At most `maxDataRows` data rows.
    Result build(const CsvImportOptions &options, ListDocument &doc,
                 std::size_t maxDataRows = std::numeric_limits<std::size_t>::max(),
                 ProgressReporter *progress = nullptr) const;

    // The bytes decoded to UTF-8 (a byte order mark left out).
    std::string decode(CsvEncoding encoding, std::size_t *replaced = nullptr) const;

private:
    CsvEncoding resolved(CsvEncoding encoding) const;
    bool utf16BigEndian() const;

    Limits m_limits;
    std::string m_bytes;
    // The last decoding, kept for the live preview's many builds.
    mutable CsvEncoding m_decodedAs = CsvEncoding::Detect;
    mutable std::string m_decoded;
    mutable std::size_t m_decodedReplaced = 0;
    const std::string &decoded(CsvEncoding encoding, std::size_t &replaced) const;
};

} // namespace quorvex
