// What the parameter dialogs share: their number fields as texts, indexed by the field, and
// the outcome of an "Accept" walk over them.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace ondrel {

// One text per number field; Edit is an enumeration of the fields from 0 to Count - 1.
template <class Edit, std::size_t Count>
struct EditTexts {
    std::array<std::string, Count> texts;

    std::string& operator[](Edit edit) { return texts[static_cast<std::size_t>(edit)]; }
    const std::string& operator[](Edit edit) const { return texts[static_cast<std::size_t>(edit)]; }
    bool operator==(const EditTexts&) const = default;
};

template <class Edit>
struct DialogAcceptResult {
    // The rejected fields in walking order.
    std::vector<Edit> rejected;
    // The last rejected field that could take the input focus; each took it in turn.
    std::optional<Edit> focus;

    bool Accepted() const { return rejected.empty(); }
    void Reject(Edit edit, bool canTakeFocus = true) {
        rejected.push_back(edit);
        if (canTakeFocus) focus = edit;
    }
};

} // namespace ondrel
