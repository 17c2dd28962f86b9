#pragma once

#include "platform/core/RasterImage.h"
#include "attachments/core/AttachmentOpener.h"
#include "attachments/core/CellPreview.h"
#include "attachments/core/PictureLoader.h"

#include <QWidget>

#include <functional>
#include <string>

class QLabel;
class QTextEdit;

namespace quorvex {

class Editor;

// The pane beside the grid: the picture box over the description of the
// current cell; a click on the description opens what it describes.
class PreviewPane : public QWidget {
    Q_OBJECT
public:
    static constexpr int ImageWidth = 165;
    static constexpr int ImageHeight = 155;

    PreviewPane(Editor &editor, QWidget *parent = nullptr);

    void ShowCellPreview(int column, int row);
    void showSaveInformation(const QString &text);
    void OpenCellAttachment();
    // Reads a picture file with the loader's messages; 0 loaded, 1 failed.
    int LoadImage(RasterImage &picture, const std::string &path);

    // Runs the extract command for the current cell (any-file attachments).
    std::function<void()> onExtract;

    QLabel *cellImage() const { return m_CellImage; }
    QTextEdit *cellRichEdit() const { return m_CellRichEdit; }
    const CellPreview &state() const { return m_state; }
    PreviewLook look() const { return m_look; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setLook(PreviewLook look);
    void showPicture(const RasterImage &picture, bool keepAspect);
    void hidePicture();
    void releasePicture();

    Editor &m_editor;
    CellPreview m_state;
    PictureLoader m_loader;
    AttachmentOpener m_opener;
    PreviewLook m_look = PreviewLook::Normal;

    QLabel *m_CellImage = nullptr;
    QTextEdit *m_CellRichEdit = nullptr;
    RasterImage m_BuffImage;
    RasterImage m_BackImage1;
    RasterImage m_FileImage, m_AudioImage, m_VideoImage, m_WebPageImage, m_UnknownDataImage;
    RasterImage m_shown;
};

} // namespace quorvex
