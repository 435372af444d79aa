// List management: the list status bits, the input pointer, refused boards, and what reaches
// board memory when (batches, flushes, the end of list memory, two threads on one board).
#include "context.h"
#include "quarnel4.h"
#include "sim/list_firmware.h"
#include "sim/sim_motion.h"
#include "sim_bus.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace quarnel {
namespace {

class ListManagementTest : public ::testing::Test {
protected:
    void SetUp() override {
        ctx.board_count = 2;
        ctx.selected_board = 1;
        for (BoardSlot& slot : ctx.slots) {
            slot.input_pointer = kListMemoryAddress;
            slot.list_status_word = 0xFF00;
        }
        set_current_context(&ctx);
    }
    void TearDown() override { set_current_context(nullptr); }

    BoardSlot& slot(std::uint32_t b = 1) { return ctx.slots[b]; }

    Context ctx;
};

struct StatusCase {
    std::string steps;
    std::uint16_t before;
    std::function<void()> run;
    std::uint16_t after;
    std::uint32_t position; // of the input pointer afterwards, pending entries included
};

TEST_F(ListManagementTest, OpeningAndClosingSetTheStatusBits) {
    const std::vector<StatusCase> cases = {
        {"start 1 on list 2 closed", 0xFF08, [] { set_start_list_1(); }, 0xFF09, 0},
        {"start 1, end", 0xFF08, [] { set_start_list_1(); set_end_of_list(); }, 0xFF0C, 1},
        {"start 2 on list 1 closed", 0xFF04, [] { set_start_list_2(); }, 0xFF06, 500000},
        {"start 2, end", 0xFF00, [] { set_start_list_2(); set_end_of_list(); }, 0xFF08, 500001},
        {"both open, end closes list 1", 0xFF00, [] { set_start_list_2(); set_start_list_1(); set_end_of_list(); },
         0xFF06, 1},
        {"both open, end twice", 0xFF03, [] { set_end_of_list(); set_end_of_list(); }, 0xFF0C, 1236},
        {"end with no list open", 0xFF00, [] { set_end_of_list(); }, 0xFF00, 1235},
        {"start 1 again clears closed", 0xFF0C, [] { set_start_list_1(); }, 0xFF09, 0},
        {"set_start_list(2)", 0xFF00, [] { set_start_list(2); }, 0xFF02, 500000},
        {"set_start_list(7) opens list 1", 0xFF00, [] { set_start_list(7); }, 0xFF01, 0},
        {"set_start_list(0) opens list 1", 0xFF00, [] { set_start_list(0); }, 0xFF01, 0},
        {"set_input_pointer keeps the bits", 0xFF05, [] { set_input_pointer(42); }, 0xFF05, 42},
    };
    for (const StatusCase& c : cases) {
        SCOPED_TRACE(c.steps);
        slot().list_status_word = c.before;
        slot().input_pointer = kListMemoryAddress + 4 * 1234;
        slot().batch_count = 0;
        c.run();
        EXPECT_EQ(slot().list_status_word, c.after);
        EXPECT_EQ((slot().input_pointer - kListMemoryAddress) / 4 + slot().batch_count, c.position);
    }
}

TEST_F(ListManagementTest, InputPointerStaysInsideListMemory) {
    const struct {
        std::int32_t p;
        std::uint32_t address;
    } cases[] = {
        {0, 0x20000},
        {500000, 0x20000 + 2000000},
        {999999, 0x20000 + 3999996},
        {1000000, 0x20000},
        {-1, 0x20000},
        {INT32_MIN, 0x20000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.p);
        slot().input_pointer = kListMemoryAddress + 4 * 77;
        set_input_pointer(c.p);
        EXPECT_EQ(slot().input_pointer, c.address);
        EXPECT_EQ(get_input_pointer(), (c.address - kListMemoryAddress) / 4);
    }
}

TEST_F(ListManagementTest, BoardFormsActOnTheirBoardOnly) {
    n_set_start_list_2(2);
    n_set_input_pointer(2, 600000);
    EXPECT_EQ(slot(2).list_status_word, 0xFF02);
    EXPECT_EQ(n_get_input_pointer(2), 600000u);
    EXPECT_EQ(slot(1).list_status_word, 0xFF00);
    EXPECT_EQ(slot(1).input_pointer, kListMemoryAddress);
}

TEST_F(ListManagementTest, InvalidBoardChangesNothing) {
    slot(1).input_pointer = kListMemoryAddress + 4 * 10;
    const std::vector<std::function<void()>> calls = {
        [] { n_set_start_list_1(0); },  [] { n_set_start_list_2(3); },  [] { n_set_start_list(9, 2); },
        [] { n_set_input_pointer(0, 5); }, [] { n_set_end_of_list(3); },
    };
    for (const auto& call : calls) call();
    EXPECT_EQ(n_get_input_pointer(0), 0u);
    EXPECT_EQ(n_get_input_pointer(3), 0u);
    for (std::uint32_t b = 0; b <= kMaxBoards; ++b) {
        EXPECT_EQ(slot(b).list_status_word, 0xFF00);
        EXPECT_EQ(slot(b).batch_count, 0);
    }
    EXPECT_EQ(slot(1).input_pointer, kListMemoryAddress + 4 * 10);

    ctx.selected_board = 0; // no board was found
    set_start_list_2();
    set_end_of_list();
    EXPECT_EQ(get_input_pointer(), 0u);
    EXPECT_EQ(slot(1).list_status_word, 0xFF00);
}

} // namespace
} // namespace quarnel

