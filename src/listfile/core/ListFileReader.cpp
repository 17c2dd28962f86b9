#include "ListFileReader.h"

#include "attachments/core/AttachmentStore.h"

#include "platform/core/AppConstants.h"
#include "platform/core/AtomicFile.h"
#include "platform/core/StaleFiles.h"
#include "platform/core/MessageService.h"
#include "platform/core/ProgressReporter.h"
#include "document/core/AttachmentRef.h"
#include "document/core/ListDocument.h"
#include "document/core/PageSetup.h"
#include "platform/core/LargePages.h"
#include "platform/core/UnicodeText.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <memory>
#include <new>
#include <system_error>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace quorvex {

namespace {

const char *const ExtraDataText =
    "This list file contains extra data that was placed\nthere by a later version of Quorvex. The file was\nloaded "
    "successfully, however, the extra data will\nnot be used. Please keep in mind that if you save\nto this same "
    "file with this version of Quorvex,\nthis extra data will be LOST! It is recommended\nthat you save to a "
    "different file name in order to\npreserve the extra data.";

constexpr std::size_t CopyPiece = 500000;
constexpr int MaxListedNames = 20;
// The two-thread decoding holds the rows' bytes whole; larger bodies are read piece by piece.
constexpr std::uint64_t MaxParallelBody = std::uint64_t(1) << 30;
constexpr int RowsPerChunk = 4096;

inline std::int32_t int32At(const unsigned char *p)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
                                     static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24);
}

// Where every RowsPerChunk-th row of a binary list's body starts, and where
// the last ends. Empty when a row does not read plainly (a length past the
// end, an attachment record): the row-by-row reader then says what is wrong.
std::vector<std::size_t> findChunkStarts(const unsigned char *data, std::size_t size, int cols, int rows, bool v11)
{
    std::vector<std::size_t> starts;
    starts.reserve(static_cast<std::size_t>(rows / RowsPerChunk) + 2);
    std::size_t p = 0;
    for (int r = 0; r < rows; ++r) {
        if (r % RowsPerChunk == 0)
            starts.push_back(p);
        for (int c = 0; c < cols; ++c) {
            if (size - p < 4)
                return {};
            const std::int32_t len = int32At(data + p);
            p += 4;
            if (len == -1 && v11)
                return {};
            if (len > 0) {
                if (static_cast<std::size_t>(len) > size - p)
                    return {};
                p += static_cast<std::size_t>(len);
            }
        }
    }
    starts.push_back(p);
    return starts;
}

// Builds rows first..first+count-1 from bytes findChunkStarts has checked.
void decodeRows(const unsigned char *data, std::size_t p, int cols, int first, int count, std::vector<CellRow> &out,
                CellRow::Arena &arena)
{
    std::vector<std::string_view> cells(static_cast<std::size_t>(cols));
    for (int r = first; r < first + count; ++r) {
        for (int c = 0; c < cols; ++c) {
            const std::int32_t len = int32At(data + p);
            p += 4;
            if (len > 0) {
                cells[static_cast<std::size_t>(c)] =
                    std::string_view(reinterpret_cast<const char *>(data + p), static_cast<std::size_t>(len));
                p += static_cast<std::size_t>(len);
            } else {
                cells[static_cast<std::size_t>(c)] = std::string_view();
            }
        }
        out[static_cast<std::size_t>(r)] = CellRow::fromCells(cells, arena);
    }
}

std::string notLoadedText(const char *routine)
{
    return std::string("An error occured while loading the list. List not\ncompletely loaded.\n\n - ") + routine +
           "()";
}

// Cells of the row being read, packed into one buffer so that the row is built
// with a single allocation and a partly read row can still be kept.
class RowBuilder {
public:
    void start(int cols)
    {
        m_text.clear();
        m_ends.clear();
        m_ends.reserve(static_cast<std::size_t>(cols));
    }
    std::string &text() { return m_text; }
    void endCell() { m_ends.push_back(m_text.size()); }
    bool empty() const { return m_ends.empty(); }
    CellRow build()
    {
        m_views.clear();
        std::size_t begin = 0;
        for (std::size_t end : m_ends) {
            m_views.emplace_back(m_text.data() + begin, end - begin);
            begin = end;
        }
        return CellRow::fromCells(m_views);
    }

private:
    std::string m_text;
    std::vector<std::size_t> m_ends;
    std::vector<std::string_view> m_views;
};

