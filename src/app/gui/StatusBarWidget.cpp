#include "StatusBarWidget.h"

#include "platform/gui/Cp1252.h"
#include "document/core/StatusBarModel.h"

#include <QEvent>
#include <QPainter>

#include <algorithm>

namespace quorvex {

StatusBarWidget::StatusBarWidget(const StatusBarModel &model, QWidget *parent) : QWidget(parent), m_model(model)
{
    setObjectName(QStringLiteral("StatusBar"));
    setFixedHeight(fittingHeight());
    setAttribute(Qt::WA_OpaquePaintEvent);
}

int StatusBarWidget::fittingHeight() const
{
    // The usual height, or more where the desktop font's text needs it.
    return std::max(StatusBarModel::Height, StatusBarModel::TextY + fontMetrics().height());
}

void StatusBarWidget::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        setFixedHeight(fittingHeight());
    QWidget::changeEvent(event);
}

QSize StatusBarWidget::sizeHint() const
{
    return QSize(632, fittingHeight());
}

QRect StatusBarWidget::panelRect(int panel) const
{
    int left = 0;
    for (int i = 0; i < panel; ++i)
        left += m_model.width(i) + 2;
    // The last panel takes whatever is left, like a native status bar.
    const int w = panel == StatusBarModel::PanelCount - 1 ? std::max(m_model.width(panel), width() - left)
                                                           : m_model.width(panel);
    return QRect(left, 0, w, height());
}

void StatusBarWidget::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QPalette &pal = palette();
    p.fillRect(rect(), pal.color(QPalette::Button));
    for (int i = 0; i < StatusBarModel::PanelCount; ++i) {
        const QRect r = panelRect(i);
        p.setPen(pal.color(QPalette::Dark));
        p.drawLine(r.topLeft(), r.topRight());
        p.drawLine(r.topLeft(), r.bottomLeft());
        p.setPen(pal.color(QPalette::Light));
        p.drawLine(r.bottomLeft(), r.bottomRight());
        p.drawLine(r.topRight(), r.bottomRight());

        const PanelRect panel{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
        const int percent = m_model.progress();
        if (i == 0 && percent > 0) {
            const PanelRect bar = StatusBarModel::progressBarRect(panel, percent);
            const QRect box(bar.left, bar.top, bar.width(), bar.bottom - bar.top);
            p.fillRect(box, QColor(0, 240, 255));
            const QColor light(226, 210, 225);
            const QColor dark(30, 14, 29);
            for (int k = 0; k < 2; ++k) {
                const QRect f = box.adjusted(k, k, -k - 1, -k - 1);
                p.setPen(light);
                p.drawLine(f.topLeft(), f.topRight());
                p.drawLine(f.topLeft(), f.bottomLeft());
                p.setPen(dark);
                p.drawLine(f.bottomLeft(), f.bottomRight());
                p.drawLine(f.topRight(), f.bottomRight());
            }
        }
        p.save();
        p.setClipRect(r);
        p.setPen(pal.color(QPalette::ButtonText));
        const int x = StatusBarModel::textStartX(panel, i, percent);
        p.drawText(QRect(x, StatusBarModel::TextY, r.right() - x, r.height() - StatusBarModel::TextY),
                   Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, QString::fromStdString(m_model.text(i)));
        p.restore();
    }
}

} // namespace quorvex
