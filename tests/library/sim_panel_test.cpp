// What the simulated board answers the converter's I/O and status windows and its card store:
// input lines, head status, options, serial number and the memory-card store, set from the
// configuration and changed by a test in-process, read through the exports.
#include "sim/list_firmware.h"
#include "sim_bus.h"
#include "quarnel4.h"

#include <gtest/gtest.h>

namespace quarnel::testing {
namespace {

sim::ListFirmware& firmware(sim::SimBoard& b) { return dynamic_cast<sim::ListFirmware&>(b.firmware()); }

TEST(SimPanel, ConfigurationKeysOfTheWindowsValues) {
    const struct {
        const char* text;
        bool valid;
    } cases[] = {
        {"2d:inputs=0x0005:head=0xC800:head2=0:mmc=3", true},
        {"2d:inputs=65535:mmc=0", true},
        {"2d:inputs=65536", false},
        {"2d:head=", false},
        {"2d:head3=1", false},
        {"2d:mmc=-1", false},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_EQ(sim::parse_sim_config(c.text, error).has_value(), c.valid) << c.text;
    }
    std::string error;
    const auto config = sim::parse_sim_config("2d,3d:inputs=5:head=0xC800:head2=0x4000:mmc=3", error);
    ASSERT_TRUE(config);
    EXPECT_EQ(config->boards[0].input_lines, 0);
    EXPECT_EQ(config->boards[0].head_status, (std::array<std::uint16_t, 2>{0xD800, 0xD800}));
    EXPECT_EQ(config->boards[0].card_result, 0);
    EXPECT_EQ(config->boards[1].input_lines, 5);
    EXPECT_EQ(config->boards[1].head_status, (std::array<std::uint16_t, 2>{0xC800, 0x4000}));
    EXPECT_EQ(config->boards[1].card_result, 3);
}

TEST(SimPanel, ABoardAtItsDefaults) {
    CurrentBus bus("2d");
    EXPECT_EQ(read_io_port(), 0);
    EXPECT_EQ(get_head_status(1), 0xD800);
    EXPECT_EQ(get_head_status(2), 0xD800);
    EXPECT_EQ(get_oru_version(), 0x0001);
    EXPECT_EQ(get_serial_number(), 1001);
    EXPECT_EQ(store_on_mmc(), 0);
    EXPECT_EQ(usb_status(), 0u);
}

TEST(SimPanel, ConfiguredValuesReachTheExports) {
    CurrentBus bus("2d:inputs=0x0005:head=0xC800:head2=0x1000:version=0x0C05:serial=4711:mmc=7");
    EXPECT_EQ(read_io_port(), 0x0005);
    EXPECT_EQ(get_head_status(1), 0xC800);
    EXPECT_EQ(get_head_status(2), 0x1000);
    EXPECT_EQ(get_oru_version(), 0x0C05);
    EXPECT_EQ(get_serial_number(), 4711);
    EXPECT_EQ(store_on_mmc(), 7);
    bus.board(1).with_lock([](sim::SimBoard& b) { EXPECT_EQ(firmware(b).card_stores(), 1u); });
}

TEST(SimPanel, ATestChangesTheValuesWhileTheBoardRuns) {
    CurrentBus bus("2d");
    bus.board(1).with_lock([](sim::SimBoard& b) {
        firmware(b).set_inputs(0x8001);
        firmware(b).set_head_status(1, 0x4000);
        firmware(b).set_head_status(3, 0x1111); // no such head: nothing changes
        firmware(b).set_card_result(2);
    });
    EXPECT_EQ(read_io_port(), 0x8001);
    EXPECT_EQ(get_head_status(1), 0x4000);
    EXPECT_EQ(get_head_status(2), 0xD800);
    EXPECT_EQ(store_on_mmc(), 2);
    bus.board(1).with_lock([](sim::SimBoard& b) { firmware(b).set_card_result(0); });
    EXPECT_EQ(store_on_mmc(), 0);
    bus.board(1).with_lock([](sim::SimBoard& b) { EXPECT_EQ(firmware(b).card_stores(), 2u); });
    // The outputs the converter writes are the board's output word.
    write_io_port(0x8001);
    EXPECT_EQ(get_io_status(), 0x8001);
}

TEST(SimPanel, AFailedPollOfTheStoreIsNoSuccess) {
    CurrentBus bus("2d:busy_polls=2");
    EXPECT_EQ(read_io_port(), 0); // leaves 0 in word 1 of the host's mailbox copy
    const std::uint64_t before = bus.board(1).transfers();
    // The store's mailbox write goes through, its first poll request fails.
    bus.board(1).fail_transfer(before + 2);
    EXPECT_NE(store_on_mmc(), 0);
    EXPECT_NE(usb_status(), 0u);
}

} // namespace
} // namespace quarnel::testing
