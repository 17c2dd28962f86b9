#include "QtMessageService.h"

#include <QGuiApplication>
#include <QApplication>
#include <QMessageBox>
#include <QWindow>

namespace quorvex {

namespace {
QtMessageService::Responder &responder()
{
    static QtMessageService::Responder r;
    return r;
}
} // namespace

void QtMessageService::setResponder(Responder r)
{
    responder() = std::move(r);
}

QWidget *QtMessageService::ownerWindow() const
{
    if (QWidget *modal = QApplication::activeModalWidget())
        return modal;
    return m_parent;
}

MessageAnswer QtMessageService::show(MessageKind kind, const std::string &text, MessageButtons buttons)
{
    return showBox(kind, text, buttons, nullptr);
}

MessageAnswer QtMessageService::showAt(const QPoint &topLeft, MessageKind kind, const std::string &text,
                                       MessageButtons buttons)
{
    return showBox(kind, text, buttons, &topLeft);
}

MessageAnswer QtMessageService::showBox(MessageKind kind, const std::string &text, MessageButtons buttons,
                                        const QPoint *topLeft)
{
    if (responder())
        return responder()(kind, text, buttons);
    // Over a modal window (the cell text window stays on top) the box must
    // belong to that window, or it may open behind it.
    QMessageBox box(ownerWindow());
    switch (kind) {
    case MessageKind::Error:
        box.setIcon(QMessageBox::Critical);
        box.setWindowTitle(QStringLiteral("Error"));
        break;
    case MessageKind::Warning:
        box.setIcon(QMessageBox::Warning);
        box.setWindowTitle(QStringLiteral("Warning"));
        break;
    case MessageKind::Information:
        box.setIcon(QMessageBox::Information);
        box.setWindowTitle(QStringLiteral("Information"));
        break;
    case MessageKind::Confirmation:
        box.setIcon(QMessageBox::Question);
        box.setWindowTitle(QStringLiteral("Confirm"));
        break;
    case MessageKind::Plain:
        box.setIcon(QMessageBox::NoIcon);
        box.setWindowTitle(QStringLiteral("Quorvex"));
        buttons = MessageButtons::Ok;
        break;
    }
    box.setTextFormat(Qt::PlainText);
    box.setText(QString::fromStdString(text));
    switch (buttons) {
    case MessageButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MessageButtons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case MessageButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case MessageButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    case MessageButtons::YesCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::Cancel);
        break;
    }
    // A wait cursor must not stay over a question.
    const bool overridden = QGuiApplication::overrideCursor() != nullptr;
    if (overridden)
        QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
    // A moved dialog keeps its place instead of being centred over its owner.
    if (topLeft)
        box.move(*topLeft);
    const int result = box.exec();
    if (overridden)
        QGuiApplication::restoreOverrideCursor();
    // Without a window manager nothing hands the keys back to the owner when
    // the box closes; with one, this asks for what it does anyway.
    if (QWidget *owner = box.parentWidget(); owner && owner->isVisible())
        if (QWindow *window = owner->window()->windowHandle())
            window->requestActivate();
    switch (result) {
    case QMessageBox::Yes:
        return MessageAnswer::Yes;
    case QMessageBox::No:
        return MessageAnswer::No;
    case QMessageBox::Cancel:
        return MessageAnswer::Cancel;
    default:
        return buttons == MessageButtons::YesNo || buttons == MessageButtons::YesNoCancel ||
                           buttons == MessageButtons::YesCancel
                   ? (result == QMessageBox::Ok ? MessageAnswer::Yes : MessageAnswer::Cancel)
                   : MessageAnswer::Ok;
    }
}

void QtMessageService::showException(const std::string &what)
{
    if (responder()) {
        responder()(MessageKind::Error, what, MessageButtons::Ok);
        return;
    }
    QMessageBox::critical(ownerWindow(), QStringLiteral("Quorvex"), QString::fromStdString(what));
}

} // namespace quorvex
