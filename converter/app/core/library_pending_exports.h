// Exports the converter imports that the library's header does not declare yet. Each stands
// in, for this build only, as a command to a slot without a board: it does nothing, and a
// query answers 0. The binding's qualified calls (::name) find a real declaration first, so
// an export takes over the moment the header declares it; then its line here goes.
#pragma once

#include <cstdint>

namespace {

[[maybe_unused]] void fly_return(std::int32_t, std::int32_t) {}
[[maybe_unused]] std::uint32_t get_input_pointer() { return 0; }
[[maybe_unused]] void jump_abs(std::int32_t, std::int32_t) {}
[[maybe_unused]] void jump_abs_3d(std::int32_t, std::int32_t, std::int32_t) {}
[[maybe_unused]] void long_delay(std::uint32_t) {}
[[maybe_unused]] void mark_abs(std::int32_t, std::int32_t) {}
[[maybe_unused]] void mark_abs_3d(std::int32_t, std::int32_t, std::int32_t) {}
[[maybe_unused]] void save_and_restart_timer() {}
[[maybe_unused]] void set_end_of_list() {}
[[maybe_unused]] void set_fly_x(double) {}
[[maybe_unused]] void set_fly_y(double) {}
[[maybe_unused]] void set_jump_speed(double) {}
[[maybe_unused]] void set_laser_delays(std::int32_t, std::int32_t) {}
[[maybe_unused]] void set_laser_timing(std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t) {}
[[maybe_unused]] void set_list_jump(std::uint32_t) {}
[[maybe_unused]] void set_mark_speed(double) {}
[[maybe_unused]] void set_scanner_delays(std::uint32_t, std::uint32_t, std::uint32_t) {}
[[maybe_unused]] void set_start_list_1() {}
[[maybe_unused]] void set_start_list_2() {}
[[maybe_unused]] void set_wobbel(std::uint32_t, double) {}
[[maybe_unused]] void write_8bit_port_list(std::uint32_t) {}
[[maybe_unused]] void write_da_1_list(std::uint32_t) {}

} // namespace
