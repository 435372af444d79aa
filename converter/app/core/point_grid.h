// Mark > "Make Grid": a square grid of N × N filled dots around the middle of the scan field,
// in field Bit (the drawing and its placement play no part), for calibrating the correction
// file. Each dot is a set of rings of 30 short marks, sent as one list, executed and waited
// for before the next dot is sent.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "converter_state.h"
#include "notifier.h"
#include "run_window.h"
#include "shared_board.h"

namespace ondrel {

// The entries a dot's list may fill: list 1 ends where list 2 begins.
constexpr std::int64_t kGridListEntries = 500000;

// Rings of a dot: trunc(0.5 × dot / focus) + 1, without the overflow of a 16-bit count.
std::int64_t GridRingCount(double dotDiameter, double focusDiameter);

// The checks on the grid fields, first failure only: the message to show, or nothing when
// the grid fits the field and each dot's list fits list 1.
std::optional<std::string> GridCheckFailure(const Parameters& p);

// Marks the grid with the fields of state.parameters (already checked): the set-up list, the
// dots, and the end sequence that parks the head at (0, 0) with the outputs off. Stop in the
// output window ends the run at its next wait. A transfer that fails, anywhere up to the end
// sequence's last status read, ends the run through the stop path's immediate commands (the
// list stopped, the outputs off, the head parked), then "Quarnel not Ready!" is shown; any
// other error after the output window was shown takes the stop path too and then propagates.
// `closeGridWindow` closes the grid window when the run ends.
void RunPointGrid(ConverterState& state, SharedBoard& library, Notifier& notifier, RunWindow& run,
                  const std::function<void()>& closeGridWindow);

} // namespace ondrel
