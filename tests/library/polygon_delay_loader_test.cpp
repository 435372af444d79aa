#include "polygon_delay_loader.h"

#include "ini_reader.h"
#include "locale_number.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>

namespace quarnel {
namespace {

using Table = std::array<std::uint16_t, kVarPolyTableWords>;

std::vector<VarPolyPoint> points_of(const std::string& text, std::uint16_t number = 0, bool checked = false) {
    return read_varpoly_points(IniReader(text, checked), number);
}

// Keeps the locale separator of a test from reaching the next.
class DecimalSeparator {
public:
    explicit DecimalSeparator(std::string separator) : saved_(decimal_separator()) {
        set_decimal_separator(std::move(separator));
    }
    ~DecimalSeparator() { set_decimal_separator(saved_); }

private:
    std::string saved_;
};

TEST(VarPolyAngle, FollowsTheArcCosineOfTheIndex) {
    EXPECT_EQ(varpoly_angle(0), 0.0f);
    EXPECT_EQ(varpoly_angle(256), 60.0f);
    EXPECT_EQ(varpoly_angle(512), 90.0f);
    EXPECT_EQ(varpoly_angle(768), 120.0f);
    EXPECT_EQ(varpoly_angle(1024), 180.0f);
    for (int i = 1; i <= 1024; ++i) {
        ASSERT_GT(varpoly_angle(i), varpoly_angle(i - 1)) << i;
        ASSERT_NEAR(varpoly_angle(i), std::acos(1.0 - i / 512.0) * 180.0 / std::numbers::pi, 1e-4) << i;
    }
}

TEST(VarPolyPoints, AcceptsPointsWithinTheBounds) {
    const DecimalSeparator dot(".");
    struct Case {
        const char* lines;
        bool accepted;
    };
    const Case cases[] = {
        {"Angle1=90\nScale1=1.5", true},
        {"Angle1=-0.01\nScale1=1", true},   // the written bounds themselves pass
        {"Angle1=180.01\nScale1=1", true},
        {"Angle1=0\nScale1=-2", true},      // the sign of a scale is ignored
        {"Angle1=0\nScale1=2.0", true},
        {"Angle1=181\nScale1=1", false},
        {"Angle1=-0.5\nScale1=1", false},
        {"Angle1=90\nScale1=2.5", false},
        {"Angle1=90\nScale1=2.0001", false},
        {"Angle1=90", false},               // a missing scale reads as -10
        {"Scale1=1", false},
        {"Angle1=ninety\nScale1=1", false},
        {"Angle1=1e300\nScale1=1", false},  // beyond a float
        {"Angle1 = 45\nScale1=1", false},   // a blank before '=' is part of the key
        {"ANGLE1=45\nscale1=1", true},
        {"Angle1= 45 \nScale1=1", true},    // spaces around the number only
        {"Angle01=45\nScale01=1", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lines);
        EXPECT_EQ(points_of(std::string("[VarPolyTable0]\n") + c.lines).size(), c.accepted ? 1u : 0u);
    }
}

TEST(VarPolyPoints, ReadsIndexesOneToFiftyInOrderWithGaps) {
    const DecimalSeparator dot(".");
    std::string text = "[VarPolyTable7]\n";
    for (int k = 51; k >= 1; --k) {
        if (k % 10 == 3) continue; // gaps
        text += "Angle" + std::to_string(k) + "=" + std::to_string(k) + "\nScale" + std::to_string(k) + "=0.5\n";
    }
    const auto points = points_of(text, 7);
    ASSERT_EQ(points.size(), 45u); // 1..50 without 3, 13, 23, 33, 43; 51 is never read
    EXPECT_EQ(points.front().angle, 1.0f);
    EXPECT_EQ(points[2].angle, 4.0f);
    EXPECT_EQ(points.back().angle, 50.0f);
    EXPECT_TRUE(points_of(text, 0).empty());
    EXPECT_TRUE(points_of("[VarPolyTable65536]\nAngle1=1\nScale1=1", 0).empty());
}

TEST(VarPolyPoints, ReadTheLocaleSeparatorAndTheBuildsBlanks) {
    {
        const DecimalSeparator comma(",");
        EXPECT_TRUE(points_of("[VarPolyTable0]\nAngle1=45.5\nScale1=1").empty());
        const auto points = points_of("[VarPolyTable0]\nAngle1=45,5\nScale1=1");
        ASSERT_EQ(points.size(), 1u);
        EXPECT_EQ(points[0].angle, 45.5f);
    }
    const DecimalSeparator dot(".");
    EXPECT_TRUE(points_of("[VarPolyTable0]\r\nAngle1 = 45\r\nScale1 = 1\r\n", 0, false).empty());
    EXPECT_EQ(points_of("[VarPolyTable0]\r\nAngle1 = 45\r\nScale1 = 1\r\n", 0, true).size(), 1u);
}

TEST(VarPolyTable, InterpolatesBetweenTheSortedPoints) {
    // One point: (-0.1, 0), (90, 1.5), (180.1, 1.5).
    const Table one = build_varpoly_table({{90.0f, 1.5f}});
    EXPECT_EQ(one[0], 27);
    EXPECT_EQ(one[256], 16393);
    for (int i = 512; i <= 1024; ++i) ASSERT_EQ(one[i], 24576) << i;

    // The order of the points in the file does not matter.
    EXPECT_EQ(build_varpoly_table({{120.0f, 0.5f}, {30.0f, 1.0f}}),
              build_varpoly_table({{30.0f, 1.0f}, {120.0f, 0.5f}}));

    // The sign of a scale is dropped; 2.0 is written as 0x7FFF.
    const Table flat = build_varpoly_table({{0.0f, -1.0f}, {180.0f, -1.0f}});
    EXPECT_EQ(flat[1], 16384);
    EXPECT_EQ(flat[1024], 16384);
    const Table two = build_varpoly_table({{0.0f, 2.0f}, {180.0f, 2.0f}});
    EXPECT_EQ(two[600], 0x7FFF);
    EXPECT_EQ(two[1024], 0x7FFF);

    // 180.1 takes the scale of the largest angle, the first of equal ones.
    const Table end = build_varpoly_table({{60.0f, 1.0f}, {60.0f, 0.25f}});
    EXPECT_EQ(end[1024], 16384);
}

TEST(VarPolyTable, PointsOfEqualAngleMakeAStepWithoutAGap) {
    // Sorted: (-0.1, 0), (90, 2), (90, 1), (180.1, 1): the exchange sort puts the later
    // point first, which ends the segment below 90; the other begins the one above.
    const Table step = build_varpoly_table({{90.0f, 1.0f}, {90.0f, 2.0f}});
    EXPECT_EQ(step[512], 0x7FFF);
    EXPECT_EQ(step[513], 16384);
    EXPECT_EQ(step[1024], 16384);
    EXPECT_LT(step[511], step[512]);
}

TEST(ZTable, PacksTheCoefficients) {
    using Words = std::array<std::uint16_t, 4>;
    EXPECT_EQ(z_table_words(0, 0, -0.5), (Words{0, 0, 0xC000, 0x0000}));
    EXPECT_EQ(z_table_words(32766, 31, 0.8999), (Words{32766, 31744, 0x732F, 0xEC57}));
    EXPECT_EQ(z_table_words(-1, -1, 0.25), (Words{0xFFFF, 0xFC00, 0x2000, 0x0000}));
    EXPECT_EQ(z_table_words(2.5, 0.5 / 1024, 0), (Words{2, 0, 0, 0})); // halves to even
    EXPECT_EQ(z_table_words(3.5, 1.5 / 1024, 0), (Words{4, 2, 0, 0}));
}

} // namespace
} // namespace quarnel

