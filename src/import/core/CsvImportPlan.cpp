#include "CsvImportPlan.h"

#include "document/core/CellRow.h"
#include "document/core/ListDocument.h"
#include "document/core/PageSetup.h"
#include "listfile/core/TemplateLists.h"
#include "listfile/core/TextListImport.h"
#include "platform/core/FileSystem.h"
#include "platform/core/ProgressReporter.h"
#include "platform/core/UnicodeText.h"

#include <csv.h>

#include <algorithm>
#include <array>
#include <functional>
#include <new>

namespace quorvex {

namespace {

constexpr std::size_t BlockSize = 65536;
const char *const ProgressText = "Importing CSV text...";

bool hasPrefix(std::string_view bytes, std::string_view prefix) { return bytes.substr(0, prefix.size()) == prefix; }

// A single-byte text to UTF-8 through a table, sized exactly up front: a
// million rows must not pay for growing the text.
std::string fromSingleByte(std::string_view in, bool windows1252)
{
    struct Table {
        char bytes[256][4];
        unsigned char length[256];
    };
    static const auto tables = [] {
        std::array<Table, 2> t{};
        for (int kind = 0; kind < 2; ++kind)
            for (int b = 0; b < 256; ++b) {
                std::string u;
                UnicodeText::append(u, kind == 1 ? UnicodeText::cp1252Char(static_cast<unsigned char>(b))
                                                 : static_cast<char32_t>(b));
                std::copy(u.begin(), u.end(), t[static_cast<std::size_t>(kind)].bytes[b]);
                t[static_cast<std::size_t>(kind)].length[b] = static_cast<unsigned char>(u.size());
            }
        return t;
    }();
    const Table &table = tables[windows1252 ? 1 : 0];
    std::size_t size = 0;
    for (const char c : in)
        size += table.length[static_cast<unsigned char>(c)];
    std::string out(size, '\0');
    char *o = out.data();
    for (const char c : in) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80) {
            *o++ = c;
            continue;
        }
        for (unsigned char k = 0; k < table.length[b]; ++k)
            *o++ = table.bytes[b][k];
    }
    return out;
}

// Splits the text into rows of fields with libcsv. `onRow` returns false to stop.
class CsvRows {
public:
    using RowHandler = std::function<bool(const std::vector<std::string_view> &)>;

    CsvRows(char separator, const CsvImportLimits &limits, RowHandler onRow) : m_limits(limits), m_onRow(std::move(onRow))
    {
        if (csv_init(&m_parser, 0) != 0)
            throw std::bad_alloc();
        csv_set_delim(&m_parser, static_cast<unsigned char>(separator));
        // Blanks around a field are data, as spreadsheets read them.
        csv_set_space_func(&m_parser, [](unsigned char) { return 0; });
        csv_set_blk_size(&m_parser, BlockSize);
    }
    ~CsvRows() { csv_free(&m_parser); }
    CsvRows(const CsvRows &) = delete;
    CsvRows &operator=(const CsvRows &) = delete;

