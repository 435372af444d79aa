// Date, time and serial numbers as the board's text stamping takes them: packed decimal
// digits. The mailbox commands are in text_stamping.cpp, the list commands in the list
// command table.
#pragma once

#include "word_packing.h"

#include <cstdint>
#include <optional>

namespace quarnel {

// Packed decimal of a small number, computed on v as an unsigned 16-bit value and kept to 16
// bits: 59 gives 0x59. Values from 100 on give what the formula gives (100 gives 0xA0).
constexpr std::uint16_t to_bcd(std::uint16_t v) {
    return static_cast<std::uint16_t>(v % 10u + 16u * (v / 10u));
}

// The same with the range checks of the checked build: nothing for a v outside 0..65535 or a
// result that does not fit 16 bits.
constexpr std::optional<std::uint16_t> checked_bcd(std::int64_t v) {
    if (v < 0 || v > 0xFFFF) return std::nullopt;
    const std::int64_t bcd = v % 10 + 16 * (v / 10);
    if (bcd > 0xFFFF) return std::nullopt;
    return static_cast<std::uint16_t>(bcd);
}

// The values of date_check: 0..12 as packed decimal; anything above 12 is sent as 0.
constexpr std::uint16_t date_check_word(std::uint32_t v) {
    const auto v16 = low_word(v);
    return v16 > 12 ? 0 : to_bcd(v16);
}

// The selectors of mark_time, mark_date and mark_serial (compared as unsigned 16-bit).
constexpr bool within(std::uint32_t v, std::uint16_t highest) {
    return low_word(v) <= highest;
}

} // namespace quarnel