// ---- Loading into a simulated board ----

#include "loader_bus.h"

namespace quarnel {
namespace {

const char kOnePoint[] = "[Correction]\r\nFile=x.ctb\r\n[VarPolyTable0]\r\nAngle1=90\r\nScale1=1.5\r\n";

TEST(VarPolyLoader, ResultCodesComeInTheOrderOfTheChecks) {
    const DecimalSeparator dot(".");
    struct Case {
        const char* name;
        std::uint32_t board;
        bool owner;
        const char* text;      // the file's text; nullptr: no file
        const char* given;     // the name given; nullptr: the file's
        std::uint16_t number;
        std::int16_t expected;
    };
    const Case cases[] = {
        {"not owner", 0, false, kOnePoint, "", 0, 8},
        {"board 0", 0, true, kOnePoint, nullptr, 0, 11},
        {"board 2 of 1", 2, true, kOnePoint, nullptr, 0, 11},
        {"empty name", 1, true, kOnePoint, "", 0, 10},
        {"name ends in a backslash", 1, true, kOnePoint, "settings\\", 0, 10},
        {"missing file", 1, true, nullptr, nullptr, 0, 13},
        {"other table number", 1, true, kOnePoint, nullptr, 1, 13},
        {"no accepted point", 1, true, "[VarPolyTable0]\nAngle1=190\nScale1=1\n", nullptr, 0, 13},
        {"one point", 1, true, kOnePoint, nullptr, 0, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testing::LoaderBus sim("2d");
        if (!c.owner) sim.ctx.owns_boards = 0;
        std::string file = sim.path("Quarnel4.ini");
        if (c.text) sim.write_text("Quarnel4.ini", c.text);
        const std::uint64_t before = sim.transfers();

        EXPECT_EQ(load_varpolydelay(sim.ctx, c.board, c.given ? c.given : file.c_str(), c.number), c.expected);
        if (c.expected >= 0) {
            EXPECT_EQ(sim.transfers(), before) << "a refused load touched the board";
        }
    }
}

TEST(VarPolyLoader, WritesTheWholeTableInPackets) {
    const DecimalSeparator dot(".");
    testing::LoaderBus sim("3d");
    std::string text = "[VarPolyTable3]\n";
    for (int k = 1; k <= 50; ++k)
        text += "Angle" + std::to_string(k) + "=" + std::to_string(k * 3.5) + "\nScale" + std::to_string(k) +
                "=" + std::to_string(0.5 + k / 50.0) + "\n";
    const std::string name = sim.write_text("table.ini", text);
    sim.mark();

    EXPECT_EQ(load_varpolydelay(sim.ctx, 1, name.c_str(), 3), -50);

    const auto table = build_varpoly_table(read_varpoly_points(IniReader(text, false), 3));
    EXPECT_EQ(sim.memory(1, kVarPolyTableAddress, kVarPolyTableWords),
              std::vector<std::uint16_t>(table.begin(), table.end()));
    EXPECT_EQ(sim.board(1).peek(kVarPolyTableAddress + kVarPolyTableWords), 0);
    const auto writes = sim.memory_writes();
    ASSERT_EQ(writes.size(), 36u);
    EXPECT_EQ(writes[35].word_address(), 0x23F7u);
    EXPECT_EQ(writes[35].word_count(), 10u);
}

TEST(VarPolyLoader, KnownWordsOfOnePoint) {
    const DecimalSeparator dot(".");
    testing::LoaderBus sim("2d");
    const std::string name = sim.write_text("Quarnel4.ini", kOnePoint);
    EXPECT_EQ(load_varpolydelay(sim.ctx, 1, name.c_str(), 0), -1);
    EXPECT_EQ(sim.board(1).peek(0x2000), 27);
    EXPECT_EQ(sim.board(1).peek(0x2000 + 256), 16393);
    EXPECT_EQ(sim.memory(1, 0x2000 + 512, 513), std::vector<std::uint16_t>(513, 24576));
}

TEST(VarPolyLoader, FailedPacketEndsTheLoad) {
    const DecimalSeparator dot(".");
    testing::LoaderBus sim("2d");
    const std::string name = sim.write_text("Quarnel4.ini", kOnePoint);
    const std::uint64_t before = sim.board(1).transfers();
    sim.board(1).fail_transfer(before + 2);
    EXPECT_EQ(load_varpolydelay(sim.ctx, 1, name.c_str(), 0), 8);
    EXPECT_EQ(sim.board(1).transfers(), before + 2);
}

TEST(ZTableLoader, ResultCodesComeInTheOrderOfTheChecks) {
    const double nan = std::nan("");
    const double inf = HUGE_VAL;
    struct Case {
        const char* name;
        const char* boards;
        std::uint32_t board;
        bool owner;
        double a, b, c;
        std::int16_t expected;
    };
    const Case cases[] = {
        {"board first", "3d", 2, false, 1e9, 0, 0, 11},
        {"then ownership", "3d", 1, false, 1e9, 0, 0, 8},
        {"A too large", "2d", 1, true, 32767, 0, 0, 10},
        {"A too small", "3d", 1, true, -32767, 0, 0, 10},
        {"B too large", "3d", 1, true, 0, 31.5, 0, 10},
        {"C is the double nearest 0.9", "3d", 1, true, 0, 0, 0.9, 10},
        {"C negative", "3d", 1, true, 0, 0, -0.9, 10},
        {"NaN A", "3d", 1, true, nan, 0, 0, 10},
        {"NaN B", "3d", 1, true, 0, nan, 0, 10},
        {"NaN C", "3d", 1, true, 0, 0, nan, 10},
        {"infinite C", "3d", 1, true, 0, 0, -inf, 10},
        {"2-D board after the ranges", "2d", 1, true, 0, 0, 0, 12},
        {"limits", "3d", 1, true, -32766, -31, 0.8999, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testing::LoaderBus sim(c.boards);
        if (!c.owner) sim.ctx.owns_boards = 0;
        const std::uint64_t before = sim.transfers();
        EXPECT_EQ(load_z_table(sim.ctx, c.board, c.a, c.b, c.c), c.expected);
        if (c.expected != 0) {
            EXPECT_EQ(sim.transfers(), before);
        }
    }
}

TEST(ZTableLoader, WritesFourWordsAfterTheCorrectionTables) {
    testing::LoaderBus sim("3d");
    sim.mark();
    EXPECT_EQ(load_z_table(sim.ctx, 1, 100.4, -0.5, -0.5), 0);
    EXPECT_EQ(sim.memory(1, kZTableAddress, 5), (std::vector<std::uint16_t>{100, 0xFE00, 0xC000, 0, 0}));
    EXPECT_EQ(sim.memory_writes().size(), 1u);

    sim.board(1).fail_transfer(sim.board(1).transfers() + 1);
    EXPECT_EQ(load_z_table(sim.ctx, 1, 1, 1, 0), 8);
}

} // namespace
} // namespace quarnel
