#include "morlund/platform/MessageSink.h"

#include <cstdio>

namespace morlund {

namespace {
StderrMessageSink g_stderrSink;
MessageSink* g_sink = &g_stderrSink;
}  // namespace

MessageAnswer StderrMessageSink::Show(const std::string& text, MessageIcon,
                                      MessageButtons buttons) {
    std::fprintf(stderr, "%s\n", text.c_str());
    switch (buttons) {
        case MessageButtons::Ok:
            return MessageAnswer::Ok;
        case MessageButtons::YesNo:
            return MessageAnswer::No;
        case MessageButtons::YesNoCancel:
            return MessageAnswer::Cancel;
    }
    return MessageAnswer::Ok;
}

void StderrMessageSink::SetStatusText(const std::string& text) {
    std::fprintf(stderr, "%s\n", text.c_str());
}

MessageSink* SetMessageSink(MessageSink* sink) {
    MessageSink* previous = g_sink;
    g_sink = sink != nullptr ? sink : &g_stderrSink;
    return previous;
}

MessageSink& CurrentMessageSink() { return *g_sink; }

MessageAnswer ShowMessage(const std::string& text, MessageIcon icon, MessageButtons buttons) {
    return g_sink->Show(text, icon, buttons);
}

void SetStatusText(const std::string& text) { g_sink->SetStatusText(text); }

}  // namespace morlund
