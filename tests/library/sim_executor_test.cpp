// The simulated board's list executor, fed with raw list entries as the library lays them out.
#include "sim/list_executor.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <unordered_map>
#include <vector>

namespace quarnel::sim {
namespace {

using Entry = std::array<std::uint16_t, 4>;
constexpr double kFlatOut = std::numeric_limits<double>::infinity();

class MapMemory : public WordMemory {
public:
    std::uint16_t read_word(std::uint32_t a) const override {
        auto it = words.find(a);
        return it == words.end() ? kUnwrittenWord : it->second;
    }
    void write_word(std::uint32_t a, std::uint16_t v) override { words[a] = v; }
    void clear_words(std::uint32_t first, std::uint32_t count) override {
        for (std::uint32_t a = first; a < first + count; ++a) words.erase(a);
    }
    void put(std::uint32_t position, const std::vector<Entry>& entries) {
        for (const Entry& e : entries) {
            for (int i = 0; i < 4; ++i) write_word(kListBase + 4 * position + i, e[i]);
            ++position;
        }
    }
    std::unordered_map<std::uint32_t, std::uint16_t> words;
};

struct Recorder : ExecutionSink {
    void vector(VectorKind kind, const HeadPosition& p) override {
        lines.push_back((kind == VectorKind::Jump ? "JUMP " : "MARK ") + std::to_string(p.x) +
                        " " + std::to_string(p.y) + " " + std::to_string(p.z));
    }
    void error(const std::string& message) override { lines.push_back("ERROR " + message); }
    std::vector<std::string> lines;
};

constexpr std::uint16_t u(int v) { return static_cast<std::uint16_t>(v); }
constexpr Entry kEnd{1, 0, 0, 0};
// Speed words for 1000 Bit/ms (c = 1677722).
constexpr Entry kJumpSpeed1000{12, 0x0019, 0x999A, 0};
constexpr Entry kMarkSpeed1000{13, 0x0019, 0x999A, 0};

struct Board {
    Board() { exec.set_sink(&rec); }
    std::uint64_t run(std::uint32_t start = 0) {
        exec.start(start);
        return exec.advance(mem, kFlatOut, 10'000'000);
    }
    MapMemory mem;
    Recorder rec;
    ListExecutor exec;
};

// ------------------------------------------------------------------ vectors

struct VectorCase {
    const char* name;
    std::vector<Entry> list; // an end entry is appended
    std::vector<std::string> lines;
};

class ExecutorVectors : public testing::TestWithParam<VectorCase> {};

TEST_P(ExecutorVectors, WritesTheVectorsTheEntriesDescribe) {
    Board b;
    std::vector<Entry> list = GetParam().list;
    list.push_back(kEnd);
    b.mem.put(0, list);
    b.run();
    EXPECT_EQ(b.rec.lines, GetParam().lines);
    EXPECT_FALSE(b.exec.busy());
    EXPECT_TRUE(b.exec.errors().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Entries, ExecutorVectors,
    testing::Values(
        VectorCase{"Absolute", {{2, 100, u(-200), 5}, {3, u(-32768), 32767, 0}},
                   {"JUMP 100 -200 5", "MARK -32768 32767 0"}},
        VectorCase{"Relative", {{2, 10, 10, 1}, {4, 5, u(-20), 1}, {5, u(-15), 0, u(-2)}},
                   {"JUMP 10 10 1", "JUMP 15 -10 2", "MARK 0 -10 0"}},
        VectorCase{"RelativeStopsAtTheFieldEdge", {{2, 32000, u(-32000), 0}, {5, 1000, u(-1000), 0}},
                   {"JUMP 32000 -32000 0", "MARK 32767 -32768 0"}},
        VectorCase{"TimedKeepZ",
                   {{2, 0, 0, 7}, {21, 50, 60, 1}, {22, 1, 2, 1}, {23, 10, 10, 1}, {24, 1, 1, 0xFFFF}},
                   {"JUMP 0 0 7", "JUMP 50 60 7", "MARK 1 2 7", "JUMP 11 12 7", "MARK 12 13 7"}},
        VectorCase{"ZOutMovesOnlyZ", {{19, 32768 + 40, 0, 0}, {4, 1, 0, 0}}, {"JUMP 1 0 40"}},
        VectorCase{"OffsetAndMatrix",
                   // swap x and y (m11 = m22 = 0, m12 = m21 = 1.0), then shift by (5, -5)
                   {{45, 0, 0, 0}, {45, 1, 0x0100, 0}, {45, 2, 0x0100, 0}, {45, 3, 0, 0},
                    {9, 5, u(-5), 0}, {2, 100, 200, 0}, {5, 1, 0, 0}},
                   {"JUMP 205 95 0", "MARK 205 96 0"}},
        VectorCase{"PixelLineSkipsItsDataEntry", {{33, 0, 4, 0}, {0, 0x8000, 2, 0}, {2, 1, 1, 0}},
                   {"JUMP 1 1 0"}},
        VectorCase{"SettingsOnly",
                   {{14, 100, 2, 3}, {20, 1, 100, 99}, {25, 10, 5, 5}, {26, 10, 5, 5},
                    {27, 10000, 1049, 0}, {28, 0x20, 0, 1}, {53, 0, 0, 0}, {60, 3, 2, 10},
                    {70, 0, 0, 0}, {73, 2, 10, 1}, {74, 0x12, 0, 7}, {75, 0, 0, 0}}, {}}),
    [](const testing::TestParamInfo<VectorCase>& info) { return std::string(info.param.name); });

struct ArcCase {
    const char* name;
    Entry arc;
    HeadPosition centre, end;
    int chords;
    bool counter_clockwise;
};

class ExecutorArcs : public testing::TestWithParam<ArcCase> {};

TEST_P(ExecutorArcs, MarksChordsOnTheCircleToTheEndPoint) {
    const ArcCase& c = GetParam();
    Board b;
    b.mem.put(0, {{2, 100, 0, 3}, c.arc, kEnd});
    b.run();
    ASSERT_EQ(static_cast<int>(b.rec.lines.size()), 1 + c.chords);
    EXPECT_EQ(b.rec.lines.back(), "MARK " + std::to_string(c.end.x) + " " +
                                      std::to_string(c.end.y) + " 3");
    // every chord end lies on the circle, and the first one turns the stated way
    const double radius = std::hypot(100.0 - c.centre.x, 0.0 - c.centre.y);
    for (std::size_t i = 1; i < b.rec.lines.size(); ++i) {
        int x = 0, y = 0, z = 0;
        ASSERT_EQ(std::sscanf(b.rec.lines[i].c_str(), "MARK %d %d %d", &x, &y, &z), 3);
        EXPECT_NEAR(std::hypot(x - c.centre.x, y - c.centre.y), radius, 1.0);
        if (i == 1) {
            EXPECT_EQ(y > 0, c.counter_clockwise);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Entries, ExecutorArcs,
    testing::Values(
        ArcCase{"AbsoluteQuarterCounterClockwise", {63, 0, 0, 16384}, {0, 0, 0}, {0, 100, 0}, 18, true},
        ArcCase{"AbsoluteQuarterClockwise", {64, 0, 0, 16384}, {0, 0, 0}, {0, -100, 0}, 18, false},
        ArcCase{"RelativeHalfTurn", {61, u(-50), 0, 32768}, {50, 0, 0}, {0, 0, 0}, 36, true},
        ArcCase{"FullTurnComesBack", {62, u(-100), 0, 0xFFFF}, {0, 0, 0}, {100, 0, 0}, 72, false}),
    [](const testing::TestParamInfo<ArcCase>& info) { return std::string(info.param.name); });

// ------------------------------------------------------------------ list flow

struct FlowCase {
    const char* name;
    std::vector<std::pair<std::uint32_t, std::vector<Entry>>> lists;
    std::uint16_t inputs;
    std::vector<std::string> lines;
};

class ExecutorFlow : public testing::TestWithParam<FlowCase> {};

TEST_P(ExecutorFlow, FollowsJumpsCallsAndConditions) {
    Board b;
    for (const auto& [position, entries] : GetParam().lists) b.mem.put(position, entries);
    b.exec.set_inputs(GetParam().inputs);
    b.run();
    EXPECT_EQ(b.rec.lines, GetParam().lines);
    EXPECT_FALSE(b.exec.busy());
}

INSTANTIATE_TEST_SUITE_P(
    Lists, ExecutorFlow,
    testing::Values(
        FlowCase{"ListJumpAcrossTheHalves",
                 {{0, {{2, 1, 0, 0}, {16, 7, 0xA120, 0}}}, {500000, {{2, 2, 0, 0}, kEnd}}},
                 0,
                 {"JUMP 1 0 0", "JUMP 2 0 0"}},
        FlowCase{"CallAndReturnNest",
                 {{0, {{17, 0, 100, 0}, {2, 9, 0, 0}, kEnd}},
                  {100, {{2, 1, 0, 0}, {17, 0, 200, 0}, {18, 0, 0, 0}}},
                  {200, {{2, 2, 0, 0}, {18, 0, 0, 0}}}},
                 0,
                 {"JUMP 1 0 0", "JUMP 2 0 0", "JUMP 9 0 0"}},
        // 999999 = 0xF423F: bits 16-19 ride in bits 12-15 of the opcode word
        FlowCase{"ConditionalJumpHighPosition",
                 {{0, {{41 + 15 * 4096, 0, 0, 0x423F}, kEnd}},
                  {999999, {{16, 0, 5, 0}}},
                  {5, {{2, 3, 0, 0}, kEnd}}},
                 0,
                 {"JUMP 3 0 0"}},
        FlowCase{"ConditionNeedsSetBitsPresent",
                 {{0, {{41, 0x0005, 0, 10}, {2, 1, 0, 0}, kEnd}}, {10, {{2, 2, 0, 0}, kEnd}}},
                 0x0001,
                 {"JUMP 1 0 0"}},
        FlowCase{"ConditionNeedsClearBitsAbsent",
                 {{0, {{41, 0x0001, 0x0002, 10}, {2, 1, 0, 0}, kEnd}}, {10, {{2, 2, 0, 0}, kEnd}}},
                 0x0001,
                 {"JUMP 2 0 0"}},
        FlowCase{"ConditionalCallReturnsBehindIt",
                 {{0, {{42, 0x0003, 0, 10}, {2, 1, 0, 0}, kEnd}}, {10, {{2, 2, 0, 0}, {18, 0, 0, 0}}}},
                 0x0003,
                 {"JUMP 2 0 0", "JUMP 1 0 0"}}),
    [](const testing::TestParamInfo<FlowCase>& info) { return std::string(info.param.name); });

// ------------------------------------------------------------------ errors

struct ErrorCase {
    const char* name;
    std::vector<Entry> list;
    std::string error;
};

class ExecutorErrors : public testing::TestWithParam<ErrorCase> {};

TEST_P(ExecutorErrors, StopsAndReportsTheEntry) {
    Board b;
    b.mem.put(0, GetParam().list);
    b.run();
    ASSERT_EQ(b.exec.errors().size(), 1u);
    EXPECT_EQ(b.exec.errors()[0], GetParam().error);
    EXPECT_EQ(b.rec.lines.back(), "ERROR " + GetParam().error);
    EXPECT_FALSE(b.exec.busy());
}

INSTANTIATE_TEST_SUITE_P(
    Lists, ExecutorErrors,
    testing::Values(
        // A partial batch that never reached the board: the list runs into unwritten words.
        ErrorCase{"MissingFlush", {{2, 1, 1, 0}, {3, 2, 2, 0}},
                  "list position 2: unwritten list memory"},
        ErrorCase{"UnknownOpcode", {{2, 1, 1, 0}, {35, 0, 0, 0}},
                  "list position 1: unknown list opcode 35"},
        ErrorCase{"PositionBitsOnAPlainOpcode", {{2 + 4096, 0, 0, 0}},
                  "list position 0: unknown list opcode 4098"},
        ErrorCase{"ReturnWithoutCall", {{18, 0, 0, 0}}, "list position 0: list return without a call"},
        ErrorCase{"EndlessRecursion", {{17, 0, 0, 0}}, "list position 0: list calls nested too deep"},
        ErrorCase{"JumpBeyondListMemory", {{16, 0x000F, 0x4240, 0}},
                  "list position 0: list jump outside list memory"},
        ErrorCase{"SpeedWordZero", {{12, 0, 0, 0}}, "list position 0: speed word 0"},
        ErrorCase{"MatrixIndex", {{45, 4, 0, 0}}, "list position 0: matrix element 4"}),
    [](const testing::TestParamInfo<ErrorCase>& info) { return std::string(info.param.name); });

TEST(ExecutorErrors, RunningOffTheEndOfListMemory) {
    Board b;
    b.mem.put(999999, {{0, 0, 0, 0}});
    b.run(999999);
    ASSERT_EQ(b.exec.errors().size(), 1u);
    EXPECT_EQ(b.exec.errors()[0], "list position 999999: ran past the end of list memory");
}

// ------------------------------------------------------------------ clock

TEST(ExecutorClock, VectorsTakeTheirTimeAtTheListSpeeds) {
    Board b;
    // 1000 Bit/ms both ways: a 3000-bit jump takes 3 ms, a 4000-bit mark 4 ms.
    b.mem.put(0, {kJumpSpeed1000, kMarkSpeed1000, {44, 0, 0, 0}, {2, 3000, 0, 0},
                  {3, 3000, 4000, 0}, {44, 0, 0, 0}, kEnd});
    b.exec.start(0);
    b.exec.advance(b.mem, 0.0, 100);
    EXPECT_TRUE(b.exec.busy());
    EXPECT_EQ(b.exec.position(), 3u); // the jump is under way
    b.exec.advance(b.mem, 1500.0, 100);
    EXPECT_EQ(b.exec.head(), (HeadPosition{1500, 0, 0}));
    EXPECT_FALSE(b.exec.laser_on());
    b.exec.advance(b.mem, 5000.0, 100);
    EXPECT_EQ(b.exec.position(), 4u);
    EXPECT_EQ(b.exec.head(), (HeadPosition{3000, 2000, 0}));
    EXPECT_TRUE(b.exec.laser_on());
    EXPECT_TRUE(b.exec.busy());
    b.exec.advance(b.mem, 7100.0, 100); // c = 1677722 is a hair slower than 1000 Bit/ms
    EXPECT_FALSE(b.exec.busy());
    EXPECT_FALSE(b.exec.laser_on());
    EXPECT_EQ(b.exec.saved_timer_ticks(), 700u); // 7 ms in 10 us ticks
    EXPECT_EQ(b.exec.position(), 6u);
}

TEST(ExecutorClock, SpeedWordsDecodeToBitsPerMillisecond) {
    struct Case {
        Entry entry;
        double jump, mark;
    };
    const Case cases[] = {
        {{12, 0x0019, 0x999A, 0}, 1000.0, 250.0},
        {{12, 0x6F1C, 0x71C7, 0}, 0.9, 250.0},     // the slowest speed the library sends
        {{13, 0, 0x8312, 0xFFFF}, 1000.0, 50001.0}, // the fastest
    };
    for (const Case& c : cases) {
        Board b;
        b.mem.put(0, {c.entry, kEnd});
        b.run();
        EXPECT_NEAR(b.exec.jump_speed(), c.jump, c.jump * 1e-4);
        EXPECT_NEAR(b.exec.mark_speed(), c.mark, c.mark * 1e-4);
    }
}

TEST(ExecutorClock, DelaysAddToTheListTime) {
    struct Case {
        const char* name;
        std::vector<Entry> body;
        std::uint32_t ticks;
    };
    // Scanner delays: jump 10 ticks, mark 20, polygon 5. Timed vectors take their own ticks.
    const Entry delays{15, 10, 20, 5};
    const Case cases[] = {
        {"JumpDelayAfterEachJump", {delays, {21, 1, 0, 3}, {4, 0, 0, 0}}, 3 + 10 + 0 + 10},
        // the mark delay at the end of the list falls after the second timer save
        {"PolygonDelayBetweenMarks", {delays, {22, 1, 0, 3}, {22, 2, 0, 3}}, 3 + 5 + 3},
        {"MarkDelayBeforeAJump", {delays, {22, 1, 0, 3}, {23, 2, 0, 3}}, 3 + 20 + 3 + 10},
        {"LongDelay", {{10, 65000, 0, 0}}, 65000},
        {"LaserOnInPlace", {{11, 250, 0, 0}}, 250},
        {"TimedMoveTicks", {{24, 1, 0, 0xFFFF}}, 0xFFFF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Board b;
        std::vector<Entry> list{{44, 0, 0, 0}};
        list.insert(list.end(), c.body.begin(), c.body.end());
        list.push_back({44, 0, 0, 0});
        list.push_back(kEnd);
        b.mem.put(0, list);
        b.run();
        EXPECT_EQ(b.exec.saved_timer_ticks(), c.ticks);
    }
}

TEST(ExecutorClock, FlatOutMovesTheClockOnlyWithTheList) {
    Board b;
    b.mem.put(0, {{10, 100, 0, 0}, kEnd}); // 1 ms
    b.exec.start(0);
    b.exec.advance(b.mem, 5000.0, 100, ListExecutor::Pace::FlatOut);
    EXPECT_EQ(b.exec.now_us(), 1000.0);
    b.exec.advance(b.mem, 5000.0, 100, ListExecutor::Pace::Clocked);
    EXPECT_EQ(b.exec.now_us(), 5000.0);
    // an endless list that uses up its budget stops the clock where it got to
    b.mem.put(10, {{10, 1, 0, 0}, {16, 0, 10, 0}});
    b.exec.start(10);
    b.exec.advance(b.mem, 1e9, 10, ListExecutor::Pace::Clocked);
    EXPECT_EQ(b.exec.now_us(), 5050.0);
}

TEST(ExecutorClock, LaserOnListKeepsTheLaserOnForItsTime) {
    Board b;
    b.mem.put(0, {{11, 100, 0, 0}, kEnd});
    b.exec.start(0);
    b.exec.advance(b.mem, 500.0, 10);
    EXPECT_TRUE(b.exec.laser_on());
    b.exec.advance(b.mem, 1000.0, 10);
    EXPECT_FALSE(b.exec.laser_on());
    EXPECT_FALSE(b.exec.busy());
}

// ------------------------------------------------------------------ control

TEST(ExecutorControl, AutoChangeChainsTheOtherListWhileBusy) {
    Board b;
    b.mem.put(0, {{21, 1, 0, 100}, kEnd});
    b.mem.put(500000, {{21, 2, 0, 100}, kEnd});
    b.exec.start(0);
    b.exec.advance(b.mem, 10.0, 100);
    b.exec.auto_change();
    b.exec.advance(b.mem, 1500.0, 100);
    EXPECT_TRUE(b.exec.busy());
    EXPECT_GE(b.exec.position(), 500000u);
    b.exec.advance(b.mem, 2500.0, 100);
    EXPECT_FALSE(b.exec.busy());
    EXPECT_EQ(b.rec.lines, (std::vector<std::string>{"JUMP 1 0 0", "JUMP 2 0 0"}));
}

TEST(ExecutorControl, AutoChangeOnAnIdleBoardStartsTheOtherList) {
    Board b;
    b.mem.put(0, {{2, 1, 0, 0}, kEnd});
    b.mem.put(500000, {{2, 2, 0, 0}, kEnd});
    b.run(0);
    b.exec.auto_change();
    b.exec.advance(b.mem, kFlatOut, 100);
    b.exec.auto_change(); // back to list 1
    b.exec.advance(b.mem, kFlatOut, 100);
    EXPECT_EQ(b.rec.lines, (std::vector<std::string>{"JUMP 1 0 0", "JUMP 2 0 0", "JUMP 1 0 0"}));
}

TEST(ExecutorControl, EndlessLoopRunsInBudgetsUntilStopped) {
    Board b;
    b.mem.put(0, {{2, 1, 0, 0}, {2, 2, 0, 0}, {16, 0, 0, 0}});
    b.exec.start(0);
    EXPECT_EQ(b.exec.advance(b.mem, kFlatOut, 1000), 1000u);
    EXPECT_TRUE(b.exec.busy());
    b.exec.stop();
    EXPECT_FALSE(b.exec.busy());
    EXPECT_EQ(b.exec.advance(b.mem, kFlatOut, 1000), 0u);
    EXPECT_TRUE(b.exec.errors().empty());
}

TEST(ExecutorControl, LoopRepeatsTheListUntilQuit) {
    Board b;
    b.mem.put(0, {{23, 1, 0, 100}, kEnd});
    b.exec.start_loop();
    b.exec.start(0);
    b.exec.advance(b.mem, 2500.0, 100);
    EXPECT_TRUE(b.exec.busy());
    b.exec.quit_loop();
    b.exec.advance(b.mem, kFlatOut, 100);
    EXPECT_FALSE(b.exec.busy());
    // the third pass had begun at 2000 us and ends; no fourth follows
    EXPECT_EQ(b.rec.lines, (std::vector<std::string>{"JUMP 1 0 0", "JUMP 2 0 0", "JUMP 3 0 0"}));
}

TEST(ExecutorControl, WaitHoldsTheListUntilReleased) {
    Board b;
    b.mem.put(0, {{2, 1, 0, 0}, {31, 7, 0, 0}, {2, 2, 0, 0}, kEnd});
    b.run();
    EXPECT_TRUE(b.exec.busy());
    EXPECT_TRUE(b.exec.waiting());
    EXPECT_EQ(b.exec.wait_number(), 7);
    EXPECT_EQ(b.rec.lines.size(), 1u);
    b.exec.release_wait();
    b.exec.advance(b.mem, kFlatOut, 100);
    EXPECT_FALSE(b.exec.busy());
    EXPECT_EQ(b.exec.wait_number(), 0);
    EXPECT_EQ(b.rec.lines.size(), 2u);
}

TEST(ExecutorControl, PauseAndResumeKeepThePlace) {
    Board b;
    b.mem.put(0, {{21, 1, 0, 100}, {21, 2, 0, 100}, kEnd});
    b.exec.start(0);
    b.exec.advance(b.mem, 500.0, 100);
    b.exec.pause();
    b.exec.advance(b.mem, 50000.0, 100);
    EXPECT_TRUE(b.exec.busy());
    EXPECT_EQ(b.exec.position(), 0u);
    b.exec.resume();
    b.exec.advance(b.mem, kFlatOut, 100);
    EXPECT_FALSE(b.exec.busy());
    EXPECT_EQ(b.rec.lines.size(), 2u);
}

TEST(ExecutorControl, OutputsFollowTheListAndItsConditions) {
    Board b;
    b.exec.set_inputs(0x0010);
    b.mem.put(0, {{6, 0xA5, 0, 0}, {7, 5000, 0, 0}, {8, 300, 0, 0}, {30, 0x0F00, 0, 0},
                  {39, 0x0010, 0, 0x0001}, {39, 0x0020, 0, 0x0002}, {40, 0, 0x0020, 0x0100},
                  {37, 0, 0, 0}, {46, 1, 0, 0}, kEnd});
    b.run();
    const BoardOutputs& out = b.exec.outputs();
    EXPECT_EQ(out.port_8bit, 0xA5);
    EXPECT_EQ(out.analog[0], 1023);
    EXPECT_EQ(out.analog[1], 300);
    EXPECT_EQ(out.io_port, 0x0E01);
    EXPECT_FALSE(out.laser_signal);
    EXPECT_EQ(out.control_mode, 1);
}

TEST(ExecutorControl, StartOutsideListMemoryIsAnError) {
    Board b;
    b.exec.start(1000000);
    EXPECT_FALSE(b.exec.busy());
    EXPECT_EQ(b.exec.errors().size(), 1u);
}

} // namespace
} // namespace quarnel::sim
