#include "TLogoForm.h"

#include "LogoArt.h"

#include <QEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>

namespace quorvex {

TLogoForm::TLogoForm(QWidget *parent) : QDialog(parent, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Tool)
{
    setObjectName(QStringLiteral("LogoForm"));
    setFixedSize(542, 373);
    auto *panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setLineWidth(2);
    panel->setGeometry(0, 0, 542, 373);

    m_Image1 = new QLabel(panel);
    m_Image1->setObjectName(QStringLiteral("Image1"));
    m_Image1->setGeometry(2, 2, 538, 369);
    m_Image1->setScaledContents(true);
    m_Image1->setPixmap(LogoArt::logo(QSize(538, 369)));
    m_Image1->setCursor(Qt::PointingHandCursor);

    QFont title(QStringLiteral("Arial"));
    title.setBold(true);
    title.setPixelSize(24);
    const QString caption = QStringLiteral("Quorvex Version 1.6");
    m_ShadowLbl = new QLabel(caption, panel);
    m_ShadowLbl->setObjectName(QStringLiteral("ShadowLbl"));
    m_ShadowLbl->setFont(title);
    m_ShadowLbl->setStyleSheet(QStringLiteral("color: rgb(128,128,128); background: transparent;"));
    m_ShadowLbl->move(24 + 2, 20 + 2);
    m_ShadowLbl->adjustSize();
    m_Label2 = new QLabel(caption, panel);
    m_Label2->setObjectName(QStringLiteral("Label2"));
    m_Label2->setFont(title);
    m_Label2->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    m_Label2->move(24, 20);
    m_Label2->adjustSize();
    for (QLabel *label : {m_Image1, m_ShadowLbl, m_Label2})
        label->installEventFilter(this);
}

void TLogoForm::keyPressEvent(QKeyEvent *event)
{
    if (onStop)
        onStop();
    event->accept();
}

bool TLogoForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress && onStop) {
        onStop();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace quorvex
