#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quorvex {

// Whether a PDF the print engine wrote reached the disk whole. The PDF engine
// counts the bytes it hands on, not the ones that were written: a write that
// failed on a full disk leaves a shorter file whose cross-reference table is
// no longer where the trailer says, or no trailer at all.
class PdfFileCheck {
public:
    // How much of the file's end is read for the trailer.
    static constexpr std::size_t TailBytes = 1024;

    // The file ends in "%%EOF" and its "startxref" offset lands on "xref".
    static bool isComplete(const std::string &path);

    // The offset after the last "startxref" of `tail`, the file's last bytes,
    // when the tail ends in "%%EOF" (and line ends); nullopt otherwise.
    static std::optional<std::uint64_t> xrefOffset(std::string_view tail);
};

} // namespace quorvex
