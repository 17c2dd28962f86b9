#include "OrientationPicture.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
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
    QPainterPath outline;
    outline.moveTo(sheet.topLeft());
    outline.lineTo(sheet.right() - fold, sheet.top());
    outline.lineTo(sheet.right(), sheet.top() + fold);
    outline.lineTo(sheet.bottomRight());
    outline.lineTo(sheet.bottomLeft());
    outline.closeSubpath();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0x40, 0x40, 0x40), 1));
    painter.setBrush(Qt::white);
    painter.drawPath(outline);

    // The folded-over corner.
    QPainterPath corner;
    corner.moveTo(sheet.right() - fold, sheet.top());
    corner.lineTo(sheet.right() - fold, sheet.top() + fold);
    corner.lineTo(sheet.right(), sheet.top() + fold);
    corner.closeSubpath();
    painter.setBrush(QColor(0xD0, 0xD0, 0xD0));
    painter.drawPath(corner);

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
