// The host's side of the two lists: where the next entry goes (the input pointer), opening a
// list, closing it, and the list status bits that record which list is open or closed.
#include "board_exports.h"
#include "list_command_table.h"
#include "quarnel4.h"

#pragma GCC diagnostic error "-Wmissing-declarations"

namespace quarnel {
namespace {

constexpr std::uint16_t kList1Open = 0x0001;
constexpr std::uint16_t kList2Open = 0x0002;
constexpr std::uint16_t kList1Closed = 0x0004;
constexpr std::uint16_t kList2Closed = 0x0008;
constexpr std::uint16_t kEndOfListOpcode = 1;

constexpr std::uint32_t address_of(std::uint32_t position) { return kListMemoryAddress + 4 * position; }

// Pending entries are written where they were meant to go before the input pointer moves.
void move_input_pointer(Context& ctx, std::uint32_t b, BoardSlot& slot, std::uint32_t position) {
    flush_list_batch(ctx, b);
    slot.input_pointer = address_of(position);
}

void open_list(std::uint32_t b, std::uint32_t start, std::uint16_t open_bit, std::uint16_t closed_bit) {
    with_board_locked(b, [&](Context& ctx, BoardSlot& slot) {
        move_input_pointer(ctx, b, slot, start);
        slot.list_status_word = static_cast<std::uint16_t>((slot.list_status_word | open_bit) & ~closed_bit);
    });
}

} // namespace
} // namespace quarnel

using namespace quarnel;

QUARNEL_BOARD_EXPORT(std::uint32_t, get_input_pointer, (), ()) {
    std::uint32_t position = 0;
    with_board_locked(board, [&](Context& ctx, BoardSlot& slot) {
        flush_list_batch(ctx, board);
        // Unsigned: a pointer that ran past the end of list memory reads as a position past 999999.
        position = (slot.input_pointer - kListMemoryAddress) / 4;
    });
    return position;
}

// Any position outside the list memory puts the pointer at position 0.
QUARNEL_BOARD_EXPORT(void, set_input_pointer, (std::int32_t p), (p)) {
    with_board_locked(board, [&](Context& ctx, BoardSlot& slot) {
        const std::uint32_t position = list_packing::valid_position(p) ? static_cast<std::uint32_t>(p) : 0;
        move_input_pointer(ctx, board, slot, position);
    });
}

QUARNEL_BOARD_EXPORT(void, set_start_list_1, (), ()) { open_list(board, 0, kList1Open, kList1Closed); }

QUARNEL_BOARD_EXPORT(void, set_start_list_2, (), ()) {
    open_list(board, kList2Position, kList2Open, kList2Closed);
}

// List 2 for 2, list 1 for any other number.
QUARNEL_BOARD_EXPORT(void, set_start_list, (std::uint32_t list), (list)) {
    if (static_cast<std::uint16_t>(list) == 2) {
        n_set_start_list_2(board);
    } else {
        n_set_start_list_1(board);
    }
}

// Closes list 1 if it is open, else list 2, appends the end-of-list entry and writes every
// pending entry, so the whole list stands in board memory when the call returns.
QUARNEL_BOARD_EXPORT(void, set_end_of_list, (), ()) {
    with_board_locked(board, [&](Context& ctx, BoardSlot& slot) {
        std::uint16_t& status = slot.list_status_word;
        if (status & kList1Open) {
            status = static_cast<std::uint16_t>((status & ~kList1Open) | kList1Closed);
        } else if (status & kList2Open) {
            status = static_cast<std::uint16_t>((status & ~kList2Open) | kList2Closed);
        }
        append_list_entry(ctx, board, kEndOfListOpcode, 0, 0, 0);
        flush_list_batch(ctx, board);
    });
}
