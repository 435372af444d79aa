// The simulated board's list-executing firmware, reached through the board's packets as the
// library reaches it: list memory written in batches, commands through the mailbox.
#include "sim/list_firmware.h"
#include "sim/sim_motion.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <unistd.h>
#include <vector>

namespace quarnel::sim {
namespace {

using Entry = std::array<std::uint16_t, 4>;
using Reply = std::array<std::uint16_t, 10>;

constexpr std::uint16_t u(int v) { return static_cast<std::uint16_t>(v); }
constexpr Entry kEnd{1, 0, 0, 0};
constexpr Entry kSaveTimer{44, 0, 0, 0};

// The word address a get_status reply points at.
std::uint32_t join_address(const Reply& r) { return (std::uint32_t{r[3]} << 16) | r[2]; }

struct Board {
    explicit Board(ListFirmwareOptions options = {})
        : board(1, SimBoardConfig{}, std::make_unique<ListFirmware>(options)) {}

    ListFirmware& firmware() { return static_cast<ListFirmware&>(board.firmware()); }
    const ListExecutor& executor() { return firmware().executor(); }

    // Writes entries from a list position on, seven to a packet.
    void write_list(std::uint32_t position, const std::vector<Entry>& entries) {
        for (std::size_t i = 0; i < entries.size(); i += 7) {
            const std::size_t n = std::min<std::size_t>(7, entries.size() - i);
            std::vector<std::uint16_t> words;
            for (std::size_t k = 0; k < n; ++k)
                words.insert(words.end(), entries[i + k].begin(), entries[i + k].end());
            write(kListBase + 4 * (position + static_cast<std::uint32_t>(i)), words);
        }
    }

    void write(std::uint32_t address, const std::vector<std::uint16_t>& words) {
        std::vector<std::uint8_t> p{static_cast<std::uint8_t>(2 * words.size()),
                                    static_cast<std::uint8_t>(2 * address),
                                    static_cast<std::uint8_t>(2 * address >> 8),
                                    static_cast<std::uint8_t>(2 * address >> 16), 0};
        for (std::uint16_t w : words) {
            p.push_back(static_cast<std::uint8_t>(w));
            p.push_back(static_cast<std::uint8_t>(w >> 8));
        }
        board.transfer_out(p.data(), static_cast<std::uint32_t>(p.size()));
    }

    // Sends a mailbox command (code first, then its argument words) and returns the mailbox
    // words 0..9 as the board leaves them.
    Reply command(std::initializer_list<std::uint16_t> words) {
        Reply w{};
        std::copy(words.begin(), words.end(), w.begin());
        std::vector<std::uint16_t> reversed(w.rbegin(), w.rend());
        write(0x300, reversed);
        Reply out{};
        for (int k = 0; k < 10; ++k) out[k] = board.peek(0x309 - k);
        return out;
    }

