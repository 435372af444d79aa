// Immediate commands: the board acts on them at once, outside any list. Each fills the
// mailbox and sends it without waiting; nothing is read back.
#include "fly_packing.h"
#include "mailbox_command_table.h"

#include <algorithm>
#include <cmath>

// Every export must be declared in the public header first, so the two cannot drift apart.
#pragma GCC diagnostic error "-Wmissing-declarations"

namespace quarnel {
namespace {

constexpr std::uint16_t kMaxAnalogOutput = 1023;
constexpr double kMaxMatrixElement = 101.0;
constexpr std::int32_t kMaxRotationCenter = 8000000;

// Analogue output 1 or 2; its value is clamped to the outputs' 10-bit range.
Packing analog_output(std::uint16_t channel, std::uint16_t value) {
    if (channel != 1 && channel != 2) return invalid_call;
    return command(channel == 1 ? 10 : 11, std::min(value, kMaxAnalogOutput));
}

// Matrix elements go out as m x 2^24 in two words each. An element above 101 in magnitude,
// or NaN, makes the call do nothing.
Packing matrix(double m11, double m12, double m21, double m22) {
    const double m[] = {m11, m12, m21, m22};
    MailboxFill fill = command(14);
    for (double element : m) {
        if (!(std::fabs(element) <= kMaxMatrixElement)) return invalid_call;
        const std::int32_t v = round_half_even(element * 16777216.0);
        fill.words[fill.count++] = high_word(v);
        fill.words[fill.count++] = low_word(v);
    }
    return fill;
}

// The pulse must be shorter than the half period; the output runs only when both are set.
MailboxFill standby(std::uint16_t half_period, std::uint16_t pulse) {
    if (pulse >= half_period) pulse = half_period == 0 ? 0 : half_period - 1;
    const std::uint16_t running = half_period != 0 && pulse != 0 ? 1 : 0;
    return command(27, running, half_period, pulse);
}

MailboxFill delay_mode(std::uint16_t a1, std::uint16_t a2, std::uint16_t a3, std::uint16_t a4,
                       std::uint16_t a5) {
    const std::uint16_t flags =
        (a1 != 0 ? 1 : 0) | (a2 != 0 ? 2 : 0) | (a4 != 0 ? 4 : 0) | (a5 != 0 ? 8 : 0);
    return command(30, flags, a3, a4 < 0x7FFF ? a4 : 0, a5 < 0x7FFF ? a5 : 1);
}

// Correction table 1 or 2 by its board address (plus one); anything else switches it off.
std::uint16_t correction_table(std::uint16_t n) {
    return n == 1 ? 0x3001 : n == 2 ? 0x5641 : 0;
}

Packing control(std::uint16_t a, std::uint16_t c, std::uint16_t v) {
    if (a < 1 || a > 2 || c < 1 || c > 3) return invalid_call;
    return command(57, 30 * (a - 1) + 10 * (c - 1), v);
}

Packing rotation_center(std::int32_t x, std::int32_t y) {
    auto outside = [](std::int32_t v) { return v < -kMaxRotationCenter || v > kMaxRotationCenter; };
    if (outside(x) || outside(y)) return invalid_call;
    const std::int32_t sy = y * 256;
    const std::int32_t sx = x * 256;
    return command(58, high_word(sy), low_word(sy), high_word(sx), low_word(sx));
}

Packing duty_cycle(std::uint16_t i, std::uint16_t d) {
    if (i > 10) return invalid_call;
    return command(73, i, d >= 1000 ? 0xFFFF : round_half_even(65.535 * d));
}

// The laser period for a frequency, clamped to 65 Hz..100 kHz. NaN makes the call do nothing.
Packing laser_timing(std::uint16_t i, double f) {
    if (i > 10 || std::isnan(f)) return invalid_call;
    return command(74, i, round_half_even(4000000.0 / std::clamp(f, 65.0, 100000.0)));
}

// --- Commands that keep per-board state: the control shadow word and the soft-start mode ---

// Bits 6..9 of the control word: two 2-bit levels chosen by the range the argument falls in.
std::uint16_t control_level(std::uint16_t v, std::uint16_t low, std::uint16_t middle,
                            std::uint16_t high) {
    return v < 12 ? low : v < 32 ? middle : v < 52 ? high : 0;
}

bool is_softstart(std::uint8_t mode, std::uint8_t kind) {
    return mode == kind || mode == kind + 10;
}

constexpr std::uint16_t kMaxSoftstartSteps = 1000;

} // namespace
} // namespace quarnel

