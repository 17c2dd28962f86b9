#pragma once

#include "platform/core/MessageService.h"

#include <functional>

class QWidget;

namespace quorvex {

class QtMessageService final : public MessageService {
public:
    explicit QtMessageService(QWidget *parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget *parent) { m_parent = parent; }
    MessageAnswer show(MessageKind kind, const std::string &text, MessageButtons buttons) override;
    void showException(const std::string &what) override;

    // Window tests answer the boxes instead of a person; every box of every
    // window then goes to the responder.
    using Responder = std::function<MessageAnswer(MessageKind, const std::string &, MessageButtons)>;
    static void setResponder(Responder responder);

private:
    QWidget *ownerWindow() const;
    QWidget *m_parent;
};

} // namespace quorvex
