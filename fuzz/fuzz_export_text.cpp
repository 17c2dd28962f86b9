// libFuzzer target: any cell bytes through the CSV export and the catalogue's
// escaping. The output must be UTF-8, and no markup may survive escaping.
#include "export/core/CsvExport.h"
#include "export/core/ExportText.h"
#include "export/core/HtmlText.h"
#include "document/core/ListDocument.h"
#include "platform/core/UnicodeText.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace quorvex;
    if (size == 0)
        return 0;
    const TextEncoding encoding = (data[0] & 1) ? TextEncoding::Utf8 : TextEncoding::Windows1252;
    const std::string_view bytes(reinterpret_cast<const char *>(data) + 1, size - 1);
    // Cells are separated by 0xFE bytes, three to a row.
    ListDocument doc(4, 1);
    doc.setTextEncoding(encoding);
    int cell = 0;
    std::size_t from = 0;
    for (std::size_t i = 0; i <= bytes.size() && cell < 300; ++i) {
        if (i < bytes.size() && static_cast<unsigned char>(bytes[i]) != 0xFE)
            continue;
        const int row = cell / 3, col = cell % 3 + 1;
        if (row >= doc.RowCount())
            doc.SetRowCount(row + 1);
        doc.SetCell(col, row, bytes.substr(from, i - from));
        ++cell;
        from = i + 1;
    }
    const std::string csv = CsvExport::text(doc);
    if (!UnicodeText::isValidUtf8(csv))
        std::abort();
    const ExportText text(encoding);
    const std::string utf8 = text.utf8(bytes);
    std::string escaped, json;
    HtmlText::appendEscaped(escaped, utf8);
    HtmlText::appendJsonString(json, utf8);
    if (!UnicodeText::isValidUtf8(utf8) || escaped.find_first_of("<>\"'") != std::string::npos ||
        json.find_first_of("<>&\n\r") != std::string::npos)
        std::abort();
    return 0;
}