namespace quarnel {
namespace {

// The same exports against a simulated board: what reaches board memory, and when.
class ListOnBoardTest : public ::testing::Test {
protected:
    ListEntry at_position(std::uint32_t p) {
        const std::uint32_t a = kListMemoryAddress + 4 * p;
        sim::SimBoard& board = bus.board(1);
        return {board.peek(a), board.peek(a + 1), board.peek(a + 2), board.peek(a + 3)};
    }
    std::uint64_t transfers() { return bus.board(1).transfers(); }
    static sim::ListFirmware& firmware(sim::SimBoard& b) { return dynamic_cast<sim::ListFirmware&>(b.firmware()); }

    testing::CurrentBus bus{"2d"};
};

TEST_F(ListOnBoardTest, PendingEntriesReachTheBoardBeforeThePointerIsReadOrMoved) {
    set_start_list_2();
    jump_abs(1, 2);
    jump_abs(3, 4);
    mark_abs(5, 6);
    EXPECT_EQ(get_input_pointer(), 500003u);
    EXPECT_EQ(at_position(500000), (ListEntry{2, 1, 2, 0}));
    EXPECT_EQ(at_position(500002), (ListEntry{3, 5, 6, 0}));

    mark_abs(7, 8);
    set_input_pointer(10);
    EXPECT_EQ(at_position(500003), (ListEntry{3, 7, 8, 0}));
    EXPECT_EQ(get_input_pointer(), 10u);

    mark_abs(9, 9);
    set_start_list_1();
    EXPECT_EQ(at_position(10), (ListEntry{3, 9, 9, 0}));
    EXPECT_EQ(get_input_pointer(), 0u);
}

TEST_F(ListOnBoardTest, SixEntriesWaitAndTheSeventhWritesThemAll) {
    set_start_list_1();
    const std::uint64_t before = transfers();
    for (int i = 0; i < 6; ++i) jump_abs(i, -i);
    EXPECT_EQ(transfers(), before);
    mark_abs(100, 200);
    EXPECT_EQ(transfers(), before + 1);
    for (std::uint32_t p = 0; p < 6; ++p) {
        EXPECT_EQ(at_position(p), (ListEntry{2, static_cast<std::uint16_t>(p), static_cast<std::uint16_t>(-p), 0}));
    }
    EXPECT_EQ(at_position(6), (ListEntry{3, 100, 200, 0}));
}

TEST_F(ListOnBoardTest, EndOfListLeavesTheWholeListInBoardMemory) {
    set_start_list_1();
    jump_abs(1, 1);
    mark_abs(2, 2);
    set_end_of_list();
    EXPECT_EQ(bus.slot(1).batch_count, 0);
    EXPECT_EQ(at_position(0), (ListEntry{2, 1, 1, 0}));
    EXPECT_EQ(at_position(1), (ListEntry{3, 2, 2, 0}));
    EXPECT_EQ(at_position(2), (ListEntry{1, 0, 0, 0}));
    EXPECT_EQ(n_usb_status(1), 0u);
}

// Entries past list position 999999 are never written; the pointer runs on and usb_status
// reports the loss until the next good transfer.
TEST_F(ListOnBoardTest, NothingIsWrittenPastListMemory) {
    const std::uint32_t end = kListMemoryAddress + 4 * kListPositions;
    set_input_pointer(999998);
    for (int i = 0; i < 7; ++i) jump_abs(i + 1, 0);
    EXPECT_EQ(at_position(999998), (ListEntry{2, 1, 0, 0}));
    EXPECT_EQ(at_position(999999), (ListEntry{2, 2, 0, 0}));
    for (std::uint32_t a = end; a < end + 20; ++a) EXPECT_EQ(bus.board(1).peek(a), 0) << a;
    EXPECT_EQ(n_usb_status(1), kStatusListMemoryFull & 0x0FFFFFFF);
    EXPECT_EQ(get_input_pointer(), 1000005u);

    // A whole batch and a partial one past the end send nothing at all.
    const std::uint64_t before = transfers();
    for (int i = 0; i < 10; ++i) jump_abs(9, 9);
    EXPECT_EQ(get_input_pointer(), 1000015u);
    EXPECT_EQ(transfers(), before);
    EXPECT_EQ(n_usb_status(1), kStatusListMemoryFull & 0x0FFFFFFF);

    // A pointer that ran round the 32-bit range does not reach the mailbox or the tables.
    bus.slot(1).input_pointer = 0xFFFFFFF0;
    for (int i = 0; i < 14; ++i) jump_abs(9, 9);
    EXPECT_EQ(transfers(), before);

    set_start_list_1();
    for (int i = 0; i < 7; ++i) mark_abs(5, 5);
    EXPECT_EQ(at_position(6), (ListEntry{3, 5, 5, 0}));
    EXPECT_EQ(n_usb_status(1), 0u);
}

// The board decodes the entries on its own: a square marked from list 1 comes out as the
// vectors and speeds that were asked for.
TEST_F(ListOnBoardTest, ASquareMarkedFromList1RunsOnTheBoard) {
    const std::string path = bus.directory() + "/motion.txt";
    auto motion = std::make_shared<sim::MotionFile>();
    ASSERT_TRUE(motion->open(path));
    bus.board(1).with_lock([&](sim::SimBoard& b) { firmware(b).set_motion_file(motion); });

    set_start_list_1();
    set_jump_speed(2000);
    set_mark_speed(500);
    jump_abs(-100, -100);
    mark_abs(100, -100);
    mark_rel(0, 200);
    mark_abs_3d(-100, 100, 0);
    mark_rel_3d(0, -200, 0);
    set_end_of_list();
    execute_list_1();
    for (int polls = 0; polls < 100 && (read_status() & 0x30) != 0; ++polls) {
    }
    EXPECT_EQ(read_status() & 0x30, 0);

    std::vector<std::string> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    EXPECT_EQ(lines, (std::vector<std::string>{"JUMP -100 -100 0", "MARK 100 -100 0", "MARK 100 100 0",
                                               "MARK -100 100 0", "MARK -100 -100 0"}));
    bus.board(1).with_lock([&](sim::SimBoard& b) {
        const sim::ListExecutor& executor = firmware(b).executor();
        EXPECT_NEAR(executor.jump_speed(), 2000, 0.01);
        EXPECT_NEAR(executor.mark_speed(), 500, 0.01);
        EXPECT_TRUE(executor.errors().empty());
    });
}

// The two entries of a pixel line stand next to each other even while another thread fills
// the same list.
TEST_F(ListOnBoardTest, PixelLinesAreNeverSplitByAnotherThread) {
    constexpr int kEach = 700;
    set_start_list_1();
    std::thread jumps([] {
        for (int i = 0; i < kEach; ++i) jump_abs(1, 2);
    });
    for (int i = 0; i < kEach; ++i) set_pixel_line(1, 4, 2.0, 0.0);
    jumps.join();
    ASSERT_EQ(get_input_pointer(), 3u * kEach);
    int pixel_lines = 0;
    int jump_entries = 0;
    for (std::uint32_t p = 0; p < 3 * kEach; ++p) {
        const ListEntry e = at_position(p);
        if (e == ListEntry{2, 1, 2, 0}) {
            ++jump_entries;
        } else {
            ASSERT_EQ(e, (ListEntry{33, 0, 4, 0})) << "position " << p;
            ASSERT_EQ(at_position(++p), (ListEntry{0, 0x8000, 0, 0})) << "position " << p;
            ++pixel_lines;
        }
    }
    EXPECT_EQ(pixel_lines, kEach);
    EXPECT_EQ(jump_entries, kEach);
}

} // namespace
} // namespace quarnel