    // False when stopped or failed.
    bool run(std::string_view text, ProgressReporter *progress, bool &cancelled)
    {
        int shown = -1;
        for (std::size_t done = 0; done < text.size() && m_go && m_error.empty();) {
            const std::size_t n = std::min(BlockSize, text.size() - done);
            if (csv_parse(&m_parser, text.data() + done, n, onField, onRow, this) != n)
                parserFailed();
            else if (csv_get_buffer_size(&m_parser) > m_limits.maxFieldBytes + 2 * BlockSize)
                fieldTooLong();
            done += n;
            if (progress) {
                const int percent = static_cast<int>(done * 100 / text.size());
                if (percent != shown) {
                    shown = percent;
                    progress->setProgress(percent, ProgressText);
                    progress->pumpEvents();
                    if (progress->isCancelled()) {
                        cancelled = true;
                        return false;
                    }
                }
            }
        }
        if (!m_go)
            return true;
        if (m_error.empty()) {
            // 2 is libcsv's "field begun" state: the text ends inside quotes.
            if (m_parser.pstate == 2 && m_parser.quoted)
                fail("The text ends inside a quoted field: a quote in row " + std::to_string(m_rowCount + 1) +
                     " is never closed.");
            else if (csv_fini(&m_parser, onField, onRow, this) != 0)
                parserFailed();
        }
        return m_error.empty();
    }
    const std::string &error() const { return m_error; }

private:
    void fail(std::string message)
    {
        if (m_error.empty())
            m_error = std::move(message);
    }
    void fieldTooLong()
    {
        fail("A field in row " + std::to_string(m_rowCount + 1) + " is longer than " +
             std::to_string(m_limits.maxFieldBytes) + " bytes; the text is not a list, or a quote in it is never closed.");
    }
    void parserFailed()
    {
        const int e = csv_error(&m_parser);
        if (e == CSV_ENOMEM || e == CSV_ETOOBIG)
            fieldTooLong();
        else
            fail("The text could not be read as separated text.");
    }
    static void onField(void *field, std::size_t len, void *data)
    {
        auto *self = static_cast<CsvRows *>(data);
        if (!self->m_go || !self->m_error.empty())
            return;
        if (len > self->m_limits.maxFieldBytes)
            return self->fieldTooLong();
        if (self->m_ends.size() >= self->m_limits.maxColumns)
            return self->fail("Row " + std::to_string(self->m_rowCount + 1) + " has more than " +
                              std::to_string(self->m_limits.maxColumns) + " fields; a list cannot hold that many columns.");
        if (field)
            self->m_bytes.append(static_cast<const char *>(field), len);
        self->m_ends.push_back(self->m_bytes.size());
    }
    static void onRow(int, void *data)
    {
        auto *self = static_cast<CsvRows *>(data);
        if (!self->m_go || !self->m_error.empty())
            return;
        if (self->m_rowCount >= self->m_limits.maxRows)
            return self->fail("The text has more than " + std::to_string(self->m_limits.maxRows) +
                              " rows; a list cannot hold that many.");
        self->m_views.clear();
        std::size_t from = 0;
        for (const std::size_t end : self->m_ends) {
            self->m_views.emplace_back(self->m_bytes.data() + from, end - from);
            from = end;
        }
        ++self->m_rowCount;
        self->m_go = self->m_onRow(self->m_views);
        self->m_bytes.clear();
        self->m_ends.clear();
    }

    csv_parser m_parser{};
    const CsvImportLimits &m_limits;
    RowHandler m_onRow;
    std::string m_bytes;
    std::vector<std::size_t> m_ends;
    std::vector<std::string_view> m_views;
    std::size_t m_rowCount = 0;
    bool m_go = true;
    std::string m_error;
};

std::string foldedHeader(std::string_view text)
{
    std::string out;
    for (const char c : text)
        if (c != ' ' && c != '\t')
            out += (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
    return out;
}

} // namespace

CsvImportPlan::CsvImportPlan(const Limits &limits) : m_limits(limits) {}

void CsvImportPlan::setBytes(std::string bytes)
{
    m_bytes = std::move(bytes);
    m_decodedAs = CsvEncoding::Detect;
    m_decoded.clear();
}

bool CsvImportPlan::loadFile(const std::string &path, std::string &error)
{
    // The size first, so that the cap is checked before anything is read.
    const std::optional<std::uint64_t> size =
        FileSystem::isRegularFile(path) ? FileSystem::fileSize(path) : std::nullopt;
    if (!size) {
        error = "Unable to open the text file:\n\n" + path;
        return false;
    }
    if (*size > m_limits.maxFileBytes) {
        error = "The text file is larger than " + std::to_string(m_limits.maxFileBytes >> 20) +
                " MB, too large to import:\n\n" + path;
        return false;
    }
    // A file that grew meanwhile is taken as far as its size was; one that
    // shrank, as far as it went.
    std::optional<std::string> bytes = FileSystem::readFilePrefix(path, static_cast<std::size_t>(*size));
    if (!bytes) {
        error = "Unable to read the text file:\n\n" + path;
        return false;
    }
    setBytes(std::move(*bytes));
    return true;
}

bool CsvImportPlan::utf16BigEndian() const
{
    if (hasPrefix(m_bytes, "\xFE\xFF"))
        return true;
    if (hasPrefix(m_bytes, "\xFF\xFE"))
        return false;
    std::size_t even = 0, odd = 0;
    for (std::size_t i = 0; i < std::min<std::size_t>(m_bytes.size(), 4096); ++i)
        if (m_bytes[i] == '\0')
            ++(i % 2 == 0 ? even : odd);
    return even > odd;
}

CsvEncoding CsvImportPlan::detectedEncoding() const
{
    if (hasPrefix(m_bytes, "\xEF\xBB\xBF"))
        return CsvEncoding::Utf8;
    if (hasPrefix(m_bytes, "\xFF\xFE") || hasPrefix(m_bytes, "\xFE\xFF"))
        return CsvEncoding::Utf16;
    // Text of Latin letters in UTF-16 has a zero in every other byte.
    const std::size_t probe = std::min<std::size_t>(m_bytes.size(), 4096);
    std::size_t zeros = 0;
    for (std::size_t i = 0; i < probe; ++i)
        zeros += m_bytes[i] == '\0';
    if (probe >= 2 && zeros * 4 >= probe)
        return CsvEncoding::Utf16;
    return UnicodeText::isValidUtf8(m_bytes) ? CsvEncoding::Utf8 : CsvEncoding::Windows1252;
}

