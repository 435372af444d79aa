// The path optimiser's two modes: "Slow and good" (chains, loops and a savings tour) and
// "Quick and dirty" (greedy nearest-entry order). Both rewrite the drawing in marking order
// and in bits (centre 0, scale 1) while the progress window shows the phase.
#pragma once

#include "optimizer_progress.h"
#include "vector_stream.h"

#include <cstdint>

namespace ondrel {

// Larger drawings are refused with "More than 30000 vectors!".
constexpr std::int32_t MaxOptimizerVectors = 30000;

enum class OptimizeOutcome {
    Done,           // the drawing is in marking order, in bits
    TooManyVectors, // the error box was shown; the drawing is unchanged
    Empty,          // no records: nothing to do
    Aborted,        // the operator stopped the run; the drawing is unchanged
};

// Both read the field transform at the moment of the call and close the progress window
// when they end, in every case. A drawing point outside 16 bits throws std::range_error,
// with the drawing unchanged and the window closed.
OptimizeOutcome OptimizeGood(Drawing& drawing, const FieldTransform& field, OptimizerProgress& progress);
OptimizeOutcome OptimizeFast(Drawing& drawing, const FieldTransform& field, OptimizerProgress& progress);

} // namespace ondrel