// Where the body of a list begins: the document emptied as every reader does,
// its texts to be read in the version's encoding.
void startBody(const ListFileTarget &target, TextEncoding encoding)
{
    ListDocument &doc = target.document;
    doc.setTextEncoding(encoding);
    doc.SetCurrentCell(1, 1);
    for (int r = 1; r < doc.RowCount(); ++r)
        doc.ClearRow(r);
    doc.SetRowCount(2);
}

// Version 1.0 numbers: white space, an optional sign, digits. The character
// that ends the number is consumed and returned in `terminator` (-1 at the
// end): for a cell length it is the one separator the format defines.
bool readTextInt(BinaryInStream &in, std::int64_t &value, int &terminator)
{
    int c = in.get();
    while (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f')
        c = in.get();
    bool negative = false;
    if (c == '-' || c == '+') {
        negative = c == '-';
        c = in.get();
    }
    if (c < '0' || c > '9')
        return false;
    std::int64_t v = 0;
    while (c >= '0' && c <= '9') {
        v = v * 10 + (c - '0');
        if (v > 0x7FFFFFFFLL)
            return false;
        c = in.get();
    }
    value = negative ? -v : v;
    terminator = c;
    return true;
}

// Version 1.0 lists were written and read in text mode: a CR LF pair is one
// character, a line feed. Appends `count` such characters to `out`.
void appendTextModeChars(BinaryInStream &in, std::string &out, std::size_t count)
{
    while (count > 0) {
        const std::size_t from = out.size();
        in.appendTo(out, count);
        std::size_t w = from;
        for (std::size_t i = from; i < out.size(); ++i) {
            char ch = out[i];
            if (ch == '\r' && i + 1 < out.size() && out[i + 1] == '\n') {
                ch = '\n';
                ++i;
            }
            out[w++] = ch;
        }
        out.resize(w);
        // A CR at the end of the piece pairs with an LF still in the stream.
        if (w > from && out[w - 1] == '\r' && in.peek() == '\n') {
            in.get();
            out[w - 1] = '\n';
        }
        count -= w - from;
    }
}

// A float64 size that is a whole, non-negative count the file can still hold.
bool plausibleSize(double size, std::uint64_t available)
{
    return std::isfinite(size) && size >= 0 && size == std::floor(size) && size <= static_cast<double>(available);
}

std::uint64_t readFileTime(BinaryInStream &in)
{
    const std::uint64_t low = in.readUInt32();
    const std::uint64_t high = in.readUInt32();
    return high << 32 | low;
}

} // namespace

ListFileReader::ListFileReader(MessageService &messages, ProgressReporter &progress)
    : m_messages(messages), m_progress(progress)
{
}

ListFileVersion ListFileReader::openAndDetect(const std::string &path, BinaryInStream &in)
{
    if (!in.open(path)) {
        m_messages.error("Unable to open list file. Please make sure the disk is accessible.");
        return ListFileVersion::Unknown;
    }
    char head[15];
    const std::size_t tagV10 = std::strlen(listTagV10);
    if (in.readSome(head, tagV10) == tagV10 && std::memcmp(head, listTagV10, tagV10) == 0)
        return ListFileVersion::V10;
    m_progress.pumpEvents();
    in.rewind();
    const std::size_t magicLength = std::strlen(listFileMagic);
    std::size_t n = in.readSome(head, magicLength);
    if (std::string(head, n) != listFileMagic) {
        m_messages.error("This file is not a valid Quorvex list file. File not opened.");
        in.close();
        return ListFileVersion::Unknown;
    }
    n = in.readSome(head, std::strlen(listTagV11));
    std::string tag(head, n);
    tag = tag.substr(0, tag.find('\0'));
    if (tag == listTagV11)
        return ListFileVersion::V11;
    if (tag == listTagV12)
        return ListFileVersion::V12;
    if (tag == ListFileFormat::TagV13)
        return ListFileVersion::V13;
    if (tag == ListFileFormat::TagV14)
        return ListFileVersion::V14;
    m_messages.error("This list file is " + ListFileFormat::toUtf8(tag) +
                     " This release of Quorvex can only read version 1.0, 1.1 and 1.2. File not opened.");
    in.close();
    return ListFileVersion::Unknown;
}

