// Message boxes and the beep, as the converter's logic asks for them. The windows show real
// boxes; tests record what would have been shown.
#pragma once

#include <functional>
#include <ostream>
#include <string>

namespace ondrel {

enum class MessageKind {
    Warning,     // caption "Warnung"
    Error,       // caption "Fehler"
    Information, // caption "Information"
    Failure,     // an error inside a handler; caption "Ondrel to Quarnel"
};

const char* MessageCaption(MessageKind kind);

class Notifier {
public:
    virtual ~Notifier() = default;
    // A modal box with one OK button; returns when it is dismissed.
    virtual void Show(MessageKind kind, const std::string& text) = 0;
    // The system's simple beep.
    virtual void Beep() = 0;
};

// Where no window can show a box: each box is one line on a stream, its beeps are lost.
class StreamNotifier : public Notifier {
public:
    explicit StreamNotifier(std::ostream& stream) : stream_(stream) {}
    void Show(MessageKind kind, const std::string& text) override;
    void Beep() override {}

private:
    std::ostream& stream_;
};

// Runs a window's handler; an error inside it is shown in a box titled with the application
// title and the program goes on.
void Guarded(Notifier& notifier, const std::function<void()>& handler);

} // namespace ondrel
