#include "loaders.h"

#include <algorithm>

namespace quarnel {

bool download_words(Context& ctx, std::uint32_t b, std::uint32_t address,
                    const std::uint16_t* words, std::size_t n) {
    for (std::size_t done = 0; done < n;) {
        const std::size_t count = std::min<std::size_t>(kMaxPacketWords, n - done);
        writemem(ctx, b, address, static_cast<std::uint32_t>(count), words + done);
        if (ctx.slots[board_index(b)].last_status != 0) return false;
        address += static_cast<std::uint32_t>(count);
        done += count;
    }
    return true;
}

} // namespace quarnel