int ListFileReader::readBody(ListFileVersion version, BinaryInStream &in, const std::string &fileName,
                             const ListFileTarget &target)
{
    switch (version) {
    case ListFileVersion::V10:
        return LoadList_V10(in, fileName, target);
    case ListFileVersion::V11:
        return LoadList_V11(in, fileName, target);
    case ListFileVersion::V12:
        return LoadList_V12(in, fileName, target);
    case ListFileVersion::V13:
        return LoadList_V13(in, fileName, target);
    case ListFileVersion::V14:
        return LoadList_V14(in, fileName, target);
    case ListFileVersion::Unknown:
        break;
    }
    in.close();
    return ResultFailed;
}

int ListFileReader::readFile(const std::string &path, const ListFileTarget &target, ListFileVersion *version)
{
    BinaryInStream in;
    const ListFileVersion found = openAndDetect(path, in);
    if (version)
        *version = found;
    if (found == ListFileVersion::Unknown)
        return ResultFailed;
    return readBody(found, in, path, target);
}

void ListFileReader::reportRow(int row, int last, const char *verb, bool force)
{
    const auto now = std::chrono::steady_clock::now();
    if (!force && m_progressInterval.count() > 0 && now - m_lastReport < m_progressInterval)
        return;
    m_lastReport = now;
    const int percent = last > 0 ? static_cast<int>(static_cast<double>(row) / last * 100.0) : 100;
    m_progress.setProgress(percent, std::to_string(percent) + "% - complete. " + verb + " row " +
                                        std::to_string(row) + " of " + std::to_string(last));
    m_progress.pumpEvents();
}

int ListFileReader::decodeRowsInParallel(const unsigned char *data, std::size_t size, ListDocument &doc, int cols,
                                         int rows, bool v11, int last, std::size_t &used)
{
    const std::vector<std::size_t> starts = findChunkStarts(data, size, cols, rows, v11);
    if (starts.empty())
        return 0;
    reportRow(0, last, "Reading in", true);
    const int chunks = static_cast<int>(starts.size()) - 1;
    std::atomic<int> next{0};
    std::atomic<bool> stop{false};
    std::exception_ptr failure[2];
    // The rows go to the document only after both threads are done: the
    // progress reports below let the window paint, and it reads the document.
    std::vector<CellRow> decoded(static_cast<std::size_t>(rows));
    auto work = [&](int self) {
        try {
            CellRow::Arena arena;
            for (int k = next++; k < chunks && !stop; k = next++) {
                const int first = k * RowsPerChunk;
                decodeRows(data, starts[static_cast<std::size_t>(k)], cols, first,
                           std::min(RowsPerChunk, rows - first), decoded, arena);
                // Only the calling thread talks to the progress window.
                if (self == 0)
                    reportRow(std::min(first + RowsPerChunk, rows) / 10 * 10, last, "Reading in", false);
            }
        } catch (...) {
            failure[self] = std::current_exception();
            stop = true;
        }
    };
    std::thread helper;
    try {
        helper = std::thread(work, 1);
    } catch (const std::system_error &) {
        // No second thread: this one decodes every chunk.
    }
    work(0);
    if (helper.joinable())
        helper.join();
    // Rows decoded before a failure are kept, as row by row.
    for (int r = 0; r < rows; ++r)
        doc.setRowAt(r, std::move(decoded[static_cast<std::size_t>(r)]));
    for (const std::exception_ptr &e : failure)
        if (e)
            std::rethrow_exception(e);
    // The helper may have done the last rows: the window shows where reading ended.
    reportRow((rows - 1) / 10 * 10, last, "Reading in", false);
    used = starts.back();
    return rows;
}

