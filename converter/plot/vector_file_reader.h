// The vector file format: one record per line, a kind letter (J, M, A, B, C in either case)
// and x and y as decimal numbers separated by blanks.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "vector_emission.h"
#include "vector_stream.h"

namespace ondrel {

struct VectorFileError {
    std::int64_t Line = 0; // 1-based line of the number that does not convert; 0: none
    bool TooManyRecords = false;
};

// Reads the records into drawing (cleared first) and widens drawing.Bounds, which the caller
// has set. Blank lines are skipped; a line without a kind letter takes the kind before it
// (Jump for the first). Returns false with the reason in error.
bool ReadVectorText(std::string_view text, Drawing& drawing, const PlotLimits& limits, VectorFileError& error);

// Converts one vector-file number: optional sign, digits with an optional point and fraction,
// an optional exponent. The value becomes the nearest 32-bit float, 0 for one too small to
// tell from it; a value beyond the float range is refused.
bool ConvertVectorNumber(std::string_view text, float& value);

} // namespace ondrel
