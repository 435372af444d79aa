#include "box_owner.h"

#include <vector>

#include <QPointer>

namespace ondrel {
namespace {

// The windows of the handlers running now, innermost last (the converter has one thread).
std::vector<QPointer<QWidget>>& Owners() {
    static std::vector<QPointer<QWidget>> owners;
    return owners;
}

} // namespace

BoxOwnerScope::BoxOwnerScope(QWidget* window) { Owners().emplace_back(window); }

BoxOwnerScope::~BoxOwnerScope() { Owners().pop_back(); }

QWidget* BoxOwner() {
    const std::vector<QPointer<QWidget>>& owners = Owners();
    for (auto owner = owners.rbegin(); owner != owners.rend(); ++owner)
        if (*owner && (*owner)->isVisible()) return (*owner)->window();
    return nullptr;
}

void GuardedIn(QWidget* window, Notifier& notifier, const std::function<void()>& handler) {
    const BoxOwnerScope owner(window);
    Guarded(notifier, handler);
}

} // namespace ondrel
