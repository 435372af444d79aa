#include "correction_loader.h"

#include "loader_bus.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cmath>
#include <limits>
#include <vector>

namespace quarnel {
namespace {

constexpr int N = kCorrectionGridSize;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// An asymmetric table: no row, column or diagonal mirror of it equals it.
std::vector<std::uint16_t> asymmetric_table(int seed = 0) {
    std::vector<std::uint16_t> t(kCorrectionTableWords);
    for (int r = 0; r < N; ++r)
        for (int q = 0; q < N; ++q)
            t[r * N + q] = static_cast<std::uint16_t>((r * 977 + q * 31 + r * q * 7 + seed * 4099) % 60000 + 100);
    return t;
}

std::vector<std::uint16_t> resample(const std::vector<std::uint16_t>& table, const CorrectionTransform& t) {
    std::vector<std::uint16_t> out(kCorrectionTableWords);
    resample_correction_tables(table.data(), 1, t, out.data());
    return out;
}

std::uint16_t at(const std::vector<std::uint16_t>& t, int r, int q) { return t[r * N + q]; }

TEST(CorrectionTransform, AcceptsOnlyTheStatedRanges) {
    struct Case {
        CorrectionTransform t;
        bool valid;
    };
    const Case cases[] = {
        {{}, true},
        {{1.2, 1, 0, 0, 0}, true},
        {{1.21, 1, 0, 0, 0}, true},
        {{0.79, 1, 0, 0, 0}, true},
        {{-1.0, -1.0, 0, 0, 0}, true},   // mirrors pass
        {{1.25, 1, 0, 0, 0}, false},
        {{0.75, 1, 0, 0, 0}, false},
        {{1, 1.25, 0, 0, 0}, false},
        {{1, 1, 0, 30001, -30001}, true},
        {{1, 1, 0, 30001.5, 0}, false},
        {{1, 1, 0, 0, -30001.5}, false},
        {{1, 1, 95, 0, 0}, true},
        {{1, 1, 180, 0, 0}, true},
        {{1, 1, -90, 0, 0}, true},
        {{1, 1, 100.1, 0, 0}, true},
        {{1, 1, 10.1, 0, 0}, true},
        {{1, 1, 45, 0, 0}, false},
        {{1, 1, 10.2, 0, 0}, false},
        {{1, 1, -79.8, 0, 0}, false},
        {{1, 1, 3600, 0, 0}, true},
        // Values that are not finite never pass, whatever their place.
        {{kNaN, 1, 0, 0, 0}, false},
        {{1, kNaN, 0, 0, 0}, false},
        {{1, 1, kNaN, 0, 0}, false},
        {{1, 1, kInf, 0, 0}, false},
        {{1, 1, -kInf, 0, 0}, false},
        {{1, 1, 0, kNaN, 0}, false},
        {{1, 1, 0, 0, kNaN}, false},
        {{kInf, 1, 0, 0, 0}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.t.xscale << " " << c.t.yscale << " " << c.t.angle << " "
                                        << c.t.xoffset << " " << c.t.yoffset);
        EXPECT_EQ(correction_transform_valid(c.t), c.valid);
    }
}

TEST(CorrectionResampling, ShiftsAndScalesLandOnKnownNodes) {
    const auto table = asymmetric_table(3);
    // One cell to the right and two down: node (r, q) reads node (r + 2, q + 1).
    const auto shifted = resample(table, {1, 1, 0, 1024, 2048});
    EXPECT_EQ(at(shifted, 0, 0), at(table, 2, 1));
    EXPECT_EQ(at(shifted, 40, 17), at(table, 42, 18));
    EXPECT_EQ(at(shifted, 62, 63), at(table, 64, 64));

    // A scale of 1.2 maps every fifth node from the centre onto a node: 32 + 5k -> 32 + 6k.
    const auto scaled = resample(table, {1.2, 0.8, 0, 0, 0});
    EXPECT_EQ(at(scaled, 32, 32), at(table, 32, 32));
    EXPECT_EQ(at(scaled, 37, 37), at(table, 36, 38));
    EXPECT_EQ(at(scaled, 22, 27), at(table, 24, 26));
    EXPECT_EQ(at(scaled, 62, 7), at(table, 56, 2));
}

TEST(CorrectionResampling, InterpolatesHalfwayWithHalvesToEven) {
    std::vector<std::uint16_t> table(kCorrectionTableWords, 0);
    // Row 10: 1, 2, 4, 7, 9, 100, ... so the means between columns are 1.5, 3, 5.5, 8, 54.5.
    const std::uint16_t row[] = {1, 2, 4, 7, 9, 100};
    for (int q = 0; q < 6; ++q) table[10 * N + q] = row[q];
    const auto out = resample(table, {1, 1, 0, 512, 0});
    EXPECT_EQ(at(out, 10, 0), 2);  // 1.5
    EXPECT_EQ(at(out, 10, 1), 3);  // 3
    EXPECT_EQ(at(out, 10, 2), 6);  // 5.5
    EXPECT_EQ(at(out, 10, 3), 8);  // 8
    EXPECT_EQ(at(out, 10, 4), 54); // 54.5
    // Halfway in both directions: the mean of four words, (1 + 2 + 0 + 0) / 4 = 0.75.
    const auto both = resample(table, {1, 1, 0, 512, -512});
    EXPECT_EQ(at(both, 10, 0), 1);
}

TEST(CorrectionResampling, ExtrapolatesTheEdgeCellsAndClamps) {
    // A ramp along the columns; shifted by a cell, column 64 reads the ramp's continuation.
    std::vector<std::uint16_t> ramp(kCorrectionTableWords);
    for (int r = 0; r < N; ++r)
        for (int q = 0; q < N; ++q) ramp[r * N + q] = static_cast<std::uint16_t>(1000 * q + r);
    const auto right = resample(ramp, {1, 1, 0, 1024, 0});
    EXPECT_EQ(at(right, 5, 64), 65005);     // 1000 x 65 + 5
    const auto left = resample(ramp, {1, 1, 0, -3072, 0});
    EXPECT_EQ(at(left, 5, 0), 0);           // -3000 + 5 clamps to 0
    EXPECT_EQ(at(left, 5, 3), 5);
    const auto far_right = resample(ramp, {1, 1, 0, 4096, 0});
    EXPECT_EQ(at(far_right, 0, 64), 65535); // 68000 clamps to 65535

    // The extremes of a word survive the neutral transform.
    std::vector<std::uint16_t> extremes(kCorrectionTableWords, 65535);
    for (std::size_t i = 0; i < extremes.size(); i += 2) extremes[i] = 0;
    EXPECT_EQ(resample(extremes, {}), extremes);
}

TEST(CorrectionResampling, KeepsTheOrderOfSeveralTables) {
    std::vector<std::uint16_t> source;
    for (int seed = 0; seed < 4; ++seed) {
        const auto t = asymmetric_table(seed);
        source.insert(source.end(), t.begin(), t.end());
    }
    std::vector<std::uint16_t> out(source.size());
    resample_correction_tables(source.data(), 4, {}, out.data());
    EXPECT_EQ(out, source);
}

} // namespace
} // namespace quarnel

