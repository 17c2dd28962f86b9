#include "TextListImport.h"

#include "platform/core/FileSystem.h"

#include "document/core/CellRow.h"
#include "document/core/ListDocument.h"
#include "platform/core/ProgressReporter.h"
#include "platform/core/UnicodeText.h"

#include <csv.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <new>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace quorvex {

namespace {

constexpr std::size_t BlockSize = 65536;
// Enough of the first line to tell the delimiter.
constexpr std::size_t FirstLineProbe = 65536;
const char *const ProgressText = "Importing text list...";

// Streaming UTF-8 check: well-formed sequences only (no overlongs, no
// surrogates, nothing above U+10FFFF), across block boundaries.
class Utf8Check {
public:
    void feed(const unsigned char *p, std::size_t n)
    {
        for (std::size_t i = 0; i < n && m_valid; ++i) {
            const unsigned char c = p[i];
            if (m_need == 0) {
                if (c < 0x80)
                    continue;
                m_high = true;
                if (c >= 0xC2 && c <= 0xDF) {
                    m_need = 1;
                } else if (c >= 0xE0 && c <= 0xEF) {
                    m_need = 2;
                    m_lo = c == 0xE0 ? 0xA0 : 0x80;
                    m_hi = c == 0xED ? 0x9F : 0xBF;
                    continue;
                } else if (c >= 0xF0 && c <= 0xF4) {
                    m_need = 3;
                    m_lo = c == 0xF0 ? 0x90 : 0x80;
                    m_hi = c == 0xF4 ? 0x8F : 0xBF;
                    continue;
                } else {
                    m_valid = false;
                }
                m_lo = 0x80;
                m_hi = 0xBF;
            } else {
                if (c < m_lo || c > m_hi) {
                    m_valid = false;
                    break;
                }
                --m_need;
                m_lo = 0x80;
                m_hi = 0xBF;
            }
        }
    }
    bool isUtf8() const { return m_valid && m_need == 0 && m_high; }
    bool isWellFormed() const { return m_valid && m_need == 0; }

private:
    bool m_valid = true;
    bool m_high = false;
    int m_need = 0;
    unsigned char m_lo = 0x80, m_hi = 0xBF;
};

constexpr std::size_t MaxSampleCharacters = 20;

// Characters Windows-1252 cannot hold: counted, and the first few different
// ones kept for the message.
struct UnstorableCount {
    std::size_t count = 0;
    std::vector<char32_t> sample;

    void add(char32_t cp)
    {
        ++count;
        if (sample.size() < MaxSampleCharacters && std::find(sample.begin(), sample.end(), cp) == sample.end())
            sample.push_back(cp);
    }
    std::string sampleText() const
    {
        std::string text;
        for (const char32_t cp : sample) {
            if (!text.empty())
                text += ' ';
            UnicodeText::append(text, cp);
        }
        return text;
    }
};

// UTF-8 text into `out` in the target encoding.
void appendUtf8Field(std::string &out, std::string_view utf8, bool keepUnicode, UnstorableCount &unstorable,
                     std::size_t &replaced)
{
    const std::size_t n = utf8.size();
    for (std::size_t i = 0; i < n;) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
            ++i;
            continue;
        }
        const std::size_t from = i;
        const char32_t cp = UnicodeText::decode(utf8, i);
        const int b = UnicodeText::cp1252Byte(cp);
        if (b < 0)
            unstorable.add(cp);
        if (keepUnicode) {
            out.append(utf8.data() + from, i - from);
        } else if (b >= 0) {
            out.push_back(static_cast<char>(b));
        } else {
            out.push_back('?');
            ++replaced;
        }
    }
}

std::string sizeText(std::size_t n) { return std::to_string(n); }

// Collects the fields of one line and the finished rows of the list.
class RowCollector {
public:
    RowCollector(const TextListImport::Limits &limits, bool utf8)
        : m_limits(limits), m_utf8(utf8), m_keepUnicode(limits.target == TextEncoding::Utf8)
    {
    }

    bool failed() const { return !m_error.empty(); }
    const std::string &error() const { return m_error; }
    void fail(std::string message)
    {
        if (m_error.empty())
            m_error = std::move(message);
    }
    std::size_t line() const { return m_rows.size() + 1; }

