// The list command exports. Each row of the list command table becomes two C symbols:
// n_<name>(board, ...), which packs and appends, and <name>(...) for the selected board.
#include "list_command_table.h"
#include "board_exports.h"
#include "quarnel4.h"

// Every export must be declared in the public header first, so the two cannot drift apart.
#pragma GCC diagnostic error "-Wmissing-declarations"

namespace quarnel {
namespace {

// Tests the board and the arguments before the lock is taken; the entries of one call are
// appended under one hold of the lock, so they stand next to each other in the list.
void append_packed(std::uint32_t b, const list_packing::Packed& packed) {
    if (packed.count == 0) return;
    with_board_locked(b, [&](Context& ctx, BoardSlot&) {
        for (int i = 0; i < packed.count; ++i) {
            const ListEntry& e = packed.entries[i];
            append_list_entry(ctx, b, e[0], e[1], e[2], e[3]);
        }
    });
}

} // namespace
} // namespace quarnel

using quarnel::list_packing::i32;
using quarnel::list_packing::u32;

#define QUARNEL_DEFINE_LIST_EXPORTS(name, params, args, packing)                              \
    extern "C" QUARNEL_API void n_##name QUARNEL_WITH_BOARD params {                          \
        quarnel::append_packed(n, quarnel::list_packing::pack_##name args);                   \
    }                                                                                         \
    extern "C" QUARNEL_API void name params { n_##name QUARNEL_FOR_SELECTED_BOARD args; }
QUARNEL_LIST_COMMANDS(QUARNEL_DEFINE_LIST_EXPORTS)
#undef QUARNEL_DEFINE_LIST_EXPORTS
