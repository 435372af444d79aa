// View > "Show Limits": while it is checked the head traces the drawing's transformed bounds,
// over and over with the laser off, as one endless list on the board.
#pragma once

#include "converter_state.h"
#include "quarnel_library.h"

namespace ondrel {

// The board's part of redrawing the view: starts the frame with the present corners while
// Show Limits is checked, or parks the beam while it is not. Sends nothing without a loaded
// correction file or while a marking or grid run is in progress.
void RefreshLimitsFrame(const ConverterState& state, QuarnelLibrary& library);

// Before the correction file is replaced and when the program ends: a running frame is
// stopped (the beam parked) and Show Limits unchecked.
void EndLimitsFrame(ConverterState& state, QuarnelLibrary& library);

} // namespace ondrel
