// The 54 selected-board functions of the controller library that the converter imports, as
// one table: the converter's interface to the library (quarnel_library.h), its binding to the
// shared library (library_binding.cpp), the board the windows share during a run
// (shared_board.h) and the tests' recording board are all made from it.
//
// X(kind, result, name, (parameters), (arguments)); the kind says what a call may send:
// - Local: nothing; the library answers from what it holds.
// - ListWrite: at most one transfer, the write of the list entries waiting in the library
//   (list commands, opening and closing a list, and get_input_pointer, which only writes them).
// - Exchange: first the waiting list entries, then its own transfers through the command
//   mailbox (immediate commands, queries, loaders). Its own good transfer would hide a failed
//   write of the entries, since the transport status tells only of the latest transfer.
#pragma once

#include <cstdint>

namespace ondrel {

enum class ImportKind { Local, ListWrite, Exchange };

} // namespace ondrel

// clang-format off
#define ONDREL_QUARNEL_IMPORTS(X)                                                                                 \
    /* Loaders; their results are read as signed. */                                                            \
    X(Exchange, std::int16_t, load_cor, (const char* name), (name))                                               \
    X(Exchange, std::int16_t, load_pro, (const char* name), (name))                                               \
    X(Exchange, std::int16_t, load_program_file, (const char* name), (name))                                      \
    X(Exchange, std::int16_t, load_varpolydelay, (const char* name, std::uint16_t number), (name, number))        \
    /* Queries. */                                                                                               \
    X(Local, std::uint16_t, get_dll_version, (), ())                                                              \
    X(Exchange, std::uint16_t, get_head_status, (std::uint16_t head), (head))                                     \
    X(Exchange, std::uint16_t, get_hex_version, (), ())                                                           \
    X(ListWrite, std::uint32_t, get_input_pointer, (), ())                                                        \
    X(Exchange, std::uint16_t, get_oru_version, (), ())                                                           \
    X(Exchange, std::uint16_t, get_serial_number, (), ())                                                         \
    X(Exchange, std::uint16_t, get_startstop_info, (), ())                                                        \
    X(Exchange, double, get_time, (), ())                                                                         \
    X(Exchange, std::uint16_t, read_io_port, (), ())                                                              \
    X(Exchange, std::uint16_t, read_status, (), ())                                                               \
    X(Local, std::uint32_t, usb_status, (), ())                                                                   \
    /* Immediate commands. */                                                                                    \
    X(Exchange, void, auto_change, (), ())                                                                        \
    X(Exchange, void, clear_list, (), ())                                                                         \
    X(Exchange, void, execute_list_1, (), ())                                                                     \
    X(Exchange, void, execute_list_2, (), ())                                                                     \
    X(Exchange, void, goto_xyz, (std::int16_t x, std::int16_t y, std::int16_t z), (x, y, z))                      \
    X(Exchange, void, set_control_mode, (std::uint16_t mode), (mode))                                             \
    X(Exchange, void, set_max_counts, (std::uint32_t counts), (counts))                                           \
    X(Exchange, void, simulate_encoder, (std::uint16_t channel), (channel))                                       \
    X(Exchange, void, stop_execution, (), ())                                                                     \
    X(Exchange, std::uint16_t, store_on_mmc, (), ())                                                              \
    X(Exchange, void, write_8bit_port, (std::uint16_t value), (value))                                            \
    X(Exchange, void, write_da_1, (std::uint16_t value), (value))                                                 \
    X(Exchange, void, write_io_port, (std::uint16_t value), (value))                                              \
    X(Exchange, void, set_delay_mode,                                                                             \
      (std::uint16_t varpoly, std::uint16_t directmove3d, std::uint16_t edgelevel, std::uint16_t minjumpdelay,    \
       std::uint16_t jumplengthlimit),                                                                            \
      (varpoly, directmove3d, edgelevel, minjumpdelay, jumplengthlimit))                                          \
    X(Exchange, void, set_laser_mode, (std::uint16_t mode), (mode))                                               \
    X(Exchange, void, set_standby, (std::uint16_t halfPeriod, std::uint16_t pulse), (halfPeriod, pulse))          \
    /* Opening and closing a list. */                                                                           \
    X(ListWrite, void, set_start_list_1, (), ())                                                                  \
    X(ListWrite, void, set_start_list_2, (), ())                                                                  \
    X(ListWrite, void, set_end_of_list, (), ())                                                                   \
    /* List commands. */                                                                                         \
    X(ListWrite, void, fly_return, (std::int16_t x, std::int16_t y), (x, y))                                      \
    X(ListWrite, void, jump_abs, (std::int16_t x, std::int16_t y), (x, y))                                        \
    X(ListWrite, void, jump_abs_3d, (std::int16_t x, std::int16_t y, std::int16_t z), (x, y, z))                  \
    X(ListWrite, void, long_delay, (std::uint16_t time), (time))                                                  \
    X(ListWrite, void, mark_abs, (std::int16_t x, std::int16_t y), (x, y))                                        \
    X(ListWrite, void, mark_abs_3d, (std::int16_t x, std::int16_t y, std::int16_t z), (x, y, z))                  \
    X(ListWrite, void, save_and_restart_timer, (), ())                                                            \
    X(ListWrite, void, set_ext_start_delay, (std::int16_t delay, std::uint16_t encoder), (delay, encoder))        \
    X(ListWrite, void, set_firstpulse_killer, (std::uint16_t length), (length))                                   \
    X(ListWrite, void, set_fly_x, (double factor), (factor))                                                      \
    X(ListWrite, void, set_fly_y, (double factor), (factor))                                                      \
    X(ListWrite, void, set_jump_speed, (double speed), (speed))                                                   \
    X(ListWrite, void, set_laser_delays, (std::int16_t on, std::int16_t off), (on, off))                          \
    X(ListWrite, void, set_laser_timing,                                                                          \
      (std::uint16_t halfPeriod, std::uint16_t pulse1, std::uint16_t pulse2, std::uint16_t timebase),             \
      (halfPeriod, pulse1, pulse2, timebase))                                                                     \
    X(ListWrite, void, set_list_jump, (std::uint32_t position), (position))                                       \
    X(ListWrite, void, set_mark_speed, (double speed), (speed))                                                   \
    X(ListWrite, void, set_scanner_delays, (std::uint16_t jump, std::uint16_t mark, std::uint16_t polygon),       \
      (jump, mark, polygon))                                                                                      \
    X(ListWrite, void, set_wobbel, (std::uint16_t amplitude, double frequency), (amplitude, frequency))           \
    X(ListWrite, void, write_8bit_port_list, (std::uint16_t value), (value))                                      \
    X(ListWrite, void, write_da_1_list, (std::uint16_t value), (value))
// clang-format on
