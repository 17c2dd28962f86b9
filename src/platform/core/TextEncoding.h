#pragma once

namespace quorvex {

// How the bytes of a list's texts are to be read. Lists of the three older
// file versions and the templates hold Windows-1252; Unicode lists hold UTF-8.
enum class TextEncoding { Windows1252, Utf8 };

inline const char *textEncodingName(TextEncoding e)
{
    return e == TextEncoding::Utf8 ? "UTF-8" : "Windows-1252";
}

} // namespace quorvex