void ListFileReader::SkipBytes(BinaryInStream &in, std::int64_t count)
{
    if (count > 0)
        in.skip(static_cast<std::uint64_t>(count));
}

int ListFileReader::LoadList_V10(BinaryInStream &in, const std::string &, const ListFileTarget &target)
{
    m_extra = false;
    m_embedded.clear();
    m_refused.clear();
    m_sweptFolder.clear();
    m_encoding = TextEncoding::Windows1252;
    startBody(target, TextEncoding::Windows1252);
    ListDocument &doc = target.document;
    RowBuilder row;
    int r = 0;
    bool damaged = false;
    try {
        std::int64_t v = 0;
        int term = 0;
        std::int64_t cols = 0, rows = 0;
        if (!readTextInt(in, cols, term) || !readTextInt(in, rows, term) || cols < 0 || rows < 0)
            throw TruncatedInput();
        // Every width takes two characters at least, every cell "0" and its separator.
        const std::uint64_t fixed = static_cast<std::uint64_t>(cols) * 2;
        if (fixed > in.remaining() + 1)
            throw TruncatedInput();
        const std::uint64_t fitting =
            (in.remaining() + 1 - fixed) / (2 * static_cast<std::uint64_t>(std::max<std::int64_t>(cols, 1)));
        const std::int64_t rowsToRead = std::min<std::int64_t>(rows, static_cast<std::int64_t>(fitting));
        doc.SetColCount(static_cast<int>(cols));
        doc.SetRowCount(static_cast<int>(rowsToRead));
        for (int c = 0; c < cols; ++c) {
            if (!readTextInt(in, v, term))
                throw TruncatedInput();
            doc.SetColWidth(c, static_cast<int>(v));
        }
        std::int64_t setup[12];
        for (std::int64_t &value : setup)
            if (!readTextInt(in, value, term))
                throw TruncatedInput();
        PageSetup &ps = target.pageSetup;
        for (int i = 0; i < 8; ++i)
            ps.maxWidths[static_cast<std::size_t>(i)] = static_cast<int>(setup[i]);
        ps.maxEntries = static_cast<int>(setup[8]);
        ps.leftIndent = static_cast<int>(setup[9]);
        ps.topIndent = static_cast<int>(setup[10]);
        ps.landscape = setup[11] != 0;
        const int last = static_cast<int>(rows) - 1;
        m_lastReport = {};
        for (r = 0; r < rowsToRead; ++r) {
            if (r % 55 == 0 || r == last)
                reportRow(r, last, "Reading in", r == 0 || r == last);
            row.start(static_cast<int>(cols));
            for (int c = 0; c < cols; ++c) {
                std::int64_t n = 0;
                if (!readTextInt(in, n, term) || n < 0)
                    throw TruncatedInput();
                if (term < 0 && n > 0)
                    throw TruncatedInput();
                // The one separator character may itself be a CR LF pair.
                if (term == '\r' && in.peek() == '\n')
                    in.get();
                appendTextModeChars(in, row.text(), static_cast<std::size_t>(n));
                row.endCell();
            }
            doc.setRowAt(r, row.build());
            row.start(0);
        }
        if (rowsToRead < rows)
            throw TruncatedInput();
    } catch (const TruncatedInput &) {
        damaged = true;
    } catch (const std::exception &e) {
        m_messages.showException(e.what());
        damaged = true;
    }
    if (damaged && !row.empty())
        doc.setRowAt(r, row.build());
    in.close();
    const std::string first = doc.GetCell(0, 1);
    target.listType = first == " 1" ? std::string("vhsmovie") : first;
    if (damaged) {
        m_messages.error("An error occured while loading the list. The file is damaged or ends\nearly. List not "
                         "completely loaded.\n\n - LoadList_V10()");
        return ResultFailed;
    }
    return ResultOk;
}

int ListFileReader::LoadList_V11(BinaryInStream &in, const std::string &, const ListFileTarget &target)
{
    return loadBinary(in, target, ListFileVersion::V11);
}

