// Enumeration through the simulated bus: which devices count, version settling, firmware
// ranges, failing steps, ownership and what detach leaves behind.
#include "sim_bus.h"

#include "instance_mutex.h"
#include "usb/driver_records.h"

namespace quarnel::testing {
namespace {

void expect_slot_defaults(SimBus& bus) {
    for (int b = 1; b <= kMaxBoards; ++b) {
        EXPECT_EQ(bus.slot(b).input_pointer, 0x20000u) << b;
        EXPECT_EQ(bus.slot(b).list_status_word, 0xFF00) << b;
        EXPECT_EQ(bus.slot(b).control_shadow_word, 0x3F9) << b;
        EXPECT_EQ(bus.slot(b).batch_count, 0) << b;
        EXPECT_EQ(bus.slot(b).softstart_mode, 0) << b;
    }
}

TEST(Enumeration, TwoBoardsAreFoundInBusOrderWithTheirOption) {
    SimBus bus("2d,3d");
    EXPECT_EQ(bus.status, 0u);
    EXPECT_EQ(bus.ctx.board_count, 2);
    EXPECT_EQ(bus.ctx.selected_board, 1);
    EXPECT_EQ(bus.ctx.owns_boards, 1);
    EXPECT_EQ(bus.slot(1).is_3d, 0);
    EXPECT_EQ(bus.slot(2).is_3d, 1);
    EXPECT_EQ(bus.slot(1).last_status, 0u);
    EXPECT_EQ(bus.slot(3).last_status, kStatusNoBoard);
    expect_slot_defaults(bus);
}

TEST(Enumeration, NoBoardGivesSlotEmptyAndSelectsNothing) {
    SimBus bus("");
    EXPECT_EQ(bus.status, kStatusNoBoard);
    EXPECT_EQ(bus.ctx.board_count, 0);
    EXPECT_EQ(bus.ctx.selected_board, 0);
    expect_slot_defaults(bus);
}

TEST(Enumeration, AnotherReleaseIsSkippedAndTheNextDeviceTried) {
    SimBus bus("2d:release=0x0506,3d,2d:release=0x0504");
    EXPECT_EQ(bus.ctx.board_count, 1);
    EXPECT_EQ(bus.slot(1).is_3d, 1);
    EXPECT_EQ(bus.board(1).open_handles(), 0);
    EXPECT_EQ(bus.board(3).open_handles(), 0);
    // The trace names boards by their place on the simulated bus, not by board number.
    bus.mark();
    writemem(bus.ctx, 1, 0x10, 0, nullptr);
    EXPECT_EQ(bus.wire(), std::vector<std::string>{"2 OUT 0020000000"});
}

TEST(Enumeration, NineBoardsCountEight) {
    SimBus bus("2d,2d,2d,2d,2d,2d,2d,2d,2d");
    EXPECT_EQ(bus.ctx.board_count, 8);
    EXPECT_EQ(bus.status, 0u);
    EXPECT_TRUE(bus.board(9).mailbox_log().empty());
    EXPECT_EQ(bus.board(9).open_handles(), 0);
}

struct SettleCase {
    const char* settle;
    bool settled;
    std::size_t version_reads;
};

TEST(Enumeration, VersionMustRepeatWithinFiveRereads) {
    const SettleCase cases[] = {
        {"0", true, 2},      {"1", true, 3},      {"3", true, 5},
        {"4", true, 6},      // the match at the fifth re-read counts
        {"5", false, 7},     // a match only at the sixth re-read does not
        {"never", false, 7},
    };
    for (const auto& c : cases) {
        SimBus bus(std::string("2d:settle=") + c.settle);
        std::size_t reads = 0;
        for (const auto& record : bus.board(1).mailbox_log())
            reads += record.words[0] == 22;
        EXPECT_EQ(reads, c.version_reads) << c.settle;
        EXPECT_EQ(bus.sleeps, std::vector<unsigned>(c.version_reads - 1, 25)) << c.settle;
        EXPECT_EQ(bus.ctx.version_unstable, c.settled ? 0 : 1) << c.settle;
        EXPECT_EQ(bus.ctx.board_count, 1) << c.settle;
    }
}

TEST(Enumeration, UnsettledVersionStopsAtThatBoard) {
    SimBus bus("2d,2d:settle=never,2d");
    EXPECT_EQ(bus.ctx.board_count, 2);
    EXPECT_EQ(bus.ctx.version_unstable, 1);
    EXPECT_TRUE(bus.board(3).mailbox_log().empty());
}

struct FirmwareCase {
    const char* config;
    bool mismatch;
};

TEST(Enumeration, FirmwareMustFitTheBoardVariant) {
    const FirmwareCase cases[] = {
        {"2d:fw=2500", false}, {"2d:fw=2999", false}, {"2d:fw=2499", true},
        {"2d:fw=3000", true},  {"2d:fw=3100", true},  {"3d:fw=3000", false},
        {"3d:fw=3599", false}, {"3d:fw=2800", true},  {"3d:fw=3600", true},
        {"2d:version=0x0401:fw=3100", false}, // the option bit makes the board 3-D
        {"3d:version=0x0001:fw=3100", true},
    };
    for (const auto& c : cases) {
        SimBus bus(std::string(c.config) + ",2d");
        EXPECT_EQ(bus.ctx.firmware_mismatch, c.mismatch ? 1 : 0) << c.config;
        EXPECT_EQ(bus.ctx.board_count, c.mismatch ? 1 : 2) << c.config;
    }
}

struct FailingStepCase {
    const char* config;
    bool out_pipe_made;
};

TEST(Enumeration, FailingStepCountsTheBoardAndKeepsItsStatus) {
    const FailingStepCase cases[] = {
        {"2d:fail=setconfig", false},
        {"2d:fail=configinfo", false},
        {"2d:pipes=1", false},
        {"2d:fail=bind", true},
        {"2d:fail=bindin", true},
    };
    for (const auto& c : cases) {
        SimBus bus(std::string("2d,") + c.config + ",2d");
        EXPECT_EQ(bus.ctx.board_count, 2) << c.config;
        EXPECT_TRUE(bus.board(3).mailbox_log().empty()) << c.config;
        EXPECT_EQ(bus.status, bus.slot(2).last_status) << c.config;
        if (std::string(c.config) == "2d:pipes=1")
            EXPECT_EQ(bus.status, 0u) << c.config; // the request went well; the count did not
        else
            EXPECT_NE(bus.status, 0u) << c.config;
        EXPECT_EQ(bus.slot(2).out_pipe != nullptr, c.out_pipe_made) << c.config;
    }
}

TEST(Enumeration, FailedVersionReadReadsAsZeroAndTheVersionMaySettleLater) {
    SimBus bus("2d,2d:fail_transfer=2,2d"); // the first version read's poll request
    EXPECT_EQ(bus.ctx.board_count, 3);
    EXPECT_EQ(bus.status, 0u);
    EXPECT_EQ(bus.sleeps.size(), 1u + 2 + 1);
}

TEST(Enumeration, DeviceThatCannotBeOpenedEndsTheSearch) {
    SimBus bus("2d,2d:fail=open,2d");
    EXPECT_EQ(bus.ctx.board_count, 1);
    EXPECT_EQ(bus.status, 0u);
}

TEST(Enumeration, AgainFindsTheBoardsAndForgetsHostListState) {
    SimBus bus("2d,3d");
    bus.slot(1).input_pointer = 0x30000;
    bus.slot(1).list_status_word = 0x0001;
    bus.slot(2).batch_count = 3;
    bus.ctx.selected_board = 2;
    EXPECT_EQ(enumerate_boards(bus.ctx), 0u);
    EXPECT_EQ(bus.ctx.board_count, 2);
    EXPECT_EQ(bus.ctx.selected_board, 1);
    expect_slot_defaults(bus);
    EXPECT_EQ(bus.board(1).open_handles(), 2); // the two pipes; old ones were let go
    EXPECT_EQ(bus.board(2).open_handles(), 2);
}

TEST(Detach, LeavesNoDeviceOpen) {
    const char* configs[] = {"2d,3d", "2d,2d:fail=bindin", "2d,2d:settle=never",
                             "2d,2d,2d,2d,2d,2d,2d,2d,2d"};
    for (const char* config : configs) {
        auto bus = std::make_unique<SimBus>(config);
        auto driver = bus->driver;
        bus.reset();
        for (int place = 1; place <= driver->board_count(); ++place)
            EXPECT_EQ(driver->board(place).open_handles(), 0) << config << " board " << place;
    }
}

TEST(Detach, FreesPipesOfSlotsPastTheBoardCount) {
    auto bus = std::make_unique<SimBus>("2d,3d");
    auto driver = bus->driver;
    bus->ctx.board_count = 1;
    bus.reset();
    EXPECT_EQ(driver->board(2).open_handles(), 0);
}

TEST(Detach, SlotsBeyondAShorterSecondEnumerationLetGo) {
    SimBus bus("2d,2d,2d");
    // The second enumeration stops at board 2 (its pipes cannot be bound any more).
    auto parsed_error = std::string();
    auto config = sim::parse_sim_config("2d,2d:fail=open,2d", parsed_error);
    auto second = std::make_shared<sim::SimDriver>(*config);
    auto first = bus.driver;
    bus.ctx.driver = second;
    enumerate_boards(bus.ctx);
    EXPECT_EQ(bus.ctx.board_count, 1);
    for (int place = 1; place <= 3; ++place)
        EXPECT_EQ(first->board(place).open_handles(), 0) << place;
}

TEST(Ownership, SecondContextOwnsNothingUntilItEnumerates) {
    TempDir locks;
    Context first;
    first.platform.lock_dir = locks.path();
    claim_instance(first, kInstanceName);
    EXPECT_EQ(first.owns_boards, 1);

    Context second;
    second.platform.lock_dir = locks.path();
    claim_instance(second, kInstanceName);
    EXPECT_EQ(second.owns_boards, 0);
    EXPECT_EQ(second.board_count, 0);

    first.instance_mutex.reset(); // the owner goes away
    Context third;
    third.platform.lock_dir = locks.path();
    claim_instance(third, kInstanceName);
    EXPECT_EQ(third.owns_boards, 1);
}

TEST(Ownership, LockFilesHaveLegalNames) {
    EXPECT_EQ(TInstanceMutex::LockFileName("QuarnelDLL"), "QuarnelDLL.lock");
    EXPECT_EQ(TInstanceMutex::LockFileName("Global\\QuarnelDLL"), "Global_QuarnelDLL.lock");
}

} // namespace
} // namespace quarnel::testing
