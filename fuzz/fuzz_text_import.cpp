// libFuzzer target: the tab- and comma-separated text import, with small
// limits so that the column, row and field bounds are reached too.
#include "document/core/ListDocument.h"
#include "listfile/core/TextListImport.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    quorvex::TextListImport::Limits limits;
    limits.maxColumns = 64;
    limits.maxRows = 4096;
    limits.maxFieldBytes = 4096;
    quorvex::ListDocument doc(2, 2);
    const auto result = quorvex::TextListImport::importText(
        std::string_view(reinterpret_cast<const char *>(data), size), doc, limits);
    if (result.ok && (doc.RowCount() < 2 || doc.ColCount() < 2))
        __builtin_trap();
    return 0;
}
