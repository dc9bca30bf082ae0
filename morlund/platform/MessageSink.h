#pragma once

#include <string>

namespace morlund {

enum class MessageIcon { Information, Warning, Error, Question };
enum class MessageButtons { Ok, YesNo, YesNoCancel };
enum class MessageAnswer { Ok, Yes, No, Cancel };

// Where the library's messages go: the program shows them in message boxes and
// its status bar, tests record them, the command-line tool writes them to stderr.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    // Shows a modal message and returns the user's answer.
    virtual MessageAnswer Show(const std::string& text, MessageIcon icon,
                               MessageButtons buttons) = 0;
    // Puts a text in the main window's status bar.
    virtual void SetStatusText(const std::string& text) = 0;
};

// The default sink: text to stderr, answers Ok, No or Cancel (the safe answer).
class StderrMessageSink : public MessageSink {
public:
    MessageAnswer Show(const std::string& text, MessageIcon icon, MessageButtons buttons) override;
    void SetStatusText(const std::string& text) override;
};

// Installs a sink (not owned; null restores the default) and returns the previous one.
MessageSink* SetMessageSink(MessageSink* sink);
MessageSink& CurrentMessageSink();

MessageAnswer ShowMessage(const std::string& text, MessageIcon icon = MessageIcon::Error,
                          MessageButtons buttons = MessageButtons::Ok);
void SetStatusText(const std::string& text);

// Installs a sink for the lifetime of the guard.
class ScopedMessageSink {
public:
    explicit ScopedMessageSink(MessageSink& sink) : m_previous(SetMessageSink(&sink)) {}
    ~ScopedMessageSink() { SetMessageSink(m_previous); }
    ScopedMessageSink(const ScopedMessageSink&) = delete;
    ScopedMessageSink& operator=(const ScopedMessageSink&) = delete;

private:
    MessageSink* m_previous;
};

}  // namespace morlund
