// Board queries: each result decoded from scripted reply words, and the failure value for a
// bad board number (nothing sent) and for a failed send or poll (reply words not used).
#include "command_test_boards.h"
#include "quarnel4.h"

#include <gtest/gtest.h>

#include <cmath>
#include <thread>

namespace quarnel::testing {
namespace {

using Results = std::vector<double>;

struct QueryCase {
    const char* name;
    std::uint16_t code;
    std::vector<std::uint16_t> reply; // words 1..
    std::function<Results(std::uint32_t board)> call;
    Results expected;
    Results failure; // bad board number and failed exchange
};

void PrintTo(const QueryCase& c, std::ostream* os) { *os << c.name; }

Results one(double v) { return {v}; }

void expect_results(const Results& actual, const Results& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < actual.size(); ++i)
        EXPECT_NEAR(actual[i], expected[i], 1e-9 * (1 + std::abs(expected[i]))) << "result " << i;
}

Results xy(std::uint32_t b) {
    std::int16_t x = 11, y = 11;
    n_get_xy_pos(b, &x, &y);
    return {double(x), double(y)};
}
Results xyz(std::uint32_t b) {
    std::int16_t x = 11, y = 11, z = 11;
    n_get_xyz_pos(b, &x, &y, &z);
    return {double(x), double(y), double(z)};
}
Results encoders(std::uint32_t b) {
    std::int16_t e1 = 11, e2 = 11;
    n_get_encoder(b, &e1, &e2);
    return {double(e1), double(e2)};
}
Results measurement(std::uint32_t b) {
    std::uint16_t busy = 11, value = 11;
    n_measurement_status(b, &busy, &value);
    return {double(busy), double(value)};
}

const std::vector<QueryCase> kQueryCases = {
    {"input port", 9, {0xA5A5}, [](auto b) { return one(n_read_io_port(b)); }, {0xA5A5}, {0}},
    {"counts", 13, {0x1234, 0x5678}, [](auto b) { return one(n_get_counts(b)); }, {0x12345678},
     {0xFFFFFFFF}},
    {"firmware version", 17, {3100}, [](auto b) { return one(n_get_hex_version(b)); }, {3100},
     {0}},
    {"board version", 22, {0x0C05}, [](auto b) { return one(n_get_oru_version(b)); }, {0x0C05},
     {0}},
    {"position", 23, {0xFFFF, 0x8000, 7}, xy, {-1, -32768}, {0, 0}},
    {"3-D position", 23, {0xFFFF, 0x8000, 7}, xyz, {-1, -32768, 7}, {0, 0, 0}},
    {"encoders", 32, {5, 0xFFFE}, encoders, {5, -2}, {-1, -1}},
    {"head 1", 35, {0xD800, 0x1234}, [](auto b) { return one(n_get_head_status(b, 1)); },
     {0xD800}, {0}},
    {"head 2", 35, {0xD800, 0x1234}, [](auto b) { return one(n_get_head_status(b, 2)); },
     {0x1234}, {0}},
    {"head 3 reads head 1", 35, {0xD800, 0x1234},
     [](auto b) { return one(n_get_head_status(b, 3)); }, {0xD800}, {0}},
    {"wait status", 40, {9}, [](auto b) { return one(n_get_wait_status(b)); }, {9}, {0}},
    {"analogue input 1", 47, {100, 200}, [](auto b) { return one(n_read_ad_x(b, 1)); }, {100},
     {0}},
    {"analogue input 2", 47, {100, 200}, [](auto b) { return one(n_read_ad_x(b, 2)); }, {200},
     {0}},
    {"analogue input 3 still asks", 47, {100, 200}, [](auto b) { return one(n_read_ad_x(b, 3)); },
     {0}, {0}},
    {"start/stop information", 50, {0x0BFF, 0, 0x1208},
     [](auto b) { return one(n_get_startstop_info(b)); }, {0x0802}, {0}},
    {"I/O status", 51, {0x00FF}, [](auto b) { return one(n_get_io_status(b)); }, {0xFF}, {0}},
    {"time", 52, {1, 0}, [](auto b) { return one(n_get_time(b)); }, {0.65536}, {0.0}},
    {"time, full 32 bits", 52, {0xFFFF, 0xFFFF}, [](auto b) { return one(n_get_time(b)); },
     {42949.67295}, {0.0}},
    {"marking information", 60, {0xF123, 0x0A5F},
     [](auto b) { return one(n_get_marking_info(b)); }, {0x0A0F}, {0}},
    {"value", 70, {4242}, [](auto b) { return one(n_get_value(b, 15)); }, {4242}, {0}},
    {"serial number", 81, {1234, 0xFE00, 101},
     [](auto b) { return one(n_get_serial_number(b)); }, {1234}, {0}},
    {"32-bit serial number", 81, {1234, 0xFE00, 101},
     [](auto b) { return one(n_get_serial_number_32(b)); }, {101234}, {0}},
    {"32-bit serial number, largest", 81, {0xFFFF, 0x00FF, 101},
     [](auto b) { return one(n_get_serial_number_32(b)); }, {25565535}, {0}},
    {"32-bit serial number of another format", 81, {1234, 0xFE00, 100},
     [](auto b) { return one(n_get_serial_number_32(b)); }, {1234}, {0}},
    {"measurement running", 82, {0x8005}, measurement, {0xFFFF, 5}, {0, 0}},
    {"measurement done", 82, {0x7FFF}, measurement, {0, 0x7FFF}, {0, 0}},
    {"memory test", 91, {0x5678, 0x1234}, [](auto b) { return one(n_memory_test(b)); },
     {0x12345678}, {double(QUARNEL_MEMORY_TEST_FAILED)}},
    {"memory card", 80, {3}, [](auto b) { return one(n_store_on_mmc(b)); }, {3}, {0}},
};

class QueryDecoding : public ::testing::TestWithParam<QueryCase> {};

TEST_P(QueryDecoding, ResultFromTheReplyWords) {
    CommandTestBoards boards;
    const QueryCase& c = GetParam();
    boards.answer(c.code, c.reply);
    expect_results(c.call(1), c.expected);
    expect_sent(boards.commands(), {{c.code, {}}});
}

TEST_P(QueryDecoding, BadBoardGivesTheFailureValueWithoutATransfer) {
    CommandTestBoards boards;
    const QueryCase& c = GetParam();
    boards.answer(c.code, c.reply);
    const std::uint64_t before = boards.transfers();
    for (std::uint32_t bad : {0u, 2u, 9u, 0xFFFFu}) expect_results(c.call(bad), c.failure);
    EXPECT_EQ(boards.transfers(), before);
}

TEST_P(QueryDecoding, FailedSendGivesTheFailureValue) {
    CommandTestBoards boards;
    const QueryCase& c = GetParam();
    boards.answer(c.code, c.reply);
    boards.fail_transfer(0);
    // A failed memory-card store must not read as "ready" (0).
    expect_results(c.call(1), c.code == 80 ? one(0xFFFF) : c.failure);
    expect_results(c.call(1), c.expected); // the next call recovers
}

TEST_P(QueryDecoding, FailedPollReplyGivesTheFailureValue) {
    CommandTestBoards boards;
    const QueryCase& c = GetParam();
    boards.answer(c.code, c.reply);
    boards.fail_transfer(2); // the command, the poll request, then its reply
    expect_results(c.call(1), c.code == 80 ? one(0xFFFF) : c.failure);
}

INSTANTIATE_TEST_SUITE_P(Queries, QueryDecoding, ::testing::ValuesIn(kQueryCases),
                         [](const ::testing::TestParamInfo<QueryCase>& info) {
                             std::string name;
                             for (char ch : std::string(info.param.name))
                                 name += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
                             return name;
                         });

TEST(Queries, ValueSendsItsIndexAndRefusesIndexesAbove15) {
    CommandTestBoards boards;
    boards.answer(70, {99});
    EXPECT_EQ(n_get_value(1, 3), 99u);
    expect_sent(boards.commands(), {{70, {3}}});
    const std::uint64_t before = boards.transfers();
    EXPECT_EQ(n_get_value(1, 16), 0u);
    EXPECT_EQ(boards.transfers(), before);
}

TEST(Queries, NullOutParametersAreSkipped) {
    CommandTestBoards boards;
    boards.answer(23, {5, 6, 7});
    std::int16_t y = 0;
    n_get_xy_pos(1, nullptr, &y);
    EXPECT_EQ(y, 6);
    n_get_xyz_pos(1, nullptr, nullptr, nullptr);
    n_get_encoder(1, nullptr, nullptr);
    n_measurement_status(1, nullptr, nullptr);
    n_get_status(1, nullptr, nullptr);
}

TEST(Queries, DllVersion) { EXPECT_EQ(get_dll_version(), 550u); }

TEST(Queries, SelectedFormsAskTheSelectedBoard) {
    CommandTestBoards boards("2d,2d");
    boards.answer(81, {1111, 0, 0}, 1);
    boards.answer(81, {2222, 0, 0}, 2);
    EXPECT_EQ(get_serial_number(), 1111u);
    select_oru(2);
    EXPECT_EQ(get_serial_number(), 2222u);
}

TEST(Queries, NoBoardFound) {
    Context ctx;
    set_current_context(&ctx);
    EXPECT_EQ(read_status(), 0u);
    EXPECT_EQ(get_hex_version(), 0u);
    EXPECT_EQ(get_counts(), 0xFFFFFFFFu);
    std::uint16_t busy = 5;
    std::int32_t position = 5;
    get_status(&busy, &position);
    EXPECT_EQ(busy, 0);
    EXPECT_EQ(position, 0);
    set_current_context(nullptr);
}

TEST(ZDistance, AsksWithThePointThenReadsTheDistance) {
    CommandTestBoards boards;
    boards.answer(49, {321});
    EXPECT_EQ(n_get_z_distance(1, 1, -2, 3), 321u);
    expect_sent(boards.commands(), {{48, {3, 0xFFFE, 1}}, {49, {}}});
}

TEST(ZDistance, AFailedFirstCommandIsNotFollowedByTheQuery) {
    CommandTestBoards boards;
    boards.answer(49, {321});
    boards.fail_transfer(0);
    EXPECT_EQ(n_get_z_distance(1, 1, 2, 3), 0u);
    EXPECT_TRUE(boards.commands().empty());
}

TEST(ZDistance, AFailedReadGivesZero) {
    CommandTestBoards boards;
    boards.answer(49, {321});
    boards.fail_transfer(2); // 48 is sent, then 49's poll request fails
    EXPECT_EQ(n_get_z_distance(1, 1, 2, 3), 0u);
}

// The board reports 0 in word 1 while it runs a list, and the word address it has reached.
void answer_status(CommandTestBoards& boards, bool busy, std::uint32_t position, int place = 1) {
    const std::uint32_t address = kListMemoryAddress + 4 * position;
    boards.answer(84, {static_cast<std::uint16_t>(busy ? 0 : 1),
                       static_cast<std::uint16_t>(address), static_cast<std::uint16_t>(address >> 16)},
                  place);
}

TEST(ListStatus, BusyBitByTheListThePositionLiesIn) {
    struct Case {
        bool busy;
        std::uint32_t position;
        std::uint32_t read_status;
    };
    const Case cases[] = {
        {true, 0, 0xFF00 | 0x10},      {true, 499999, 0xFF00 | 0x10},
        {true, 500000, 0xFF00 | 0x20}, {true, 500010, 0xFF00 | 0x20},
        {false, 500010, 0xFF00},       {true, 999999, 0xFF00 | 0x20},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.position);
        CommandTestBoards boards;
        answer_status(boards, c.busy, c.position);
        EXPECT_EQ(n_read_status(1), c.read_status);
        std::uint16_t busy = 7;
        std::int32_t position = 7;
        n_get_status(1, &busy, &position);
        EXPECT_EQ(busy, c.busy ? 0xFFFF : 0);
        EXPECT_EQ(position, static_cast<std::int32_t>(c.position));
    }
}

