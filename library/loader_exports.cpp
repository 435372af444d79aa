// The exports of the loaders: correction tables, firmware programs, polygon-delay tables
// and the z-table. A library without a context has no board: 11, as for a bad number.
#include "quarnel4.h"

#include "context.h"
#include "correction_loader.h"
#include "firmware_loader.h"
#include "loaders.h"
#include "board_exports.h"
#include "polygon_delay_loader.h"

using quarnel::Context;
using quarnel::current_context;

extern "C" {

QUARNEL_API uint16_t n_load_correction_file(uint32_t board, const char* name, uint32_t table,
                                            double xscale, double yscale, double angle,
                                            double xoffset, double yoffset) {
    Context* ctx = current_context();
    if (!ctx) return quarnel::kLoadBadBoard;
    return static_cast<uint16_t>(quarnel::load_correction_file(
        *ctx, board, name, static_cast<int16_t>(table), {xscale, yscale, angle, xoffset, yoffset}));
}

QUARNEL_API uint16_t load_correction_file(const char* name, uint32_t table, double xscale,
                                          double yscale, double angle, double xoffset,
                                          double yoffset) {
    return n_load_correction_file(quarnel::selected_board(), name, table, xscale, yscale, angle, xoffset,
                                  yoffset);
}

QUARNEL_API uint16_t n_load_cor(uint32_t board, const char* name) {
    return n_load_correction_file(board, name, 1, 1.0, 1.0, 0.0, 0.0, 0.0);
}

QUARNEL_API uint16_t load_cor(const char* name) { return n_load_cor(quarnel::selected_board(), name); }

QUARNEL_API uint16_t n_load_program_file(uint32_t board, const char* name) {
    Context* ctx = current_context();
    if (!ctx) return quarnel::kLoadBadBoard;
    return static_cast<uint16_t>(quarnel::load_program_file(*ctx, board, name));
}

QUARNEL_API uint16_t load_program_file(const char* name) {
    return n_load_program_file(quarnel::selected_board(), name);
}

QUARNEL_API uint16_t n_load_pro(uint32_t board, const char* name) {
    return n_load_program_file(board, name);
}

QUARNEL_API uint16_t load_pro(const char* name) { return n_load_program_file(quarnel::selected_board(), name); }

QUARNEL_API int16_t n_load_varpolydelay(uint32_t board, const char* name, uint32_t number) {
    Context* ctx = current_context();
    if (!ctx) return quarnel::kLoadBadBoard;
    return quarnel::load_varpolydelay(*ctx, board, name, static_cast<uint16_t>(number));
}

QUARNEL_API int16_t load_varpolydelay(const char* name, uint32_t number) {
    return n_load_varpolydelay(quarnel::selected_board(), name, number);
}

QUARNEL_API uint16_t n_load_z_table(uint32_t board, double a, double b, double c) {
    Context* ctx = current_context();
    if (!ctx) return quarnel::kLoadBadBoard;
    return static_cast<uint16_t>(quarnel::load_z_table(*ctx, board, a, b, c));
}

QUARNEL_API uint16_t load_z_table(double a, double b, double c) {
    return n_load_z_table(quarnel::selected_board(), a, b, c);
}

} // extern "C"
