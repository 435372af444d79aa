// File > "Save on MMC": the board stores what it holds on its memory card, and the operator
// is told whether it worked.
#pragma once

#include "converter_state.h"
#include "notifier.h"
#include "quarnel_library.h"

namespace ondrel {

// What the store asks of the main window.
class CardStorageWindow {
public:
    virtual ~CardStorageWindow() = default;
    // No menu or mouse input reaches the main window while the board stores.
    virtual void DisableMainWindow() = 0;
    virtual void EnableMainWindow() = 0;
    // View > "Show Limits" loses its check mark.
    virtual void UncheckShowLimits() = 0;
};

enum class CardStoreEnd {
    Refused, // a run is in progress: nothing was sent
    Stored,  // "MultiMediaCard is ready!"
    Failed,  // "MultiMediaCard Error!"
};

// Ends any list the board runs (a running limits frame among them, whose check mark goes),
// lifts the list limit, sets control mode 9 and stores. The store counts as done only when
// it answers 0 and its exchanges with the board went through: without a board, or after a
// failed poll, its answer is a stale word.
CardStoreEnd SaveOnCard(ConverterState& state, QuarnelLibrary& library, Notifier& notifier,
                        CardStorageWindow& window);

} // namespace ondrel
