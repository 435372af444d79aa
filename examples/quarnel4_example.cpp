// Prints what the controller library found at load: the number of boards, the status of
// each, and the versions each board reports. With --reinitialize it then enumerates again
// (taking the boards from another process that owns them) and prints the same once more.
#include "quarnel4.h"

#include <cstdio>
#include <cstring>
#include <dlfcn.h>

namespace {

using BoardQuery = uint16_t (*)(uint32_t);
using LibraryQuery = uint16_t (*)();

// The version queries belong to the query family; look them up so that this program runs
// with any build of the library.
template <typename F>
F lookup(const char* name) {
    return reinterpret_cast<F>(dlsym(RTLD_DEFAULT, name));
}

void report() {
    const unsigned count = quarnel_count_cards();
    std::printf("quarnel_count_cards: %u\n", count);
    std::printf("usb_status: 0x%08x\n", static_cast<unsigned>(usb_status()));
    if (auto dll_version = lookup<LibraryQuery>("get_dll_version"))
        std::printf("get_dll_version: %u\n", static_cast<unsigned>(dll_version()));
    const auto hex_version = lookup<BoardQuery>("n_get_hex_version");
    const auto oru_version = lookup<BoardQuery>("n_get_oru_version");
    for (unsigned b = 1; b <= count; ++b) {
        std::printf("board %u: n_usb_status 0x%08x", b, static_cast<unsigned>(n_usb_status(b)));
        if (oru_version)
            std::printf(", board version 0x%04x", static_cast<unsigned>(oru_version(b)));
        if (hex_version)
            std::printf(", firmware %u", static_cast<unsigned>(hex_version(b)));
        std::printf("\n");
    }
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
