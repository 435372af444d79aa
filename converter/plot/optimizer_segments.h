// The optimiser's segment array: the drawing cut into line segments in scanner bits, headed
// by the home segment, and its grouping into open chains, closed loops and singles.
#pragma once

#include "vector_stream.h"

#include <cstdint>
#include <vector>

namespace ondrel {

// A point in the optimiser's own bit space: (drawing unit - centre) x scale, rounded.
struct BitPoint {
    std::int16_t x = 0;
    std::int16_t y = 0;
    bool operator==(const BitPoint&) const = default;
};

enum class SegmentKind : std::uint8_t {
    Unsorted = 0,   // the home segment; every loaded segment until the grouping
    Single = 1,     // nothing joins it
    ChainFirst = 2, // open chain
    ChainInner = 3,
    ChainLast = 4,
    LoopFirst = 5,  // closed loop: the last one's end is the first one's start
    LoopInner = 6,
    LoopLast = 7,
    Taken = 8,      // pulled in front of the polygon being built (grouping only)
};

struct Segment {
    SegmentKind kind = SegmentKind::Unsorted;
    BitPoint start;
    BitPoint end;
};

// Index 0 is the home segment (start and end the home point); 1.. the drawing's segments.
using SegmentArray = std::vector<Segment>;

// One end point of a piece for the savings tour: +n the start of segment n, -n its end,
// 0 the home point. prev / next link the cities of a fragment, 0 meaning none.
struct City {
    std::int32_t segment = 0;
    std::int32_t prev = 0;
    std::int32_t next = 0;
};

// Euclidean distance, exact before its one rounding to single precision. Every distance,
// saving and cost of the optimiser is such a single-precision value.
float PointDistance(BitPoint p, BitPoint q);

void ReverseSegment(Segment& segment);

// Appends one record with the point converted to floats (both modes' "Save Vectors").
void WriteVectorRecord(std::vector<VectorRecord>& stream, VectorKind kind, BitPoint point);

// The point of the drawing that the output transform puts at the centre of the field.
BitPoint HomePoint(const FieldTransform& field);

// Cuts the drawing's records into segments in bits (duplicates, in either direction, and
// zero-length marks dropped). Leaves the drawing untouched. Throws std::range_error when a
// point does not fit in 16 bits.
SegmentArray LoadSegments(const Drawing& drawing, const FieldTransform& field);

// Reorders the array so that segments sharing end points stand together as open chains or
// closed loops, and gives every segment its kind. The order is that of the plain procedure:
// grow backwards from the first unplaced segment, then take what already follows, then grow
// forwards, each time taking the lowest-indexed segment that meets the free point.
void MakePolygons(SegmentArray& segments);

} // namespace ondrel
