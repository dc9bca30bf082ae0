#pragma once

#include <deque>
#include <string>
#include <vector>

#include "morlund/platform/MessageSink.h"

namespace morlund {

// Test double: records every message and status text and answers questions
// from a script (then with the default answer).
class RecordingMessageSink : public MessageSink {
public:
    struct Message {
        std::string text;
        MessageIcon icon;
        MessageButtons buttons;
    };

    MessageAnswer Show(const std::string& text, MessageIcon icon, MessageButtons buttons) override {
        m_messages.push_back({text, icon, buttons});
        if (buttons == MessageButtons::Ok) return MessageAnswer::Ok;
        if (!m_script.empty()) {
            const MessageAnswer a = m_script.front();
            m_script.pop_front();
            return a;
        }
        return m_defaultAnswer;
    }
    void SetStatusText(const std::string& text) override { m_status.push_back(text); }

    void Script(MessageAnswer answer) { m_script.push_back(answer); }
    void SetDefaultAnswer(MessageAnswer answer) { m_defaultAnswer = answer; }
    const std::vector<Message>& Messages() const { return m_messages; }
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const auto& m : m_messages)
            texts.push_back(m.text);
        return texts;
    }
    const std::vector<std::string>& StatusTexts() const { return m_status; }
    void Clear() {
        m_messages.clear();
        m_status.clear();
    }

private:
    std::vector<Message> m_messages;
    std::vector<std::string> m_status;
    std::deque<MessageAnswer> m_script;
    MessageAnswer m_defaultAnswer = MessageAnswer::No;
};

}  // namespace morlund
