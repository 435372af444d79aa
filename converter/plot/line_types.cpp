#include "line_types.h"

#include <cmath>

namespace ondrel {

namespace {

constexpr float End = -1;

constexpr std::array<PatternRow, 14> Patterns{{
    {0.25f, 0.1f, 0.1f, 0.1f, 0.1f, 0.1f, 0.25f, End}, // -6
    {0.35f, 0.1f, 0.1f, 0.1f, 0.35f, End, End, End},   // -5
    {0.4f, 0.1f, 0, 0.1f, 0.4f, End, End, End},        // -4
    {0.35f, 0.3f, 0.35f, End, End, End, End, End},     // -3
    {0.25f, 0.75f, End, End, End, End, End, End},      // -2
    {0, 1, End, End, End, End, End, End},              // -1
    {0, 1, End, End, End, End, End, End},              // 0
    {0.01f, 0.99f, End, End, End, End, End, End},      // 1
    {0.5f, 0.5f, End, End, End, End, End, End},        // 2
    {0.7f, 0.3f, End, End, End, End, End, End},        // 3
    {0.8f, 0.1f, 0, 0.1f, End, End, End, End},         // 4
    {0.7f, 0.1f, 0.1f, 0.1f, End, End, End, End},      // 5
    {0.5f, 0.1f, 0.1f, 0.1f, 0.1f, 0.1f, End, End},    // 6
    {1, End, End, End, End, End, End, End},            // 7
}};

} // namespace

const PatternRow& PatternFractions(int type) { return Patterns[static_cast<std::size_t>(type + 6)]; }

void LineTypes::Reset(float diagonal)
{
    selectedType_ = currentType_ = SolidLineType;
    phase_ = 0;
    SetPatternLength(0.04f * diagonal);
}

void LineTypes::SelectLineType(const float* type, const float* lengthPercent, float diagonal)
{
    if (type == nullptr) {
        selectedType_ = SolidLineType;
    } else {
        const float n = std::nearbyint(*type);
        if (n >= -6 && n <= 6) selectedType_ = static_cast<int>(n);
    }
    if (lengthPercent != nullptr && *lengthPercent >= 0) {
        const float length = diagonal * *lengthPercent / 100;
        // A pattern of no length would never advance along a line.
        if (!(length > 0) || !std::isfinite(length)) throw PlotFailure{IllegalParameters};
        patternLength_ = length;
    }
    currentType_ = selectedType_;
    currentPatternLength_ = patternLength_;
}

void LineTypes::DrawPatternedLine(PlotPoint from, PlotPoint to, bool restart)
{
    const int t = currentType_;
    if (t == 0) {
        Dot(to);
        return;
    }
    PlotPoint d = to - from;
    const float len = Length(d);
    if (len == 0) return;
    if (t < 0) {
        // Whole patterns stretched to fit the line. Inputs that would need absurdly many
        // repetitions end at the load's record limit.
        phase_ = 0;
        double n = std::trunc(static_cast<double>(len) / currentPatternLength_);
        if (!(n >= 1)) n = 1;
        d = d / static_cast<float>(n);
        for (double i = 0; i < n; ++i) DrawPatternSegment(from, 1, 0, d);
        return;
    }
    if (restart) phase_ = 0;
    float u = len / currentPatternLength_;
    d = d / u;
    while (u >= 1) {
        DrawPatternSegment(from, 1, phase_, d);
        u = u - (1 - phase_);
        phase_ = 0;
    }
    u = u + phase_;
    if (u >= 1) {
        DrawPatternSegment(from, 1, phase_, d);
        u = u - 1;
        phase_ = 0;
    }
    DrawPatternSegment(from, u, phase_, d);
    phase_ = u;
}

void LineTypes::DrawPatternSegment(PlotPoint& p, float end, float start, PlotPoint d)
{
    const PatternRow& row = PatternFractions(currentType_);
    if (currentType_ < 0) {
        bool down = true;
        for (float f : row) {
            if (f == End) return;
            p += f * d;
            Piece(down, f == 0, p);
            down = !down;
        }
        return;
    }
    float c = 0;
    bool down = true;
    for (float f : row) {
        if (f == End) return;
        const float prev = c;
        c = c + f;
        if (c > start) {
            const bool startInside = start > prev;
            if (c > end) {
                // The segment ends inside this piece.
                p += (end - (startInside ? start : prev)) * d;
                const bool empty = startInside && end == start;
                if (down || !empty) Piece(down, empty, p);
                return;
            }
            p += (startInside ? c - start : f) * d;
            Piece(down, f == 0, p);
        }
        down = !down;
    }
}

} // namespace ondrel