TEST(ListStatus, AddressBelowListMemoryGivesANegativePosition) {
    CommandTestBoards boards;
    boards.answer(84, {0, 0xFFF6, 0x0001}); // word address 0x1FFF6
    std::uint16_t busy = 0;
    std::int32_t position = 0;
    n_get_status(1, &busy, &position);
    EXPECT_EQ(position, -2); // -10 / 4 rounds toward zero
    EXPECT_EQ(n_read_status(1), 0xFF10u);
}

TEST(ListStatus, AddsToTheHostListBits) {
    CommandTestBoards boards;
    boards.ctx().slots[1].list_status_word = 0xFF09;
    answer_status(boards, true, 12);
    EXPECT_EQ(n_read_status(1), 0xFF19u);
    EXPECT_EQ(boards.ctx().slots[1].list_status_word, 0xFF09); // the stored word is unchanged
}

TEST(ListStatus, FailedExchange) {
    CommandTestBoards boards;
    answer_status(boards, true, 12);
    boards.fail_transfer(0);
    std::uint16_t busy = 7;
    std::int32_t position = 7;
    n_get_status(1, &busy, &position);
    EXPECT_EQ(busy, 0);
    EXPECT_EQ(position, -1);
    boards.fail_transfer(0);
    EXPECT_EQ(n_read_status(1), 0xFF00u);
}

