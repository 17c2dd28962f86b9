#include "NonInteractiveMessages.h"

namespace quorvex {

MessageAnswer NonInteractiveMessages::show(MessageKind kind, const std::string &text, MessageButtons buttons)
{
    if (kind == MessageKind::Error && m_firstError < 0)
        m_firstError = static_cast<int>(m_shown.size());
    m_shown.push_back({kind, text});
    switch (buttons) {
    case MessageButtons::Ok:
        return MessageAnswer::Ok;
    case MessageButtons::OkCancel:
    case MessageButtons::YesNoCancel:
    case MessageButtons::YesCancel:
        return MessageAnswer::Cancel;
    case MessageButtons::YesNo:
        break;
    }
    return MessageAnswer::No;
}

void NonInteractiveMessages::showException(const std::string &what)
{
    m_exceptions.push_back(what);
}

std::string NonInteractiveMessages::firstErrorLine() const
{
    if (m_firstError >= 0)
        return oneLine(m_shown[static_cast<std::size_t>(m_firstError)].text);
    if (!m_exceptions.empty())
        return oneLine(m_exceptions.front());
    return std::string();
}

std::string NonInteractiveMessages::oneLine(const std::string &text)
{
    std::string line;
    line.reserve(text.size());
    bool pendingBlank = false;
    for (char c : text) {
        if (c == '\n' || c == '\r' || c == ' ' || c == '\t') {
            pendingBlank = !line.empty();
            continue;
        }
        if (pendingBlank)
            line += ' ';
        pendingBlank = false;
        line += c;
    }
    return line;
}

} // namespace quorvex
