#include "firmware_loader.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>
#include <vector>

namespace quarnel {
namespace {

using Words = std::vector<std::uint16_t>;

Words read_text(std::initializer_list<std::string_view> chunks) {
    ProgramTextReader reader;
    Words words;
    for (std::string_view chunk : chunks) reader.feed(chunk, words);
    return words;
}

TEST(ProgramText, PairsOfUpperCaseDigitsMakeWords) {
    struct Case {
        const char* name;
        std::string text;
        Words words;
    };
    const Case cases[] = {
        {"empty", "", {}},
        {"pairs", "0102", {1, 2}},
        {"all digits", "0123456789ABCDEF", {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF}},
        {"extremes", "00FF", {0, 255}},
        {"lower case separates", "1a2B", {0x2B}},
        {"lower case digits are no digits", "ab", {}},
        {"line ends", "0102\r\n03\n04", {1, 2, 3, 4}},
        {"blanks", "A B CD", {0xCD}},
        {"odd digit at the end", "ABC", {0xAB}},
        {"a run of three", "123 45", {0x12, 0x45}},
        {"end of text mark", "AB\x1a" "CD", {0xAB}},
        {"end of text mark between digits", "A\x1a" "B", {}},
        {"the characters 0x1A", "0x1A", {0x1A}},
        {"other bytes", std::string("1\xff" "2\0" "34", 6), {0x34}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(read_text({c.text}), c.words);
    }
}

TEST(ProgramText, PairsAndTheEndCrossChunks) {
    EXPECT_EQ(read_text({"0", "1", "0", "2"}), (Words{1, 2}));
    EXPECT_EQ(read_text({"AB\x1a", "CD"}), (Words{0xAB}));
    EXPECT_EQ(read_text({"A", "\n", "B"}), Words{});

    ProgramTextReader reader;
    Words words;
    reader.feed("12", words);
    EXPECT_FALSE(reader.ended());
    reader.feed("\x1a", words);
    EXPECT_TRUE(reader.ended());
}

} // namespace
} // namespace quarnel

// ---- Uploading to a simulated board ----

#include "loader_bus.h"

namespace quarnel {
namespace {

TEST(FirmwareLoader, NamesThatLoadNothing) {
    struct Case {
        const char* name;
        const char* boards;
        std::uint32_t board;
        const char* file; // written as the program text
        const char* given;
        bool owner;
        std::int16_t expected;
    };
    const Case cases[] = {
        {"board-ready test", "2d", 1, nullptr, "", true, 0},
        {"board-ready test, not owner", "2d", 1, nullptr, "", false, 11},
        {"board-ready test, no board", "2d", 0, nullptr, "", true, 11},
        {"board 2 of 1", "2d", 2, "p.hex", "p.hex.update", true, 11},
        {"no name", "2d", 1, nullptr, nullptr, true, 0},
        {"plain hex name", "2d", 1, "p.hex", "p.hex", true, 0},
        {"capitals", "2d", 1, "p.HEX", "p.HEX.UPDATE", true, 0},
        {"suffix twice", "2d", 1, "p.hex.update.hex", "p.hex.update.hex.update", true, 0},
        {"suffix inside", "2d", 1, "p.hex", "p.hex.update.txt", true, 0},
        {"program text missing", "2d", 1, nullptr, "p.hex.update", true, 3},
        {"program text a directory", "2d", 1, nullptr, "d.hex.update", true, 3},
        {"program text a FIFO", "2d", 1, nullptr, "f.hex.update", true, 3},
        {"not owner", "2d", 1, "p.hex", "p.hex.update", false, 11},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testing::LoaderBus sim(c.boards);
        if (!c.owner) sim.ctx.owns_boards = 0;
        if (c.file) sim.write_text(c.file, "0102");
        std::filesystem::create_directory(sim.path("d.hex"));
        ASSERT_EQ(::mkfifo(sim.path("f.hex").c_str(), 0600), 0);
        const std::string given = c.given ? sim.path(c.given) : std::string();
        const std::uint64_t before = sim.transfers();

        EXPECT_EQ(load_program_file(sim.ctx, c.board, c.given ? given.c_str() : nullptr), c.expected);
        EXPECT_EQ(sim.transfers(), before) << "nothing is sent";
    }
}

TEST(FirmwareLoader, UploadsStopPacketsWithReadBackTerminatorThenTakeOver) {
    testing::LoaderBus sim("2d");
    const std::string name = sim.write_text("p.hex", "0102\r\n03");
    sim.mark();

    EXPECT_EQ(load_program_file(sim.ctx, 1, (name + ".update").c_str()), 0);

    EXPECT_EQ(sim.memory(1, kListMemoryAddress, 5),
              (std::vector<std::uint16_t>{1, 2, 3, 10000, sim::kUnwrittenWord}));
    EXPECT_EQ(sim.mailbox_codes(), (std::vector<std::uint16_t>{8, 87}));
    // The order on the wire: stop, the packet, its read-back, then command 87 and its polls.
    const auto packets = sim.packets();
    ASSERT_GE(packets.size(), 5u);
    EXPECT_TRUE(packets[0].is_mailbox());
    EXPECT_EQ(packets[0].mailbox_code(), 8);
    EXPECT_TRUE(packets[1].is_write());
    EXPECT_EQ(packets[1].word_address(), kListMemoryAddress);
    EXPECT_EQ(packets[1].word_count(), 4u);
    EXPECT_TRUE(packets[2].is_read_request());
    EXPECT_EQ(packets[2].word_address(), kListMemoryAddress);
    EXPECT_EQ(packets[2].word_count(), 4u);
    EXPECT_TRUE(packets[3].in);
    EXPECT_TRUE(packets[4].is_mailbox());
    EXPECT_EQ(packets[4].mailbox_code(), 87);
    EXPECT_EQ(sim.board(1).peek(sim::kMailboxCommandWord), 0) << "command 87 was polled to its end";
}

TEST(FirmwareLoader, PacketsOfTwentyNineWords) {
    struct Case {
        int pairs;
        std::vector<std::uint32_t> packet_words;
    };
    const Case cases[] = {
        {0, {1}},
        {28, {29}},
        {29, {29, 1}},
        {100, {29, 29, 29, 14}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pairs);
        testing::LoaderBus sim("3d");
        std::string text;
        std::vector<std::uint16_t> expected;
        for (int k = 0; k < c.pairs; ++k) {
            const int value = (k * 37 + 5) % 256;
            const char digits[] = "0123456789ABCDEF";
            text += digits[value / 16];
            text += digits[value % 16];
            text += k % 3 == 0 ? " " : (k % 3 == 1 ? "\n" : ""); // separators between some pairs
            expected.push_back(static_cast<std::uint16_t>(value));
        }
        expected.push_back(10000);
        const std::string name = sim.write_text("p.hex", text);
        sim.mark();

        EXPECT_EQ(load_program_file(sim.ctx, 1, (name + ".update").c_str()), 0);
        EXPECT_EQ(sim.memory(1, kListMemoryAddress, expected.size()), expected);
        std::vector<std::uint32_t> sizes;
        std::uint32_t address = kListMemoryAddress;
        for (const auto& w : sim.memory_writes()) {
            EXPECT_EQ(w.word_address(), address);
            address += w.word_count();
            sizes.push_back(w.word_count());
        }
        EXPECT_EQ(sizes, c.packet_words);
    }
}

TEST(FirmwareLoader, FailuresEndTheUploadWithoutTakeOver) {
    // A text of 30 zero pairs: packet 1 has 29 words, packet 2 the last word and the
    // terminator. Its transfers after the stop command (transfer 1): write 1, read request 1,
    // reply 1, write 2, read request 2, reply 2, then command 87.
    enum Fault { kFails, kTimesOut, kShortReply, kStuckWord };
    struct Case {
        const char* name;
        Fault fault;
        std::uint64_t transfer;  // counted from the stop command as 1; or the stuck address
        std::int16_t expected;
    };
    const Case cases[] = {
        {"first write fails", kFails, 2, 8},
        {"first read request fails", kFails, 3, 8},
        {"first reply fails", kFails, 4, 8},
        {"first reply times out", kTimesOut, 4, 8},
        {"last write fails", kFails, 5, 8},
        {"last reply fails", kFails, 7, 8},
        // Zeros were written: a reply that falls short must not "verify" with padding.
        {"first reply short by a word", kShortReply, 4, 8},
        {"last reply without words", kShortReply, 7, 8},
        {"a data word reads back wrong", kStuckWord, kListMemoryAddress + 28, 4},
        {"the terminator reads back wrong", kStuckWord, kListMemoryAddress + 30, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testing::LoaderBus sim("2d");
        const std::string name = sim.write_text("p.hex", std::string(60, '0'));
        sim::SimBoard& board = sim.board(1);
        const std::uint64_t number = board.transfers() + c.transfer;
        switch (c.fault) {
        case kFails: board.fail_transfer(number); break;
        case kTimesOut: board.fail_transfer(number, true); break;
        case kShortReply: board.shorten_reply(number, c.transfer == 4 ? 5 + 2 * 28 : 5); break;
        case kStuckWord: board.stick_word(static_cast<std::uint32_t>(c.transfer), 0xBEEF); break;
        }
        sim.mark();

        EXPECT_EQ(load_program_file(sim.ctx, 1, (name + ".update").c_str()), c.expected);
        EXPECT_EQ(sim.mailbox_codes(), std::vector<std::uint16_t>{8}) << "no command 87";
    }
}

TEST(FirmwareLoader, NothingIsWrittenPastTheListMemory) {
    testing::LoaderBus sim("2d");
    const std::uint16_t words[29] = {1, 2, 3};
    const std::uint64_t before = sim.transfers();
    EXPECT_EQ(upload_program_packet(sim.ctx, 1, kListMemoryEnd - 28, words, 29), 8);
    EXPECT_EQ(sim.transfers(), before);
    EXPECT_EQ(upload_program_packet(sim.ctx, 1, kListMemoryEnd - 29, words, 29), 0);
    EXPECT_EQ(sim.board(1).peek(kListMemoryEnd - 29), 1);
}

} // namespace
} // namespace quarnel
