#include "ToolTipDuration.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

namespace quorvex {

void ToolTipDuration::install()
{
    QCoreApplication *app = QCoreApplication::instance();
    if (!app || app->findChild<ToolTipDuration *>(QString(), Qt::FindDirectChildrenOnly))
        return;
    app->installEventFilter(new ToolTipDuration(app));
}

bool ToolTipDuration::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ToolTip && watched->isWidgetType()) {
        auto *widget = static_cast<QWidget *>(watched);
        if (widget->toolTipDuration() < 0)
            widget->setToolTipDuration(Milliseconds);
    }
    return false;
}

} // namespace quorvex
