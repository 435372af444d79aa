// The transport on the wire: packets, list batching, the mailbox, recovery and statuses.
#include "sim_bus.h"

#include "usb/driver_records.h"

#include <cmath>
#include <limits>

namespace quarnel::testing {
namespace {

TEST(Writemem, SendsOnePacketWithLittleEndianAddressAndWords) {
    SimBus bus("2d");
    bus.mark();
    const std::uint16_t words[] = {0xBEEF, 0x0102};
    writemem(bus.ctx, 1, 0x1234, 2, words);
    EXPECT_EQ(bus.wire(), std::vector<std::string>{"1 OUT 0468240000efbe0201"});
    EXPECT_EQ(bus.board(1).peek(0x1234), 0xBEEF);
    EXPECT_EQ(bus.board(1).peek(0x1235), 0x0102);
    EXPECT_EQ(bus.slot(1).last_status, 0u);
}

TEST(Writemem, TopOfTheAddressSpaceIsReachable) {
    SimBus bus("2d");
    const std::uint16_t word = 0x5A5A;
    bus.mark();
    writemem(bus.ctx, 1, 0x7FFFFF, 1, &word);
    EXPECT_EQ(bus.wire(), std::vector<std::string>{"1 OUT 02feffff005a5a"});
    EXPECT_EQ(bus.board(1).peek(0x7FFFFF), 0x5A5A);
}

struct NothingSentCase {
    const char* name;
    std::uint32_t board;
    std::uint32_t address;
    std::uint32_t n;
    bool null_data;
};

TEST(Writemem, RefusedCallsSendNothingAndKeepTheStatus) {
    const NothingSentCase cases[] = {
        {"30 words", 1, 0x1000, 30, false},
        {"board 0", 0, 0x1000, 1, false},
        {"board past the count", 2, 0x1000, 1, false},
        {"range past the address space", 1, 0x7FFFFF, 2, false},
        {"address far past the space", 1, 0xFFFFFFF0, 1, false},
        {"null data", 1, 0x1000, 1, true},
    };
    for (const auto& c : cases) {
        SimBus bus("2d");
        bus.slot(1).last_status = 0;
        bus.mark();
        const std::uint16_t data[32] = {1, 2, 3};
        writemem(bus.ctx, c.board, c.address, c.n, c.null_data ? nullptr : data);
        EXPECT_TRUE(bus.wire().empty()) << c.name;
        EXPECT_EQ(bus.slot(1).last_status, 0u) << c.name;
    }
}

TEST(Writemem, CountsUseTheirLow16Bits) {
    SimBus bus("2d");
    bus.mark();
    const std::uint16_t word = 7;
    writemem(bus.ctx, 0x10001, 0x40, 0x10001, &word); // board 1, one word
    EXPECT_EQ(bus.wire(), std::vector<std::string>{"1 OUT 02800000000700"});
}

TEST(Writemem, ZeroWordsSendsTheBareHeader) {
    SimBus bus("2d");
    bus.mark();
    writemem(bus.ctx, 1, 0x20000, 0, nullptr);
    EXPECT_EQ(bus.wire(), std::vector<std::string>{"1 OUT 0000000400"});
}

TEST(Readmem, ReadsTheWordsAndAdvancesThePointer) {
    SimBus bus("2d");
    bus.board(1).poke(0x10000, 0x1122);
    bus.board(1).poke(0x10001, 0x3344);
    bus.mark();
    std::uint16_t out[3] = {9, 9, 9};
    std::uint16_t* p = out;
    readmem(bus.ctx, 1, 0x10000, 2, p);
    EXPECT_EQ(p, out + 2);
    EXPECT_EQ(out[0], 0x1122);
    EXPECT_EQ(out[1], 0x3344);
    EXPECT_EQ(out[2], 9);
    EXPECT_EQ(bus.wire(), (std::vector<std::string>{"1 OUT 8400000200",
                                                    "1 IN 840000020022114433"}));
}

TEST(Readmem, ZeroWordsReadsAReplyAndCopiesNothing) {
    SimBus bus("2d");
    bus.mark();
    std::uint16_t out = 0xAAAA;
    std::uint16_t* p = &out;
    readmem(bus.ctx, 1, 0x300, 0, p);
    EXPECT_EQ(p, &out);
    EXPECT_EQ(out, 0xAAAA);
    EXPECT_EQ(bus.wire(), (std::vector<std::string>{"1 OUT 8000060000", "1 IN 8000060000"}));
}

TEST(Readmem, FailedReplyHandsBackZerosAndKeepsTheFailure) {
    SimBus bus("2d");
    bus.board(1).poke(0x500, 0x1234);
    bus.board(1).fail_transfer(bus.board(1).transfers() + 2); // the reply
    std::uint16_t out[2] = {0xFFFF, 0xFFFF};
    std::uint16_t* p = out;
    readmem(bus.ctx, 1, 0x500, 2, p);
    EXPECT_EQ(p, out + 2);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[1], 0);
    EXPECT_EQ(bus.slot(1).last_status, kStatusTransferError);
}

TEST(Readmem, FailedRequestLeavesThePointerWhereItWas) {
    SimBus bus("2d");
    bus.board(1).fail_transfer(bus.board(1).transfers() + 1);
    std::uint16_t out[2] = {5, 5};
    std::uint16_t* p = out;
    readmem(bus.ctx, 1, 0x500, 2, p);
    EXPECT_EQ(p, out);
    EXPECT_EQ(out[0], 5);
    EXPECT_NE(bus.slot(1).last_status, 0u);
}

TEST(Readmem, TimedOutReplyKeepsTheCancelledTransfersStatus) {
    SimBus bus("2d");
    bus.board(1).fail_transfer(bus.board(1).transfers() + 2, /*time_out=*/true);
    std::uint16_t out = 1;
    std::uint16_t* p = &out;
    readmem(bus.ctx, 1, 0x500, 1, p);
    EXPECT_EQ(bus.slot(1).last_status, kStatusTransferCancelled);
    EXPECT_NE(bus.slot(1).last_status, kStatusTimeout);
    EXPECT_EQ(out, 0);
}

TEST(ListBatch, SevenEntriesMakeOnePacketAtTheInputPointer) {
    SimBus bus("2d");
    bus.mark();
    std::lock_guard<std::recursive_mutex> hold(bus.ctx.board_lock[1]);
    for (std::uint16_t i = 0; i < 6; ++i)
        append_list_entry(bus.ctx, 1, static_cast<std::uint16_t>(0x10 + i), 1, 2, 3);
    EXPECT_TRUE(bus.wire().empty());
    EXPECT_EQ(bus.slot(1).batch_count, 6);
    append_list_entry(bus.ctx, 1, 0x16, 0xFFFF, 0x8000, 0x0001);
    std::string expected = "1 OUT 3800000400";
    for (int i = 0; i < 6; ++i)
        expected += "1" + std::to_string(i) + "00010002000300";
    expected += "1600ffff00800100";
    EXPECT_EQ(bus.wire(), std::vector<std::string>{expected});
    EXPECT_EQ(expected.size(), std::string("1 OUT ").size() + 2 * 61);
    EXPECT_EQ(bus.slot(1).input_pointer, 0x20000u + 28);
    EXPECT_EQ(bus.slot(1).batch_count, 0);
    EXPECT_EQ(bus.board(1).peek(0x20000 + 24), 0x16);
}

TEST(ListBatch, MailboxCommandFirstWritesThePartialBatch) {
    SimBus bus("2d");
    bus.mark();
    std::lock_guard<std::recursive_mutex> hold(bus.ctx.board_lock[1]);
    for (std::uint16_t i = 1; i <= 3; ++i)
        append_list_entry(bus.ctx, 1, i, 0, 0, 0);
    bus.slot(1).command_mailbox[0] = 99;
    exchange_mailbox(bus.ctx, 1, 0, 0);
    const auto wire = bus.wire();
    ASSERT_EQ(wire.size(), 2u);
    EXPECT_EQ(wire[0], "1 OUT 1800000400"
                       "0100000000000000"
                       "0200000000000000"
                       "0300000000000000");
    EXPECT_EQ(wire[1].substr(0, 16), "1 OUT 1400060000");
    EXPECT_EQ(bus.slot(1).input_pointer, 0x20000u + 12);
}

TEST(ListBatch, FlushWithNothingWaitingSendsNothing) {
    SimBus bus("2d");
    bus.mark();
    flush_list_batch(bus.ctx, 1);
    EXPECT_TRUE(bus.wire().empty());
    EXPECT_EQ(bus.slot(1).input_pointer, 0x20000u);
}

TEST(ListBatch, FailedBatchWriteStillMovesTheInputPointer) {
    SimBus bus("2d");
    bus.board(1).fail_transfer(bus.board(1).transfers() + 1);
    std::lock_guard<std::recursive_mutex> hold(bus.ctx.board_lock[1]);
    for (int i = 0; i < 7; ++i)
        append_list_entry(bus.ctx, 1, 5, 5, 5, 5);
    EXPECT_EQ(bus.slot(1).input_pointer, 0x20000u + 28);
    EXPECT_EQ(bus.slot(1).last_status, kStatusTransferError);
    EXPECT_EQ(bus.board(1).peek(0x20000), sim::kUnwrittenWord);
}

TEST(Mailbox, PacketCarriesAllTenWordsReversedWithTheCodeLast) {
    SimBus bus("2d");
    bus.mark();
    std::uint16_t* mailbox = bus.slot(1).command_mailbox;
    for (int k = 0; k < 10; ++k)
        mailbox[k] = static_cast<std::uint16_t>(0x0100 * k + k);
    mailbox[0] = 0x0042;
    exchange_mailbox(bus.ctx, 1, 3, 0);
    EXPECT_EQ(bus.wire(), std::vector<std::string>{"1 OUT 1400060000"
                                                   "0909080807070606050504040303020201014200"});
    const auto log = bus.board(1).mailbox_log();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back().words[0], 0x42);
    EXPECT_EQ(log.back().words[9], 0x0909);
}

