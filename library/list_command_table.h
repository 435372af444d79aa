// The list commands as one table: each row names an export, its parameters and how it packs
// them into list entries. The rows expand into a packing function per command (used by the
// exports and by the tests) and, in list_commands.cpp, into the two exported forms.
#pragma once

#include "context.h"
#include "fly_packing.h"
#include "text_stamping.h"
#include "word_packing.h"

#include <cmath>
#include <cstdint>
#include <numbers>

namespace quarnel::list_packing {

using i32 = std::int32_t;
using u32 = std::uint32_t;

// What one list command appends: nothing (count 0), one entry, or two entries that must stand
// next to each other.
struct Packed {
    std::uint8_t count = 0;
    ListEntry entries[2] = {};
};

constexpr Packed nothing() { return {}; }

// Every word is taken as its low 16 bits.
constexpr Packed entry(std::int64_t w0, std::int64_t w1, std::int64_t w2, std::int64_t w3) {
    return Packed{1,
                  {ListEntry{low_word(w0), low_word(w1), low_word(w2), low_word(w3)}, ListEntry{}}};
}

// Takes the place of a command whose arguments are out of range, so that the list still holds
// one entry per call.
constexpr Packed no_op() { return entry(0, 0, 0, 0); }

constexpr bool valid_position(i32 p) { return p >= 0 && p < static_cast<i32>(kListPositions); }

// Speed in Bit/ms as the board's period code 100 / s * 2^24, s limited to 0.9..50001.
inline std::uint32_t speed_code(double s) {
    if (s < 0.9) return 1864135111u;
    if (s > 50001) return 33554u;
    return static_cast<std::uint32_t>(round_half_even(100.0 / s * 16777216.0));
}

inline std::uint16_t mark_speed_word(double s) {
    if (s > 20100) return 0xFFFF;
    if (s < 0.3) return 1;
    return low_word(round_half_even(10.24 * s / std::numbers::pi));
}

inline Packed speed(std::uint16_t opcode, double s, bool with_mark_word) {
    if (std::isnan(s)) return no_op();
    const std::uint32_t c = speed_code(s);
    return entry(opcode, c >> 16, c, with_mark_word ? mark_speed_word(s) : 0);
}

inline Packed laser_delays(i32 on_arg, i32 off_arg) {
    const int on = signed_word(on_arg);
    const int off = signed_word(off_arg);
    int on_delay = on < 0 ? -on : on;
    on_delay = on_delay < 2 ? 2 : on_delay > 8110 ? 8110 : on_delay;
    // The upper clamp applies before the +10 offset: 8101..8110 give 8111..8120, 8111 gives 8110.
    const int off_delay = off < 2 ? 2 : off > 8110 ? 8110 : off + 10;
    const int flags = (on < 0 ? 1 : 0) + (off < 0 ? 2 : 0);
    return entry(14, on_delay, off_delay, flags);
}

constexpr std::uint16_t scanner_delay(i32 v) { return low_word(v) > 0x7FFF ? 0x7FFF : low_word(v); }

constexpr std::uint16_t analog_value(u32 v) { return low_word(v) >= 1024 ? 1023 : low_word(v); }

constexpr Packed position_entry(std::uint16_t opcode, i32 p) {
    return valid_position(p) ? entry(opcode, high_word(p), p, 0) : no_op();
}

// Bits 16..19 of the position ride in bits 12..15 of the opcode word.
constexpr Packed conditional_position_entry(std::uint16_t opcode, u32 a, u32 b, i32 p) {
    return valid_position(p) ? entry(opcode + 4096 * (p >> 16), a, b, p) : no_op();
}

constexpr Packed standby(u32 period_arg, u32 pulse_arg) {
    const std::uint16_t period = low_word(period_arg);
    const std::uint16_t pulse = low_word(pulse_arg);
    const int kept = pulse < period ? pulse : period == 0 ? 0 : period - 1;
    return entry(20, period != 0 && kept != 0 ? 1 : 0, period, kept);
}

// Duration of a timed move: t / 10, at least 1 and at most 0xFFFF.
inline Packed timed_move(std::uint16_t opcode, i32 x, i32 y, double t) {
    if (std::isnan(t)) return no_op();
    const std::int64_t tw = t > 655350 ? 0xFFFF : t >= 10 ? round_half_even(0.1 * t) : 1;
    return entry(opcode, x, y, tw);
}

constexpr std::uint16_t wobble_amplitude(u32 amplitude) {
    return low_word(amplitude) < 5001 ? 2 * low_word(amplitude) : 10000;
}

// Frequency in Hz as 2^20 / 100000 * f.
inline std::uint16_t wobble_frequency(double f) {
    if (std::fabs(f) >= 6249) return 0xFFFF;
    const std::int64_t v = round_half_even(10.48576 * f);
    return low_word(v < 0 ? -v : v);
}

inline Packed wobble(u32 amplitude, double f) {
    if (std::isnan(f)) return no_op();
    return entry(27, wobble_amplitude(amplitude), wobble_frequency(f), 0);
}

inline Packed wobble_xy(u32 ax, u32 ay, double f) {
    if (std::isnan(f)) return no_op();
    return entry(49, wobble_amplitude(ax), wobble_frequency(f), wobble_amplitude(ay));
}

// Two entries: [33, W1, W2, high vx] and [0, low vx, high vy, low vy].
inline Packed pixel_line(u32 mode, u32 n_arg, double dx, double dy) {
    const std::uint16_t n = low_word(n_arg);
    if (n == 0 || !(std::fabs(dx) <= 11000) || !(std::fabs(dy) <= 11000)) return nothing();
    const bool per_pixel = low_word(mode) == 1;
    const std::int64_t vx =
        per_pixel ? round_half_even(65536.0 * dx / n) : round_half_even(65536.0 * dx);
    const std::int64_t vy =
        per_pixel ? round_half_even(65536.0 * dy / n) : round_half_even(65536.0 * dy);
    const Packed head = per_pixel ? entry(33, 0, n, high_word(vx)) : entry(33, n - 1, 1, high_word(vx));
    const Packed tail = entry(0, vx, high_word(vy), vy);
    return Packed{2, {head.entries[0], tail.entries[0]}};
}

inline Packed matrix(u32 i_arg, u32 j_arg, double m) {
    const std::uint16_t i = low_word(i_arg);
    const std::uint16_t j = low_word(j_arg);
    if (i < 1 || i > 2 || j < 1 || j > 2 || !(std::fabs(m) <= 101)) return no_op();
    const std::int64_t e = round_half_even(m * 16777216.0);
    return entry(45, 2 * i + j - 3, high_word(e), e);
}

constexpr std::uint16_t correction_table_code(u32 table) {
    return low_word(table) == 1 ? 0x3001 : low_word(table) == 2 ? 0x5641 : 0;
}

constexpr Packed trigger(u32 period, u32 s1, u32 s2) {
    if (low_word(period) == 0 || low_word(s1) > 15 || low_word(s2) > 15) return no_op();
    return entry(60, s2, s1, period);
}

// Opcode for a positive angle; the next one turns the other way.
inline Packed arc(std::uint16_t opcode, i32 x, i32 y, double angle) {
    const double a = std::fabs(angle);
    if (!(a >= 0.1)) return no_op(); // a NaN angle fails here as well
    const std::int64_t aw = a > 360 ? 0xFFFF : round_half_even(a * 65535.0 / 360.0);
    return entry(angle < 0 ? opcode + 1 : opcode, x, y, aw);
}

constexpr Packed analog_output(u32 channel, u32 v) {
    return low_word(channel) == 1 ? entry(7, analog_value(v), 0, 0)
         : low_word(channel) == 2 ? entry(8, analog_value(v), 0, 0)
                              : nothing();
}

// clang-format off
// X(export name, parameters of the selected-board form, arguments, packing)
#define QUARNEL_LIST_COMMANDS(X) \
    X(list_nop,                   (),                                      (),                  entry(0, 0, 0, 0)) \
    X(set_pixel,                  (u32 a, u32 b, [[maybe_unused]] u32 c),  (a, b, c),           entry(0, a, b, 0)) \
    X(jump_abs,                   (i32 x, i32 y),                          (x, y),              entry(2, x, y, 0)) \
    X(jump_abs_3d,                (i32 x, i32 y, i32 z),                   (x, y, z),           entry(2, x, y, z)) \
    X(mark_abs,                   (i32 x, i32 y),                          (x, y),              entry(3, x, y, 0)) \
    X(mark_abs_3d,                (i32 x, i32 y, i32 z),                   (x, y, z),           entry(3, x, y, z)) \
    X(jump_rel,                   (i32 dx, i32 dy),                        (dx, dy),            entry(4, dx, dy, 0)) \
    X(jump_rel_3d,                (i32 dx, i32 dy, i32 dz),                (dx, dy, dz),        entry(4, dx, dy, dz)) \
    X(mark_rel,                   (i32 dx, i32 dy),                        (dx, dy),            entry(5, dx, dy, 0)) \
    X(mark_rel_3d,                (i32 dx, i32 dy, i32 dz),                (dx, dy, dz),        entry(5, dx, dy, dz)) \
    X(write_8bit_port_list,       (u32 v),                                 (v),                 entry(6, v, 0, 0)) \
    X(write_da_1_list,            (u32 v),                                 (v),                 entry(7, analog_value(v), 0, 0)) \
    X(write_da_2_list,            (u32 v),                                 (v),                 entry(8, analog_value(v), 0, 0)) \
    X(write_da_x_list,            (u32 channel, u32 v),                    (channel, v),        analog_output(channel, v)) \
    X(set_offset_list,            (i32 x, i32 y),                          (x, y),              entry(9, x, y, 0)) \
    X(long_delay,                 (u32 t),                                 (t),                 entry(10, t, 0, 0)) \
    X(laser_on_list,              (u32 t),                                 (t),                 entry(11, t, 0, 0)) \
    X(set_jump_speed,             (double s),                              (s),                 speed(12, s, false)) \
    X(set_mark_speed,             (double s),                              (s),                 speed(13, s, true)) \
    X(set_laser_delays,           (i32 on, i32 off),                       (on, off),           laser_delays(on, off)) \
    X(set_scanner_delays,         (i32 jump, i32 mark, i32 polygon),       (jump, mark, polygon), \
        entry(15, scanner_delay(jump), scanner_delay(mark), scanner_delay(polygon))) \
    X(set_list_jump,              (i32 p),                                 (p),                 position_entry(16, p)) \
    X(list_call,                  (i32 p),                                 (p),                 position_entry(17, p)) \
    X(list_return,                (),                                      (),                  entry(18, 0, 0, 0)) \
    X(z_out_list,                 (i32 z),                                 (z),                 entry(19, signed_word(z) + 32768, 0, 0)) \
    X(set_standby_list,           (u32 period, u32 pulse),                 (period, pulse),     standby(period, pulse)) \
    X(timed_jump_abs,             (i32 x, i32 y, double t),                (x, y, t),           timed_move(21, x, y, t)) \
    X(timed_mark_abs,             (i32 x, i32 y, double t),                (x, y, t),           timed_move(22, x, y, t)) \
    X(timed_jump_rel,             (i32 dx, i32 dy, double t),              (dx, dy, t),         timed_move(23, dx, dy, t)) \
    X(timed_mark_rel,             (i32 dx, i32 dy, double t),              (dx, dy, t),         timed_move(24, dx, dy, t)) \
    X(set_laser_timing,           (u32 period, u32 pulse1, u32 pulse2, u32 timebase), (period, pulse1, pulse2, timebase), \
        entry(low_word(timebase) == 0 ? 25 : 26, period, pulse1, pulse2)) \
    X(set_wobbel,                 (u32 amplitude, double f),               (amplitude, f),      wobble(amplitude, f)) \
    X(write_io_port_list,         (u32 v),                                 (v),                 entry(30, v, 0, 0)) \
    X(set_wait,                   (u32 w),                                 (w),                 entry(31, w, 0, 0)) \
    X(set_pixel_line,             (u32 mode, u32 pixels, double dx, double dy), (mode, pixels, dx, dy), pixel_line(mode, pixels, dx, dy)) \
    X(laser_signal_on_list,       (),                                      (),                  entry(36, 0, 0, 0)) \
    X(laser_signal_off_list,      (),                                      (),                  entry(37, 0, 0, 0)) \
    X(set_firstpulse_killer_list, (u32 v),                                 (v),                 entry(38, v, 0, 0)) \
    X(set_io_cond_list,           (u32 a, u32 b, u32 c),                   (a, b, c),           entry(39, a, b, c)) \
    X(clear_io_cond_list,         (u32 a, u32 b, u32 c),                   (a, b, c),           entry(40, a, b, c)) \
    X(list_jump_cond,             (u32 a, u32 b, i32 p),                   (a, b, p),           conditional_position_entry(41, a, b, p)) \
    X(list_call_cond,             (u32 a, u32 b, i32 p),                   (a, b, p),           conditional_position_entry(42, a, b, p)) \
    X(save_and_restart_timer,     (),                                      (),                  entry(44, 0, 0, 0)) \
    X(set_matrix_list,            (u32 i, u32 j, double m),                (i, j, m),           matrix(i, j, m)) \
    X(set_control_mode_list,      (u32 v),                                 (v),                 entry(46, v, 0, 0)) \
    X(set_defocus_list,           (u32 v),                                 (v),                 entry(47, v, 0, 0)) \
    X(set_wobbel_xy,              (u32 ax, u32 ay, double f),              (ax, ay, f),         wobble_xy(ax, ay, f)) \
    X(select_cor_table_list,      (u32 a, u32 b),                          (a, b),              \
        entry(52, correction_table_code(a), correction_table_code(b), 0)) \
    X(set_trigger,                (u32 period, u32 s1, u32 s2),            (period, s1, s2),    trigger(period, s1, s2)) \
    X(arc_rel,                    (i32 dx, i32 dy, double angle),          (dx, dy, angle),     arc(61, dx, dy, angle)) \
    X(arc_abs,                    (i32 x, i32 y, double angle),            (x, y, angle),       arc(63, x, y, angle)) \
    /* Marking on the fly, external start and regulation: every call appends one entry. */ \
    X(set_fly_x,                  (double k),                              (k),                 \
        entry(28, high_word(fly_factor_code(k)), fly_factor_code(k), fly_factor_flag(k))) \
    X(set_fly_y,                  (double k),                              (k),                 \
        entry(29, high_word(fly_factor_code(k)), fly_factor_code(k), fly_factor_flag(k))) \
    X(simulate_ext_start,         (i32 delay, u32 encoder),                (delay, encoder),    \
        entry(32, ext_start_delay_word(signed_word(delay)), encoder, 0)) \
    X(set_extstartpos_list,       (i32 p),                                 (p),                 \
        entry(34, high_word(ext_start_position(p)), ext_start_position(p), 0)) \
    X(set_ext_start_delay_list,   (i32 delay, u32 encoder),                (delay, encoder),    \
        entry(48, ext_start_delay_word(signed_word(delay)), encoder, 0)) \
    X(calculate_fly,              (u32 number, double v),                  (number, v),         \
        entry(50, number, high_word(fly_speed_code(v)), fly_speed_code(v))) \
    X(set_fly_rot,                (double r),                              (r),                 \
        entry(53, high_word(fly_rotation_code(r)), fly_rotation_code(r), fly_rotation_on(r) ? 1 : 0)) \
    X(fly_return,                 (i32 x, i32 y),                          (x, y),              entry(54, x, y, 0)) \
    X(drilling,                   (i32 a, i32 b),                          (a, b),              \
        entry(65, magnitude16(signed_word(a)), magnitude16(signed_word(b)), 0)) \
    X(regulation,                 (),                                      (),                  entry(66, 0, 0, 0)) \
    X(flyline,                    (i32 v),                                 (v),                 entry(67, magnitude16(signed_word(v)), 0, 0)) \
    X(regulation2,                (double f, double x),                    (f, x),              \
        entry(68, regulation_words(f, x).period, regulation_words(f, x).steps, 0)) \
    X(regulation3,                (double f, double x),                    (f, x),              \
        entry(69, regulation_words(f, x).period, regulation_words(f, x).steps, 0)) \
    X(store_encoder,              (),                                      (),                  entry(75, 0, 0, 0)) \
    X(fly_displacement_ret,       (i32 x, i32 y),                          (x, y),              entry(76, x, y, 0)) \
    /* Text stamping: freeze the time, mark time, date or serial number, test the date. */ \
    X(time_fix,                   (),                                      (),                  entry(70, 0, 0, 0)) \
    X(time_fix_f,                 (u32 v),                                 (v),                 entry(70, v, 0, 0)) \
    X(mark_time,                  (u32 a, u32 b),                          (a, b),              \
        within(a, 2) && within(b, 1) ? entry(71, a, b, 0) : no_op()) \
    X(mark_date,                  (u32 a, u32 b),                          (a, b),              \
        within(a, 4) && within(b, 1) ? entry(72, a, b, 0) : no_op()) \
    X(mark_serial,                (u32 a, u32 b),                          (a, b),              \
        within(a, 12) && within(b, 10) ? entry(73, low_word(a) % 10, b, low_word(a) / 10) : no_op()) \
    X(date_check,                 (u32 a, u32 b, u32 c),                   (a, b, c),           \
        entry(74, date_check_word(a), date_check_word(b), date_check_word(c)))
// clang-format on

// pack_<name>(arguments): the entries the command appends.
#define QUARNEL_DEFINE_PACKER(name, params, args, packing) \
    inline Packed pack_##name params { return packing; }
QUARNEL_LIST_COMMANDS(QUARNEL_DEFINE_PACKER)
#undef QUARNEL_DEFINE_PACKER

} // namespace quarnel::list_packing
