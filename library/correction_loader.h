// Correction tables: a file of 65 x 65 tables of 16-bit words, fitted to the field by a
// scale, a rotation and an offset, resampled bilinearly and written into one of the
// board's two correction-table areas.
#pragma once

#include "context.h"

#include <cstddef>
#include <cstdint>

namespace quarnel {

constexpr int kCorrectionGridSize = 65;
constexpr std::size_t kCorrectionTableWords = 65 * 65;   // 4225
constexpr std::size_t kCorrectionTailWords = 73;         // after the four tables of a 3-D file
constexpr std::uint32_t kCorrectionTable1Address = 0x3000;
constexpr std::uint32_t kCorrectionTable2Address = 0x5640;

struct CorrectionTransform {
    double xscale = 1.0;
    double yscale = 1.0;
    double angle = 0.0;   // degrees
    double xoffset = 0.0; // Bit
    double yoffset = 0.0; // Bit
};

// Scales within 0.21 of +-1, offsets within 30001 Bit, the angle within 10.1 degrees of a
// multiple of 90; any value that is not a finite number fails.
bool correction_transform_valid(const CorrectionTransform& t);

// Resamples table_count tables of source (4225 words each, row by row) onto the same grid
// under the transform; out receives table_count x 4225 words in the same order.
void resample_correction_tables(const std::uint16_t* source, int table_count,
                                const CorrectionTransform& t, std::uint16_t* out);

// The board form of load_correction_file: a load_result.
std::int16_t load_correction_file(Context& ctx, std::uint32_t b, const char* name, int table,
                                  const CorrectionTransform& t);

} // namespace quarnel
