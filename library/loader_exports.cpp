// The exports of the loaders: correction tables, firmware programs, polygon-delay tables
// and the z-table. A library without a context has no board: 11, as for a bad number.
#include "board_exports.h"
#include "correction_loader.h"
#include "firmware_loader.h"
#include "loaders.h"
#include "polygon_delay_loader.h"

using quarnel::Context;
using quarnel::current_context;

QUARNEL_BOARD_EXPORT(uint16_t, load_correction_file,
                     (const char* name, uint32_t table, double xscale, double yscale, double angle,
                      double xoffset, double yoffset),
                     (name, table, xscale, yscale, angle, xoffset, yoffset)) {
    Context* ctx = current_context();
    if (!ctx) return quarnel::kLoadBadBoard;
    return static_cast<uint16_t>(quarnel::load_correction_file(
        *ctx, board, name, static_cast<int16_t>(table), {xscale, yscale, angle, xoffset, yoffset}));
}

QUARNEL_BOARD_EXPORT(uint16_t, load_cor, (const char* name), (name)) {
    return n_load_correction_file(board, name, 1, 1.0, 1.0, 0.0, 0.0, 0.0);
}

QUARNEL_BOARD_EXPORT(uint16_t, load_program_file, (const char* name), (name)) {
    Context* ctx = current_context();
    if (!ctx) return quarnel::kLoadBadBoard;
    return static_cast<uint16_t>(quarnel::load_program_file(*ctx, board, name));
}

QUARNEL_BOARD_EXPORT(uint16_t, load_pro, (const char* name), (name)) {
    return n_load_program_file(board, name);
}

QUARNEL_BOARD_EXPORT(int16_t, load_varpolydelay, (const char* name, uint32_t number), (name, number)) {
    Context* ctx = current_context();
    if (!ctx) return quarnel::kLoadBadBoard;
    return quarnel::load_varpolydelay(*ctx, board, name, static_cast<uint16_t>(number));
}

QUARNEL_BOARD_EXPORT(uint16_t, load_z_table, (double a, double b, double c), (a, b, c)) {
    Context* ctx = current_context();
    if (!ctx) return quarnel::kLoadBadBoard;
    return static_cast<uint16_t>(quarnel::load_z_table(*ctx, board, a, b, c));
}