    void addField(std::string_view raw)
    {
        if (failed())
            return;
        if (raw.size() > m_limits.maxFieldBytes) {
            fieldTooLong();
            return;
        }
        if (m_ends.size() >= m_limits.maxColumns) {
            fail("Line " + sizeText(line()) + " has more than " + sizeText(m_limits.maxColumns) +
                 " fields; a list cannot hold that many columns.");
            return;
        }
        if (m_utf8)
            appendUtf8Field(m_bytes, raw, m_keepUnicode, m_unstorable, m_replaced);
        else if (m_keepUnicode)
            m_bytes += UnicodeText::fromCp1252(raw);
        else
            m_bytes.append(raw.data(), raw.size());
        m_ends.push_back(m_bytes.size());
    }
    void endRow()
    {
        if (failed())
            return;
        if (m_rows.size() >= m_limits.maxRows) {
            fail("The text has more than " + sizeText(m_limits.maxRows) +
                 " lines; a list cannot hold that many rows.");
            return;
        }
        m_views.assign(1, std::string_view());
        std::size_t from = 0;
        for (const std::size_t end : m_ends) {
            m_views.emplace_back(m_bytes.data() + from, end - from);
            from = end;
        }
        m_widest = std::max(m_widest, m_ends.size());
        m_rows.push_back(CellRow::fromCells(m_views));
        m_bytes.clear();
        m_ends.clear();
    }
    void fieldTooLong()
    {
        fail("A field in line " + sizeText(line()) + " is longer than " + sizeText(m_limits.maxFieldBytes) +
             " bytes; the text is not a list, or a quote in it is never closed.");
    }

    void build(ListDocument &doc)
    {
        doc = ListDocument(2, 2);
        doc.SetColCount(static_cast<int>(m_widest) + 1);
        doc.SetRowCount(static_cast<int>(m_rows.size()));
        for (std::size_t r = 0; r < m_rows.size(); ++r)
            doc.setRowAt(static_cast<int>(r), std::move(m_rows[r]));
        m_rows.clear();
        doc.setTextEncoding(m_limits.target);
    }
    std::size_t replaced() const { return m_replaced; }
    const UnstorableCount &unstorable() const { return m_unstorable; }
    std::size_t rows() const { return m_rows.size(); }

private:
    const TextListImport::Limits &m_limits;
    bool m_utf8;
    bool m_keepUnicode;
    UnstorableCount m_unstorable;
    std::string m_error;
    std::string m_bytes;
    std::vector<std::size_t> m_ends;
    std::vector<std::string_view> m_views;
    std::vector<CellRow> m_rows;
    std::size_t m_widest = 0;
    std::size_t m_replaced = 0;
};

// Tab-separated: no quoting; CR, LF and CR LF end a line; an empty line is a row.
class TabSplitter {
public:
    TabSplitter(RowCollector &rows, std::size_t maxField) : m_rows(rows), m_maxField(maxField) {}

    void feed(const char *p, std::size_t n)
    {
        std::size_t i = 0;
        if (m_pendingCr && n > 0) {
            m_pendingCr = false;
            if (p[0] == '\n')
                i = 1;
        }
        while (i < n && !m_rows.failed()) {
            std::size_t j = i;
            while (j < n && p[j] != '\t' && p[j] != '\r' && p[j] != '\n')
                ++j;
            if (j > i) {
                if (m_field.size() + (j - i) > m_maxField) {
                    m_rows.fieldTooLong();
                    return;
                }
                m_field.append(p + i, j - i);
                m_lineStarted = true;
            }
            if (j == n)
                return;
            if (p[j] == '\t') {
                m_rows.addField(m_field);
                m_field.clear();
                m_lineStarted = true;
                i = j + 1;
                continue;
            }
            endLine();
            if (p[j] == '\r') {
                if (j + 1 == n) {
                    m_pendingCr = true;
                    return;
                }
                if (p[j + 1] == '\n')
                    ++j;
            }
            i = j + 1;
        }
    }
    void finish()
    {
        if (m_lineStarted)
            endLine();
    }

private:
    void endLine()
    {
        m_rows.addField(m_field);
        m_field.clear();
        m_rows.endRow();
        m_lineStarted = false;
    }

    RowCollector &m_rows;
    std::size_t m_maxField;
    std::string m_field;
    bool m_lineStarted = false;
    bool m_pendingCr = false;
};

// libcsv keeps nothing but the field it is building; the collector does the rest.
class CsvSplitter {
public:
    CsvSplitter(RowCollector &rows, char delimiter, std::size_t maxField) : m_rows(rows), m_maxField(maxField)
    {
        // Not strict: a stray quote inside an unquoted field is kept as text.
        if (csv_init(&m_parser, 0) != 0)
            throw std::bad_alloc();
        csv_set_delim(&m_parser, static_cast<unsigned char>(delimiter));
        // Spaces around fields are data, as spreadsheet programs read them.
        csv_set_space_func(&m_parser, [](unsigned char) { return 0; });
        csv_set_blk_size(&m_parser, BlockSize);
    }
    ~CsvSplitter() { csv_free(&m_parser); }
    CsvSplitter(const CsvSplitter &) = delete;
    CsvSplitter &operator=(const CsvSplitter &) = delete;

