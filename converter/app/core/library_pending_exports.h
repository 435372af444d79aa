// Exports the converter imports that the library's header does not declare yet. Each stands
// in, for this build only, as a command to a slot without a board: it does nothing, and a
// query answers 0. The binding's qualified calls (::name) find a real declaration first, so
// an export takes over the moment the header declares it; then its line here goes.
#pragma once

#include <cstdint>

namespace {

[[maybe_unused]] void fly_return(std::int32_t, std::int32_t) {}
[[maybe_unused]] void set_fly_x(double) {}
[[maybe_unused]] void set_fly_y(double) {}

} // namespace
