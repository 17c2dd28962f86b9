#include "CsvExport.h"

#include "ExportText.h"
#include "document/core/ListDocument.h"
#include "platform/core/AtomicFile.h"
#include "platform/core/ProgressReporter.h"

#include <cstring>
#include <functional>

namespace quorvex {

namespace {

constexpr std::size_t PieceBytes = 4 << 20;

bool needsQuotes(std::string_view bytes)
{
    if (bytes.empty())
        return false;
    if (bytes.front() == ' ' || bytes.front() == '\t' || bytes.back() == ' ' || bytes.back() == '\t')
        return true;
    for (const char c : bytes)
        if (c == ',' || c == '"' || c == '\r' || c == '\n')
            return true;
    return false;
}

// The quoting decision needs only ASCII bytes, which both encodings keep, so
// each cell is converted once, straight into the output.
void appendCell(std::string &out, const ExportText &converter, std::string_view bytes)
{
    if (!needsQuotes(bytes)) {
        converter.appendUtf8(out, bytes);
        return;
    }
    out += '"';
    std::size_t from = 0;
    for (std::size_t q = bytes.find('"'); q != std::string_view::npos; q = bytes.find('"', from)) {
        converter.appendUtf8(out, bytes.substr(from, q + 1 - from));
        out += '"';
        from = q + 1;
    }
    converter.appendUtf8(out, bytes.substr(from));
    out += '"';
}

// Emits the text row by row; `flush` takes each full piece and may fail.
bool produce(const ListDocument &doc, const std::vector<int> &rows, ProgressReporter *progress,
             const std::function<bool(std::string &)> &flush)
{
    const ExportText converter(doc.textEncoding());
    const int cols = doc.ColCount();
    std::string out;
    out.reserve(PieceBytes + 64 * 1024);
    out += CsvExport::ByteOrderMark;
    auto emitRow = [&](int r, bool header) {
        const CellRow &row = doc.rowAt(r);
        const int stored = row.storedCount();
        if (cols == 2 && (stored < 2 || row.cell(1).empty())) {
            // A lone empty field would be an empty line, which readers skip.
            out += "\"\"\r\n";
            return;
        }
        for (int c = 1; c < cols; ++c) {
            if (c > 1)
                out += ',';
            if (c < stored) {
                const std::string_view cell = row.cell(c);
                appendCell(out, converter, header ? cell : ExportText::shownBytes(cell));
            }
        }
        out += "\r\n";
    };
    if (doc.RowCount() > 0 && cols > 1)
        emitRow(0, true);
    const std::size_t total = rows.size();
    for (std::size_t i = 0; i < total; ++i) {
        if (cols > 1)
            emitRow(rows[i], false);
        if (out.size() >= PieceBytes) {
            if (!flush(out))
                return false;
            out.clear();
            if (progress) {
                const int pct = static_cast<int>(static_cast<double>(i) / static_cast<double>(total) * 100);
                progress->setProgress(pct, std::to_string(pct) + CsvExport::ProgressSuffix);
                progress->pumpEvents();
            }
        }
    }
    return flush(out);
}

} // namespace

void CsvExport::appendField(std::string &out, std::string_view utf8)
{
    appendCell(out, ExportText(TextEncoding::Utf8), utf8);
}

std::string CsvExport::text(const ListDocument &doc, const std::vector<int> &rows)
{
    std::string all;
    produce(doc, ExportText::dataRows(doc, rows), nullptr, [&](std::string &piece) {
        all += piece;
        return true;
    });
    return all;
}

CsvExport::Result CsvExport::writeFile(const ListDocument &doc, const std::vector<int> &rows, const std::string &path,
                                       ProgressReporter *progress)
{
    Result result;
    const std::vector<int> chosen = ExportText::dataRows(doc, rows);
    AtomicFile file(path);
    if (!file.open()) {
        result.error = file.errorText();
        return result;
    }
    if (!produce(doc, chosen, progress, [&](std::string &piece) { return file.write(piece); }) || !file.commit()) {
        result.error = file.errorText();
        return result;
    }
    result.ok = true;
    result.rows = static_cast<int>(chosen.size());
    return result;
}

} // namespace quorvex
