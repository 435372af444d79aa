#include "checked_number.h"

#include <cmath>
#include <limits>

namespace ondrel {
namespace {

template <typename T>
T RoundedTo(double value) {
    const double rounded = std::nearbyint(value); // NaN stays NaN and fails both tests
    if (!(rounded >= std::numeric_limits<T>::min() && rounded <= std::numeric_limits<T>::max()))
        throw RangeCheckError();
    return static_cast<T>(rounded);
}

template <typename T>
T NarrowedTo(std::int64_t value) {
    if (value < std::numeric_limits<T>::min() || value > std::numeric_limits<T>::max()) throw RangeCheckError();
    return static_cast<T>(value);
}

} // namespace

std::int16_t RoundedInt16(double value) { return RoundedTo<std::int16_t>(value); }
std::uint16_t RoundedUInt16(double value) { return RoundedTo<std::uint16_t>(value); }
std::int32_t RoundedInt32(double value) { return RoundedTo<std::int32_t>(value); }
std::int16_t CheckedInt16(std::int64_t value) { return NarrowedTo<std::int16_t>(value); }
std::uint16_t CheckedUInt16(std::int64_t value) { return NarrowedTo<std::uint16_t>(value); }

} // namespace ondrel