TEST(Mailbox, QueryPollsUntilWordZeroIsClearedAndReadsTheResults) {
    SimBus bus("2d:fw=2777");
    bus.board(1).set_busy_polls(2);
    bus.mark();
    bus.slot(1).command_mailbox[0] = 17;
    exchange_mailbox(bus.ctx, 1, 0, 1);
    EXPECT_EQ(bus.slot(1).command_mailbox[0], 0);
    EXPECT_EQ(bus.slot(1).command_mailbox[1], 2777);
    const auto wire = bus.wire();
    ASSERT_EQ(wire.size(), 1u + 3 * 2);
    for (int poll = 0; poll < 3; ++poll) {
        EXPECT_EQ(wire[1 + 2 * poll], "1 OUT 9400060000");
        EXPECT_EQ(wire[2 + 2 * poll].substr(0, 15), "1 IN 9400060000");
    }
    EXPECT_EQ(wire.back().size(), std::string("1 IN ").size() + 2 * 25);
}

TEST(Mailbox, WordsACommandDoesNotSetGoOutAsTheLastReplyLeftThem) {
    SimBus bus("2d:fw=2600");
    bus.slot(1).command_mailbox[0] = 17;
    exchange_mailbox(bus.ctx, 1, 0, 1); // the reply leaves 2600 (0x0a28) in word 1
    bus.mark();
    bus.slot(1).command_mailbox[0] = 0x33;
    exchange_mailbox(bus.ctx, 1, 0, 0);
    const auto wire = bus.wire();
    ASSERT_EQ(wire.size(), 1u);
    EXPECT_EQ(wire[0].substr(wire[0].size() - 8), "280a3300");
}