    SimBoard board;
};

// ------------------------------------------------------------------ mailbox

struct MailboxCase {
    const char* name;
    std::vector<std::vector<std::uint16_t>> commands;
    std::uint16_t query;
    std::uint16_t w1, w2, w3;
};

class FirmwareMailbox : public testing::TestWithParam<MailboxCase> {};

TEST_P(FirmwareMailbox, QueriesReportWhatCommandsSet) {
    Board b;
    for (const auto& c : GetParam().commands) {
        Reply w{};
        std::copy(c.begin(), c.end(), w.begin());
        b.command({w[0], w[1], w[2], w[3], w[4], w[5], w[6], w[7], w[8], w[9]});
    }
    const Reply r = b.command({GetParam().query});
    EXPECT_EQ(r[0], 0); // done
    EXPECT_EQ(r[1], GetParam().w1);
    EXPECT_EQ(r[2], GetParam().w2);
    EXPECT_EQ(r[3], GetParam().w3);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, FirmwareMailbox,
    testing::Values(
        MailboxCase{"GotoXyzThenPosition", {{16, 5, u(-200), 100}}, 23, 100, u(-200), 5},
        MailboxCase{"ZOutMovesOnlyZ", {{16, 0, 1, 2}, {25, 32768 - 3}}, 23, 2, 1, u(-3)},
        MailboxCase{"OffsetShiftsThePosition", {{15, 10, u(-10)}, {16, 0, 0, 0}}, 23, 10, u(-10), 0},
        MailboxCase{"MatrixTurnsThePosition",
                    // x' = -y, y' = x: m12 = -1.0, m21 = 1.0 in 2^24 units
                    {{14, 0, 0, 0xFF00, 0, 0x0100, 0, 0, 0}, {16, 0, 20, 10}}, 23, u(-20), 10, 0},
        MailboxCase{"IoPortAndBits", {{4, 0x00F0}, {71, 0}, {71, 15}, {72, 4}, {71, 16}}, 51,
                    0x80E1, 0, 0},
        MailboxCase{"IdleStatusAtListStart", {}, 84, 1, 0, 2},
        MailboxCase{"NoTimerSavedYet", {}, 52, 0, 0, 0},
        MailboxCase{"StartStopQuietAtRest", {}, 50, 0, 0, 0},
        MailboxCase{"NotWaiting", {}, 40, 0, 0, 0},
        MailboxCase{"StoreOnCardReady", {}, 80, 0, 0, 0},
        MailboxCase{"HeadsReportGood", {}, 35, 0xD800, 0xD800, 0}),
    [](const testing::TestParamInfo<MailboxCase>& info) { return std::string(info.param.name); });

// ------------------------------------------------------------------ execution

// A square of side 1000 at 1000 Bit/ms, between two timer saves: 4 ms of marking.
const std::vector<Entry> kSquare{
    {12, 0x0019, 0x999A, 0}, {13, 0x0019, 0x999A, 0}, {2, 0, 0, 0}, kSaveTimer,
    {3, 1000, 0, 0}, {3, 1000, 1000, 0}, {3, 0, 1000, 0}, {3, 0, 0, 0}, kSaveTimer, kEnd};

TEST(FirmwareExecution, ListRunsOnTheBoardClock) {
    Board b({.speed = 1.0});
    b.write_list(0, kSquare);
    b.command({1});
    Reply status = b.command({84});
    EXPECT_EQ(status[1], 0); // busy
    b.board.advance_clock(2500);
    const Reply pos = b.command({23});
    EXPECT_EQ(pos[1], 500); // half way along the third side
    EXPECT_EQ(pos[2], 1000);
    status = b.command({84});
    EXPECT_EQ(status[1], 0);
    EXPECT_EQ(join_address(status), 0x20000u + 4 * 6);
    b.board.advance_clock(2000);
    status = b.command({84});
    EXPECT_EQ(status[1], 1); // done
    EXPECT_EQ(join_address(status), 0x20000u + 4 * 9);
    const Reply time = b.command({52});
    const std::uint32_t ticks = (std::uint32_t{time[1]} << 16) | time[2];
    EXPECT_NEAR(ticks, 400, 1); // 4 ms in 10 us ticks
}

TEST(FirmwareExecution, FlatOutFinishesAtTheNextTransfer) {
    Board b;
    b.write_list(0, kSquare);
    b.command({1});
    const Reply status = b.command({84});
    EXPECT_EQ(status[1], 1);
    EXPECT_EQ(join_address(status), 0x20000u + 4 * 9);
    EXPECT_EQ(b.executor().head(), (HeadPosition{0, 0, 0}));
    EXPECT_TRUE(b.executor().errors().empty());
}

TEST(FirmwareExecution, WaitHoldsTheListUntilReleased) {
    Board b;
    b.write_list(0, {{31, 5, 0, 0}, {2, 9, 0, 0}, kEnd});
    b.command({1});
    EXPECT_EQ(b.command({40})[1], 5);
    EXPECT_EQ(b.command({84})[1], 0);
    b.command({39});
    EXPECT_EQ(b.command({40})[1], 0);
    EXPECT_EQ(b.command({84})[1], 1);
    EXPECT_EQ(b.command({23})[1], 9);
}

TEST(FirmwareExecution, ExecuteAtPointerAndStopRestartList) {
    Board b({.speed = 1.0});
    b.write_list(700000, {{21, 3, 0, 100}, {21, 4, 0, 100}, kEnd});
    b.command({34, 0x000A, 0xAE60}); // 700000
    b.board.advance_clock(500);
    b.command({20});
    b.board.advance_clock(10000);
    EXPECT_EQ(b.command({84})[1], 0);
    b.command({21});
    b.board.advance_clock(2000);
    EXPECT_EQ(b.command({84})[1], 1);
    EXPECT_EQ(b.command({23})[1], 4);
}

// ------------------------------------------------------------------ inputs

TEST(FirmwareInputs, ExternalStartNeedsControlMode1) {
    Board b;
    b.write_list(500000, {{2, 7, 0, 0}, kEnd});
    b.command({24, 7, 0xA120});        // external start at list 2
    b.firmware().raise_external_start();
    EXPECT_EQ(b.command({50})[1], 0);  // ignored: external starts are off
    b.command({41, 1});
    b.firmware().raise_external_start();
    EXPECT_EQ(b.command({50})[1], 0x02 << 10);
    EXPECT_EQ(b.command({50})[1], 0);  // read and cleared
    EXPECT_EQ(b.command({23})[1], 7);
    EXPECT_EQ(b.command({13})[2], 1);  // one external start counted
}

TEST(FirmwareInputs, ListEntrySetsTheExternalStartPosition) {
    Board b;
    b.write_list(0, {{34, 0, 20, 0}, {34, 0x000F, 0x4240, 0}, kEnd}); // 20, then 1000000: kept 20
    b.write_list(20, {{2, 4, 0, 0}, kEnd});
    b.command({1});
    b.command({41, 1});
    b.firmware().raise_external_start();
    EXPECT_EQ(b.command({50})[1], 0x02 << 10);
    EXPECT_EQ(b.command({23})[1], 4);
}

TEST(FirmwareInputs, StopInputStopsTheListOnTime) {
    for (double speed : {0.0, 1.0}) {
        SCOPED_TRACE(speed);
        Board b({.speed = speed, .stop_input_at_us = 1500.0});
        b.write_list(0, {{23, 1, 0, 100}, {23, 1, 0, 100}, {23, 1, 0, 100}, {23, 1, 0, 100}, kEnd});
        EXPECT_EQ(b.command({50})[1], 0); // nothing ran yet: no stop at rest
        b.command({1});
        b.board.advance_clock(5000);
        EXPECT_EQ(b.command({84})[1], 1);
        EXPECT_EQ(b.command({50})[1], 0x08 << 10);
        EXPECT_EQ(b.command({23})[1], 2); // the second jump was under way
    }
}

TEST(FirmwareInputs, ListConditionsReadTheInputs) {
    Board b;
    b.firmware().set_inputs(0x0004);
    b.write_list(0, {{41, 0x0004, 0, 10}, {2, 1, 0, 0}, kEnd});
    b.write_list(10, {{2, 2, 0, 0}, kEnd});
    EXPECT_EQ(b.command({9})[1], 0x0004);
    b.command({1});
    EXPECT_EQ(b.command({23})[1], 2);
}

// ------------------------------------------------------------------ memory

TEST(FirmwareMemory, ClearListForgetsTheLists) {
    Board b;
    b.write_list(0, {{2, 1, 0, 0}, kEnd});
    b.write_list(500000, {{2, 1, 0, 0}, kEnd});
    b.command({83});
    EXPECT_EQ(b.board.peek(0x20000), kUnwrittenWord);
    EXPECT_EQ(b.board.peek(0x20000 + 2000000), kUnwrittenWord);
    EXPECT_EQ(b.board.peek(0x10000), 0); // other memory keeps its zeros
}

TEST(FirmwareMemory, TakesAProgramOverUpToItsTerminator) {
    Board b({.speed = 1.0});
    b.write_list(0, {{21, 1, 0, 100}, kEnd});
    b.command({1});
    b.write(0x20000, {0x12, 0x34, 0xFF, 10000});
    EXPECT_EQ(b.command({87})[0], 0);
    EXPECT_EQ(b.firmware().program_words(), 3u);
    EXPECT_EQ(b.command({84})[1], 1); // lists stopped
}

// ------------------------------------------------------------------ motion file

TEST(MotionFile, OneFlushedLinePerVectorAndError) {
    const auto path = std::filesystem::temp_directory_path() /
                      ("quarnel_motion_" + std::to_string(::getpid()) + ".txt");
    auto file = std::make_shared<MotionFile>();
    ASSERT_TRUE(file->open(path.string()));
    Board b;
    b.firmware().set_motion_file(file);
    b.write_list(0, {{2, 10, u(-20), 3}, {3, 11, 12, 0}, {0xFFFF, 0, 0, 0}});
    b.command({1});
    b.command({84});
    std::ifstream in(path); // read while the file is still open: every line is out already
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(),
              "JUMP 10 -20 3\nMARK 11 12 0\nERROR list position 2: unwritten list memory\n");
    std::filesystem::remove(path);
}

} // namespace
} // namespace quarnel::sim