    void feed(const char *p, std::size_t n)
    {
        if (m_rows.failed())
            return;
        if (csv_parse(&m_parser, p, n, onField, onRow, &m_rows) != n)
            parserFailed();
        // The field being built lives in libcsv's buffer: stop it growing past the limit.
        else if (csv_get_buffer_size(&m_parser) > m_maxField + 2 * BlockSize)
            m_rows.fieldTooLong();
    }
    void finish()
    {
        if (m_rows.failed())
            return;
        // libcsv reports an open quote at the end only in its strict mode, which
        // would also refuse stray quotes inside fields; look at its state instead
        // (2 is its "field begun" state).
        if (m_parser.pstate == 2 && m_parser.quoted) {
            m_rows.fail("The text ends inside a quoted field: a quote in line " + sizeText(m_rows.line()) +
                        " is never closed.");
            return;
        }
        if (csv_fini(&m_parser, onField, onRow, &m_rows) != 0)
            parserFailed();
    }

private:
    void parserFailed()
    {
        const int e = csv_error(&m_parser);
        if (e == CSV_ENOMEM || e == CSV_ETOOBIG)
            m_rows.fieldTooLong();
        else
            m_rows.fail("The text could not be read as comma-separated text.");
    }
    static void onField(void *field, std::size_t len, void *data)
    {
        static_cast<RowCollector *>(data)->addField(
            std::string_view(field ? static_cast<const char *>(field) : "", field ? len : 0));
    }
    static void onRow(int, void *data) { static_cast<RowCollector *>(data)->endRow(); }

    csv_parser m_parser{};
    RowCollector &m_rows;
    std::size_t m_maxField;
};

struct FdCloser {
    int fd;
    ~FdCloser()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

} // namespace

char TextListImport::detectDelimiter(std::string_view firstLine)
{
    if (firstLine.find('\t') != std::string_view::npos)
        return '\t';
    const auto commas = std::count(firstLine.begin(), firstLine.end(), ',');
    const auto semicolons = std::count(firstLine.begin(), firstLine.end(), ';');
    if (commas == 0 && semicolons == 0)
        return '\t';
    return semicolons > commas ? ';' : ',';
}

std::string TextListImport::utf8ToCp1252(std::string_view utf8, std::size_t &replaced)
{
    return UnicodeText::toCp1252(utf8, replaced);
}

bool TextListImport::isValidUtf8(std::string_view text)
{
    return UnicodeText::isValidUtf8(text);
}

TextListImport::Result TextListImport::run(const std::function<BlockReader()> &open, std::uint64_t totalBytes,
                                           ListDocument &doc, ProgressReporter *progress, const Limits &limits)
{
    Result result;
    std::unique_ptr<char[]> buffer(new char[BlockSize]);
    const auto *bytes = reinterpret_cast<const unsigned char *>(buffer.get());
    const std::string readError = "Unable to read the text file.";

    // Pass 1: the encoding of the whole text and the first line.
    Utf8Check utf8;
    std::string firstLine;
    bool firstLineDone = false;
    {
        BlockReader read = open();
        for (;;) {
            const long n = read(buffer.get(), BlockSize);
            if (n < 0) {
                result.error = readError;
                return result;
            }
            if (n == 0)
                break;
            const std::size_t count = static_cast<std::size_t>(n);
            utf8.feed(bytes, count);
            if (!firstLineDone) {
                std::size_t end = 0;
                while (end < count && buffer[end] != '\r' && buffer[end] != '\n')
                    ++end;
                const std::size_t room = FirstLineProbe - firstLine.size();
                firstLine.append(buffer.get(), std::min(end, room));
                firstLineDone = end < count || firstLine.size() >= FirstLineProbe;
            }
        }
    }
    result.encoding = utf8.isUtf8() ? Encoding::Utf8 : Encoding::Cp1252;
    result.delimiter = detectDelimiter(firstLine);

    // Pass 2: split into rows.
    RowCollector rows(limits, result.encoding == Encoding::Utf8);
    std::unique_ptr<TabSplitter> tabs;
    std::unique_ptr<CsvSplitter> csv;
    if (result.delimiter == '\t')
        tabs = std::make_unique<TabSplitter>(rows, limits.maxFieldBytes);
    else
        csv = std::make_unique<CsvSplitter>(rows, result.delimiter, limits.maxFieldBytes);
    BlockReader read = open();
    std::uint64_t done = 0;
    int shown = -1;
    bool first = true;
    while (!rows.failed()) {
        const long n = read(buffer.get(), BlockSize);
        if (n < 0) {
            result.error = readError;
            return result;
        }
        if (n == 0)
            break;
        std::size_t skip = 0;
        // A byte order mark is no part of the first header.
        if (first && result.encoding == Encoding::Utf8 && n >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB &&
            bytes[2] == 0xBF)
            skip = 3;
        first = false;
        if (tabs)
            tabs->feed(buffer.get() + skip, static_cast<std::size_t>(n) - skip);
        else
            csv->feed(buffer.get() + skip, static_cast<std::size_t>(n) - skip);
        done += static_cast<std::uint64_t>(n);
        if (progress && totalBytes > 0) {
            const int percent = static_cast<int>(std::min<std::uint64_t>(100, done * 100 / totalBytes));
            if (percent != shown) {
                shown = percent;
                progress->setProgress(percent, ProgressText);
                progress->pumpEvents();
            }
        }
    }
    if (tabs)
        tabs->finish();
    else
        csv->finish();
    if (rows.failed()) {
        result.error = rows.error();
        return result;
    }
    result.rows = rows.rows();
    result.replaced = rows.replaced();
    result.unstorable = rows.unstorable().count;
    result.unstorableSample = rows.unstorable().sampleText();
    rows.build(doc);
    result.ok = true;
    return result;
}