using namespace quarnel;
using std::uint32_t;
using std::int32_t;

// One row per command: export name, parameters after the board number, their names, fill.
#define QUARNEL_IMMEDIATE_COMMANDS(X)                                                         \
    X(write_8bit_port, (uint32_t v), (v), command(3, low_word(v)))                            \
    X(write_io_port, (uint32_t v), (v), command(4, low_word(v)))                              \
    X(write_da_1, (uint32_t v), (v), analog_output(1, low_word(v)))                           \
    X(write_da_2, (uint32_t v), (v), analog_output(2, low_word(v)))                           \
    X(write_da_x, (uint32_t n, uint32_t v), (n, v), analog_output(low_word(n), low_word(v)))  \
    X(set_max_counts, (uint32_t c), (c), command(12, high_word(c), low_word(c)))              \
    X(set_matrix, (double m11, double m12, double m21, double m22), (m11, m12, m21, m22),     \
      matrix(m11, m12, m21, m22))                                                             \
    X(set_offset, (int32_t x, int32_t y), (x, y), command(15, low_word(x), low_word(y)))      \
    X(goto_xy, (int32_t x, int32_t y), (x, y), command(16, 0, low_word(y), low_word(x)))      \
    X(goto_xyz, (int32_t x, int32_t y, int32_t z), (x, y, z),                                 \
      command(16, low_word(z), low_word(y), low_word(x)))                                     \
    X(enable_laser, (), (), command(18))                                                      \
    X(disable_laser, (), (), command(19))                                                     \
    X(z_out, (int32_t z), (z), command(25, low_word(signed_word(z) + 32768)))                 \
    X(set_firstpulse_killer, (uint32_t length), (length), command(26, low_word(length)))      \
    X(set_standby, (uint32_t half_period, uint32_t pulse), (half_period, pulse),              \
      standby(low_word(half_period), low_word(pulse)))                                        \
    X(laser_signal_on, (), (), command(28))                                                   \
    X(laser_signal_off, (), (), command(29))                                                  \
    X(set_delay_mode, (uint32_t a1, uint32_t a2, uint32_t a3, uint32_t a4, uint32_t a5),      \
      (a1, a2, a3, a4, a5),                                                                   \
      delay_mode(low_word(a1), low_word(a2), low_word(a3), low_word(a4), low_word(a5)))       \
    X(select_cor_table, (uint32_t a, uint32_t c), (a, c),                                     \
      command(33, correction_table(low_word(a)), correction_table(low_word(c))))              \
    X(simulate_encoder, (uint32_t n), (n), command(36, low_word(n) <= 3 ? low_word(n) : 0))   \
    X(set_control_mode, (uint32_t mode), (mode), command(41, low_word(mode)))                 \
    X(set_laser_mode, (uint32_t mode), (mode), command(42, low_word(mode)))                   \
    X(set_ext_start_delay, (int32_t d, uint32_t encoder), (d, encoder),                       \
      command(43, ext_start_delay_word(signed_word(d)), low_word(encoder)))                   \
    X(home_position, (int32_t x, int32_t y), (x, y), command(44, low_word(x), low_word(y)))   \
    X(set_defocus, (int32_t v), (v), command(53, low_word(v)))                                \
    X(control_command, (uint32_t a, uint32_t c, uint32_t v), (a, c, v),                       \
      control(low_word(a), low_word(c), low_word(v)))                                         \
    X(set_rot_center, (int32_t x, int32_t y), (x, y), rotation_center(x, y))                  \
    X(set_io_bit, (uint32_t bit), (bit), command(71, low_word(bit)))                          \
    X(clear_io_bit, (uint32_t bit), (bit), command(72, low_word(bit)))                        \
    X(set_duty_cycle_table, (uint32_t i, uint32_t d), (i, d),                                 \
      duty_cycle(low_word(i), low_word(d)))                                                   \
    X(set_laser_timing_table, (uint32_t i, double f), (i, f), laser_timing(low_word(i), f))

