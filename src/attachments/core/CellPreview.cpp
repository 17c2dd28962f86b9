#include "CellPreview.h"

#include "document/core/AttachmentRef.h"
#include "document/core/ListDocument.h"
#include "platform/core/AppConstants.h"

namespace quorvex {

const char *CellPreview::describe(char typeCode)
{
    switch (typeCode) {
    case AttachPicture:
        return "(cell contains a picture:\n\nCLICK HERE to view with default picture viewer)";
    case AttachAudio:
        return "(cell contains audio:\n\nCLICK HERE to play audio with default media player)";
    case AttachVideo:
        return "(cell contains video:\n\nCLICK HERE to play video with default media player)";
    case AttachFile:
        return "(cell contains a file:\n\nCLICK HERE to extract the file)";
    case AttachWebPage:
        return "(cell contains a HTML file:\n\nCLICK HERE to view with default web browser)";
    default:
        return nullptr;
    }
}

bool CellPreview::update(const ListDocument &grid, int column, int row, PreviewContent &content)
{
    const bool inRange = column >= 0 && row >= 0 && column < grid.ColCount() && row < grid.RowCount();
    return update(inRange ? grid.cellView(column, row) : std::string_view(), content);
}

bool CellPreview::update(std::string_view text, PreviewContent &content)
{
    if (!text.empty() && text == m_lastPreviewedText)
        return false;
    content = PreviewContent();
    m_previewType = 0;
    if (text.empty()) {
        content.text = EmptyCellText;
    } else if (AttachmentRef::isReference(text)) {
        const char code = AttachmentRef::typeCode(text);
        if (AttachmentRef::isKnownType(code)) {
            content.look = PreviewLook::Attachment;
            m_previewType = code;
            m_previewFileName = std::string(AttachmentRef::fileName(text));
            switch (code) {
            case AttachPicture:
                content.picture = PreviewPicture::Attachment;
                break;
            case AttachAudio:
                content.picture = PreviewPicture::AudioIcon;
                break;
            case AttachVideo:
                content.picture = PreviewPicture::VideoIcon;
                break;
            case AttachFile:
                content.picture = PreviewPicture::FileIcon;
                break;
            default:
                content.picture = PreviewPicture::WebPageIcon;
                break;
            }
            content.text = std::string(describe(code)) + FileNamePrefix + m_previewFileName;
        } else {
            content.text = UnknownDataText;
            content.picture = PreviewPicture::UnknownIcon;
        }
    } else {
        content.text = std::string(text);
    }
    m_lastPreviewedText = std::string(text);
    return true;
}

} // namespace quorvex
