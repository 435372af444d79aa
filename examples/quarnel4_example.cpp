// Prints what the controller library found at load: the number of boards, the status of
// each, and the versions each board reports. With --reinitialize it then enumerates again
// (taking the boards from another process that owns them) and prints the same once more.
#include "quarnel4.h"

#include <cstdio>
#include <cstring>

namespace {

void report() {
    const unsigned count = quarnel_count_cards();
    std::printf("quarnel_count_cards: %u\n", count);
    std::printf("usb_status: 0x%08x\n", static_cast<unsigned>(usb_status()));
    std::printf("get_dll_version: %u\n", static_cast<unsigned>(get_dll_version()));
    for (unsigned b = 1; b <= count; ++b)
        std::printf("board %u: n_usb_status 0x%08x, board version 0x%04x, firmware %u\n", b,
                    static_cast<unsigned>(n_usb_status(b)),
                    static_cast<unsigned>(n_get_oru_version(b)),
                    static_cast<unsigned>(n_get_hex_version(b)));
}

} // namespace

int main(int argc, char** argv) {
    report();
    if (argc > 1 && std::strcmp(argv[1], "--reinitialize") == 0) {
        uint32_t count = 0;
        const uint32_t status = usb_reinitialize(&count);
        std::printf("usb_reinitialize: 0x%08x, count %u\n", static_cast<unsigned>(status),
                    static_cast<unsigned>(count));
        report();
    }
    return 0;
}