QUARNEL_IMMEDIATE_COMMANDS(QUARNEL_COMMAND_ROW)

// Code 31 carries the whole control word; the two exports below change their bits of the
// board's shadow copy and send it.
QUARNEL_BOARD_EXPORT(void, set_piso_control, (uint32_t a, uint32_t c), (a, c)) {
    with_board_locked(board, [&](Context& ctx, BoardSlot& slot) {
        slot.control_shadow_word = (slot.control_shadow_word & 0xFC3F) |
                                   control_level(low_word(a), 0xC0, 0x80, 0x40) |
                                   control_level(low_word(c), 0x300, 0x200, 0x100);
        exchange_fill(ctx, board, command(31, slot.control_shadow_word));
    });
}

QUARNEL_BOARD_EXPORT(void, select_status, (uint32_t n), (n)) {
    with_board_locked(board, [&](Context& ctx, BoardSlot& slot) {
        slot.control_shadow_word =
            (slot.control_shadow_word & 0xFFFB) | (low_word(n) == 1 ? 0x4 : 0);
        exchange_fill(ctx, board, command(31, slot.control_shadow_word));
    });
}

// Soft start: modes 1/11 and 2/12 first reset the level ramp (code 56), 3/13 do not; any other
// mode, or a step count outside 1..1000, switches soft start off. Both sends go under one hold
// of the lock.
QUARNEL_BOARD_EXPORT(void, set_softstart_mode, (uint32_t mode, uint32_t n, uint32_t d),
                     (mode, n, d)) {
    with_board_locked(board, [&](Context& ctx, BoardSlot& slot) {
        slot.softstart_mode = static_cast<std::uint8_t>(mode);
        std::uint16_t kind = 0;
        switch (low_word(mode)) {
        case 1:
        case 11:
            exchange_fill(ctx, board, command(56, 0, 0));
            kind = 1;
            break;
        case 2:
        case 12:
            exchange_fill(ctx, board, command(56, 0, 0x8000));
            kind = 1;
            break;
        case 3:
        case 13:
            kind = 3;
            break;
        default:
            slot.softstart_mode = 0;
            break;
        }
        const std::uint16_t steps = low_word(n);
        if (steps == 0 || steps > kMaxSoftstartSteps) {
            kind = 0;
            slot.softstart_mode = 0;
        }
        const std::uint16_t repeat = slot.softstart_mode > 10 && slot.softstart_mode != 13 ? 1 : 0;
        const std::uint16_t word = low_word(d);
        const std::uint16_t delay = word == 0xFFFF ? 0xFFFE : word == 0 ? 1 : word;
        exchange_fill(ctx, board, command(55, kind, steps, repeat, delay));
    });
}

// The level's encoding follows the mode: 10-bit levels for modes 1/11 and 2/12 (the latter
// flagged with bit 15), the plain level, at least 2, for 3/13. Nothing is sent while soft
// start is off.
QUARNEL_BOARD_EXPORT(void, set_softstart_level, (uint32_t i, uint32_t level), (i, level)) {
    if (low_word(i) > kMaxSoftstartSteps) return;
    with_board_locked(board, [&](Context& ctx, BoardSlot& slot) {
        const std::uint8_t mode = slot.softstart_mode;
        if (mode == 0) return;
        const auto scaled = static_cast<std::uint16_t>((low_word(level) & 0x3FF) * 4);
        std::uint16_t w2 = 0;
        if (is_softstart(mode, 1)) w2 = scaled;
        else if (is_softstart(mode, 2)) w2 = scaled | 0x8000;
        else w2 = low_word(level) <= 1 ? 2 : low_word(level);
        exchange_fill(ctx, board, command(56, low_word(i), w2));
    });
}