TEST(Mailbox, NegativeCountOnlyPolls) {
    SimBus bus("2d");
    bus.mark();
    exchange_mailbox(bus.ctx, 1, -1, 1);
    const auto wire = bus.wire();
    ASSERT_EQ(wire.size(), 2u);
    EXPECT_EQ(wire[0], "1 OUT 9400060000");
}

struct PollFailureCase {
    const char* name;
    int failing_transfer; // counted from the mailbox packet
    bool time_out;
    std::size_t transfers_seen;
};

TEST(Mailbox, FailuresEndTheExchangeWithWordZeroCleared) {
    const PollFailureCase cases[] = {
        {"mailbox packet", 1, false, 0},
        {"poll request", 2, false, 1},
        {"poll reply", 3, false, 2},
        {"poll reply times out", 3, true, 2},
    };
    for (const auto& c : cases) {
        SimBus bus("2d");
        bus.board(1).set_busy_polls(sim::kNever);
        bus.board(1).fail_transfer(bus.board(1).transfers() + c.failing_transfer, c.time_out);
        bus.mark();
        bus.slot(1).command_mailbox[0] = 17;
        exchange_mailbox(bus.ctx, 1, 0, 1);
        EXPECT_NE(bus.slot(1).last_status, 0u) << c.name;
        EXPECT_EQ(bus.wire().size(), c.transfers_seen) << c.name;
        if (c.failing_transfer > 1)
            EXPECT_EQ(bus.slot(1).command_mailbox[0], 0) << c.name;
        else
            EXPECT_EQ(bus.slot(1).command_mailbox[0], 17) << c.name;
    }
}

