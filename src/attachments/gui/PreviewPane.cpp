#include "PreviewPane.h"

#include "QtPictureReader.h"
#include "platform/gui/AttachmentArt.h"
#include "platform/gui/TextPieces.h"
#include "attachments/core/AttachmentStore.h"
#include "attachments/core/PictureFit.h"
#include "document/core/AttachmentRef.h"
#include "document/core/Editor.h"
#include "platform/core/FileSystem.h"
#include "platform/gui/ListText.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QScrollBar>
#include <QTextEdit>
#include <QVBoxLayout>

namespace quorvex {

namespace {

const QColor PaneBackground(255, 255, 225);
const QColor InformationBackground(32, 128, 192);

// A long text is shown in pieces so that it shows at once; the pane is
// read-only and the cell keeps its text.
QString inShowableParagraphs(QString text)
{
    if (text.size() <= TextPieces::Length)
        return text;
    QString out;
    out.reserve(text.size() + text.size() / TextPieces::Length + 1);
    qsizetype at = 0;
    while (at < text.size()) {
        const qsizetype lineEnd = text.indexOf(QLatin1Char('\n'), at);
        const qsizetype end = lineEnd < 0 ? text.size() : lineEnd + 1;
        while (end - at > TextPieces::Length) {
            const qsizetype cut = TextPieces::cutAfter(text, at);
            out += QStringView(text).mid(at, cut - at);
            out += QLatin1Char('\n');
            at = cut;
        }
        out += QStringView(text).mid(at, end - at);
        at = end;
    }
    return out;
}

RasterImage iconImage(AttachmentArt::Kind kind)
{
    return QtPictureReader::toRaster(AttachmentArt::icon(kind, PreviewPane::ImageWidth, PreviewPane::ImageHeight));
}

} // namespace

PreviewPane::PreviewPane(Editor &editor, QWidget *parent)
    : QWidget(parent), m_editor(editor), m_loader(editor.services().messages, QtPictureReader::read),
      m_opener(editor), m_BackImage1(5, 5, pixelFromRgb(0, 0, 0)),
      m_FileImage(iconImage(AttachmentArt::Kind::File)), m_AudioImage(iconImage(AttachmentArt::Kind::Audio)),
      m_VideoImage(iconImage(AttachmentArt::Kind::Video)), m_WebPageImage(iconImage(AttachmentArt::Kind::WebPage)),
      m_UnknownDataImage(iconImage(AttachmentArt::Kind::Unknown))
{
    setObjectName(QStringLiteral("PreviewPane"));
    setFixedWidth(ImageWidth + 35);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);

    m_CellImage = new QLabel(this);
    m_CellImage->setObjectName(QStringLiteral("CellImage"));
    m_CellImage->setFixedSize(ImageWidth, ImageHeight);
    // The description stays where it is while the picture box is hidden.
    QSizePolicy keep = m_CellImage->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    m_CellImage->setSizePolicy(keep);
    m_CellImage->hide();
    layout->addWidget(m_CellImage, 0, Qt::AlignRight | Qt::AlignTop);

    m_CellRichEdit = new QTextEdit(this);
    m_CellRichEdit->setObjectName(QStringLiteral("CellRichEdit"));
    m_CellRichEdit->setReadOnly(true);
    m_CellRichEdit->setAcceptRichText(false);
    m_CellRichEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_CellRichEdit->setFont(QFont(QStringLiteral("Arial")));
    m_CellRichEdit->viewport()->installEventFilter(this);
    layout->addWidget(m_CellRichEdit, 1);

    m_look = PreviewLook::SaveInformation; // forces the first setLook to apply
    setLook(PreviewLook::Normal);
    m_CellRichEdit->setPlainText(QString::fromLatin1(CellPreview::StartText));
}

