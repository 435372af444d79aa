// The point grid through the library's exports into a simulated board that executes its
// lists: the set-up list and each dot's list as they stand in list memory, and what the head
// does.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <array>
#include <fstream>
#include <memory>

#include "../core/fake_run_window.h"
#include "../core/fakes.h"
#include "grid_dialog.h"
#include "library_binding.h"
#include "point_grid.h"
#include "quarnel4.h"
#include "sim/list_firmware.h"
#include "sim/sim_motion.h"
#include "sim_bus.h"

namespace ondrel {
namespace {

using fakes::FakeRunWindow;
using Lines = std::vector<std::string>;
using Entry = std::array<std::uint16_t, 4>;

constexpr std::uint32_t kListMemory = 0x20000;

class BoardGrid {
public:
    BoardGrid() : bus_("2d") {
        state.CorrectionLoaded = 1;
        state.parameters.GridPoints = 2;
        motionPath_ = bus_.directory() + "/motion.txt";
        auto file = std::make_shared<quarnel::sim::MotionFile>();
        EXPECT_TRUE(file->open(motionPath_));
        bus_.board(1).with_lock([&](quarnel::sim::SimBoard& board) {
            dynamic_cast<quarnel::sim::ListFirmware&>(board.firmware()).set_motion_file(file);
        });
    }
    void Run() { RunPointGrid(state, board, notifier, window, [] {}); }
    std::vector<Entry> List(std::uint32_t count) {
        std::vector<Entry> entries(count);
        for (std::uint32_t p = 0; p < count; ++p)
            for (std::uint32_t w = 0; w < 4; ++w) entries[p][w] = bus_.board(1).peek(kListMemory + 4 * p + w);
        return entries;
    }
    // Pipe transfers so far, and one of them (counted from 1) made to fail or time out, as the
    // board's fail_transfer and timeout_transfer keys do.
    std::uint64_t Transfers() { return bus_.board(1).transfers(); }
    void FailTransfer(std::uint64_t number, bool timeOut = false) { bus_.board(1).fail_transfer(number, timeOut); }
    // The head at the centre, the analog output and the 8-bit port off, no list running.
    void ExpectParked() {
        bus_.board(1).with_lock([&](quarnel::sim::SimBoard& board) {
            const quarnel::sim::ListExecutor& board_ =
                dynamic_cast<quarnel::sim::ListFirmware&>(board.firmware()).executor();
            EXPECT_EQ(board_.head(), quarnel::sim::HeadPosition{});
            EXPECT_EQ(board_.outputs().analog[0], 0);
            EXPECT_EQ(board_.outputs().port_8bit, 0);
            EXPECT_FALSE(board_.busy());
        });
    }
    Lines Motion() const {
        Lines lines;
        std::ifstream in(motionPath_);
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }

