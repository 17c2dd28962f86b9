#pragma once

#include "platform/core/MessageService.h"

#include <functional>

class QPoint;
class QWidget;

namespace quorvex {

class QtMessageService final : public MessageService {
public:
    explicit QtMessageService(QWidget *parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget *parent) { m_parent = parent; }
    MessageAnswer show(MessageKind kind, const std::string &text, MessageButtons buttons) override;
    void showException(const std::string &what) override;
    // The same box with its top-left corner at a screen position.
    MessageAnswer showAt(const QPoint &topLeft, MessageKind kind, const std::string &text, MessageButtons buttons);

    // Window tests answer the boxes instead of a person; every box of every
    // window then goes to the responder.
    using Responder = std::function<MessageAnswer(MessageKind, const std::string &, MessageButtons)>;
    static void setResponder(Responder responder);

private:
    QWidget *ownerWindow() const;
    MessageAnswer showBox(MessageKind kind, const std::string &text, MessageButtons buttons, const QPoint *topLeft);
    QWidget *m_parent;
};

} // namespace quorvex
