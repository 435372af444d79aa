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

// Pending entries go to the board before the input pointer moves, so none lands at the new place.
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

extern "C" std::uint32_t n_get_input_pointer(std::uint32_t n) {
    std::uint32_t position = 0;
    with_board_locked(n, [&](Context& ctx, BoardSlot& slot) {
        flush_list_batch(ctx, n);
        // Unsigned: a pointer that ran past the end of list memory reads as a position past 999999.
        position = (slot.input_pointer - kListMemoryAddress) / 4;
    });
    return position;
}

extern "C" std::uint32_t get_input_pointer() { return n_get_input_pointer(selected_board()); }

extern "C" void n_set_input_pointer(std::uint32_t n, std::int32_t p) {
    with_board_locked(n, [&](Context& ctx, BoardSlot& slot) {
        move_input_pointer(ctx, n, slot, list_packing::valid_position(p) ? static_cast<std::uint32_t>(p) : 0);
    });
}

extern "C" void set_input_pointer(std::int32_t p) { n_set_input_pointer(selected_board(), p); }

extern "C" void n_set_start_list_1(std::uint32_t n) { open_list(n, 0, kList1Open, kList1Closed); }

extern "C" void set_start_list_1() { n_set_start_list_1(selected_board()); }

extern "C" void n_set_start_list_2(std::uint32_t n) { open_list(n, kList2Position, kList2Open, kList2Closed); }

extern "C" void set_start_list_2() { n_set_start_list_2(selected_board()); }

extern "C" void n_set_start_list(std::uint32_t n, std::uint32_t list) {
    if (static_cast<std::uint16_t>(list) == 2) {
        n_set_start_list_2(n);
    } else {
        n_set_start_list_1(n);
    }
}

extern "C" void set_start_list(std::uint32_t list) { n_set_start_list(selected_board(), list); }

// Closes list 1 if it is open, else list 2, appends the end-of-list entry and writes every
// pending entry, so the whole list stands in board memory when the call returns.
extern "C" void n_set_end_of_list(std::uint32_t n) {
    with_board_locked(n, [&](Context& ctx, BoardSlot& slot) {
        std::uint16_t& status = slot.list_status_word;
        if (status & kList1Open) {
            status = static_cast<std::uint16_t>((status & ~kList1Open) | kList1Closed);
        } else if (status & kList2Open) {
            status = static_cast<std::uint16_t>((status & ~kList2Open) | kList2Closed);
        }
        append_list_entry(ctx, n, kEndOfListOpcode, 0, 0, 0);
        flush_list_batch(ctx, n);
    });
}

extern "C" void set_end_of_list() { n_set_end_of_list(selected_board()); }
