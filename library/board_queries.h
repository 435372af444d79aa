// Board queries the library itself makes: the two version queries of the enumeration and the
// list-execution status behind get_status and read_status.
#pragma once

#include "context.h"

#include <cstdint>

namespace quarnel {

// Each returns 0 for a board number outside 1..board_count or a failed exchange.
std::uint16_t board_version(Context& ctx, std::uint32_t b);    // the board version word
std::uint16_t firmware_version(Context& ctx, std::uint32_t b); // the firmware version

struct BoardStatus {
    bool busy = false;          // the board executes a list
    std::int32_t position = 0;  // the list position it has reached; -1 after a failed exchange
};

// Busy false and position 0 for a bad board number.
BoardStatus list_execution_status(Context& ctx, std::uint32_t b);

} // namespace quarnel
