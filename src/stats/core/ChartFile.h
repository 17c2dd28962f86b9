#pragma once

#include <string>

namespace quorvex {

class FileDialogService;
class MessageService;

// Where and how a chart is saved: the name and format from the save dialog,
// the bytes through the atomic write path.
class ChartFile {
public:
    enum class Format { Png, Svg };
    // The save dialog's filter; its indexes count from 1.
    static constexpr const char *Filter = "PNG Picture (*.png)|*.png|SVG Drawing (*.svg)|*.svg";

    // A name ending in .png or .svg (any case) says the format; any other name
    // takes the chosen filter's, and gets its extension added.
    static Format formatFor(const std::string &path, int filterIndex);
    static std::string withExtension(const std::string &path, Format format);

    // Asks for a name (and, unless the dialog did, before replacing a file);
    // empty when cancelled.
    static std::string choosePath(FileDialogService &dialogs, MessageService &messages, const std::string &initialName,
                                  Format &format);
    // Replaces `path` with `bytes` as a whole or not at all; false with the
    // reason shown. An empty picture is a failure, never a file.
    static bool write(const std::string &path, const std::string &bytes, MessageService &messages);
};

} // namespace quorvex
