// Which window a message box belongs to: the window whose handler raises it. The box is
// transient for that window, so the window manager keeps it on top of it and gives it the
// focus, also when the window stays on top of the others.
#pragma once

#include <functional>

#include <QWidget>

#include "notifier.h"

namespace ondrel {

// While it lives, boxes belong to `window`. Scopes nest; the innermost one whose window is
// shown wins (a run's boxes go to the output window while it is shown).
class BoxOwnerScope {
public:
    explicit BoxOwnerScope(QWidget* window);
    ~BoxOwnerScope();
    BoxOwnerScope(const BoxOwnerScope&) = delete;
    BoxOwnerScope& operator=(const BoxOwnerScope&) = delete;
};

// The window the next box belongs to; null when no shown window is running a handler.
QWidget* BoxOwner();

// Runs a handler of `window` through Guarded, its boxes on top of `window`.
void GuardedIn(QWidget* window, Notifier& notifier, const std::function<void()>& handler);

} // namespace ondrel
