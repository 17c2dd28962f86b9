#pragma once

#include "platform/core/RasterImage.h"

#include <string>
#include <string_view>

namespace quorvex {

// Escaping for the catalogue page; every input is UTF-8.
class HtmlText {
public:
    // & < > " ' as character references: safe in text and in quoted attributes.
    static void appendEscaped(std::string &out, std::string_view utf8);
    // A JSON string literal that is also safe inside a <script> element:
    // <, >, &, control characters and the line and paragraph separators are
    // written as \u escapes.
    static void appendJsonString(std::string &out, std::string_view utf8);
    // A file name as one path segment of a relative URL: everything but
    // letters, digits and - . _ ~ percent-encoded.
    static std::string urlSegment(std::string_view name);
    // "#rrggbb".
    static std::string cssColor(ColorRef color);
};

} // namespace quorvex
