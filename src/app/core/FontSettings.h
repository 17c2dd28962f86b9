#pragma once

#include "document/core/FontChoice.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace quorvex {

class Editor;
class EditorView;
class MessageService;

// Which of the two font settings files: the grid's or the cell text window's.
enum class FontFile { Grid, View };

// The font settings files GridFont.mtr and ViewFont.mtr, and the row height
// the grid font gives.
class FontSettings {
public:
    static constexpr const char *GridFontFileName = "GridFont.mtr";
    static constexpr const char *ViewFontFileName = "ViewFont.mtr";
    static constexpr int MaxNameLength = 999;
    static constexpr int MaxFontSize = 999;
    // Five short lines fit many times over; the rest of a larger file is never read.
    static constexpr std::size_t MaxFileBytes = 64 * 1024;

    // The file's full path in the program folder.
    static std::string filePath(const std::string &programFolder, FontFile which);
    // The five lines of the file, each ended by "\n".
    static std::string format(const FontChoice &font);
    // The font a file's text holds; nullopt when the text is damaged. CR LF line ends are read too.
    static std::optional<FontChoice> parse(std::string_view text);

    // The factor from font size (points) to row height, and the row height itself.
    static double rowHeightFactor(int size);
    static int rowHeightFor(int size);

    // Reads a font file into `font`. 0 loaded, 5 no file (nothing changes),
    // 1 unreadable or damaged after the error box (nothing changes).
    static int load(const std::string &path, FontFile which, FontChoice &font, MessageService &messages);
    // Writes a font file with the read-only question and the messages. 0 saved (disable
    // Save Font Settings), 5 not saved at the user's answer, 1 failed after a message.
    static int save(const std::string &path, FontFile which, const FontChoice &font, MessageService &messages,
                    EditorView *busyView = nullptr);

    // Resets the print scale constants and sets rowHeightFactor and the document's row height
    // from editor.gridFont.
    static void SetRowHeightFromFont(Editor &editor);
    // Loads GridFont.mtr into editor.gridFont and then sets the row height; as load().
    static int LoadGridFont(Editor &editor);
    // The user confirmed the grid font dialog: the grid takes the font, the row height follows,
    // `computeMaxEntries` (when given) recomputes the entries per page from it, and the status bar
    // is refreshed last so its page count is the new one. The window enables Save Font Settings.
    static void gridFontChosen(Editor &editor, const FontChoice &font,
                               const std::function<void()> &computeMaxEntries = {});
    // Grid > Save Font Settings; as save().
    static int SaveGridFont(Editor &editor);
    // The cell text window's font file, read into / written from its text box's font; as load() / save().
    static int LoadViewFont(Editor &editor, FontChoice &font);
    static int SaveViewFont(Editor &editor, const FontChoice &font);
};

} // namespace quorvex