TextListImport::Result TextListImport::importText(std::string_view text, ListDocument &doc, const Limits &limits)
{
    if (text.size() > limits.maxFileBytes) {
        Result r;
        r.error = "The text is larger than " + sizeText(static_cast<std::size_t>(limits.maxFileBytes >> 20)) +
                  " MB, too large to import.";
        return r;
    }
    auto open = [text]() -> BlockReader {
        auto pos = std::make_shared<std::size_t>(0);
        return [text, pos](char *buffer, std::size_t size) -> long {
            const std::size_t n = std::min(size, text.size() - *pos);
            std::copy_n(text.data() + *pos, n, buffer);
            *pos += n;
            return static_cast<long>(n);
        };
    };
    return run(open, text.size(), doc, nullptr, limits);
}

TextListImport::Result TextListImport::importFile(const std::string &path, ListDocument &doc,
                                                  ProgressReporter *progress, const Limits &limits)
{
    Result result;
    // A FIFO or device in the file's place is refused before it is opened.
    FdCloser file{FileSystem::openForReading(path)};
    struct stat st;
    if (file.fd < 0 || ::fstat(file.fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        result.error = "Unable to open the text file:\n\n" + path;
        return result;
    }
    const std::uint64_t size = static_cast<std::uint64_t>(st.st_size);
    if (size > limits.maxFileBytes) {
        result.error = "The text file is larger than " +
                       sizeText(static_cast<std::size_t>(limits.maxFileBytes >> 20)) +
                       " MB, too large to import:\n\n" + path;
        return result;
    }
    const int fd = file.fd;
    auto open = [fd]() -> BlockReader {
        ::lseek(fd, 0, SEEK_SET);
        return [fd](char *buffer, std::size_t size) -> long {
            for (;;) {
                const ssize_t n = ::read(fd, buffer, size);
                if (n < 0 && errno == EINTR)
                    continue;
                return static_cast<long>(n);
            }
        };
    };
    // A file that grows while it is read stays bounded.
    std::uint64_t readTotal = 0;
    auto bounded = [&open, &readTotal, size, &limits]() -> BlockReader {
        BlockReader inner = open();
        readTotal = 0;
        return [inner, &readTotal, size, &limits](char *buffer, std::size_t n) -> long {
            if (readTotal > std::max<std::uint64_t>(size, limits.maxFileBytes))
                return -1;
            const long got = inner(buffer, n);
            if (got > 0)
                readTotal += static_cast<std::uint64_t>(got);
            return got;
        };
    };
    result = run(bounded, size, doc, progress, limits);
    if (!result.ok && result.error == "Unable to read the text file.")
        result.error += "\n\n" + path;
    return result;
}

// The template's range bounds the widths; the rest of a long list is not measured.
void TextListImport::fitColumnWidths(ListDocument &doc)
{
    constexpr int MeasuredRows = 200;
    doc.SetColWidth(0, 40);
    for (int c = 1; c < doc.ColCount(); ++c) {
        std::size_t longest = 0;
        for (int r = 0; r < doc.RowCount() && r < MeasuredRows; ++r) {
            const std::string_view text = doc.cellView(c, r);
            longest = std::max(longest, std::min(text.find_first_of("\r\n"), text.size()));
        }
        const int width = static_cast<int>(std::min<std::size_t>(longest, 40)) * 7 + 10;
        doc.SetColWidth(c, std::clamp(width, ListDocument::DefaultColWidth, 250));
    }
}

} // namespace quorvex