int ListFileReader::LoadList_V12(BinaryInStream &in, const std::string &, const ListFileTarget &target)
{
    return loadBinary(in, target, ListFileVersion::V12);
}

int ListFileReader::LoadList_V13(BinaryInStream &in, const std::string &, const ListFileTarget &target)
{
    return loadBinary(in, target, ListFileVersion::V13);
}

int ListFileReader::LoadList_V14(BinaryInStream &in, const std::string &, const ListFileTarget &target)
{
    return loadBinary(in, target, ListFileVersion::V14);
}

int ListFileReader::loadBinary(BinaryInStream &in, const ListFileTarget &target, ListFileVersion version)
{
    static const char *const routines[] = {"LoadList_V11", "LoadList_V12", "LoadList_V13", "LoadList_V14"};
    const bool v11 = !ListFileFormat::isDependent(version);
    const TextEncoding encoding = ListFileFormat::encodingOf(version);
    const char *routine = routines[static_cast<int>(version) - static_cast<int>(ListFileVersion::V11)];
    m_encoding = encoding;
    m_extra = false;
    m_embedded.clear();
    m_refused.clear();
    m_sweptFolder.clear();
    startBody(target, encoding);
    ListDocument &doc = target.document;
    RowBuilder row;
    int r = 0;
    int result = ResultOk;
    bool failed = false;
    std::int32_t rows = 0;
    try {
        const std::int64_t headerSize = in.readInt32();
        const std::int32_t typeLen = in.readInt32();
        if (typeLen < 0 || static_cast<std::uint64_t>(typeLen) > in.remaining())
            throw TruncatedInput();
        std::string type;
        in.appendTo(type, static_cast<std::size_t>(typeLen));
        type = type.substr(0, type.find('\0'));
        // Bounded as the type box is; a Unicode type never loses half a character.
        const std::size_t maxType = ListFileFormat::MaxListTypeLength;
        type = encoding == TextEncoding::Utf8 ? std::string(UnicodeText::prefixWithin(type, maxType))
                                              : type.substr(0, maxType);
        target.listType = type;
        std::int64_t remaining = headerSize - (static_cast<std::int64_t>(typeLen) + 4);
        const std::int32_t cols = in.readInt32();
        rows = in.readInt32();
        if (cols < 0 || rows < 0)
            throw TruncatedInput();
        // Widths and the page setup must fit; then every cell takes a record of
        // 4 bytes at least, so no more rows are made than the file can hold.
        const std::uint64_t fixed = static_cast<std::uint64_t>(cols) * 4 + 4 + ListFileFormat::PageSetupSize;
        if (fixed > in.remaining())
            throw TruncatedInput();
        const std::uint64_t fitting = (in.remaining() - fixed) / (4 * static_cast<std::uint64_t>(std::max(cols, 1)));
        const std::int32_t rowsToRead = static_cast<std::int32_t>(std::min<std::uint64_t>(rows, fitting));
        doc.SetColCount(cols);
        doc.SetRowCount(rowsToRead);
        remaining -= 8;
        for (int c = 0; c < cols; ++c) {
            doc.SetColWidth(c, in.readInt32());
            remaining -= 4;
        }
        if (remaining > 0) {
            if (static_cast<std::uint64_t>(remaining) > in.remaining())
                throw TruncatedInput();
            SkipBytes(in, remaining);
            m_extra = true;
        }
        const std::int64_t pageSetupSize = in.readInt32();
        PageSetup &ps = target.pageSetup;
        for (int i = 0; i < 8; ++i)
            ps.maxWidths[static_cast<std::size_t>(i)] = in.readInt32();
        ps.maxEntries = in.readInt32();
        ps.leftIndent = in.readInt32();
        ps.topIndent = in.readInt32();
        ps.landscape = in.readUInt8() != 0;
        remaining = pageSetupSize - ListFileFormat::PageSetupSize;
        if (remaining > 0) {
            if (static_cast<std::uint64_t>(remaining) > in.remaining())
                throw TruncatedInput();
            SkipBytes(in, remaining);
            m_extra = true;
        }
        const int last = rows - 1;
        m_lastReport = {};
        // A long list's rows are read whole and decoded on two threads; the
        // rest of the body is then read from those bytes.
        BinaryInStream held;
        LargePages::Array<unsigned char> body;
        if (rowsToRead > 0 && rowsToRead >= m_parallelRows && in.remaining() <= MaxParallelBody &&
            std::thread::hardware_concurrency() > 1) {
            const std::size_t size = static_cast<std::size_t>(in.remaining());
            // Large pages: a fault per 4 KB first written costs more than
            // reading the file. Without room for the body whole it is read
            // row by row as it comes.
            body.reset(static_cast<unsigned char *>(LargePages::allocate(size)));
            if (body) {
                const std::size_t got = in.readSome(body.get(), size);
                held.openMemory(body.get(), got);
                std::size_t used = 0;
                r = decodeRowsInParallel(body.get(), got, doc, cols, rowsToRead, v11, last, used);
                held.skip(used);
            }
        }
        BinaryInStream &src = body ? held : in;
        for (; r < rowsToRead; ++r) {
            if (r % 10 == 0)
                reportRow(r, last, "Reading in", r == 0);
            row.start(cols);
            for (int c = 0; c < cols; ++c) {
                const std::int32_t len = src.readInt32();
                std::string &text = row.text();
                if (len > 0) {
                    if (static_cast<std::uint64_t>(len) > src.remaining())
                        throw TruncatedInput();
                    src.appendTo(text, static_cast<std::size_t>(len));
                } else if (len == -1 && v11) {
                    const std::size_t begin = text.size();
                    text += static_cast<char>(src.readUInt8());
                    text += static_cast<char>(src.readUInt8());
                    const std::int32_t nameLen = src.readInt32();
                    if (nameLen < 0 || static_cast<std::uint64_t>(nameLen) > src.remaining())
                        throw TruncatedInput();
                    src.appendTo(text, static_cast<std::size_t>(nameLen));
                    row.endCell();
                    const std::string name = text.substr(begin + 2);
                    const int got = GetFileFromFStreamBin(src, name, m_databaseFolder);
                    if (!m_embedded.empty() && m_embedded.back().name == name && m_embedded.back().row < 0) {
                        m_embedded.back().col = c;
                        m_embedded.back().row = r;
                    }
                    if (got == ResultAborted) {
                        doc.setRowAt(r, row.build());
                        in.close();
                        m_messages.plain("File read has been aborted.");
                        reportRefusedNames(routine);
                        return ResultAborted;
                    }
                    continue;
                }
                row.endCell();
            }
            doc.setRowAt(r, row.build());
            row.start(0);
        }
        if (rowsToRead < rows)
            throw TruncatedInput();
        const std::uint8_t trailer = src.readUInt8();
        if (static_cast<std::int8_t>(trailer) > 0)
            m_extra = true;
    } catch (const TruncatedInput &) {
        failed = true;
    } catch (const std::exception &e) {
        m_messages.showException(e.what());
        failed = true;
    }
    if (failed && !row.empty())
        doc.setRowAt(r, row.build());
    in.close();
    if (failed) {
        m_messages.error(notLoadedText(routine));
        result = ResultFailed;
    }
    reportRefusedNames(routine);
    if (!failed && m_extra) {
        const int last = rows - 1;
        m_progress.setProgress(100, "100% - complete. Reading in row " + std::to_string(last) + " of " +
                                        std::to_string(last));
        m_messages.information(ExtraDataText);
    }
    return result;
}