// ---- Loading into a simulated board ----

#include "loader_bus.h"

namespace quarnel {
namespace {

// A correction file of the given size: tables from asymmetric_table(0, 1, ...), then a ramp.
std::vector<std::uint16_t> correction_file(std::size_t words) {
    std::vector<std::uint16_t> file;
    for (int seed = 0; file.size() + kCorrectionTableWords <= std::min<std::size_t>(words, 4 * kCorrectionTableWords); ++seed) {
        const auto t = asymmetric_table(seed);
        file.insert(file.end(), t.begin(), t.end());
    }
    while (file.size() < words) file.push_back(static_cast<std::uint16_t>(0xA000 + file.size()));
    return file;
}

constexpr char kTheFile[] = "the file";

struct CodeCase {
    const char* name;
    const char* boards;
    std::uint32_t board;
    long words;              // file size in words; kMissing, kDirectory, kFifo
    int table;
    CorrectionTransform t;
    std::int16_t expected;
    bool odd_byte = false;
    const char* given_name = kTheFile;   // another name given instead of the file's
    void (*setup)(Context&) = nullptr;
};

constexpr long kMissing = -1;
constexpr long kDirectory = -2;
constexpr long kFifo = -3; // a named pipe nobody writes to: opening it must not wait

void not_owner(Context& ctx) { ctx.owns_boards = 0; }
void no_board(Context& ctx) { ctx.board_count = 0; }
void unstable(Context& ctx) { ctx.version_unstable = 1; }
void mismatch(Context& ctx) { ctx.firmware_mismatch = 1; }
void unstable_and_mismatch(Context& ctx) { ctx.version_unstable = ctx.firmware_mismatch = 1; }

TEST(CorrectionLoader, ResultCodesComeInTheOrderOfTheChecks) {
    const CorrectionTransform bad{1.25, 1, 0, 0, 0};
    const CodeCase cases[] = {
        // Ownership first, then the board, then the last board's state, then arguments.
        {"not owner", "2d", 0, kMissing, 0, bad, 8, false, "", not_owner},
        {"board 0", "2d", 0, kMissing, 0, bad, 11},
        {"board 2 of 1", "2d", 2, kMissing, 0, bad, 11},
        {"no board found", "2d", 1, kMissing, 0, bad, 11, false, kTheFile, no_board},
        {"version unstable", "2d", 1, kMissing, 0, bad, 16, false, kTheFile, unstable},
        {"unstable before mismatch", "2d", 1, kMissing, 0, bad, 16, false, kTheFile, unstable_and_mismatch},
        {"firmware mismatch", "2d", 1, kMissing, 0, bad, 17, false, kTheFile, mismatch},
        {"only the last board is refused", "2d,2d", 1, 8450, 1, {}, 0, false, kTheFile, unstable_and_mismatch},
        {"the last of two", "2d,2d", 2, 8450, 1, {}, 16, false, kTheFile, unstable},
        {"scale", "2d", 1, kMissing, 1, bad, 10},
        {"NaN angle", "2d", 1, kMissing, 1, {1, 1, std::nan(""), 0, 0}, 10},
        {"infinite offset", "2d", 1, kMissing, 1, {1, 1, 0, kInf, 0}, 10},
        {"table 0", "2d", 1, kMissing, 0, {}, 10},
        {"table 3", "2d", 1, kMissing, 3, {}, 10},
        {"empty name", "2d", 1, 8450, 1, {}, 10, false, ""},
        {"no name", "2d", 1, 8450, 1, {}, 10, false, nullptr},
        {"name ends in a backslash", "2d", 1, 8450, 1, {}, 10, false, "tables\\"},
        {"name ends in a colon", "2d", 1, 8450, 1, {}, 10, false, "c:"},
        {"missing file", "2d", 1, kMissing, 1, {}, 3},
        {"directory", "2d", 1, kDirectory, 1, {}, 3},
        {"FIFO", "2d", 1, kFifo, 1, {}, 3},
        {"device", "2d", 1, kMissing, 1, {}, 3, false, "/dev/zero"},
        // Sizes for a 2-D board.
        {"2-D 8449", "2d", 1, 8449, 1, {}, 3},
        {"2-D 8449 and a byte", "2d", 1, 8449, 1, {}, 3, true},
        {"2-D 8450", "2d", 1, 8450, 1, {}, 0},
        {"2-D 8450 and a byte", "2d", 1, 8450, 1, {}, 0, true},
        {"2-D 8499", "2d", 1, 8499, 1, {}, 0},
        {"2-D 8500", "2d", 1, 8500, 1, {}, 15},
        {"2-D 19501", "2d", 1, 19501, 1, {}, 15},
        {"2-D table 2", "2d", 1, 8450, 2, {}, 0},
        {"low 16 bits of the board", "2d", 0x10001, 8450, 1, {}, 0},
        // Sizes for a 3-D board.
        {"3-D 8449", "3d", 1, 8449, 1, {}, 3},
        {"3-D 8450", "3d", 1, 8450, 1, {}, 15},
        {"3-D 8499", "3d", 1, 8499, 1, {}, 15},
        {"3-D 8500", "3d", 1, 8500, 1, {}, 14},
        {"3-D 10000", "3d", 1, 10000, 1, {}, 14},
        {"3-D 16972", "3d", 1, 16972, 1, {}, 14},
        {"3-D 16973", "3d", 1, 16973, 1, {}, 0},
        {"3-D 19500", "3d", 1, 19500, 1, {}, 0},
        {"3-D 19501", "3d", 1, 19501, 1, {}, 3},
        {"3-D table 2", "3d", 1, 16973, 2, {}, 10},
    };
    for (const CodeCase& c : cases) {
        SCOPED_TRACE(c.name);
        testing::LoaderBus sim(c.boards);
        if (c.setup) c.setup(sim.ctx);
        std::string file = sim.path("table.ctb");
        if (c.words == kDirectory) file = sim.path("");
        if (c.words == kFifo) {
            ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
        }
        if (c.words >= 0) sim.write_words("table.ctb", correction_file(c.words), c.odd_byte);
        const char* name = c.given_name == kTheFile ? file.c_str() : c.given_name;
        const std::uint64_t before = sim.transfers();

        EXPECT_EQ(load_correction_file(sim.ctx, c.board, name, c.table, c.t), c.expected);
        if (c.expected != 0) {
            EXPECT_EQ(sim.transfers(), before) << "a refused load touched the board";
        }
    }
}

TEST(CorrectionLoader, NeutralLoadWritesTheFileTablesInPackets) {
    struct Case {
        const char* boards;
        std::size_t file_words;
        std::size_t written;     // words from 0x3000
        std::size_t packets;
        std::size_t last_packet;
    };
    const Case cases[] = {
        {"2d", 8499, 8450, 292, 11},
        {"3d", 19500, 16973, 586, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.boards);
        testing::LoaderBus sim(c.boards);
        const auto file = correction_file(c.file_words);
        const std::string name = sim.write_words("table.ctb", file);
        sim.mark();

        EXPECT_EQ(load_correction_file(sim.ctx, 1, name.c_str(), 1, {}), 0);

        const std::vector<std::uint16_t> expected(file.begin(), file.begin() + c.written);
        EXPECT_EQ(sim.memory(1, kCorrectionTable1Address, c.written), expected);
        EXPECT_EQ(sim.board(1).peek(kCorrectionTable1Address + c.written), 0) << "past the table";
        const auto writes = sim.memory_writes();
        ASSERT_EQ(writes.size(), c.packets);
        for (std::size_t k = 0; k < writes.size(); ++k) {
            ASSERT_EQ(writes[k].word_address(), kCorrectionTable1Address + 29 * k) << k;
            ASSERT_EQ(writes[k].word_count(), k + 1 < writes.size() ? 29u : c.last_packet) << k;
        }
        EXPECT_EQ(sim.packets().size(), c.packets) << "only the writes";
    }
}

TEST(CorrectionLoader, ThreeDimensionalFileReplacesTheZTable) {
    testing::LoaderBus sim("3d");
    const auto file = correction_file(16973);
    const std::string name = sim.write_words("table.ctb", file);
    EXPECT_EQ(load_correction_file(sim.ctx, 1, name.c_str(), 1, {}), 0);
    EXPECT_EQ(sim.memory(1, 0x7249, 4), std::vector<std::uint16_t>(file.begin() + 16969, file.end()));
}

// Transforms that map every grid node onto a grid node: each word on the board is a file word.
TEST(CorrectionLoader, NodeToNodeTransformsMoveTheFileWords) {
    struct Case {
        const char* name;
        CorrectionTransform t;
        int table;
        int (*row)(int r, int q);
        int (*column)(int r, int q);
    };
    const Case cases[] = {
        {"neutral", {}, 1, [](int r, int) { return r; }, [](int, int q) { return q; }},
        {"x mirrored", {-1, 1, 0, 0, 0}, 1, [](int r, int) { return r; }, [](int, int q) { return 64 - q; }},
        {"y mirrored", {1, -1, 0, 0, 0}, 2, [](int r, int) { return 64 - r; }, [](int, int q) { return q; }},
        {"rotated 90", {1, 1, 90, 0, 0}, 2, [](int, int q) { return q; }, [](int r, int) { return 64 - r; }},
        {"rotated -90", {1, 1, -90, 0, 0}, 1, [](int, int q) { return 64 - q; }, [](int r, int) { return r; }},
        {"rotated 180", {1, 1, 180, 0, 0}, 1, [](int r, int) { return 64 - r; }, [](int, int q) { return 64 - q; }},
        {"mirrored both, rotated 180", {-1, -1, 180, 0, 0}, 2, [](int r, int) { return r; },
         [](int, int q) { return q; }},
        {"shifted by whole cells", {1, 1, 0, -1024, 3072}, 1, [](int r, int) { return r + 3; },
         [](int, int q) { return q - 1; }},
    };
    const auto file = correction_file(8450);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testing::LoaderBus sim("2d");
        const std::string name = sim.write_words("table.ctb", file);
        EXPECT_EQ(load_correction_file(sim.ctx, 1, name.c_str(), c.table, c.t), 0);

        const std::uint32_t start = c.table == 1 ? kCorrectionTable1Address : kCorrectionTable2Address;
        const std::uint32_t other = c.table == 1 ? kCorrectionTable2Address : kCorrectionTable1Address;
        const auto board = sim.memory(1, start, 8450);
        int wrong = 0;
        for (int table = 0; table < 2; ++table) {
            for (int r = 0; r < N; ++r) {
                for (int q = 0; q < N; ++q) {
                    // Rows and columns that the shift moves off the grid are checked elsewhere.
                    if (c.t.xoffset != 0 && (r + 3 > 64 || q == 0)) continue;
                    wrong += board[table * kCorrectionTableWords + r * N + q] !=
                             file[table * kCorrectionTableWords + c.row(r, q) * N + c.column(r, q)];
                }
            }
        }
        EXPECT_EQ(wrong, 0);
        EXPECT_EQ(sim.memory(1, other, 16), std::vector<std::uint16_t>(16, 0)) << "the other table";
    }
}

TEST(CorrectionLoader, FailedPacketEndsTheLoad) {
    testing::LoaderBus sim("2d");
    const auto file = correction_file(8450);
    const std::string name = sim.write_words("table.ctb", file);
    const std::uint64_t before = sim.board(1).transfers();
    sim.board(1).fail_transfer(before + 4);

    EXPECT_EQ(load_correction_file(sim.ctx, 1, name.c_str(), 1, {}), 8);
    EXPECT_EQ(sim.board(1).transfers(), before + 4) << "nothing after the failed packet";
    EXPECT_EQ(sim.memory(1, kCorrectionTable1Address, 87),
              std::vector<std::uint16_t>(file.begin(), file.begin() + 87));
    EXPECT_EQ(sim.board(1).peek(kCorrectionTable1Address + 3 * 29 + 29), 0);
}

} // namespace
} // namespace quarnel
