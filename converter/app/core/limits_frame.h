// View > "Show Limits": while it is checked the head traces the drawing's transformed bounds,
// over and over with the laser off, as one endless list on the board.
#pragma once

#include "converter_state.h"
#include "notifier.h"
#include "shared_board.h"

namespace ondrel {

// The board's part of redrawing the view: starts the frame with the present corners while
// Show Limits is checked, or parks the beam while it is not. Sends nothing without a loaded
// correction file or while a run (marking, grid, optimiser) is in progress, even one stopped
// already. A transfer that fails while
// the frame is sent unchecks Show Limits, parks the beam and shows "Quarnel not Ready!".
void RefreshLimitsFrame(ConverterState& state, SharedBoard& library, Notifier& notifier);

// Before the correction file is replaced and when the program ends: a running frame is
// stopped (the beam parked) and Show Limits unchecked.
void EndLimitsFrame(ConverterState& state, QuarnelLibrary& library);

} // namespace ondrel
