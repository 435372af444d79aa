// Conversions of the list commands for marking on the fly, the external start and the
// regulation. Each returns the value a word of the entry carries; the rows that use them stand
// in the list command table. A NaN real takes the value of the low end of its range.
#pragma once

#include "word_packing.h"

#include <cmath>
#include <cstdint>

namespace quarnel {

// Fly factors k (bits per encoder count) go out as k x 2^21; the board uses a factor only
// when its flag is set, for 0.00009 <= |k| < 1001. From 1001 on the code is 0 as well.
constexpr double kMaxFlyFactor = 1001.0;
constexpr double kMinFlyFactor = 0.00009;

inline std::int32_t fly_factor_code(double k) {
    if (!(std::fabs(k) < kMaxFlyFactor)) return 0; // NaN too
    return static_cast<std::int32_t>(round_half_even(k * 2097152.0));
}

inline std::uint16_t fly_factor_flag(double k) {
    const double a = std::fabs(k);
    return a >= kMinFlyFactor && a < kMaxFlyFactor ? 1 : 0;
}

// Rotation: 137438953500 / r, switched off for |r| <= 100 (and for NaN).
inline bool fly_rotation_on(double r) { return std::fabs(r) > 100.0; }

inline std::int32_t fly_rotation_code(double r) {
    if (!fly_rotation_on(r)) return 0;
    return static_cast<std::int32_t>(round_half_even(137438953500.0 / r));
}

// Speed v of calculate_fly as 819.2 v; 0 from |v| = 2600000 on.
inline std::int32_t fly_speed_code(double v) {
    if (!(std::fabs(v) < 2600000.0)) return 0;
    return static_cast<std::int32_t>(round_half_even(819.2 * v));
}

// A negative external-start delay goes out one lower, its ones' complement pattern; -32768 has
// no lower value and goes as is. The immediate command and the list commands share it.
constexpr std::uint16_t ext_start_delay_word(std::int16_t d) {
    return static_cast<std::uint16_t>(d < 0 && d > -32768 ? d - 1 : d);
}

// List position of the external start; 0 (the board's "none") outside 1..999999.
constexpr std::int32_t ext_start_position(std::int32_t p) {
    return p >= 1 && p <= 999999 ? p : 0;
}

// Magnitude of a signed 16-bit word, taken in 32 bits: -32768 gives 0x8000.
constexpr std::uint16_t magnitude16(std::int16_t v) {
    return static_cast<std::uint16_t>(v < 0 ? -static_cast<std::int32_t>(v) : v);
}

// Regulation: the frequency f limited to 10 kHz..1 MHz gives the period g = 256000000 / f
// (256..25600); the second word counts periods over the distance x, limited to 10..f / 10.
struct RegulationWords {
    std::uint16_t period;
    std::uint16_t steps;
};

inline RegulationWords regulation_words(double f, double x) {
    double limited_f = f > 1000000.0 ? 1000000.0 : f;
    if (!(limited_f >= 10000.0)) limited_f = 10000.0; // NaN too
    const double g = std::nearbyint(256000000.0 / limited_f);
    double d = x > 0.1 * limited_f ? 0.1 * limited_f : x;
    if (!(d >= 10.0)) d = 10.0;
    const double steps = std::trunc(0.00004 * g * d) + 1.0;
    return {static_cast<std::uint16_t>(g), static_cast<std::uint16_t>(steps)};
}

} // namespace quarnel
