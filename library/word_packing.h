// How values become the 16-bit words the board takes: the low and high word of an integer
// (two's complement for negative values), the byte order of a word, and rounding a real to
// the nearest integer.
#pragma once

#include <cmath>
#include <cstdint>

namespace quarnel {

// The low 16 bits; a 16-bit argument is the low word of its 32-bit slot.
constexpr std::uint16_t low_word(std::int64_t v) { return static_cast<std::uint16_t>(v); }

// The low 16 bits read as a signed value.
constexpr std::int16_t signed_word(std::int64_t v) {
    return static_cast<std::int16_t>(low_word(v));
}

// Bits 16..31.
constexpr std::uint16_t high_word(std::int64_t v) {
    return low_word(static_cast<std::uint32_t>(v) >> 16);
}

// A 32-bit value from its high and low word.
constexpr std::uint32_t long_word(std::uint16_t high, std::uint16_t low) {
    return static_cast<std::uint32_t>(high) << 16 | low;
}

// A word as packets and files carry it: two bytes, low byte first.
inline void put_word(std::uint8_t* at, std::uint16_t word) {
    at[0] = static_cast<std::uint8_t>(word);
    at[1] = static_cast<std::uint8_t>(word >> 8);
}

inline std::uint16_t get_word(const std::uint8_t* at) {
    return static_cast<std::uint16_t>(at[0] | at[1] << 8);
}

// Nearest integer, halves to even. Callers keep x finite and bounded.
inline std::int64_t round_half_even(double x) {
    return static_cast<std::int64_t>(std::nearbyint(x));
}

} // namespace quarnel
