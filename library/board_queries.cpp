// Board queries: the list-execution status, the waveform read-out, the library version, and
// the query family, which sends a command, waits until the board has answered and returns
// words of its reply.
#include "board_queries.h"
#include "mailbox_command_table.h"

// Every export must be declared in the public header first, so the two cannot drift apart.
#pragma GCC diagnostic error "-Wmissing-declarations"

namespace quarnel {
namespace {

constexpr std::uint16_t kLibraryVersion = 550;

// The list-execution status: 0 in word 1 while the board runs a list; words 2 (low) and 3
// (high) the word address it has reached.
constexpr std::uint16_t kStatusQuery = 84;

// Serial numbers of format 101 carry a hundred-thousands digit in the high byte of word 2,
// stored inverted.
std::uint32_t serial_number_32(const Reply& w) {
    if (w[3] != 101) return w[1];
    return w[1] + ((std::uint32_t{w[2]} >> 8) ^ 0xFF) * 100000;
}

constexpr std::uint32_t kWaveformChannel1 = 0x10000;
constexpr std::uint32_t kWaveformChannel2 = 0x18000;
constexpr std::uint32_t kMaxWaveformWords = 32768;

} // namespace

std::uint16_t board_version(Context& ctx, std::uint32_t b) {
    return run_query<std::uint16_t>(ctx, b, query(22), word_1, 0);
}

std::uint16_t firmware_version(Context& ctx, std::uint32_t b) {
    return run_query<std::uint16_t>(ctx, b, query(17), word_1, 0);
}

BoardStatus list_execution_status(Context& ctx, std::uint32_t b) {
    if (!valid_board(ctx, b)) return {false, 0};
    return run_query<BoardStatus>(
        ctx, b, query(kStatusQuery),
        [](const Reply& w) {
            const auto reached =
                static_cast<std::int32_t>(long_word(w[3], w[2]) - kListMemoryAddress);
            return BoardStatus{w[1] == 0, reached / 4};
        },
        BoardStatus{false, -1});
}

} // namespace quarnel

using namespace quarnel;
using std::uint32_t;
using std::int32_t;
using std::uint16_t;
using std::int16_t;

// One row per query with a single result: result type, export name, parameters after the
// board number, their names, fill (invalid_call: return the failure value at once), the
// result from the reply w, and the failure value.
#define QUARNEL_QUERIES(X)                                                                    \
    X(uint16_t, read_io_port, (), (), query(9), w[1], 0)                                      \
    X(uint32_t, get_counts, (), (), query(13), long_word(w[1], w[2]), 0xFFFFFFFFu)            \
    X(uint16_t, get_head_status, (uint32_t head), (head), query(35),                          \
      low_word(head) == 2 ? w[2] : w[1], 0)                                                   \
    X(uint16_t, get_wait_status, (), (), query(40), w[1], 0)                                  \
    X(uint16_t, read_ad_x, (uint32_t n), (n), query(47),                                      \
      low_word(n) == 1 ? w[1] : low_word(n) == 2 ? w[2] : 0, 0)                               \
    X(uint16_t, get_startstop_info, (), (), query(50), (w[3] & 0xFF) << 8 | w[1] >> 10, 0)    \
    X(uint16_t, get_io_status, (), (), query(51), w[1], 0)                                    \
    X(double, get_time, (), (), query(52), long_word(w[1], w[2]) * 0.00001, 0.0)              \
    X(uint16_t, get_marking_info, (), (), query(60), w[1] >> 12 | (w[2] & 0x0F00), 0)         \
    X(uint16_t, get_value, (uint32_t i), (i), low_word(i) > 15 ? invalid_call : Packing(query(70, low_word(i))), \
      w[1], 0)                                                                                \
    X(uint16_t, get_serial_number, (), (), query(81), w[1], 0)                                \
    X(uint32_t, get_serial_number_32, (), (), query(81), serial_number_32(w), 0)              \
    X(uint32_t, memory_test, (), (), query(91), long_word(w[2], w[1]), QUARNEL_MEMORY_TEST_FAILED)

QUARNEL_QUERIES(QUARNEL_QUERY_ROW)

// The two version queries are shared with the enumeration.
QUARNEL_BOARD_EXPORT(uint16_t, get_hex_version, (), ()) {
    Context* ctx = current_context();
    return ctx != nullptr ? firmware_version(*ctx, board) : 0;
}

QUARNEL_BOARD_EXPORT(uint16_t, get_oru_version, (), ()) {
    Context* ctx = current_context();
    return ctx != nullptr ? board_version(*ctx, board) : 0;
}

