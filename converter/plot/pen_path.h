// The pen-move step between the interpreter and the records: keeps the pen point and the
// pending pen-up move, widens the drawing's bounds by the end points of drawn lines and hands
// each drawn line to the line types.
#pragma once

#include <algorithm>

#include "line_types.h"
#include "plot_point.h"
#include "vector_emission.h"

namespace ondrel {

class PenPath {
public:
    PenPath(VectorEmitter& out, LineTypes& lineTypes, DrawingBounds& bounds)
        : out_(out), lineTypes_(lineTypes), bounds_(bounds)
    {
    }

    // pen 1 draws from the pen point to p, pen 0 lifts the pen and moves it to p; p is in
    // plotter units. The move is written only when a draw follows it.
    void MovePen(int pen, PlotPoint p)
    {
        if (!IsFinite(p)) throw PlotFailure{IllegalParameters};
        out_.CountStep();
        lastPoint_ = p;
        if (pen == 0) {
            movePending_ = true;
            penPoint_ = p;
            return;
        }
        if (movePending_) {
            Widen(penPoint_);
            out_.EmitVector(0, penPoint_);
        }
        Widen(p);
        lineTypes_.DrawLine(penPoint_, p, movePending_);
        movePending_ = false;
        penPoint_ = p;
    }

    // The point of the most recent pen operation.
    PlotPoint LastPoint() const { return lastPoint_; }
    void SetLastPoint(PlotPoint p) { lastPoint_ = p; }

private:
    void Widen(PlotPoint p)
    {
        bounds_.MinX = std::min(bounds_.MinX, p.x);
        bounds_.MaxX = std::max(bounds_.MaxX, p.x);
        bounds_.MinY = std::min(bounds_.MinY, p.y);
        bounds_.MaxY = std::max(bounds_.MaxY, p.y);
    }

    VectorEmitter& out_;
    LineTypes& lineTypes_;
    DrawingBounds& bounds_;
    PlotPoint penPoint_{0, 0};
    PlotPoint lastPoint_{0, 0};
    bool movePending_ = false;
};

} // namespace ondrel
