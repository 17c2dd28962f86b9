#include "TStatusForm.h"

#include "platform/gui/Cp1252.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include <algorithm>

namespace quorvex {

namespace {

enum class Glyph { Pause, Resume };

// The pictures of the Pause and Resume faces: two bars and a play triangle.
QIcon glyphIcon(Glyph glyph)
{
    QIcon icon;
    for (const bool enabled : {true, false}) {
        QPixmap pixmap(16, 16);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        const QColor colour = enabled ? (glyph == Glyph::Pause ? QColor(0, 64, 160) : QColor(0, 128, 0))
                                      : QColor(160, 160, 160);
        painter.setBrush(colour);
        if (glyph == Glyph::Pause) {
            painter.drawRect(QRectF(3, 2, 4, 12));
            painter.drawRect(QRectF(9, 2, 4, 12));
        } else {
            const QPointF triangle[3] = {QPointF(4, 2), QPointF(14, 8), QPointF(4, 14)};
            painter.drawPolygon(triangle, 3);
        }
        painter.end();
        icon.addPixmap(pixmap, enabled ? QIcon::Normal : QIcon::Disabled);
    }
    return icon;
}

QPushButton *makeButton(QWidget *parent, const char *name, const char *caption, const QRect &place)
{
    auto *button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(place);
    button->setAutoDefault(false);
    return button;
}

} // namespace

TStatusForm::TStatusForm(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowStaysOnTopHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("StatusForm"));
    QWidget::setWindowTitle(QStringLiteral("Status"));
    setModal(false);
    setFixedSize(ClientWidth, ClientHeight);

    m_StatusLbl = new QLabel(this);
    m_StatusLbl->setObjectName(QStringLiteral("StatusLbl"));
    m_StatusLbl->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    m_StatusLbl->setGeometry(6, UpperTop, LineWidth, LineHeight);
    m_StatusLbl->setWordWrap(true);
    m_Status2Lbl = new QLabel(this);
    m_Status2Lbl->setObjectName(QStringLiteral("Status2Lbl"));
    m_Status2Lbl->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    m_Status2Lbl->setGeometry(6, LowerTop, LineWidth, LineHeight);
    m_Status2Lbl->setWordWrap(true);

    const QRect pausePlace(70, ButtonTop, 96, 28);
    const QRect cancelPlace(184, ButtonTop, 96, 28);
    m_PauseBtn = makeButton(this, "PauseBtn", "&Pause", pausePlace);
    m_ResumeBtn = makeButton(this, "ResumeBtn", "&Resume", pausePlace);
    m_CancelBtn = makeButton(this, "CancelBtn", "&Cancel", cancelPlace);
    m_OkBtn = makeButton(this, "OkBtn", "&OK", cancelPlace);
    m_PauseBtn->setIcon(glyphIcon(Glyph::Pause));
    m_ResumeBtn->setIcon(glyphIcon(Glyph::Resume));
    // The picture stands to the right of the caption.
    m_PauseBtn->setLayoutDirection(Qt::RightToLeft);
    m_ResumeBtn->setLayoutDirection(Qt::RightToLeft);
    m_ResumeBtn->raise();
    m_OkBtn->hide();

    connect(m_OkBtn, &QPushButton::clicked, this, &TStatusForm::OkBtnClick);
    connect(m_CancelBtn, &QPushButton::clicked, this, &TStatusForm::CancelBtnClick);
    connect(m_PauseBtn, &QPushButton::clicked, this, &TStatusForm::PauseBtnClick);
    connect(m_ResumeBtn, &QPushButton::clicked, this, &TStatusForm::ResumeBtnClick);
}

void TStatusForm::start(const std::string &upperText, const std::string *lowerText)
{
    m_CancelBtn->show();
    m_OkBtn->hide();
    m_OkBtn->setDefault(false);
    m_PauseBtn->show();
    m_PauseBtn->setEnabled(true);
    m_ResumeBtn->hide();
    setUpperText(upperText);
    if (lowerText) {
        setLowerText(*lowerText);
        m_Status2Lbl->show();
    } else {
        m_Status2Lbl->hide();
    }
    layoutLines();
    show();
    raise();
}

void TStatusForm::setUpperText(const std::string &text)
{
    m_StatusLbl->setText(Cp1252::toUnicode(text));
    layoutLines();
}

void TStatusForm::setLowerText(const std::string &text)
{
    m_Status2Lbl->setText(Cp1252::toUnicode(text));
    layoutLines();
}

