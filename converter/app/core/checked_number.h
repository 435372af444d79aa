// Rounding and narrowing with the converter's range checks: a value that does not fit the
// board word it is sent as ends the handler with an error instead of wrapping.
#pragma once

#include <cstdint>
#include <stdexcept>

namespace ondrel {

class RangeCheckError : public std::range_error {
public:
    RangeCheckError() : std::range_error("Range check error") {}
};

// Rounded half to even (not a number fails).
std::int16_t RoundedInt16(double value);
std::uint16_t RoundedUInt16(double value);
std::int32_t RoundedInt32(double value);

// Integers narrowed without rounding.
std::int16_t CheckedInt16(std::int64_t value);
std::uint16_t CheckedUInt16(std::int64_t value);

} // namespace ondrel
