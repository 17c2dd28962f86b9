#include "OrientationPicture.h"

#include "platform/gui/AttachmentArt.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QRadioButton>

namespace quorvex {

OrientationPicture::OrientationPicture(bool landscape, QRadioButton *button, QWidget *parent)
    : QWidget(parent), m_landscape(landscape), m_button(button)
{
    setFixedSize(sizeHint());
    setCursor(Qt::PointingHandCursor);
}

QSize OrientationPicture::sizeHint() const
{
    return m_landscape ? QSize(34, 26) : QSize(26, 34);
}

void OrientationPicture::draw(QPainter &painter) const
{
    const QRectF sheet = QRectF(QPointF(1.5, 1.5), QSizeF(sizeHint()) - QSizeF(3, 3));
    const qreal fold = 7;
    painter.setRenderHint(QPainter::Antialiasing);
    AttachmentArt::foldedSheet(painter, sheet, fold, QPen(QColor(0x40, 0x40, 0x40), 1), Qt::white,
                               QColor(0xD0, 0xD0, 0xD0));

    // Text lines run along the page's long or short side, as on paper.
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(QColor(0x30, 0x50, 0xA0), 1));
    const int left = static_cast<int>(sheet.left()) + 4;
    const int right = static_cast<int>(sheet.right()) - 4;
    for (int y = static_cast<int>(sheet.top() + fold) + 3; y < sheet.bottom() - 3; y += 3)
        painter.drawLine(left, y, right, y);
}

QImage OrientationPicture::picture() const
{
    QImage image(sizeHint(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    draw(painter);
    return image;
}

void OrientationPicture::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    draw(painter);
}

void OrientationPicture::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && m_button && m_button->isEnabled())
        m_button->click();
    QWidget::mousePressEvent(event);
}

} // namespace quorvex
