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
