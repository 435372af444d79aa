// Line types: cut each drawn line into marks, dots and gaps along a repeating pattern.
// Type 7 is solid, type 0 marks a dot at the end point only, types 1..6 repeat a fixed
// pattern whose phase carries from one line to the next, types -1..-6 stretch whole patterns
// to fit each line.
#pragma once

#include <array>

#include "plot_point.h"
#include "vector_emission.h"

namespace ondrel {

constexpr int SolidLineType = 7;

// Fractions of the pattern length for types -6..7, alternately pen down and pen up; -1 ends
// a row; a down fraction of 0 is a dot.
using PatternRow = std::array<float, 8>;
const PatternRow& PatternFractions(int type);

class LineTypes {
public:
    explicit LineTypes(VectorEmitter& out) : out_(out) {}

    // The state after IN/DF: solid, phase 0, pattern length 4 % of the diagonal.
    void Reset(float diagonal);

    // LT: type absent selects solid; types outside -6..6 keep the selected one. A length
    // (percent of the diagonal) of 0 or more sets the pattern length; 0 is refused.
    void SelectLineType(const float* type, const float* lengthPercent, float diagonal);

    // IP: the pattern length follows the new diagonal.
    void SetPatternLength(float length) { patternLength_ = currentPatternLength_ = length; }

    // Glyphs and ticks are drawn solid, then the selected type returns.
    void UseSolid() { currentType_ = SolidLineType; }
    void UseSelected() { currentType_ = selectedType_; }

    // Arcs and circles with an adaptive type stretch the pattern to one chord.
    void SetCurrentPatternLength(float length) { currentPatternLength_ = length; }
    void RestorePatternLength() { currentPatternLength_ = patternLength_; }

    // Draws the pen-down line from..to; restart means it follows a pen-up move.
    void DrawLine(PlotPoint from, PlotPoint to, bool restart)
    {
        if (currentType_ == SolidLineType) {
            out_.EmitVector(1, to);
            return;
        }
        DrawPatternedLine(from, to, restart);
    }

    int SelectedType() const { return selectedType_; }
    float PatternLength() const { return patternLength_; }
    float Phase() const { return phase_; }

private:
    void DrawPatternedLine(PlotPoint from, PlotPoint to, bool restart);
    // Draws the part [start, end] of one pattern repetition from p (advanced in place), d
    // being the displacement of one whole pattern.
    void DrawPatternSegment(PlotPoint& p, float end, float start, PlotPoint d);
    void Dot(PlotPoint p)
    {
        out_.EmitVector(0, p);
        out_.EmitVector(1, p);
    }
    // The end of one piece of a pattern: a move, a dot or a mark.
    void Piece(bool down, bool dot, PlotPoint p)
    {
        if (!down)
            out_.EmitVector(0, p);
        else if (dot)
            Dot(p);
        else
            out_.EmitVector(1, p);
    }

    VectorEmitter& out_;
    int selectedType_ = SolidLineType;
    int currentType_ = SolidLineType;
    float patternLength_ = 0;
    float currentPatternLength_ = 0;
    float phase_ = 0;
};

} // namespace ondrel