void TStatusForm::layoutLines()
{
    // A line that does not fit the window's width wraps, and the lines below
    // it, the buttons and the window move down to show it whole; one-line
    // texts keep the window at its usual size.
    const auto heightOf = [](const QLabel *label) {
        if (label->text().isEmpty() || label->fontMetrics().horizontalAdvance(label->text()) <= LineWidth)
            return LineHeight;
        return std::max(LineHeight, label->heightForWidth(LineWidth));
    };
    const int upper = heightOf(m_StatusLbl);
    m_StatusLbl->setGeometry(6, UpperTop, LineWidth, upper);
    const int lowerTop = LowerTop + (upper - LineHeight);
    const int lower = heightOf(m_Status2Lbl);
    m_Status2Lbl->setGeometry(6, lowerTop, LineWidth, lower);
    const int lowerBottom = lowerTop + (m_Status2Lbl->isHidden() ? LineHeight : lower);
    const int buttonTop = ButtonTop + std::max(0, lowerBottom - (LowerTop + LineHeight));
    for (QPushButton *button : {m_PauseBtn, m_ResumeBtn, m_CancelBtn, m_OkBtn})
        if (button)
            button->move(button->x(), buttonTop);
    const int height = ClientHeight + (buttonTop - ButtonTop);
    if (height != this->height())
        setFixedSize(ClientWidth, height);
}

bool TStatusForm::isPaused() const
{
    if (m_ResumeBtn->isHidden())
        return false;
    if (m_pauseWait)
        return true; // asked again from inside the wait itself
    QEventLoop wait;
    m_pauseWait = &wait;
    m_pauseWaitWoken = false;
    QTimer::singleShot(PauseWaitMs, &wait, [this] { wakePauseWait(); });
    wait.exec();
    m_pauseWait = nullptr;
    if (!m_pauseWaitWoken) {
        // The wait ended without a button or its timer: the program is quitting.
        // End the operation as a cancel instead of polling a dead event loop.
        const_cast<TStatusForm *>(this)->CancelBtnClick();
    }
    return !m_ResumeBtn->isHidden();
}

void TStatusForm::wakePauseWait() const
{
    if (!m_pauseWait)
        return;
    m_pauseWaitWoken = true;
    m_pauseWait->quit();
}

void TStatusForm::finish(const std::string &upperText, bool focusOk)
{
    setUpperText(upperText);
    m_OkBtn->show();
    m_CancelBtn->hide();
    m_PauseBtn->setEnabled(false);
    // Enter then closes the window: the buttons are no default buttons while
    // the operation runs, so that Enter cannot cancel it.
    m_OkBtn->setDefault(focusOk);
    if (focusOk && m_OkBtn->isVisible())
        m_OkBtn->setFocus();
}

void TStatusForm::OkBtnClick()
{
    m_result = Result::Ok;
    QDialog::hide();
    m_Status2Lbl->clear();
    layoutLines();
    wakePauseWait();
}

void TStatusForm::CancelBtnClick()
{
    m_result = Result::Cancel;
    // Ends a pause, so a paused operation wakes and sees the cancel.
    m_PauseBtn->show();
    m_ResumeBtn->hide();
    QDialog::hide();
    wakePauseWait();
}

void TStatusForm::PauseBtnClick()
{
    m_result = Result::None;
    m_ResumeBtn->show();
    m_PauseBtn->hide();
    m_StatusLbl->setText(m_StatusLbl->text() + QStringLiteral(" - Paused."));
    layoutLines();
    if (m_ResumeBtn->isVisible())
        m_ResumeBtn->setFocus();
}

void TStatusForm::ResumeBtnClick()
{
    m_result = Result::None;
    m_PauseBtn->show();
    m_ResumeBtn->hide();
    if (m_PauseBtn->isVisible())
        m_PauseBtn->setFocus();
    wakePauseWait();
}

void TStatusForm::closeEvent(QCloseEvent *event)
{
    // The buttons' handlers hide the window themselves.
    event->ignore();
    if (!m_CancelBtn->isHidden())
        CancelBtnClick();
    else
        OkBtnClick();
}

void TStatusForm::reject()
{
    if (!m_CancelBtn->isHidden())
        CancelBtnClick();
    else
        OkBtnClick();
}

void TStatusForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TStatusForm::hideEvent(QHideEvent *event)
{
    QDialog::hideEvent(event);
    returnFocus();
}

void TStatusForm::returnFocus()
{
    QWidget *target = m_focusReturn.data();
    if (!target || !target->isVisible())
        return;
    // Only when the keys were here or nowhere (a hidden window counts as
    // nowhere): another window the user went to keeps them.
    const QWidget *active = QApplication::activeWindow();
    if (active && active->isVisible() && active != this && active != target->window())
        return;
    // Asked of the window itself: activateWindow() takes a window whose
    // transient child (this) still holds the focus for active and does nothing.
    if (QWindow *window = target->window()->windowHandle())
        window->requestActivate();
    target->setFocus(Qt::ActiveWindowFocusReason);
}

} // namespace quorvex