    ConverterState state;
    fakes::RecordingNotifier notifier;
    FakeRunWindow window{state};

private:
    quarnel::testing::CurrentBus bus_;
    std::string motionPath_;

public:
    SharedBoard board{BoundLibrary()};
};

std::uint16_t Word(int value) { return static_cast<std::uint16_t>(value); }

TEST(PointGridOnBoard, SetUpListAndTheFirstDotInListMemory) {
    BoardGrid grid;
    std::vector<Entry> setup, dot;
    grid.window.onPump = [&](int pump) {
        if (pump == 1) setup = grid.List(8);
        if (pump == 2) dot = grid.List(153);
    };
    grid.Run();

    // Speeds, laser timing, laser delays, scanner delays, analog output, port, end of list.
    ASSERT_EQ(setup.size(), 8u);
    const std::uint16_t opcodes[] = {12, 13, 26, 14, 15, 7, 6, 1};
    for (std::size_t p = 0; p < 8; ++p) EXPECT_EQ(setup[p][0], opcodes[p]) << p;
    EXPECT_EQ(setup[2], (Entry{26, 400, 40, 40}));
    EXPECT_EQ(setup[4], (Entry{15, 50, 20, 10}));
    EXPECT_EQ(setup[5], (Entry{7, 0, 0, 0}));

    ASSERT_EQ(dot.size(), 153u);
    EXPECT_EQ(dot[0], (Entry{2, Word(-962), Word(-962), 0}));
    EXPECT_EQ(dot[1], (Entry{3, Word(-876), Word(-944), 0}));
    EXPECT_EQ(dot[150], (Entry{3, Word(-522), Word(-962), 0}));
    EXPECT_EQ(dot[151], (Entry{3, Word(-532), Word(-871), 0}));
    EXPECT_EQ(dot[152], (Entry{1, 0, 0, 0}));
}

TEST(PointGridOnBoard, HeadMarksEveryDotThenParksAtTheCentre) {
    BoardGrid grid;
    grid.Run();
    const Lines motion = grid.Motion();
    ASSERT_EQ(motion.size(), 4u * 152u + 1u);
    EXPECT_EQ(motion[0], "JUMP -962 -962 0");
    EXPECT_EQ(motion[1], "MARK -876 -944 0");
    EXPECT_EQ(motion[152], "JUMP 962 -962 0");
    EXPECT_EQ(std::count_if(motion.begin(), motion.end(), [](const std::string& l) { return l.rfind("MARK", 0) == 0; }),
              4 * 151);
    EXPECT_EQ(motion.back(), "JUMP 0 0 0");
    EXPECT_EQ(read_status() & 0x30, 0);
    EXPECT_EQ(usb_status(), 0u);
}

TEST(PointGridOnBoard, StopAfterTheFirstDotParksTheHead) {
    BoardGrid grid;
    grid.window.onPump = [&](int pump) {
        if (pump == 2) grid.window.PressStop();
    };
    grid.Run();
    const Lines motion = grid.Motion();
    ASSERT_EQ(motion.size(), 152u + 1u);
    EXPECT_EQ(motion.back(), "JUMP 0 0 0");
    EXPECT_EQ(grid.state.StopRequested, 1);
    EXPECT_FALSE(grid.state.RunInProgress);
}

bool StartsWith(const Lines& lines, const Lines& prefix) {
    return lines.size() <= prefix.size() && std::equal(lines.begin(), lines.end(), prefix.begin());
}

// A single failed or timed-out transfer, from the first command to the end sequence's last
// status read, with the outputs on: the run ends in the stop path (or with the end list already
// started), the head parked with the outputs off, no vector marked twice, and the box once. A
// board gone for good in the middle of the run: the run still ends, with its box.
TEST(PointGridOnBoard, AFailedTransferEndsInTheStopPathAndTheBox) {
    auto prepare = [](BoardGrid& grid) {
        grid.state.parameters.DigitalAnalogConverter1 = 50;
        grid.state.parameters.EightBitPort = 7;
    };
    std::uint64_t first = 0, last = 0;
    Lines clean;
    {
        BoardGrid grid;
        prepare(grid);
        first = grid.Transfers() + 1;
        grid.Run();
        last = grid.Transfers();
        ASSERT_TRUE(grid.notifier.boxes.empty());
        clean = grid.Motion();
        ASSERT_EQ(clean.size(), 4u * 152u + 1u);
    }
    for (const bool timeOut : {false, true})
        for (std::uint64_t n = first; n <= last + 1; ++n) {
            const bool gone = n > last;
            const std::uint64_t from = gone ? (first + last) / 2 : n;
            SCOPED_TRACE(testing::Message() << (timeOut ? "time-out of" : "failure of") << " transfer " << from
                                            << (gone ? " on" : "") << " of " << first << ".." << last);
            BoardGrid grid;
            prepare(grid);
            for (std::uint64_t k = from; k <= (gone ? from + 1000 : from); ++k) grid.FailTransfer(k, timeOut);
            grid.Run();
            EXPECT_EQ(grid.notifier.boxes.size(), 1u);
            for (const fakes::RecordingNotifier::Box& box : grid.notifier.boxes)
                EXPECT_EQ(box.text, "Quarnel not Ready!");
            EXPECT_TRUE(StartsWith(grid.Motion(), clean)) << grid.Motion().size() << " vectors";
            if (!gone) grid.ExpectParked();
            EXPECT_FALSE(grid.window.shown);
            EXPECT_TRUE(grid.window.mainEnabled);
            EXPECT_FALSE(grid.state.RunInProgress);
        }
}

// The System Status or I/O window polls the board while the grid waits for a dot or for its
// end list, and the poll's transfer fails: the grid ends in its stop path and the box, as for
// its own.
TEST(PointGridOnBoard, AFailedTransferInAnotherWindowsPollEndsTheGrid) {
    for (const fakes::WindowPoll& window : fakes::kWindowPolls)
        for (int atPump = 1; atPump <= 6; ++atPump) { // the set-up list's wait, the four dots', the end's
            SCOPED_TRACE(testing::Message() << window.window << " at pump " << atPump);
            BoardGrid grid;
            grid.window.onPump = [&](int pump) {
                if (pump != atPump) return;
                grid.FailTransfer(grid.Transfers() + 1);
                window.poll(grid.board);
            };
            grid.Run();
            ASSERT_EQ(grid.notifier.boxes.size(), 1u);
            EXPECT_EQ(grid.notifier.boxes[0].text, "Quarnel not Ready!");
            const std::size_t dots = static_cast<std::size_t>(std::min(atPump - 1, 4));
            EXPECT_EQ(grid.Motion().size(), dots * 152u + (atPump == 6 ? 1u : 0u));
            grid.ExpectParked();
            EXPECT_FALSE(grid.state.RunInProgress);
        }
}

} // namespace
} // namespace ondrel
