#pragma once

#include "app/core/MessageService.h"

class QWidget;

namespace quorvex {

class QtMessageService final : public MessageService {
public:
    explicit QtMessageService(QWidget *parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget *parent) { m_parent = parent; }
    MessageAnswer show(MessageKind kind, const std::string &text, MessageButtons buttons) override;
    void showException(const std::string &what) override;

private:
    QWidget *m_parent;
};

} // namespace quorvex