TEST(ListStatus, BadBoardNumbers) {
    CommandTestBoards boards;
    boards.ctx().slots[3].list_status_word = 0xFF0C;
    EXPECT_EQ(n_read_status(3), 0xFF0Cu); // a slot without a board: its stored bits
    EXPECT_EQ(n_read_status(2), 0xFF00u);
    EXPECT_EQ(n_read_status(0), 0u);
    EXPECT_EQ(n_read_status(9), 0u);
    std::uint16_t busy = 7;
    std::int32_t position = 7;
    n_get_status(2, &busy, &position);
    EXPECT_EQ(busy, 0);
    EXPECT_EQ(position, 0);
    EXPECT_TRUE(boards.commands().empty());
}

class Waveform : public ::testing::Test {
protected:
    void SetUp() override {
        for (std::uint32_t i = 0; i < 100; ++i) {
            boards.board().poke(0x10000 + i, static_cast<std::uint16_t>(1000 + i));
            boards.board().poke(0x18000 + i, static_cast<std::uint16_t>(2000 + i));
        }
    }
    CommandTestBoards boards;
};

TEST_F(Waveform, ReadsInPiecesOf29) {
    std::vector<std::uint16_t> buffer(61, 0);
    const std::uint64_t before = boards.transfers();
    n_get_waveform(1, 2, 60, buffer.data());
    EXPECT_EQ(boards.transfers() - before, 3u * 2); // 29 + 29 + 2 words, request and reply
    for (std::uint32_t i = 0; i < 60; ++i) EXPECT_EQ(buffer[i], 2000 + i) << i;
    EXPECT_EQ(buffer[60], 0); // nothing past n
}

