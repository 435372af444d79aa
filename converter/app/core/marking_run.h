// Mark > "Start Marking": the drawing becomes list commands for the board, the two lists are
// filled and started in turn, and the run follows the board until the lists are done or the
// operator (or the board's stop input) stops it. The run stays inside the handler and keeps
// the windows alive through the run window's pumps.
#pragma once

#include <cstdint>
#include <string>

#include "converter_state.h"
#include "notifier.h"
#include "run_window.h"
#include "shared_board.h"

namespace ondrel {

// List commands in one list before the run closes it and goes on in the other list.
constexpr std::int32_t kListCommandLimit = 490000;

enum class MarkingEnd {
    Refused,   // nothing reached the board, or only the error box
    Abandoned, // the board's transport failed after the first stop; nothing else happened
    Finished,  // the marking time is shown; the output window waits for "OK"
    Stopped,   // the operator or the board's stop input stopped it (stop path)
    Failed,    // an error ended it: the stop path ran, then its box was shown
};

MarkingEnd StartMarking(ConverterState& state, SharedBoard& library, Notifier& notifier, RunWindow& window);

// "12.346": the timer minus 0.00001 s, five significant digits written with three decimals.
std::string MarkingTimeText(double seconds);

// Whether an endless run of this drawing fits in list 1 together with the preamble, so that
// its closing list jump repeats the whole drawing.
bool FitsEndlessRun(const Parameters& parameters, std::int32_t vectorCount);

} // namespace ondrel