// Queries with several results: they go to the caller's out-parameters.
namespace {

template <std::size_t N>
using Words = std::array<std::uint16_t, N>;

template <std::size_t N>
Words<N> reply_words(std::uint32_t board, std::uint16_t code, std::uint16_t failure) {
    Words<N> failed;
    failed.fill(failure);
    return run_query<Words<N>>(
        board, query(code),
        [](const Reply& w) {
            Words<N> r;
            std::copy_n(w.begin() + 1, N, r.begin());
            return r;
        },
        failed);
}

} // namespace

QUARNEL_BOARD_EXPORT(void, get_xy_pos, (int16_t* x, int16_t* y), (x, y)) {
    const Words<2> r = reply_words<2>(board, 23, 0);
    put(x, r[0]);
    put(y, r[1]);
}

QUARNEL_BOARD_EXPORT(void, get_xyz_pos, (int16_t* x, int16_t* y, int16_t* z), (x, y, z)) {
    const Words<3> r = reply_words<3>(board, 23, 0);
    put(x, r[0]);
    put(y, r[1]);
    put(z, r[2]);
}

QUARNEL_BOARD_EXPORT(void, get_encoder, (int16_t* e1, int16_t* e2), (e1, e2)) {
    const Words<2> r = reply_words<2>(board, 32, 0xFFFF);
    put(e1, r[0]);
    put(e2, r[1]);
}

// Bit 15 of word 1 tells that a measurement runs; the low 15 bits hold its value.
QUARNEL_BOARD_EXPORT(void, measurement_status, (uint16_t* busy, uint16_t* value), (busy, value)) {
    const Words<1> r = reply_words<1>(board, 82, 0);
    put(busy, (r[0] & 0x8000) != 0 ? 0xFFFF : 0);
    put(value, r[0] & 0x7FFF);
}

// The distance is computed by command 48 and read by query 49, under one hold of the lock.
// When the first command did not reach the board, the reply to 49 would be about an earlier
// point: the query is not made and the failure value returned.
QUARNEL_BOARD_EXPORT(uint16_t, get_z_distance, (int32_t x, int32_t y, int32_t z), (x, y, z)) {
    std::uint16_t distance = 0;
    with_board_locked(board, [&](Context& ctx, BoardSlot& slot) {
        if (exchange_fill(ctx, board, command(48, low_word(z), low_word(y), low_word(x))) &&
            exchange_fill(ctx, board, query(49)))
            distance = slot.command_mailbox[1];
    });
    return distance;
}

QUARNEL_BOARD_EXPORT(void, get_status, (uint16_t* busy, int32_t* position), (busy, position)) {
    Context* ctx = current_context();
    const BoardStatus status = ctx != nullptr ? list_execution_status(*ctx, board) : BoardStatus{};
    put(busy, status.busy ? 0xFFFF : 0);
    put(position, status.position);
}

// The stored list bits, plus 0x10 or 0x20 while the board runs list 1 or list 2. A board
// number outside 1..board_count skips the query and reports the slot's stored bits.
QUARNEL_BOARD_EXPORT(uint16_t, read_status, (), ()) {
    Context* ctx = current_context();
    const std::uint16_t b = board_index(board);
    if (ctx == nullptr || b < 1 || b > kMaxBoards) return 0;
    if (!valid_board(*ctx, b)) return ctx->slots[b].list_status_word;
    std::lock_guard lock(ctx->board_lock[b]);
    const BoardStatus status = list_execution_status(*ctx, b);
    const std::uint16_t bits = ctx->slots[b].list_status_word;
    if (!status.busy) return bits;
    return bits | (status.position < static_cast<std::int32_t>(kList2Position) ? 0x10 : 0x20);
}

// Reads n words of waveform channel 1 or 2 in pieces of 29. A failed piece does not stop the
// read-out (the caller sees the failure through usb_status), and every piece lands at its own
// place in the buffer whatever became of the one before.
QUARNEL_BOARD_EXPORT(void, get_waveform, (uint32_t channel, uint32_t n, uint16_t* buffer),
                     (channel, n, buffer)) {
    const std::uint16_t count = low_word(n);
    if (count > kMaxWaveformWords || buffer == nullptr) return;
    if (low_word(channel) != 1 && low_word(channel) != 2) return;
    with_board_locked(board, [&](Context& ctx, BoardSlot&) {
        std::uint32_t address = low_word(channel) == 1 ? kWaveformChannel1 : kWaveformChannel2;
        std::uint32_t done = 0;
        do {
            const std::uint32_t k = std::min<std::uint32_t>(count - done, kMaxPacketWords);
            std::uint16_t* place = buffer + done;
            readmem(ctx, board, address, k, place);
            address += k;
            done += k;
        } while (done < count);
    });
}

extern "C" QUARNEL_API uint16_t get_dll_version() { return kLibraryVersion; }
