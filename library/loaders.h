// What the loaders (correction tables, firmware, polygon-delay and z-tables) share: their
// result codes, read by callers as signed 16-bit values, the file-name test and the
// download of a table in packets.
#pragma once

#include "context.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace quarnel {

enum LoadResult : std::int16_t {
    kLoadDone = 0,
    kLoadCannotOpen = 3,          // file cannot be opened, or a size outside every range
    kLoadReadBackMismatch = 4,
    kLoadTransferFailed = 8,      // also: this process does not own the boards
    kLoadArgumentOutOfRange = 10,
    kLoadBadBoard = 11,
    kLoadNeeds3d = 12,
    kLoadNoTableEntry = 13,
    kLoadOldCorrectionFile = 14,
    kLoadOtherVariantFile = 15,
    kLoadVersionUnstable = 16,
    kLoadFirmwareMismatch = 17,
};

// True when the file-name part of name (the text after the last '\' or ':') is empty,
// which includes an empty or missing name.
inline bool file_name_part_empty(const char* name) {
    if (name == nullptr) return true;
    const std::string_view text(name);
    const std::size_t cut = text.find_last_of("\\:");
    return cut == std::string_view::npos ? text.empty() : cut + 1 == text.size();
}

// Writes n words from address on in packets of at most 29 words. Stops at the first packet
// whose write leaves last_status not 0 and returns false; the packets before it stay written.
// The caller holds board_lock[b].
bool download_words(Context& ctx, std::uint32_t b, std::uint32_t address,
                    const std::uint16_t* words, std::size_t n);

} // namespace quarnel
