#include "notifier.h"

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

} // namespace ondrel
