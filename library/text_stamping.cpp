// Text stamping through the mailbox: which list subroutine draws which character, the board's
// clock and the serial number's start value. All are sent without waiting; nothing is read
// back. The list commands of text stamping are rows of the list command table.
#include "text_stamping.h"

#include "mailbox_command_table.h"

#include <ctime>

// Every export must be declared in the public header first, so the two cannot drift apart.
#pragma GCC diagnostic error "-Wmissing-declarations"

namespace quarnel {
namespace {

constexpr std::uint16_t kCharTableCommand = 88;
constexpr std::uint16_t kClockCommand = 89;
constexpr std::uint16_t kSerialCommand = 90;
constexpr unsigned kClockSettleMs = 2000;
constexpr std::uint16_t kCharacters = 40;

bool checked_build() {
    const Context* ctx = current_context();
    return ctx != nullptr && ctx->checked;
}

Packing char_table(std::uint16_t i, std::int32_t p) {
    if (i >= kCharacters || p < 1 || p > 999999) return invalid_call;
    return command(kCharTableCommand, i, high_word(p), low_word(p));
}

// The serial number's ten decimal digits of |n|, units first; word 9 carries the top two.
// The magnitude is taken in unsigned arithmetic, so -2147483648 gives the digits of 2147483648;
// the checked build refuses that one value, whose magnitude has no signed 32-bit form.
Packing serial_number(std::int32_t n, bool checked) {
    if (checked && n == INT32_MIN) return invalid_call;
    const auto u = static_cast<std::uint32_t>(n);
    std::uint32_t m = n < 0 ? 0u - u : u;
    std::uint16_t digits[10] = {};
    std::uint32_t divisor = 1000000000;
    for (int place = 9; place >= 0; --place, divisor /= 10) {
        digits[place] = static_cast<std::uint16_t>(m / divisor);
        m -= digits[place] * divisor;
    }
    MailboxFill fill = command(kSerialCommand);
    for (int place = 0; place < 8; ++place) fill.words[fill.count++] = digits[place];
    fill.words[fill.count++] = static_cast<std::uint16_t>(256 * digits[9] + digits[8]);
    return fill;
}

// The clock words: day, day of the week (1 = Sunday, not packed), month, year within the
// century, hour, minute, second. A year before 2000 keeps the low 16 bits of year - 2000 and of
// its packed form; the checked build refuses such a clock.
Packing clock_words(const std::tm& t, bool checked) {
    const std::int64_t fields[] = {t.tm_mday, t.tm_mon + 1, std::int64_t{t.tm_year} + 1900 - 2000,
                                   t.tm_hour, t.tm_min, t.tm_sec};
    std::uint16_t packed[6] = {};
    for (int k = 0; k < 6; ++k) {
        if (checked) {
            const auto bcd = checked_bcd(fields[k]);
            if (!bcd) return invalid_call;
            packed[k] = *bcd;
        } else {
            packed[k] = to_bcd(low_word(fields[k]));
        }
    }
    const auto weekday = static_cast<std::uint16_t>(t.tm_wday + 1);
    return command(kClockCommand, packed[0], weekday, packed[1], packed[2], packed[3], packed[4],
                   packed[5]);
}

} // namespace
} // namespace quarnel

using namespace quarnel;
using std::int32_t;
using std::uint32_t;

QUARNEL_COMMAND_ROW(set_char_table, (uint32_t i, int32_t p), (i, p), char_table(low_word(i), p))
QUARNEL_COMMAND_ROW(set_serial, (int32_t n), (n), serial_number(n, checked_build()))

// The clock is read under the board's lock, and the lock is kept through the pause that the
// board needs to take the new time: every other call on the board waits for it.
QUARNEL_BOARD_EXPORT(void, time_update, (), ()) {
    with_board_locked(board, [&](Context& ctx, BoardSlot&) {
        std::tm now{};
        if (!ctx.platform.local_time || !ctx.platform.local_time(now)) return;
        const Packing fill = clock_words(now, ctx.checked);
        if (!fill) return;
        exchange_fill(ctx, board, *fill);
        ctx.platform.sleep_ms(kClockSettleMs);
    });
}