CsvEncoding CsvImportPlan::resolved(CsvEncoding encoding) const
{
    return encoding == CsvEncoding::Detect ? detectedEncoding() : encoding;
}

std::string CsvImportPlan::decode(CsvEncoding encoding, std::size_t *replacedOut) const
{
    encoding = resolved(encoding);
    std::string out;
    std::size_t replaced = 0;
    std::string_view in(m_bytes);
    switch (encoding) {
    case CsvEncoding::Utf8:
    case CsvEncoding::Detect:
        if (hasPrefix(in, "\xEF\xBB\xBF"))
            in.remove_prefix(3);
        if (UnicodeText::isValidUtf8(in)) {
            out.assign(in.data(), in.size());
        } else {
            out.reserve(in.size());
            for (std::size_t pos = 0; pos < in.size();) {
                const std::size_t from = pos;
                const char32_t cp = UnicodeText::decode(in, pos);
                if (cp == 0xFFFD && !hasPrefix(in.substr(from), "\xEF\xBF\xBD"))
                    ++replaced;
                UnicodeText::append(out, cp);
            }
        }
        break;
    case CsvEncoding::Windows1252:
    case CsvEncoding::Latin1:
        out = fromSingleByte(in, encoding == CsvEncoding::Windows1252);
        break;
    case CsvEncoding::Utf16: {
        const bool big = utf16BigEndian();
        if (hasPrefix(in, "\xFE\xFF") || hasPrefix(in, "\xFF\xFE"))
            in.remove_prefix(2);
        out.reserve(in.size() / 2 + in.size() / 8);
        auto unit = [&](std::size_t i) -> char32_t {
            const auto a = static_cast<unsigned char>(in[i]);
            const auto b = static_cast<unsigned char>(in[i + 1]);
            return big ? (char32_t(a) << 8 | b) : (char32_t(b) << 8 | a);
        };
        std::size_t i = 0;
        for (; i + 1 < in.size(); i += 2) {
            char32_t cp = unit(i);
            if (cp >= 0xD800 && cp <= 0xDBFF && i + 3 < in.size()) {
                const char32_t low = unit(i + 2);
                if (low >= 0xDC00 && low <= 0xDFFF) {
                    cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                    i += 2;
                }
            }
            if (cp >= 0xD800 && cp <= 0xDFFF) {
                cp = 0xFFFD;
                ++replaced;
            }
            UnicodeText::append(out, cp);
        }
        if (i < in.size()) {
            UnicodeText::append(out, 0xFFFD);
            ++replaced;
        }
        break;
    }
    }
    // A byte order mark in a text that had none in its own encoding.
    if (hasPrefix(out, "\xEF\xBB\xBF"))
        out.erase(0, 3);
    if (replacedOut)
        *replacedOut = replaced;
    return out;
}

const std::string &CsvImportPlan::decoded(CsvEncoding encoding, std::size_t &replaced) const
{
    encoding = resolved(encoding);
    if (m_decodedAs != encoding) {
        m_decoded = decode(encoding, &m_decodedReplaced);
        m_decodedAs = encoding;
    }
    replaced = m_decodedReplaced;
    return m_decoded;
}

char CsvImportPlan::detectedSeparator(CsvEncoding encoding) const
{
    std::size_t replaced = 0;
    const std::string &text = decoded(encoding, replaced);
    const std::string_view first = std::string_view(text).substr(0, std::min(text.find_first_of("\r\n"), text.size()));
    const char found = TextListImport::detectDelimiter(first);
    // A single column: comma, so that quotes still work.
    return found == '\t' && first.find('\t') == std::string_view::npos ? ',' : found;
}

char CsvImportPlan::separatorOf(const CsvImportOptions &options) const
{
    switch (options.separator) {
    case CsvSeparator::Tab:
        return '\t';
    case CsvSeparator::Comma:
        return ',';
    case CsvSeparator::Semicolon:
        return ';';
    case CsvSeparator::Detect:
        break;
    }
    return detectedSeparator(options.encoding);
}

std::vector<std::vector<std::string>> CsvImportPlan::sourceRows(const CsvImportOptions &options, std::size_t rows) const
{
    std::vector<std::vector<std::string>> out;
    if (rows == 0)
        return out;
    std::size_t replaced = 0;
    const std::string &text = decoded(options.encoding, replaced);
    CsvRows parser(separatorOf(options), m_limits, [&](const std::vector<std::string_view> &fields) {
        out.emplace_back(fields.begin(), fields.end());
        return out.size() < rows;
    });
    bool cancelled = false;
    parser.run(text, nullptr, cancelled);
    return out;
}

