#include "NonInteractiveMessages.h"

#include <algorithm>

namespace quorvex {

MessageAnswer NonInteractiveMessages::show(MessageKind kind, const std::string &text, MessageButtons buttons)
{
    const std::string prefix = MissingSourcePrefix;
    if (m_skipMissing && kind == MessageKind::Error && buttons == MessageButtons::OkCancel &&
        text.compare(0, prefix.size(), prefix) == 0) {
        const std::size_t end = text.find('\n', prefix.size());
        const std::string file = text.substr(prefix.size(), end == std::string::npos ? end : end - prefix.size());
        if (std::find(m_skipped.begin(), m_skipped.end(), file) == m_skipped.end())
            m_skipped.push_back(file);
        m_shown.push_back({kind, text});
        return MessageAnswer::Ok;
    }
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
