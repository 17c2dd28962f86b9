#pragma once

#include <string>
#include <string_view>

namespace quorvex {

class ListDocument;

// The looks of the preview's text box.
enum class PreviewLook { Normal, Attachment, SaveInformation };

// Which picture goes into the preview's picture box.
enum class PreviewPicture { None, Attachment, AudioIcon, VideoIcon, WebPageIcon, FileIcon, UnknownIcon };

// What the pane shows for one cell.
struct PreviewContent {
    std::string text; // Windows-1252, like the cell
    PreviewLook look = PreviewLook::Normal;
    PreviewPicture picture = PreviewPicture::None;
};

// The preview pane's state: what it last showed and which attachment it
// describes. The decisions are here; the pane's widgets draw them.
class CellPreview {
public:
    static constexpr const char *StartText = "(no cell text to display)";
    static constexpr const char *EmptyCellText = "(no cell data to display)";
    static constexpr const char *UnknownDataText = "(cell contains unknown data)";
    static constexpr const char *FileNamePrefix = "\n\nFile name: ";

    // The description of an attachment of a known type, without its file name.
    static const char *describe(char typeCode);

    // Updates the state for the cell and says what to show; false when the
    // cell's text is the one already shown, which leaves the pane as it is.
    // The raw text is compared, so a reference and a plain text that read
    // alike are told apart.
    bool update(const ListDocument &grid, int column, int row, PreviewContent &content);
    // The same for a cell text known to be in range.
    bool update(std::string_view text, PreviewContent &content);

    const std::string &lastPreviewedText() const { return m_lastPreviewedText; }
    char previewType() const { return m_previewType; }
    const std::string &previewFileName() const { return m_previewFileName; }

private:
    std::string m_lastPreviewedText;
    char m_previewType = 0;
    std::string m_previewFileName;
};

} // namespace quorvex
