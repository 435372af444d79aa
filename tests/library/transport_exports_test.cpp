// The C exports of the transport and re-initialisation, on a context made current.
#include "sim_bus.h"

#include "quarnel4.h"
#include "usb/driver_records.h"

#include <cstdlib>

namespace quarnel::testing {
namespace {

TEST(StatusExports, WithoutBoardsCountIsZeroAndStatusIsBadBoard) {
    EXPECT_EQ(quarnel_count_cards(), 0); // no library context at all
    EXPECT_EQ(usb_status(), 4106u);
    CurrentBus bus("");
    EXPECT_EQ(quarnel_count_cards(), 0);
    EXPECT_EQ(usb_status(), 4106u);
    EXPECT_EQ(n_usb_status(1), 4106u);
}

TEST(StatusExports, StatusHasItsTopFourBitsCleared) {
    CurrentBus bus("2d,3d");
    const struct {
        std::uint32_t board;
        std::uint32_t stored;
        std::uint32_t expected;
    } cases[] = {
        {1, 0, 0},
        {1, 0xE0002003, 0x00002003},
        {2, 0xFFFFFFFF, 0x0FFFFFFF},
        {0x10002, 0xE000100A, 0x0000100A}, // board numbers use their low 16 bits
        {0, 0, 4106},
        {3, 0, 4106},
    };
    for (const auto& c : cases) {
        if (valid_board(bus.ctx, c.board))
            bus.slot(static_cast<std::uint16_t>(c.board)).last_status = c.stored;
        EXPECT_EQ(n_usb_status(c.board), c.expected) << c.board << " " << c.stored;
    }
}

TEST(StatusExports, SelectOruFallsBackToBoardOne) {
    CurrentBus bus("2d,3d");
    bus.slot(1).last_status = 0xE0000001;
    bus.slot(2).last_status = 0xE0000002;
    const struct {
        std::uint32_t n;
        std::uint32_t selected;
    } cases[] = {{2, 2}, {0, 1}, {2, 2}, {3, 1}, {0x10002, 2}, {0xFFFF, 1}, {1, 1}};
    for (const auto& c : cases) {
        select_oru(c.n);
        EXPECT_EQ(bus.ctx.selected_board, c.selected) << c.n;
        EXPECT_EQ(usb_status(), c.selected) << c.n;
    }
}

TEST(TransportExports, MemoryRoundTripThroughTheCInterface) {
    CurrentBus bus("2d,3d");
    const std::uint16_t words[3] = {0x0102, 0x0304, 0x0506};
    ::writemem(2, 0x4000, 3, words);
    std::uint16_t back[3] = {};
    std::uint16_t* p = back;
    ::readmem(2, 0x4000, 3, &p);
    EXPECT_EQ(p, back + 3);
    EXPECT_EQ(back[2], 0x0506);
    EXPECT_EQ(bus.board(1).peek(0x4000), 0); // the other board saw nothing
    ::readmem(2, 0x4000, 3, nullptr);          // no pointer to advance: nothing happens
}

TEST(Reinitialize, TakesTheBoardsTheEnvironmentNames) {
    CurrentBus bus("");
    {
        ScopedEnv sim("QUARNEL_SIM", "2d,3d");
        std::uint32_t count = 99;
        EXPECT_EQ(usb_reinitialize(&count), 0u);
        EXPECT_EQ(count, 2u);
        EXPECT_EQ(quarnel_count_cards(), 2);
        EXPECT_EQ(bus.ctx.owns_boards, 1);
    }
    {
        ScopedEnv sim("QUARNEL_SIM", "");
        std::uint32_t count = 99;
        EXPECT_EQ(usb_reinitialize(&count), 0x100Au);
        EXPECT_EQ(count, 0u);
        EXPECT_EQ(usb_reinitialize(nullptr), 0x100Au);
    }
}

TEST(Reinitialize, KeepsTheSameSimulatedBoardsWhenTheEnvironmentIsUnchanged) {
    ScopedEnv sim("QUARNEL_SIM", "2d");
    ScopedEnv trace("QUARNEL_SIM_TRACE", nullptr);
    CurrentBus bus("");
    std::uint32_t count = 0;
    usb_reinitialize(&count);
    auto* driver = dynamic_cast<sim::SimDriver*>(bus.ctx.driver.get());
    ASSERT_NE(driver, nullptr);
    driver->board(1).poke(0x1000, 42);
    usb_reinitialize(&count);
    EXPECT_EQ(bus.ctx.driver.get(), driver);
    EXPECT_EQ(driver->board(1).peek(0x1000), 42);
}

TEST(Reinitialize, FailureStatusIsMasked) {
    ScopedEnv sim("QUARNEL_SIM", "2d:fail=setconfig");
    CurrentBus bus("");
    std::uint32_t count = 0;
    EXPECT_EQ(usb_reinitialize(&count), kStatusRequestFailed & 0x0FFFFFFF);
    EXPECT_EQ(count, 1u);
}

} // namespace
} // namespace quarnel::testing
