// The two shared libraries as a host loads them, on a simulated board: where the plain build
// keeps the low bits of a result the checked build sends nothing and releases the board, and
// a NaN z-table coefficient is refused by both. (Each build's INI reader: loader_exports_test.)
#if defined(QUARNEL4_LIBRARY_PATH) && defined(QUARNEL4X64_LIBRARY_PATH)

#include "sim_bus.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdint>
#include <limits>
#include <string>

namespace quarnel::testing {
namespace {

// One of the shared libraries, loaded over a simulated 3-D board of its own.
class LoadedLibrary {
public:
    explicit LoadedLibrary(const char* path)
        : locks_("QUARNEL_LOCK_DIR", dir_.path().c_str()), boards_("QUARNEL_SIM", "3d") {
        handle_ = ::dlopen(path, RTLD_NOW | RTLD_LOCAL);
        EXPECT_NE(handle_, nullptr) << ::dlerror();
    }
    ~LoadedLibrary() {
        if (handle_ != nullptr) ::dlclose(handle_);
    }
    LoadedLibrary(const LoadedLibrary&) = delete;
    LoadedLibrary& operator=(const LoadedLibrary&) = delete;

    template <class Function>
    Function* function(const char* name) {
        void* symbol = handle_ != nullptr ? ::dlsym(handle_, name) : nullptr;
        EXPECT_NE(symbol, nullptr) << name;
        return reinterpret_cast<Function*>(symbol);
    }

    bool loaded() const { return handle_ != nullptr; }

    // Mailbox word k of the board as it stands in the board's memory (word k at 0x309 - k).
    std::uint16_t mailbox_word(int k) {
        std::uint16_t words[10] = {};
        std::uint16_t* p = words;
        function<void(std::uint32_t, std::uint32_t, std::uint32_t, std::uint16_t**)>("readmem")(
            1, 0x300, 10, &p);
        return words[9 - k];
    }

private:
    TempDir dir_;
    ScopedEnv locks_;
    ScopedEnv boards_;
    void* handle_ = nullptr;
};

struct Build {
    const char* path;
    bool checked;
};

class Builds : public ::testing::TestWithParam<Build> {};

TEST_P(Builds, KeepTheLowBitsOrRefuse) {
    LoadedLibrary library(GetParam().path);
    ASSERT_TRUE(library.loaded());
    std::uint32_t count = 0;
    library.function<std::uint32_t(std::uint32_t*)>("usb_reinitialize")(&count);
    ASSERT_EQ(count, 1u);

    auto set_serial = library.function<void(std::int32_t)>("set_serial");
    set_serial(7);
    EXPECT_EQ(library.mailbox_word(1), 7);
    set_serial(std::numeric_limits<std::int32_t>::min());
    // The plain build sends the digits of 2147483648, units first; the checked one nothing.
    EXPECT_EQ(library.mailbox_word(1), GetParam().checked ? 7 : 8);
    EXPECT_EQ(library.mailbox_word(9), GetParam().checked ? 0 : 2 * 256 + 1);
    set_serial(-42); // the board's lock was released
    EXPECT_EQ(library.mailbox_word(2), 4);

    auto load_z_table = library.function<std::uint16_t(double, double, double)>("load_z_table");
    EXPECT_EQ(load_z_table(1, 1, std::numeric_limits<double>::quiet_NaN()), 10);
    EXPECT_EQ(load_z_table(std::numeric_limits<double>::quiet_NaN(), 1, 0.5), 10);
    EXPECT_EQ(load_z_table(1, 1, 0.5), 0);
}

INSTANTIATE_TEST_SUITE_P(Libraries, Builds,
                         ::testing::Values(Build{QUARNEL4_LIBRARY_PATH, false},
                                           Build{QUARNEL4X64_LIBRARY_PATH, true}),
                         [](const ::testing::TestParamInfo<Build>& info) {
                             return info.param.checked ? std::string("Checked")
                                                       : std::string("Plain");
                         });

} // namespace
} // namespace quarnel::testing

#endif
