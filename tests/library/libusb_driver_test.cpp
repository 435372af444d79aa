// The libusb driver on a machine without boards: nothing is found and nothing breaks.
#include "sim_bus.h"

#include "usb/driver_records.h"

#if QUARNEL_WITH_LIBUSB
#include "usb/libusb/libusb_driver.h"

namespace quarnel::testing {
namespace {

TEST(LibusbDriver, BusWithoutBoardsFindsNone) {
    auto driver = make_libusb_driver();
    if (!driver)
        GTEST_SKIP() << "libusb cannot start here";
    if (!driver->list_devices().empty())
        GTEST_SKIP() << "a board is attached";
    TempDir locks;
    Context ctx;
    ctx.platform.lock_dir = locks.path();
    ctx.driver = driver;
    EXPECT_EQ(enumerate_boards(ctx), kStatusNoBoard);
    EXPECT_EQ(ctx.board_count, 0);
    EXPECT_EQ(ctx.selected_board, 0);
    EXPECT_EQ(ctx.slots[1].last_status, kStatusNoBoard);
}

TEST(LibusbDriver, UnknownDevicePathDoesNotOpen) {
    auto driver = make_libusb_driver();
    if (!driver)
        GTEST_SKIP() << "libusb cannot start here";
    EXPECT_EQ(driver->open_path("usb:250-9.9.9"), nullptr);
    EXPECT_EQ(driver->open_path(std::string(kLegacyDevicePathPrefix) + "77"), nullptr);
}

} // namespace
} // namespace quarnel::testing
#endif
