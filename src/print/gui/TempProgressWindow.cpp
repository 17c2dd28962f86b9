#include "TempProgressWindow.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace quorvex {

namespace {
QString fromUtf8(const std::string &s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}
} // namespace

TempProgressWindow::TempProgressWindow(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("StatusForm"));
    setWindowTitle(QStringLiteral("Status"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setModal(false);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("StatusLbl"));
    m_status->setAlignment(Qt::AlignCenter);
    m_status->setMinimumWidth(337);
    m_status->setWordWrap(true);
    m_status2 = new QLabel(this);
    m_status2->setObjectName(QStringLiteral("Status2Lbl"));
    m_status2->setAlignment(Qt::AlignCenter);
    m_cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("CancelBtn"));
    m_ok = new QPushButton(QStringLiteral("&OK"), this);
    m_ok->setObjectName(QStringLiteral("OkBtn"));
    m_pause = new QPushButton(QStringLiteral("&Pause"), this);
    m_pause->setObjectName(QStringLiteral("PauseBtn"));
    m_resume = new QPushButton(QStringLiteral("&Resume"), this);
    m_resume->setObjectName(QStringLiteral("ResumeBtn"));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_pause);
    buttons->addWidget(m_resume);
    buttons->addStretch();
    buttons->addWidget(m_cancel);
    buttons->addWidget(m_ok);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_status);
    layout->addWidget(m_status2);
    layout->addLayout(buttons);
    m_ok->hide();
    connect(m_cancel, &QPushButton::clicked, this, &TempProgressWindow::cancel);
    connect(m_ok, &QPushButton::clicked, this, [this] {
        m_result = Result::Ok;
        m_status2->clear();
        QDialog::hide();
    });
    connect(m_pause, &QPushButton::clicked, this, [this] {
        m_result = Result::None;
        pause();
    });
    connect(m_resume, &QPushButton::clicked, this, [this] { resume(); });
}

void TempProgressWindow::start(const std::string &upperText, const std::string *lowerText)
{
    m_cancel->show();
    m_ok->hide();
    m_pause->show();
    m_pause->setEnabled(true);
    m_resume->hide();
    m_status->setText(fromUtf8(upperText));
    m_status2->setVisible(lowerText != nullptr);
    if (lowerText)
        m_status2->setText(fromUtf8(*lowerText));
    show();
}

void TempProgressWindow::setUpperText(const std::string &text)
{
    m_status->setText(fromUtf8(text));
}

void TempProgressWindow::setLowerText(const std::string &text)
{
    m_status2->setText(fromUtf8(text));
}

bool TempProgressWindow::isPaused() const
{
    return !m_resume->isHidden();
}

void TempProgressWindow::finish(const std::string &upperText, bool focusOk)
{
    m_status->setText(fromUtf8(upperText));
    m_ok->show();
    m_cancel->hide();
    m_pause->setEnabled(false);
    if (focusOk && m_ok->isVisible())
        m_ok->setFocus();
}

void TempProgressWindow::pause()
{
    m_resume->show();
    m_pause->hide();
    m_status->setText(m_status->text() + QStringLiteral(" - Paused."));
}

void TempProgressWindow::resume()
{
    m_result = Result::None;
    m_pause->show();
    m_resume->hide();
}

void TempProgressWindow::cancel()
{
    m_result = Result::Cancel;
    m_pause->show();
    m_resume->hide();
    QDialog::hide();
}

void TempProgressWindow::closeEvent(QCloseEvent *event)
{
    if (!m_cancel->isHidden())
        cancel();
    else
        m_ok->click();
    event->accept();
}

} // namespace quorvex
