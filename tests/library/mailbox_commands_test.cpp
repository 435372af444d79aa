// Commands through the mailbox (immediate commands and list execution): what reaches the
// board for given arguments, what is refused, and the state the control and soft-start
// commands keep between calls.
#include "command_test_boards.h"
#include "quarnel4.h"

#include <gtest/gtest.h>

#include <cmath>
#include <future>
#include <limits>

namespace quarnel::testing {
namespace {

struct PackingCase {
    const char* name;
    std::function<void(std::uint32_t board)> call;
    std::vector<Sent> sent; // empty: the call sends nothing
};

void PrintTo(const PackingCase& c, std::ostream* os) { *os << c.name; }

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double k2p24 = 16777216.0;

const std::vector<PackingCase> kPackingCases = {
    {"8-bit port", [](std::uint32_t b) { n_write_8bit_port(b, 0x1A5); }, {{3, {0x1A5}}}},
    {"16-bit argument keeps its low half", [](std::uint32_t b) { n_write_io_port(b, 0x1BEEF); },
     {{4, {0xBEEF}}}},
    {"analogue 1 clamped", [](std::uint32_t b) { n_write_da_1(b, 5000); }, {{10, {1023}}}},
    {"analogue 1 at the limit", [](std::uint32_t b) { n_write_da_1(b, 1023); }, {{10, {1023}}}},
    {"analogue 2 clamped", [](std::uint32_t b) { n_write_da_2(b, 1024); }, {{11, {1023}}}},
    {"analogue by number 1", [](std::uint32_t b) { n_write_da_x(b, 1, 7); }, {{10, {7}}}},
    {"analogue by number 2", [](std::uint32_t b) { n_write_da_x(b, 2, 4000); }, {{11, {1023}}}},
    {"analogue by number 3", [](std::uint32_t b) { n_write_da_x(b, 3, 7); }, {}},
    {"max counts", [](std::uint32_t b) { n_set_max_counts(b, 0x12345678); },
     {{12, {0x1234, 0x5678}}}},
    {"matrix", [](std::uint32_t b) { n_set_matrix(b, 1, -0.5, 0.25, 101); },
     {{14, {0x0100, 0, 0xFF80, 0, 0x0040, 0, 0x6500, 0}}}},
    {"matrix rounds halves to even",
     [](std::uint32_t b) { n_set_matrix(b, 2.5 / k2p24, 3.5 / k2p24, -2.5 / k2p24, -101); },
     {{14, {0, 2, 0, 4, 0xFFFF, 0xFFFE, 0x9B00, 0}}}},
    {"matrix element above 101", [](std::uint32_t b) { n_set_matrix(b, 1, 0, 0, 101.0001); }, {}},
    {"matrix with NaN", [](std::uint32_t b) { n_set_matrix(b, 1, kNaN, 0, 1); }, {}},
    {"matrix with infinity", [](std::uint32_t b) { n_set_matrix(b, -kInf, 0, 0, 1); }, {}},
    {"offset", [](std::uint32_t b) { n_set_offset(b, -1, 300); }, {{15, {0xFFFF, 300}}}},
    {"goto xy: y before x", [](std::uint32_t b) { n_goto_xy(b, 100, -200); },
     {{16, {0, 0xFF38, 100}}}},
    {"goto xyz", [](std::uint32_t b) { n_goto_xyz(b, 1, 2, -3); }, {{16, {0xFFFD, 2, 1}}}},
    {"enable laser", [](std::uint32_t b) { n_enable_laser(b); }, {{18, {}}}},
    {"disable laser", [](std::uint32_t b) { n_disable_laser(b); }, {{19, {}}}},
    {"laser signal on", [](std::uint32_t b) { n_laser_signal_on(b); }, {{28, {}}}},
    {"laser signal off", [](std::uint32_t b) { n_laser_signal_off(b); }, {{29, {}}}},
    {"z out lowest", [](std::uint32_t b) { n_z_out(b, -32768); }, {{25, {0}}}},
    {"z out centre", [](std::uint32_t b) { n_z_out(b, 0); }, {{25, {32768}}}},
    {"z out highest", [](std::uint32_t b) { n_z_out(b, 32767); }, {{25, {65535}}}},
    {"first pulse killer", [](std::uint32_t b) { n_set_firstpulse_killer(b, 800); },
     {{26, {800}}}},
    {"stand-by pulse as long as the half period",
     [](std::uint32_t b) { n_set_standby(b, 10, 10); }, {{27, {1, 10, 9}}}},
    {"stand-by pulse too long for a half period of 1",
     [](std::uint32_t b) { n_set_standby(b, 1, 5); }, {{27, {0, 1, 0}}}},
    {"stand-by off", [](std::uint32_t b) { n_set_standby(b, 0, 0); }, {{27, {0, 0, 0}}}},
    {"stand-by", [](std::uint32_t b) { n_set_standby(b, 100, 20); }, {{27, {1, 100, 20}}}},
    {"delay mode with limits",
     [](std::uint32_t b) { n_set_delay_mode(b, 1, 0, 50, 0x7FFF, 0x8000); },
     {{30, {13, 50, 0, 1}}}},
    {"delay mode second flag", [](std::uint32_t b) { n_set_delay_mode(b, 0, 1, 0, 0, 0); },
     {{30, {2, 0, 0, 0}}}},
    {"correction tables", [](std::uint32_t b) { n_select_cor_table(b, 1, 2); },
     {{33, {0x3001, 0x5641}}}},
    {"correction table unknown", [](std::uint32_t b) { n_select_cor_table(b, 2, 7); },
     {{33, {0x5641, 0}}}},
    {"encoder simulation", [](std::uint32_t b) { n_simulate_encoder(b, 3); }, {{36, {3}}}},
    {"encoder simulation unknown", [](std::uint32_t b) { n_simulate_encoder(b, 4); },
     {{36, {0}}}},
    {"control mode", [](std::uint32_t b) { n_set_control_mode(b, 2); }, {{41, {2}}}},
    {"laser mode", [](std::uint32_t b) { n_set_laser_mode(b, 1); }, {{42, {1}}}},
    {"external start delay -1", [](std::uint32_t b) { n_set_ext_start_delay(b, -1, 3); },
     {{43, {0xFFFE, 3}}}},
    {"external start delay -32768",
     [](std::uint32_t b) { n_set_ext_start_delay(b, -32768, 0); }, {{43, {0x8000, 0}}}},
    {"external start delay positive", [](std::uint32_t b) { n_set_ext_start_delay(b, 100, 1); },
     {{43, {100, 1}}}},
    {"home position", [](std::uint32_t b) { n_home_position(b, -5, 5); }, {{44, {0xFFFB, 5}}}},
    {"defocus", [](std::uint32_t b) { n_set_defocus(b, -100); }, {{53, {0xFF9C}}}},
    {"control command", [](std::uint32_t b) { n_control_command(b, 2, 3, 77); },
     {{57, {50, 77}}}},
    {"control command first", [](std::uint32_t b) { n_control_command(b, 1, 1, 5); },
     {{57, {0, 5}}}},
    {"control command a = 0", [](std::uint32_t b) { n_control_command(b, 0, 1, 5); }, {}},
    {"control command c = 4", [](std::uint32_t b) { n_control_command(b, 1, 4, 5); }, {}},
    {"rotation centre: y first", [](std::uint32_t b) { n_set_rot_center(b, 1, -1); },
     {{58, {0xFFFF, 0xFF00, 0, 0x0100}}}},
    {"rotation centre at the limit", [](std::uint32_t b) { n_set_rot_center(b, -8000000, 0); },
     {{58, {0, 0, 0x85EE, 0}}}},
    {"rotation centre beyond", [](std::uint32_t b) { n_set_rot_center(b, 0, 8000001); }, {}},
    {"rotation centre most negative",
     [](std::uint32_t b) { n_set_rot_center(b, std::numeric_limits<std::int32_t>::min(), 0); },
     {}},
    {"set I/O bit", [](std::uint32_t b) { n_set_io_bit(b, 5); }, {{71, {5}}}},
    {"clear I/O bit", [](std::uint32_t b) { n_clear_io_bit(b, 5); }, {{72, {5}}}},
    {"duty cycle", [](std::uint32_t b) { n_set_duty_cycle_table(b, 3, 200); },
     {{73, {3, 13107}}}},
    {"duty cycle full", [](std::uint32_t b) { n_set_duty_cycle_table(b, 3, 1000); },
     {{73, {3, 0xFFFF}}}},
    {"duty cycle rounded", [](std::uint32_t b) { n_set_duty_cycle_table(b, 10, 1); },
     {{73, {10, 66}}}},
    {"duty cycle index 11", [](std::uint32_t b) { n_set_duty_cycle_table(b, 11, 200); }, {}},
    {"laser timing below 65 Hz", [](std::uint32_t b) { n_set_laser_timing_table(b, 0, 10); },
     {{74, {0, 61538}}}},
    {"laser timing above 100 kHz",
     [](std::uint32_t b) { n_set_laser_timing_table(b, 1, 1000000); }, {{74, {1, 40}}}},
    {"laser timing", [](std::uint32_t b) { n_set_laser_timing_table(b, 3, 1000); },
     {{74, {3, 4000}}}},
    {"laser timing with NaN", [](std::uint32_t b) { n_set_laser_timing_table(b, 2, kNaN); }, {}},
    {"laser timing index 11", [](std::uint32_t b) { n_set_laser_timing_table(b, 11, 1000); }, {}},

    {"execute list 1", [](std::uint32_t b) { n_execute_list_1(b); }, {{1, {}}}},
    {"execute list 2", [](std::uint32_t b) { n_execute_list_2(b); }, {{2, {}}}},
    {"execute list by number", [](std::uint32_t b) { n_execute_list(b, 2); }, {{2, {}}}},
    {"execute list by number, low half", [](std::uint32_t b) { n_execute_list(b, 0x10001); },
     {{1, {}}}},
    {"execute list 3", [](std::uint32_t b) { n_execute_list(b, 3); }, {}},
    {"auto change", [](std::uint32_t b) { n_auto_change(b); }, {{5, {}}}},
    {"auto change, second name", [](std::uint32_t b) { n_aut_change(b); }, {{5, {}}}},
    {"start loop", [](std::uint32_t b) { n_start_loop(b); }, {{6, {}}}},
    {"quit loop", [](std::uint32_t b) { n_quit_loop(b); }, {{7, {}}}},
    {"stop execution", [](std::uint32_t b) { n_stop_execution(b); }, {{8, {}}}},
    {"dsp start stops", [](std::uint32_t b) { n_dsp_start(b); }, {{8, {}}}},
    {"stop list", [](std::uint32_t b) { n_stop_list(b); }, {{20, {}}}},
    {"restart list", [](std::uint32_t b) { n_restart_list(b); }, {{21, {}}}},
    {"release wait", [](std::uint32_t b) { n_release_wait(b); }, {{39, {}}}},
    {"select list 1 names list 2's start", [](std::uint32_t b) { n_select_list(b, 1); },
     {{24, {7, 0xA120}}}},
    {"select list 0", [](std::uint32_t b) { n_select_list(b, 0); }, {{24, {0, 0}}}},
    {"external start position", [](std::uint32_t b) { n_set_extstartpos(b, 500000); },
     {{24, {7, 0xA120}}}},
    {"external start position last", [](std::uint32_t b) { n_set_extstartpos(b, 999999); },
     {{24, {0x000F, 0x423F}}}},
    {"external start position beyond", [](std::uint32_t b) { n_set_extstartpos(b, 1000000); },
     {}},
    {"external start position negative", [](std::uint32_t b) { n_set_extstartpos(b, -1); }, {}},
    {"execute at pointer", [](std::uint32_t b) { n_execute_at_pointer(b, 12); },
     {{34, {0, 12}}}},
    {"execute at pointer beyond", [](std::uint32_t b) { n_execute_at_pointer(b, 1000000); }, {}},
    {"auto change at position", [](std::uint32_t b) { n_auto_change_pos(b, 70000); },
     {{59, {1, 0x1170}}}},
    {"auto change at negative position", [](std::uint32_t b) { n_auto_change_pos(b, -5); }, {}},
    {"clear list", [](std::uint32_t b) { n_clear_list(b); }, {{83, {}}}},
};

class MailboxPacking : public ::testing::TestWithParam<PackingCase> {};

TEST_P(MailboxPacking, SendsTheTableWordsAndReleasesTheLock) {
    CommandTestBoards boards;
    const PackingCase& c = GetParam();
    c.call(1);
    expect_sent(boards.commands(), c.sent);
    // Another thread can take the board's lock once the call has returned.
    auto other = std::async(std::launch::async, [&] {
        std::unique_lock lock(boards.ctx().board_lock[1], std::try_to_lock);
        return lock.owns_lock();
    });
    EXPECT_TRUE(other.get());
}

TEST_P(MailboxPacking, BadBoardNumbersSendNothing) {
    CommandTestBoards boards;
    const std::uint64_t before = boards.transfers();
    for (std::uint32_t bad : {0u, 2u, 9u, 0xFFFFu}) GetParam().call(bad);
    EXPECT_EQ(boards.transfers(), before);
}

INSTANTIATE_TEST_SUITE_P(Commands, MailboxPacking, ::testing::ValuesIn(kPackingCases),
                         [](const ::testing::TestParamInfo<PackingCase>& info) {
                             std::string name;
                             for (char ch : std::string(info.param.name))
                                 name += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
                             return name + "_" + std::to_string(info.index);
                         });

TEST(MailboxImage, WordsACommandDoesNotSetGoOutAsTheLastCommandLeftThem) {
    CommandTestBoards boards;
    n_goto_xyz(1, 7, 8, 9);
    n_enable_laser(1);
    expect_sent(boards.commands(), {{16, {9, 8, 7}}, {18, {9, 8, 7}}});
}

TEST(MailboxImage, SelectedFormsActOnTheSelectedBoard) {
    CommandTestBoards boards("2d,2d");
    select_oru(2);
    goto_xy(3, 4);
    execute_list_2();
    EXPECT_TRUE(boards.commands(1).empty());
    expect_sent(boards.commands(2), {{16, {0, 4, 3}}, {2, {}}});
}

TEST(MailboxImage, PendingListEntriesReachTheBoardBeforeTheCommand) {
    CommandTestBoards boards;
    std::vector<std::uint16_t> list_at_start;
    boards.answer(1, [&](sim::SimBoard& board) {
        for (std::uint32_t a = kListMemoryAddress; a < kListMemoryAddress + 12; ++a)
            list_at_start.push_back(board.word(a));
    });
    {
        std::lock_guard lock(boards.ctx().board_lock[1]);
        append_list_entry(boards.ctx(), 1, 2, 10, 11, 12);
        append_list_entry(boards.ctx(), 1, 3, 20, 21, 22);
        append_list_entry(boards.ctx(), 1, 1, 0, 0, 0);
    }
    n_execute_list_1(1);
    EXPECT_EQ(list_at_start,
              (std::vector<std::uint16_t>{2, 10, 11, 12, 3, 20, 21, 22, 1, 0, 0, 0}));
}

TEST(ControlWord, PisoControlAndSelectStatusShareTheShadowWord) {
    CommandTestBoards boards;
    n_set_piso_control(1, 5, 40);
    n_select_status(1, 1);
    n_set_piso_control(1, 60, 20);
    n_select_status(1, 0);
    n_set_piso_control(1, 40, 10);
    expect_sent(boards.commands(),
                {{31, {0x1F9}}, {31, {0x1FD}}, {31, {0x23D}}, {31, {0x239}}, {31, {0x379}}});
}

TEST(ControlWord, EachBoardKeepsItsOwnWordAndEnumerationResetsIt) {
    CommandTestBoards boards("2d,2d");
    n_set_piso_control(1, 5, 5);
    n_select_status(2, 1);
    EXPECT_EQ(boards.commands(2).at(0).words[0], 0x3FD);
    enumerate_boards(boards.ctx());
    boards.commands(1);
    n_select_status(1, 0);
    EXPECT_EQ(boards.commands(1).at(0).words[0], 0x3F9);
}

TEST(SoftStart, ModeSendsTheRampResetThenTheMode) {
    CommandTestBoards boards;
    n_set_softstart_mode(1, 11, 100, 0);
    expect_sent(boards.commands(), {{56, {0, 0}}, {55, {1, 100, 1, 1}}});
    n_set_softstart_level(1, 4, 0x1401); // level bits above 0x3FF are dropped
    expect_sent(boards.commands(), {{56, {4, 4}}});
}

struct SoftStartCase {
    std::uint32_t mode, n, d;
    std::vector<Sent> mode_sends;
    std::uint32_t level;
    std::vector<Sent> level_sends; // after set_softstart_level(7, level)
};

TEST(SoftStart, ModesStepsAndLevels) {
    const std::vector<SoftStartCase> cases = {
        {2, 10, 0xFFFF, {{56, {0, 0x8000}}, {55, {1, 10, 0, 0xFFFE}}}, 3,
         {{56, {7, 0x800C}}}},
        {12, 10, 9, {{56, {0, 0x8000}}, {55, {1, 10, 1, 9}}}, 0x3FF, {{56, {7, 0x8FFC}}}},
        {13, 0, 5, {{55, {0, 0, 0, 5}}}, 5, {}},   // no steps: soft start off
        {3, 1000, 5, {{55, {3, 1000, 0, 5}}}, 1, {{56, {7, 2}}}},
        {13, 5, 5, {{55, {3, 5, 0, 5}}}, 700, {{56, {7, 700}}}},
        {1, 1001, 5, {{56, {0, 0}}, {55, {0, 1001, 0, 5}}}, 5, {}},
        {4, 10, 5, {{55, {0, 10, 0, 5}}}, 5, {}},  // unknown mode: soft start off
        {0x10B, 10, 5, {{55, {0, 10, 0, 5}}}, 5, {}}, // 16-bit mode 267 is unknown
    };
    for (const SoftStartCase& c : cases) {
        SCOPED_TRACE("mode " + std::to_string(c.mode) + " n " + std::to_string(c.n));
        CommandTestBoards boards;
        n_set_softstart_mode(1, c.mode, c.n, c.d);
        expect_sent(boards.commands(), c.mode_sends);
        n_set_softstart_level(1, 7, c.level);
        expect_sent(boards.commands(), c.level_sends);
    }
}

TEST(SoftStart, LevelIndexAbove1000SendsNothing) {
    CommandTestBoards boards;
    n_set_softstart_mode(1, 3, 10, 1);
    boards.commands();
    n_set_softstart_level(1, 1001, 5);
    EXPECT_TRUE(boards.commands().empty());
}

TEST(ClearList, WaitsUntilTheBoardHasFinished) {
    CommandTestBoards boards;
    boards.board().set_busy_polls(3);
    const std::uint64_t before = boards.transfers();
    n_clear_list(1);
    // The command, then four polls of a request and a reply each.
    EXPECT_EQ(boards.transfers() - before, 1u + 4 * 2);
}

} // namespace
} // namespace quarnel::testing
