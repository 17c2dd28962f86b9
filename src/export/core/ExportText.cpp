#include "ExportText.h"

#include "document/core/AttachmentRef.h"
#include "document/core/ListDocument.h"
#include "platform/core/UnicodeText.h"

namespace quorvex {

namespace {

// The UTF-8 form of every byte 0x80..0xFF of Windows-1252, made once.
const std::array<std::string, 128> &highBytes()
{
    static const std::array<std::string, 128> table = [] {
        std::array<std::string, 128> t;
        for (int b = 0x80; b <= 0xFF; ++b)
            t[static_cast<std::size_t>(b - 0x80)] = UnicodeText::fromCp1252(std::string(1, static_cast<char>(b)));
        return t;
    }();
    return table;
}

} // namespace

ExportText::ExportText(TextEncoding encoding) : m_encoding(encoding), m_high(highBytes())
{
}

void ExportText::appendUtf8(std::string &out, std::string_view bytes) const
{
    if (m_encoding == TextEncoding::Utf8) {
        if (UnicodeText::isValidUtf8(bytes)) {
            out.append(bytes);
            return;
        }
        for (std::size_t pos = 0; pos < bytes.size();)
            UnicodeText::append(out, UnicodeText::decode(bytes, pos));
        return;
    }
    std::size_t run = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80)
            continue;
        out.append(bytes.data() + run, i - run);
        out.append(m_high[b - 0x80u]);
        run = i + 1;
    }
    out.append(bytes.data() + run, bytes.size() - run);
}

std::string_view ExportText::shownBytes(std::string_view cell)
{
    return AttachmentRef::isReference(cell) ? AttachmentRef::fileName(cell) : cell;
}

std::vector<int> ExportText::dataRows(const ListDocument &doc, const std::vector<int> &rows)
{
    std::vector<int> out;
    if (rows.empty()) {
        out.reserve(static_cast<std::size_t>(doc.RowCount() > 1 ? doc.RowCount() - 1 : 0));
        for (int r = 1; r < doc.RowCount(); ++r)
            out.push_back(r);
        return out;
    }
    out.reserve(rows.size());
    for (int r : rows)
        if (r >= 1 && r < doc.RowCount())
            out.push_back(r);
    return out;
}

} // namespace quorvex