TEST_F(Waveform, RefusedCalls) {
    std::vector<std::uint16_t> buffer(8, 7);
    const std::uint64_t before = boards.transfers();
    n_get_waveform(1, 3, 8, buffer.data());
    n_get_waveform(1, 0, 8, buffer.data());
    n_get_waveform(2, 1, 8, buffer.data());
    n_get_waveform(1, 1, 32769, buffer.data());
    n_get_waveform(1, 1, 8, nullptr);
    EXPECT_EQ(boards.transfers(), before);
    n_get_waveform(1, 1, 0, buffer.data()); // one request for no words
    EXPECT_EQ(boards.transfers() - before, 2u);
    EXPECT_EQ(buffer, std::vector<std::uint16_t>(8, 7));
}

TEST_F(Waveform, AFailedPieceLeavesTheLaterPiecesInPlace) {
    std::vector<std::uint16_t> buffer(70, 0);
    boards.fail_transfer(2); // the second piece's request
    n_get_waveform(1, 1, 70, buffer.data());
    for (std::uint32_t i = 0; i < 29; ++i) EXPECT_EQ(buffer[i], 1000 + i) << i;
    for (std::uint32_t i = 58; i < 70; ++i) EXPECT_EQ(buffer[i], 1000 + i) << i;
}

TEST(QueryLocking, RepliesBelongToTheirQueryAcrossThreads) {
    CommandTestBoards boards;
    boards.answer(70, [](sim::SimBoard& board) {
        board.set_mailbox_word(1, static_cast<std::uint16_t>(board.mailbox_word(1) * 100));
    });
    auto ask = [](std::uint32_t i) {
        int wrong = 0;
        for (int k = 0; k < 300; ++k) wrong += n_get_value(1, i) != i * 100;
        return wrong;
    };
    int wrong[3] = {};
    std::thread a([&] { wrong[0] = ask(3); });
    std::thread b([&] { wrong[1] = ask(7); });
    std::thread c([&] {
        for (int k = 0; k < 300; ++k) n_goto_xy(1, k, -k);
    });
    a.join();
    b.join();
    c.join();
    EXPECT_EQ(wrong[0], 0);
    EXPECT_EQ(wrong[1], 0);
}

} // namespace
} // namespace quarnel::testing
