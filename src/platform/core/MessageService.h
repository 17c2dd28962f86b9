#pragma once

#include <string>

namespace quorvex {

enum class MessageKind { Error, Warning, Information, Confirmation, Plain };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel, YesCancel };
enum class MessageAnswer { Ok, Cancel, Yes, No };

// The program's modal message boxes. Texts are UTF-8 and shown exactly as
// given, line breaks included; cell texts are converted before they get here.
class MessageService {
public:
    virtual ~MessageService() = default;
    virtual MessageAnswer show(MessageKind kind, const std::string &text, MessageButtons buttons) = 0;
    // The toolkit's own box for an unexpected exception, shown before the program's message.
    virtual void showException(const std::string &what) = 0;

    void error(const std::string &text) { show(MessageKind::Error, text, MessageButtons::Ok); }
    void warning(const std::string &text) { show(MessageKind::Warning, text, MessageButtons::Ok); }
    void information(const std::string &text) { show(MessageKind::Information, text, MessageButtons::Ok); }
    void plain(const std::string &text) { show(MessageKind::Plain, text, MessageButtons::Ok); }
    MessageAnswer confirm(const std::string &text, MessageButtons buttons = MessageButtons::YesNo)
    {
        return show(MessageKind::Confirmation, text, buttons);
    }
};

} // namespace quorvex
