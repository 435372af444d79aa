#include "notifier.h"

#include <exception>

namespace ondrel {

const char* MessageCaption(MessageKind kind) {
    switch (kind) {
    case MessageKind::Warning: return "Warnung";
    case MessageKind::Error: return "Fehler";
    case MessageKind::Information: return "Information";
    case MessageKind::Failure: return "Ondrel to Quarnel";
    }
    return "";
}

void StreamNotifier::Show(MessageKind kind, const std::string& text) {
    std::string line = text;
    for (char& c : line)
        if (c == '\r' || c == '\n') c = ' ';
    stream_ << MessageCaption(kind) << ": " << line << std::endl;
}

void Guarded(Notifier& notifier, const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& error) {
        notifier.Show(MessageKind::Failure, error.what());
    } catch (...) {
        notifier.Show(MessageKind::Failure, "Unexpected error");
    }
}

} // namespace ondrel