void PreviewPane::setLook(PreviewLook look)
{
    if (look == m_look)
        return;
    m_look = look;
    QPalette pal = m_CellRichEdit->palette();
    const bool info = look == PreviewLook::SaveInformation;
    pal.setColor(QPalette::Base, info ? InformationBackground : PaneBackground);
    pal.setColor(QPalette::Text, info ? QColor(255, 255, 0) : look == PreviewLook::Attachment ? QColor(0, 0, 255)
                                                                                                : QColor(0, 0, 0));
    m_CellRichEdit->setPalette(pal);
    QFont font = m_CellRichEdit->font();
    font.setUnderline(look == PreviewLook::Attachment);
    m_CellRichEdit->setFont(font);
    m_CellRichEdit->viewport()->setCursor(look == PreviewLook::Attachment ? Qt::PointingHandCursor : Qt::IBeamCursor);
    if (look != PreviewLook::Attachment)
        m_CellRichEdit->viewport()->unsetCursor();
}

void PreviewPane::hidePicture()
{
    m_CellImage->hide();
}

void PreviewPane::showPicture(const RasterImage &picture, bool keepAspect)
{
    FitOptions options;
    options.keepAspect = keepAspect;
    options.allowEnlarge = true;
    if (!PictureFit::GetAspectedImage(picture, m_shown, m_BackImage1, m_CellImage->width(), m_CellImage->height(),
                                     options, m_editor.services().messages))
        return;
    m_CellImage->setPixmap(QPixmap::fromImage(QtPictureReader::toImage(m_shown)));
    m_CellImage->show();
}

void PreviewPane::releasePicture()
{
    // A large photo holds hundreds of megabytes: give them back as soon as
    // the pane shows something else.
    m_BuffImage = RasterImage();
}

int PreviewPane::LoadImage(RasterImage &picture, const std::string &path)
{
    return m_loader.LoadImage(picture, path);
}

void PreviewPane::ShowCellPreview(int column, int row)
{
    PreviewContent content;
    if (!m_state.update(m_editor.document(), column, row, content))
        return;
    setLook(content.look);
    hidePicture();
    if (content.picture != PreviewPicture::Attachment)
        releasePicture();
    const TextEncoding encoding = m_editor.document().textEncoding();
    m_CellRichEdit->setPlainText(inShowableParagraphs(ListText::toUnicode(content.text, encoding)));
    switch (content.picture) {
    case PreviewPicture::None:
        break;
    case PreviewPicture::Attachment: {
        const std::string &name = m_state.previewFileName();
        const std::string path = AttachmentStore::pathOf(m_editor.paths().databaseFolder, name, m_editor.document().textEncoding());
        // A name with a folder part never reads outside the database folder.
        const int loaded = AttachmentRef::isSafeFileName(name)
                               ? LoadImage(m_BuffImage, path)
                               : (m_editor.services().messages.error(PictureLoader::missingFileMessage(path)), 1);
        if (loaded != 0) {
            m_CellImage->clear();
            releasePicture();
        } else {
            showPicture(m_BuffImage, true);
            // The buffer is kept for the next picture, but not at the size of
            // a far larger one before it.
            if (m_BuffImage.pixels.capacity() / 2 > m_BuffImage.pixels.size())
                m_BuffImage.pixels.shrink_to_fit();
        }
        break;
    }
    case PreviewPicture::AudioIcon:
        showPicture(m_AudioImage, false);
        break;
    case PreviewPicture::VideoIcon:
        showPicture(m_VideoImage, false);
        break;
    case PreviewPicture::WebPageIcon:
        showPicture(m_WebPageImage, false);
        break;
    case PreviewPicture::FileIcon:
        showPicture(m_FileImage, false);
        break;
    case PreviewPicture::UnknownIcon:
        showPicture(m_UnknownDataImage, false);
        break;
    }
}

void PreviewPane::showSaveInformation(const QString &text)
{
    setLook(PreviewLook::SaveInformation);
    m_CellRichEdit->setPlainText(text);
}

void PreviewPane::OpenCellAttachment()
{
    m_opener.OpenCellAttachment(m_state.previewType(), m_state.previewFileName(), onExtract);
}

bool PreviewPane::eventFilter(QObject *watched, QEvent *event)
{
    // The type first: the box is asked for its viewport only for a click.
    if (event->type() == QEvent::MouseButtonRelease && watched == m_CellRichEdit->viewport())
        OpenCellAttachment();
    return QWidget::eventFilter(watched, event);
}

} // namespace quorvex
