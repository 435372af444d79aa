// The drawing as the converter holds it: vector records, their frame, and the field
// transform values the loaders and the optimiser read.
#pragma once

#include <cstdint>
#include <vector>

namespace ondrel {

enum VectorKind : std::uint8_t {
    Jump = 0,        // move with the laser off
    Single = 1,      // a mark neither preceded nor followed by another mark
    ChainStart = 2,  // first mark of a run of two or more marks
    ChainMiddle = 3, // a mark inside such a run
    ChainEnd = 4,    // last mark of such a run
};

// A jump's point is where the laser-off move goes; a mark's point is the end of the marked
// line, which starts at the previous record's point.
struct VectorRecord {
    std::uint8_t kind;
    float x;
    float y;
};

struct DrawingBounds {
    float MinX;
    float MaxX;
    float MinY;
    float MaxY;
};

struct DrawingPoint {
    float x;
    float y;
};

// The drawing: records in drawing units after a load, in bits after an optimiser run.
struct Drawing {
    std::vector<VectorRecord> VectorStream;
    DrawingBounds Bounds{};
    DrawingPoint DrawingCenter{};
    float DrawingScale = 1.0f;

    std::int32_t VectorCount() const { return static_cast<std::int32_t>(VectorStream.size()); }
};

// The main window's field transform as the loaders and the optimiser read it. The loaders
// may write the offsets back (offset clamp).
struct FieldTransform {
    float FieldGain = 0.5f;
    float FieldOffsetX = 0.0f;
    float FieldOffsetY = 0.0f;
    bool XInvert = false; // Field window "X - Invert"
    bool YInvert = false; // Field window "Y - Invert"
    bool XYFlip = false;  // Field window "XY - Flip"
};

} // namespace ondrel