TEST(Mailbox, BoardThatNeverFinishesIsPolledUntilAReplyFails) {
    SimBus bus("2d");
    bus.board(1).set_busy_polls(sim::kNever);
    const std::uint64_t start = bus.board(1).transfers();
    bus.board(1).fail_transfer(start + 1 + 2 * 500); // the 500th poll's reply
    bus.slot(1).command_mailbox[0] = 17;
    exchange_mailbox(bus.ctx, 1, 0, 1);
    EXPECT_EQ(bus.board(1).transfers() - start, 1u + 2 * 500);
    EXPECT_EQ(bus.slot(1).command_mailbox[0], 0);
    EXPECT_EQ(bus.slot(1).last_status, kStatusTransferError);
}

TEST(RecoverPipes, NextSendAfterAFailureResetsBothPipesFirst) {
    SimBus bus("2d");
    bus.board(1).fail_transfer(bus.board(1).transfers() + 1);
    const std::uint16_t word = 1;
    writemem(bus.ctx, 1, 0x100, 1, &word);
    ASSERT_EQ(bus.slot(1).last_status, kStatusTransferError);
    const std::uint64_t resets = bus.board(1).pipe_resets();
    writemem(bus.ctx, 1, 0x100, 1, &word);
    EXPECT_EQ(bus.board(1).pipe_resets(), resets + 2);
    EXPECT_EQ(bus.slot(1).last_status, 0u);
    EXPECT_EQ(bus.board(1).peek(0x100), 1);
    writemem(bus.ctx, 1, 0x100, 1, &word);
    EXPECT_EQ(bus.board(1).pipe_resets(), resets + 2); // no reset after a good transfer
}

TEST(RecoverPipes, ResetDropsAReplyLeftOverByACancelledRead) {
    SimBus bus("2d");
    bus.board(1).poke(0x700, 0x1111);
    bus.board(1).poke(0x800, 0x2222);
    bus.board(1).fail_transfer(bus.board(1).transfers() + 2, /*time_out=*/true);
    std::uint16_t out = 0;
    std::uint16_t* p = &out;
    readmem(bus.ctx, 1, 0x700, 1, p);
    p = &out;
    readmem(bus.ctx, 1, 0x800, 1, p);
    EXPECT_EQ(out, 0x2222);
    EXPECT_EQ(bus.slot(1).last_status, 0u);
}

TEST(SafeTrunc, TruncatesTowardZeroKeepingTheLow32Bits) {
    const struct {
        double x;
        std::int32_t expected;
    } cases[] = {
        {0.0, 0},
        {2.9, 2},
        {-2.9, -2},
        {2147483647.5, 2147483647},
        {2147483648.0, -2147483647 - 1},
        {4294967296.0 + 5.0, 5},
        {-4294967296.0 - 5.0, -5},
        {std::numeric_limits<double>::quiet_NaN(), 0},
        {std::numeric_limits<double>::infinity(), 0},
        {-1e300, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(safe_trunc(c.x), c.expected) << c.x;
}

} // namespace
} // namespace quarnel::testing
