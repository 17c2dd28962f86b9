#include "ExportText.h"

#include "document/core/AttachmentRef.h"
#include "document/core/ListDocument.h"
#include "platform/core/UnicodeText.h"

namespace quorvex {

ExportText::ExportText(TextEncoding encoding) : m_encoding(encoding)
{
    if (encoding == TextEncoding::Utf8)
        return;
    for (int b = 0x80; b <= 0xFF; ++b)
        m_high[static_cast<std::size_t>(b - 0x80)] = UnicodeText::fromCp1252(std::string(1, static_cast<char>(b)));
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
        out.append(m_high[b - 0x80]);
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
