// libFuzzer target: the CSV import's decoding and splitting, under every
// encoding and separator the dialog offers (the first byte picks them), with
// small limits so the column, row and field bounds are reached too.
#include "document/core/ListDocument.h"
#include "import/core/CsvImportPlan.h"
#include "platform/core/UnicodeText.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    quorvex::CsvImportLimits limits;
    limits.maxColumns = 64;
    limits.maxRows = 4096;
    limits.maxFieldBytes = 4096;
    quorvex::CsvImportPlan plan(limits);
    plan.setBytes(std::string(reinterpret_cast<const char *>(data) + 1, size - 1));
    quorvex::CsvImportOptions options;
    options.encoding = static_cast<quorvex::CsvEncoding>(data[0] % 5);
    options.separator = static_cast<quorvex::CsvSeparator>((data[0] / 5) % 4);
    options.headerRow = (data[0] & 0x80) != 0;
    const auto sources = plan.sourceRows(options, 2);
    if (!sources.empty())
        options.destinations = quorvex::CsvImportPlan::defaultDestinations(sources[0], options.listType);
    quorvex::ListDocument doc(2, 2);
    const auto result = plan.build(options, doc);
    if (!result.ok)
        return 0;
    // Every cell of a Unicode list is UTF-8.
    for (int r = 0; r < doc.RowCount(); ++r)
        for (int c = 0; c < doc.ColCount(); ++c)
            if (!quorvex::UnicodeText::isValidUtf8(doc.cellView(c, r)))
                __builtin_trap();
    return 0;
}
