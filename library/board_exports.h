// Helpers for the two forms of a board export: n_<name>(board, ...) holds the logic and
// <name>(...) calls it with the selected board.
#pragma once

#include "context.h"
#include "quarnel4.h"

#include <mutex>

namespace quarnel {

inline std::uint32_t selected_board() {
    const Context* ctx = current_context();
    return ctx != nullptr ? ctx->selected_board : 0;
}

// Runs fn(ctx, slot) under the board's lock when b is a valid board; does nothing otherwise.
// Returns whether fn ran.
template <typename Fn>
bool with_board_locked(std::uint32_t b, Fn&& fn) {
    Context* ctx = current_context();
    if (ctx == nullptr || !valid_board(*ctx, b)) return false;
    const auto index = board_index(b);
    std::lock_guard lock(ctx->board_lock[index]);
    fn(*ctx, ctx->slots[index]);
    return true;
}

} // namespace quarnel

// QUARNEL_WITH_BOARD (int x, int y) gives (std::uint32_t n, int x, int y).
#define QUARNEL_WITH_BOARD(...) (std::uint32_t n __VA_OPT__(, ) __VA_ARGS__)
// QUARNEL_FOR_SELECTED_BOARD (x, y) gives (<selected board>, x, y).
#define QUARNEL_FOR_SELECTED_BOARD(...) (quarnel::selected_board() __VA_OPT__(, ) __VA_ARGS__)

// For exports whose own parameters include an n: QUARNEL_WITH_BOARD_NAMED (int n) gives
// (std::uint32_t board, int n).
#define QUARNEL_WITH_BOARD_NAMED(...) (std::uint32_t board __VA_OPT__(, ) __VA_ARGS__)

// QUARNEL_BOARD_EXPORT(ret, name, (params), (args)) defines name(params), which calls the
// board form with the selected board, and opens n_name(board, params), whose body follows.
// Both are declared in quarnel4.h, so a definition whose signature drifts from the header
// fails to compile.
#define QUARNEL_BOARD_EXPORT(ret, name, params, args)                                         \
    extern "C" QUARNEL_API ret name params { return n_##name QUARNEL_FOR_SELECTED_BOARD args; } \
    extern "C" QUARNEL_API ret n_##name QUARNEL_WITH_BOARD_NAMED params
