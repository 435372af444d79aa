// The exports of the transport and of re-initialisation.
#include "quarnel4.h"

#include "context.h"
#include "startup.h"

using quarnel::Context;
using quarnel::current_context;

extern "C" {

QUARNEL_API void writemem(uint32_t board, uint32_t address, uint32_t n, const uint16_t* data) {
    if (Context* ctx = current_context())
        quarnel::writemem(*ctx, board, address, n, data);
}

QUARNEL_API void readmem(uint32_t board, uint32_t address, uint32_t n, uint16_t** p) {
    Context* ctx = current_context();
    if (ctx && p)
        quarnel::readmem(*ctx, board, address, n, *p);
}

QUARNEL_API uint32_t n_usb_status(uint32_t board) {
    Context* ctx = current_context();
    if (!ctx || !quarnel::valid_board(*ctx, board))
        return quarnel::kStatusBadBoardNumber;
    const auto b = static_cast<uint16_t>(board);
    std::lock_guard<std::recursive_mutex> hold(ctx->board_lock[b]);
    return ctx->slots[b].last_status & 0x0FFFFFFF;
}

QUARNEL_API uint32_t usb_status(void) {
    Context* ctx = current_context();
    return ctx ? n_usb_status(ctx->selected_board) : quarnel::kStatusBadBoardNumber;
}

QUARNEL_API uint16_t quarnel_count_cards(void) {
    Context* ctx = current_context();
    return ctx ? ctx->board_count : 0;
}

QUARNEL_API void select_oru(uint32_t n) {
    Context* ctx = current_context();
    if (!ctx)
        return;
    const auto board = static_cast<uint16_t>(n);
    ctx->selected_board = board >= 1 && board <= ctx->board_count ? board : 1;
}

QUARNEL_API uint32_t usb_reinitialize(uint32_t* count) {
    Context* ctx = current_context();
    if (!ctx) {
        if (count)
            *count = 0;
        return quarnel::kStatusNoBoard & 0x0FFFFFFF;
    }
    return quarnel::reinitialize(*ctx, count);
}

} // extern "C"
