#pragma once

#include "platform/core/MessageService.h"

#include <string>
#include <vector>

namespace quorvex {

// The message boxes of a run where nobody can answer: every message is kept,
// every question is answered No or Cancel, so any routine that offers to skip
// or abort takes the safe way out.
class NonInteractiveMessages final : public MessageService {
public:
    struct Shown {
        MessageKind kind;
        std::string text;
    };

    MessageAnswer show(MessageKind kind, const std::string &text, MessageButtons buttons) override;
    void showException(const std::string &what) override;

    const std::vector<Shown> &shown() const { return m_shown; }
    bool hasError() const { return m_firstError >= 0 || !m_exceptions.empty(); }
    // The first error message as one line (the exception text when no error
    // message came), empty when there was none.
    std::string firstErrorLine() const;

    // Line breaks and the blank lines between paragraphs become single blanks.
    static std::string oneLine(const std::string &text);

private:
    std::vector<Shown> m_shown;
    std::vector<std::string> m_exceptions;
    int m_firstError = -1;
};

} // namespace quorvex
