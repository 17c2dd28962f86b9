#pragma once

#include "platform/core/TextEncoding.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace quorvex {

class ListDocument;

// Cell texts as the exports write them: UTF-8 whatever the list holds, and an
// attachment cell as the name of its file.
class ExportText {
public:
    explicit ExportText(TextEncoding encoding);

    // Appends the UTF-8 form of `bytes`: Windows-1252 converted, UTF-8 kept,
    // with bytes that are not UTF-8 as U+FFFD so the output always is.
    void appendUtf8(std::string &out, std::string_view bytes) const;
    std::string utf8(std::string_view bytes) const
    {
        std::string out;
        appendUtf8(out, bytes);
        return out;
    }

    // What a cell shows in an export: an attachment's file name, else the text.
    static std::string_view shownBytes(std::string_view cell);

    // The data rows to export: `rows` in their order without those outside
    // the list, or every data row when `rows` is empty.
    static std::vector<int> dataRows(const ListDocument &doc, const std::vector<int> &rows);

private:
    TextEncoding m_encoding;
    const std::array<std::string, 128> &m_high;
};

} // namespace quorvex
