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

    // How the list writer asks about an attachment whose file is missing.
    static constexpr const char *MissingSourcePrefix = "Error saving the following source file to the list:\n";

    MessageAnswer show(MessageKind kind, const std::string &text, MessageButtons buttons) override;

    // Answers the writer's missing-file question OK, as a user who saves the
    // list anyway: the reference stays, the file goes without its data. Such a
    // question is then no error; skippedFiles() names each file once.
    void setSkipMissingAttachments(bool skip) { m_skipMissing = skip; }
    const std::vector<std::string> &skippedFiles() const { return m_skipped; }
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
    bool m_skipMissing = false;
    std::vector<std::string> m_skipped;
};

} // namespace quorvex
