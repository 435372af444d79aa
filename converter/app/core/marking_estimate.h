// Info > "Marking Info": how long one pass of the drawing takes to mark with the current
// marking parameters, from a time model of the scanner (travel from length and speed, the
// jump, mark and polygon delays as the board inserts them on its 10 µs grid). Nothing is
// measured on the board.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "converter_state.h"

namespace ondrel {

// Lengths in Bit, times in microseconds.
struct MarkingEstimate {
    std::int32_t Jumps = 0;
    std::int32_t Singles = 0;
    std::int32_t ChainMarks = 0; // kinds 2, 3, 4 and every kind above 4
    std::int32_t ChainStarts = 0;
    long double JumpLength = 0, MarkLength = 0;
    long double JumpTime = 0, MarkTime = 0;
    long double JumpDelays = 0, MarkDelays = 0, PolyDelays = 0;
    long double Total = 0; // the five times plus the laser-on lead of every mark start
};

// One walk over the drawing, each point transformed as the marking run sends it. A point
// whose Bit value does not fit 32 bits throws std::range_error.
MarkingEstimate EstimateMarking(const Drawing& drawing, const FieldTransform& field, const Parameters& p);

// The texts of the "Marking Information" window.
struct InfoRow {
    std::string value; // L1n2, L2n2, L3n2
    std::string share; // L1n3 ...: "(" + percent + "%)"
};
struct MarkingInfoTexts {
    InfoRow commands[3];       // jumps, marks, polys
    std::string lengthCaption; // GroupBox2: "Scan-Length [Bit]" or "Scan-Length [kBit]"
    InfoRow lengths[2];        // jumps, marks
    std::string markingTime;   // Label2: "Marking-Time:  " + seconds
    InfoRow times[5];          // jump delays, mark delays, poly delays, jump time, mark time
};

MarkingInfoTexts FormatMarkingInfo(const MarkingEstimate& estimate);

// The estimate of the loaded drawing; nothing for an empty drawing.
std::optional<MarkingInfoTexts> MarkingInfo(const ConverterState& state);

} // namespace ondrel
