// List management on the host: the list status bits, the input pointer, and refused boards.
#include "context.h"
#include "quarnel4.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
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
