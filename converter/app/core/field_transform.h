// Where the drawing lands in the scan field: the drawing-to-bits transform and the "XY - Flip"
// exchange of the drawing's frame. The offset clamp is the plot import's ClampFieldOffsets.
#pragma once

#include <cstdint>

#include "vector_stream.h"

namespace ondrel {

constexpr float kFieldHalf = 32765.0f; // Bit from the field centre to its usable edge

// X = ax × x + bx, Y = ay × y + by (with x and y exchanged while "XY - Flip" is ticked).
// The coefficients are floats, each worked out in double and stored once.
struct TransformCoefficients {
    float ax, bx, ay, by;
    bool flip;
};

TransformCoefficients MakeTransform(const Drawing& drawing, const FieldTransform& field);

// The point of a record in Bit, before rounding: ax × x + bx in double from the float
// coefficients, so that the point is rounded only once, to the integer Bit. Every user of
// the transform rounds what this gives.
struct FieldPoint {
    double x, y;
};
FieldPoint TransformPoint(const TransformCoefficients& t, float x, float y);

// The point as the board takes it: each coordinate rounded half to even into a signed
// 16-bit word; a point beyond one fails the range check.
struct BoardPoint {
    std::int16_t x, y;
};
BoardPoint BoardBits(const TransformCoefficients& t, float x, float y);

// The point of a record in Bit, each coordinate rounded half to even; one beyond a 32-bit
// word fails the range check.
struct BitPoint {
    std::int32_t x, y;
};
BitPoint MapPoint(const TransformCoefficients& t, float x, float y);

// Exchanges the x and y bounds and the centre coordinates.
void ExchangeFrameAxes(Drawing& drawing);

// The Z word of every vector: ZCalibration × ZPosition rounded while the Z plane is on.
std::int32_t ZBits(bool zPlaneEnabled, std::uint16_t zCalibration, double zPosition);

} // namespace ondrel