std::vector<CsvDestination> CsvImportPlan::defaultDestinations(const std::vector<std::string> &headers,
                                                               const std::string &listType)
{
    const auto templateHeaders = TemplateLists::defaultHeaders(listType);
    std::vector<bool> taken(templateHeaders.size(), false);
    std::vector<CsvDestination> out;
    for (const std::string &header : headers) {
        CsvDestination d;
        const std::string folded = foldedHeader(header);
        for (std::size_t k = 0; k < templateHeaders.size() && !folded.empty(); ++k)
            if (!taken[k] && foldedHeader(templateHeaders[k]) == folded) {
                taken[k] = true;
                d.kind = CsvDestination::Kind::TemplateColumn;
                d.column = static_cast<int>(k) + 1;
                break;
            }
        out.push_back(d);
    }
    return out;
}

CsvImportPlan::Result CsvImportPlan::build(const CsvImportOptions &options, ListDocument &doc,
                                           std::size_t maxDataRows, ProgressReporter *progress) const
{
    Result result;
    std::size_t replaced = 0;
    const std::string &text = decoded(options.encoding, replaced);
    ListDocument list;
    PageSetup setup;
    TemplateLists::build(options.listType, list, setup);
    const int templateColumns = list.ColCount();
    std::vector<std::string> newHeaders;
    // Source column -> list column, -1 for skipped; grows as wider rows come.
    std::vector<int> target;
    // `header` is the header row's text when this comes from that row.
    auto targetOf = [&](std::size_t source, const std::string_view *header) {
        while (target.size() <= source) {
            const std::size_t i = target.size();
            const CsvDestination d = i < options.destinations.size() ? options.destinations[i] : CsvDestination();
            if (d.kind == CsvDestination::Kind::Skip) {
                target.push_back(-1);
            } else if (d.kind == CsvDestination::Kind::TemplateColumn && d.column >= 1 && d.column < templateColumns) {
                target.push_back(d.column);
            } else {
                target.push_back(templateColumns + static_cast<int>(newHeaders.size()));
                newHeaders.emplace_back(i == source && header && !header->empty() ? std::string(*header)
                                                                                   : "Column " + std::to_string(i + 1));
            }
        }
        return target[source];
    };
    std::vector<CellRow> rows;
    CellRow::Arena arena;
    std::vector<std::string> cells;
    std::vector<std::string_view> views;
    bool headerPending = options.headerRow;
    CsvRows parser(separatorOf(options), m_limits, [&](const std::vector<std::string_view> &fields) {
        if (headerPending) {
            headerPending = false;
            for (std::size_t i = 0; i < fields.size(); ++i)
                targetOf(i, &fields[i]);
            return maxDataRows > 0;
        }
        for (std::string &cell : cells)
            cell.clear();
        for (std::size_t i = 0; i < fields.size(); ++i) {
            const int column = targetOf(i, nullptr);
            if (column < 0 || fields[i].empty())
                continue;
            if (cells.size() <= static_cast<std::size_t>(column))
                cells.resize(static_cast<std::size_t>(column) + 1);
            std::string &cell = cells[static_cast<std::size_t>(column)];
            // Two columns sent to one keep both texts.
            if (!cell.empty())
                cell += "; ";
            cell.append(fields[i].data(), fields[i].size());
        }
        views.assign(cells.begin(), cells.end());
        rows.push_back(CellRow::fromCells(views, arena));
        return rows.size() < maxDataRows;
    });
    if (!parser.run(text, progress, result.cancelled)) {
        result.error = result.cancelled ? std::string() : parser.error();
        return result;
    }
    const int columns = templateColumns + static_cast<int>(newHeaders.size());
    list.SetColCount(columns);
    for (int c = templateColumns; c < columns; ++c) {
        list.SetCell(c, 0, newHeaders[static_cast<std::size_t>(c - templateColumns)]);
        list.SetColWidth(c, 120);
    }
    // An empty text still gives the template's one empty row.
    list.SetRowCount(static_cast<int>(std::max<std::size_t>(rows.size(), 1)) + 1);
    for (std::size_t r = 0; r < rows.size(); ++r)
        list.setRowAt(static_cast<int>(r) + 1, std::move(rows[r]));
    list.setTextEncoding(TextEncoding::Utf8);
    list.SetCurrentCell(1, 1);
    doc = std::move(list);
    result.rows = rows.size();
    result.replaced = replaced;
    result.ok = true;
    return result;
}

} // namespace quorvex
