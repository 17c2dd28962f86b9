// libFuzzer target: case-insensitive matching of a needle in a cell, both
// from the input, in either encoding. A hit lies inside the text, begins at
// a character, and is found again when the search starts at it.
#include "platform/core/UnicodeText.h"
#include "search/core/TextMatcher.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 2)
        return 0;
    // First byte: the encoding; second: the needle's length; then needle and text.
    const auto encoding = (data[0] & 1) ? quorvex::TextEncoding::Utf8 : quorvex::TextEncoding::Windows1252;
    const std::string_view bytes(reinterpret_cast<const char *>(data) + 2, size - 2);
    const std::string_view needle = bytes.substr(0, data[1]);
    const std::string_view text = bytes.substr(needle.size());
    const quorvex::TextMatcher matcher(needle, encoding);
    std::size_t from = 0;
    for (int k = 0; k < 64; ++k) {
        std::size_t length = 0;
        const std::size_t at = matcher.findIn(text, from, length);
        if (at == quorvex::TextMatcher::npos)
            break;
        if (at < from || at > text.size() || length > text.size() - at || length < matcher.minTextSize())
            __builtin_trap();
        if (encoding == quorvex::TextEncoding::Utf8 && quorvex::UnicodeText::characterStart(text, at) != at)
            __builtin_trap();
        std::size_t again = 0;
        if (matcher.findIn(text, at, again) != at || again != length)
            __builtin_trap();
        from = at + 1;
    }
    (void)matcher.equals(text);
    return 0;
}