void ListFileReader::reportRefusedNames(const char *routine)
{
    if (m_refused.empty())
        return;
    std::string text = "The following attachment files were not extracted, because their names\ncannot be used "
                       "as file names in the database folder:\n";
    int listed = 0;
    for (const std::string &name : m_refused) {
        if (listed++ == MaxListedNames) {
            text += "\n(and " + std::to_string(m_refused.size() - MaxListedNames) + " more)";
            break;
        }
        text += "\n\"" + ListFileFormat::toUtf8(name, m_encoding) + "\"";
    }
    text += "\n\nThe cells keep their references.\n\n - ";
    text += routine;
    text += "()";
    m_messages.error(text);
}

int ListFileReader::GetFileFromFStreamBin(BinaryInStream &in, const std::string &fileName,
                                          const std::string &folder)
{
    EmbeddedFileRecord record;
    record.row = -1;
    record.name = fileName;
    const std::uint8_t present = in.readUInt8();
    if (present == 0) {
        m_embedded.push_back(record);
        return ResultOk;
    }
    record.present = true;
    const double size = in.readFloat64();
    record.times.created = readFileTime(in);
    record.times.accessed = readFileTime(in);
    record.times.written = readFileTime(in);
    if (!plausibleSize(size, in.remaining()))
        throw TruncatedInput();
    record.size = static_cast<std::uint64_t>(size);
    auto finish = [&](int result) {
        record.result = result;
        m_embedded.push_back(record);
        return result;
    };
    if (!m_extract) {
        SkipBytes(in, static_cast<std::int64_t>(record.size));
        return finish(ResultOk);
    }
    // A list file names files by bare name; anything that could reach outside
    // the database folder is read past and reported after the load.
    if (!AttachmentRef::isSafeFileName(fileName)) {
        if (std::find(m_refused.begin(), m_refused.end(), fileName) == m_refused.end())
            m_refused.push_back(fileName);
        SkipBytes(in, static_cast<std::int64_t>(record.size));
        return finish(ResultSkipped);
    }
    const std::string path = AttachmentStore::pathOf(folder, fileName, m_encoding);
    struct stat st;
    if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
        static_cast<std::uint64_t>(st.st_size) == record.size) {
        const auto have = FileSystem::times(path);
        if (have && have->written == record.times.written) {
            SkipBytes(in, static_cast<std::int64_t>(record.size));
            return finish(ResultOk);
        }
    }
    // Stale temporary files of killed loads go once per folder and load,
    // not once per attachment.
    if (m_sweptFolder != folder) {
        StaleFiles::removeStaleTemporaries(folder);
        m_sweptFolder = folder;
    }
    // Other lists may refer to a file of this name: it is replaced only by a
    // whole new copy, never truncated first. A link planted under the name is
    // refused rather than written through.
    AtomicFile file(path, AtomicFile::LinkPolicy::Refuse);
    file.setRemoveStale(false);
    file.setSyncNewFiles(false);
    file.setNewFileMode(0644);
    file.setModeMask(0644);
    auto cannotWrite = [&](std::uint64_t unread) {
        const MessageAnswer answer = m_messages.show(
            MessageKind::Error,
            "Error extracting the following destination file to the list:\n" + folder +
                (folder.empty() || folder.back() == '/' ? "" : "/") + ListFileFormat::toUtf8(fileName, m_encoding) +
                "\n\nUnable to open it for writing. Please make sure the disk\naccessable for writing.\n\nThe file "
                "will be skipped if 'OK' is clicked. The open\nroutine will be aborted if 'Cancel' is clicked.\n\n - "
                "GetFileFromFStreamBin()\n\n" +
                file.errorText() + (FileSystem::exists(path) ? " The existing file was kept." : ""),
            MessageButtons::OkCancel);
        if (answer == MessageAnswer::Cancel)
            return finish(ResultAborted);
        SkipBytes(in, static_cast<std::int64_t>(unread));
        return finish(ResultSkipped);
    };
    if (!file.open())
        return cannotWrite(record.size);
    std::unique_ptr<char[]> buffer(new char[CopyPiece]);
    std::uint64_t done = 0;
    while (done < record.size) {
        if (done % 100000 == 0)
            m_progress.pumpEvents();
        const std::size_t piece = static_cast<std::size_t>(std::min<std::uint64_t>(CopyPiece, record.size - done));
        in.read(buffer.get(), piece);
        done += piece;
        if (!file.write(buffer.get(), piece))
            return cannotWrite(record.size - done);
    }
    file.setTimes(record.times.accessed, record.times.written);
    if (!file.commit())
        return cannotWrite(0);
    return finish(ResultOk);
}

} // namespace quorvex
