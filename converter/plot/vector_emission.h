// Turns a sequence of pen moves and draws into vector records of the right kind, one step
// late: a draw becomes Single, ChainStart, ChainMiddle or ChainEnd once the pen move after it
// is known.
#pragma once

#include <cstdint>
#include <vector>

#include "plot_error.h"
#include "plot_point.h"
#include "vector_stream.h"

namespace ondrel {

// What one load may produce; beyond it the load fails instead of exhausting memory or time.
struct PlotLimits {
    std::int32_t MaxRecords = 16 * 1024 * 1024;
    // Pen moves, arc steps and records together: bounds the work of inputs that move the
    // pen a great deal without drawing. Running out of it is a plot error of the command
    // that did the work, not a drawing with too many records.
    std::int64_t MaxSteps = 64 * 1024 * 1024;
};

class VectorEmitter {
public:
    VectorEmitter(std::vector<VectorRecord>& records, const PlotLimits& limits)
        : records_(records), limits_(limits)
    {
    }

    // Start of a plot: nothing is held.
    void Begin();

    // pen 1 draws a line to point, pen 0 moves there.
    void EmitVector(int pen, PlotPoint point)
    {
        if (!IsFinite(point)) throw PlotFailure{IllegalParameters};
        CountStep();
        older_ = previous_;
        previous_ = current_;
        current_ = {static_cast<std::uint8_t>(pen), point};
        if (previous_.kind == NoRecord) return; // the plot's first pen operation
        if (previous_.kind == Jump && current_.kind == Jump) return; // only the last move counts
        if (previous_.kind == Single) previous_.kind = FinalKind(older_.kind, current_.kind);
        Append(previous_);
    }

    // End of the plot: writes the draw still held; a trailing move is dropped.
    void Flush();

    // Counts one unit of work against the load's step limit; beyond it the command being
    // run has illegal parameters.
    void CountStep()
    {
        if (++steps_ > limits_.MaxSteps) throw PlotFailure{IllegalParameters};
    }

private:
    struct Slot {
        std::uint8_t kind;
        PlotPoint point;
    };

    // Marks a slot that holds nothing yet, so that a plot starting with a draw writes no
    // jump to a point left over from before.
    static constexpr std::uint8_t NoRecord = 0xFF;

    // Kind of a raw draw given the final kind before it and the raw pen after it.
    static std::uint8_t FinalKind(std::uint8_t older, std::uint8_t next)
    {
        if (older == ChainStart || older == ChainMiddle) return next == 0 ? ChainEnd : ChainMiddle;
        return next == 0 ? Single : ChainStart; // after a jump, or at the start of the plot
    }

    void Append(const Slot& slot)
    {
        if (static_cast<std::int64_t>(records_.size()) >= limits_.MaxRecords) throw PlotLimitExceeded{};
        records_.push_back({slot.kind, slot.point.x, slot.point.y});
    }

    std::vector<VectorRecord>& records_;
    const PlotLimits& limits_;
    Slot older_{NoRecord, {}};
    Slot previous_{NoRecord, {}};
    Slot current_{NoRecord, {}};
    std::int64_t steps_ = 0;
};

// The frame after a load: centre, "XY - Flip" exchange, scale (65530 over the larger extent)
// and the offset clamp. An empty drawing or one without extent gets a neutral frame (scale 1)
// and leaves the offsets alone.
void ComputeDrawingFrame(Drawing& drawing, FieldTransform& field);

// The offset clamp alone, per axis with the drawing's bounds, scale and the field's gain as
// they are now: keeps every transformed point within ±32765 Bit. The field window applies it
// again after a change of gain or offsets and after "XY - Flip".
void ClampFieldOffsets(const Drawing& drawing, FieldTransform& field);

} // namespace ondrel
