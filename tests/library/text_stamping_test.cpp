// Text stamping: the character table, the board's clock and the serial number as the board
// receives them (in the plain and in the checked build), the pause after setting the clock,
// and the entries of the list commands.
#include "command_test_boards.h"
#include "list_batch.h"
#include "quarnel4.h"

#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <future>
#include <limits>
#include <thread>

namespace quarnel::testing {
namespace {

std::tm clock_at(int year, int month, int day, int hour, int minute, int second, int weekday) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    t.tm_wday = weekday; // 0 = Sunday
    return t;
}

// Boards whose clock is a given time and whose pauses are recorded, not slept.
class TextStamping : public ::testing::Test {
protected:
    TextStamping() {
        boards.ctx().platform.local_time = [this](std::tm& out) {
            out = now;
            return clock_readable;
        };
        boards.ctx().platform.sleep_ms = [this](unsigned ms) { sleeps.push_back(ms); };
    }

    CommandTestBoards boards{"2d,2d"};
    std::tm now = clock_at(2024, 3, 17, 9, 5, 59, 0);
    bool clock_readable = true;
    std::vector<unsigned> sleeps;
};

struct MailboxCase {
    const char* name;
    std::function<void()> call;
    std::vector<Sent> sent; // empty: nothing reaches the board
};

TEST_F(TextStamping, CharacterTableAndSerialNumber) {
    const std::vector<MailboxCase> cases = {
        {"char table 39 at 999999", [] { set_char_table(39, 999999); }, {{88, {39, 15, 0x423F}}}},
        {"char table 0 at 1", [] { set_char_table(0, 1); }, {{88, {0, 0, 1}}}},
        {"char table 40", [] { set_char_table(40, 1); }, {}},
        {"char table at 0", [] { set_char_table(0, 0); }, {}},
        {"char table at 1000000", [] { set_char_table(1, 1000000); }, {}},
        {"char table at -5", [] { set_char_table(1, -5); }, {}},
        {"char table index is its low 16 bits", [] { set_char_table(0x10003, 7); }, {{88, {3, 0, 7}}}},
        {"serial 1234567890", [] { set_serial(1234567890); }, {{90, {0, 9, 8, 7, 6, 5, 4, 3, 258}}}},
        {"serial -42", [] { set_serial(-42); }, {{90, {2, 4, 0, 0, 0, 0, 0, 0, 0}}}},
        {"serial 0", [] { set_serial(0); }, {{90, {0, 0, 0, 0, 0, 0, 0, 0, 0}}}},
        {"serial 2147483647", [] { set_serial(2147483647); },
         {{90, {7, 4, 6, 3, 8, 4, 7, 4, 2 * 256 + 1}}}},
        {"serial -2147483647", [] { set_serial(-2147483647); },
         {{90, {7, 4, 6, 3, 8, 4, 7, 4, 2 * 256 + 1}}}},
        {"serial 1000000000", [] { set_serial(1000000000); }, {{90, {0, 0, 0, 0, 0, 0, 0, 0, 256}}}},
    };
    for (bool checked : {false, true}) {
        boards.ctx().checked = checked;
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (checked ? " (checked)" : " (plain)"));
            c.call();
            expect_sent(boards.commands(), c.sent);
        }
    }
}

// The one input whose magnitude has no signed 32-bit form: the plain build sends the digits of
// 2147483648, the checked build sends nothing and leaves the board free.
TEST_F(TextStamping, SerialOfTheLowestNumberDependsOnTheBuild) {
    constexpr std::int32_t lowest = std::numeric_limits<std::int32_t>::min();
    boards.ctx().checked = false;
    set_serial(lowest);
    expect_sent(boards.commands(), {{90, {8, 4, 6, 3, 8, 4, 7, 4, 2 * 256 + 1}}});

    boards.ctx().checked = true;
    const auto transfers = boards.transfers();
    set_serial(lowest);
    expect_sent(boards.commands(), {});
    EXPECT_EQ(boards.transfers(), transfers);
    std::async(std::launch::async, [&] {
        EXPECT_TRUE(boards.ctx().board_lock[1].try_lock());
        boards.ctx().board_lock[1].unlock();
    }).wait();
}

struct ClockCase {
    const char* name;
    std::tm clock;
    bool checked;
    std::vector<Sent> sent; // empty: nothing is sent and nothing is slept
};

TEST_F(TextStamping, ClockGoesOutAsPackedDecimalThenTheBoardPauses) {
    const std::vector<ClockCase> cases = {
        {"a Sunday", clock_at(2024, 3, 17, 9, 5, 59, 0), false,
         {{89, {0x17, 1, 0x03, 0x24, 0x09, 0x05, 0x59}}}},
        {"a Saturday at the end of a year", clock_at(2099, 12, 31, 23, 59, 58, 6), true,
         {{89, {0x31, 7, 0x12, 0x99, 0x23, 0x59, 0x58}}}},
        {"first second of 2000", clock_at(2000, 1, 1, 0, 0, 0, 6), true,
         {{89, {0x01, 7, 0x01, 0x00, 0x00, 0x00, 0x00}}}},
        {"a leap second", clock_at(2016, 12, 31, 23, 59, 60, 6), true,
         {{89, {0x31, 7, 0x12, 0x16, 0x23, 0x59, 0x60}}}},
        // From 2100 on the year within the century is 100 or more; 100 packs to 0xA0.
        {"2100, plain", clock_at(2100, 1, 1, 0, 0, 0, 5), false, {{89, {1, 6, 1, 0xA0, 0, 0, 0}}}},
        {"2100, checked", clock_at(2100, 1, 1, 0, 0, 0, 5), true, {{89, {1, 6, 1, 0xA0, 0, 0, 0}}}},
        // Before 2000 the plain build keeps the low 16 bits: -1 is 65535, which packs to
        // 5 + 16 x 6553 = 104853, of which 0x9995 is kept.
        {"1999, plain", clock_at(1999, 12, 31, 12, 0, 0, 5), false, {{89, {0x31, 6, 0x12, 0x9995, 0x12, 0, 0}}}},
        {"1970, plain", clock_at(1970, 1, 1, 0, 0, 0, 4), false, {{89, {1, 5, 1, 0x9966, 0, 0, 0}}}},
        {"1999, checked", clock_at(1999, 12, 31, 12, 0, 0, 5), true, {}},
        {"1970, checked", clock_at(1970, 1, 1, 0, 0, 0, 4), true, {}},
    };
    for (const ClockCase& c : cases) {
        SCOPED_TRACE(c.name);
        now = c.clock;
        boards.ctx().checked = c.checked;
        sleeps.clear();
        time_update();
        expect_sent(boards.commands(), c.sent);
        EXPECT_EQ(sleeps, c.sent.empty() ? std::vector<unsigned>{} : std::vector<unsigned>{2000});
    }
}

TEST_F(TextStamping, UnreadableClockOrBadBoardSendsNothing) {
    clock_readable = false;
    time_update();
    clock_readable = true;
    n_time_update(3);
    n_time_update(0);
    set_serial(1);
    n_set_serial(0, 1);
    n_set_char_table(3, 1, 1);
    expect_sent(boards.commands(), {{90, {1}}});
    EXPECT_TRUE(sleeps.empty());
    n_time_update(2);
    expect_sent(boards.commands(2), {{89, {0x17, 1}}});
    expect_sent(boards.commands(1), {});
}

// The board's lock is held through the pause: another thread's call on the same board waits,
// one on another board does not.
TEST_F(TextStamping, PauseHoldsTheBoardLock) {
    std::promise<void> pausing;
    std::promise<void> resume;
    std::shared_future<void> resumed = resume.get_future().share();
    boards.ctx().platform.sleep_ms = [&](unsigned) {
        pausing.set_value();
        resumed.wait_for(std::chrono::seconds(5));
    };
    std::thread clock_setter([] { time_update(); });
    pausing.get_future().wait();
    std::async(std::launch::async, [&] {
        EXPECT_FALSE(boards.ctx().board_lock[1].try_lock());
        EXPECT_TRUE(boards.ctx().board_lock[2].try_lock());
        boards.ctx().board_lock[2].unlock();
    }).wait();
    resume.set_value();
    clock_setter.join();
    std::async(std::launch::async, [&] {
        EXPECT_TRUE(boards.ctx().board_lock[1].try_lock());
        boards.ctx().board_lock[1].unlock();
    }).wait();
}

// With the library's own clock and pause the export reads the real time and really pauses.
TEST(TextStampingRealClock, ReturnsAfterTwoSeconds) {
    CommandTestBoards boards("2d");
    const Context defaults;
    boards.ctx().platform.sleep_ms = defaults.platform.sleep_ms;
    boards.ctx().platform.local_time = defaults.platform.local_time;
    const auto start = std::chrono::steady_clock::now();
    time_update();
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(2000));
    const auto sent = boards.commands();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].code, 89);
    EXPECT_GE(sent[0].words[1], 1);
    EXPECT_LE(sent[0].words[1], 7);
}

using TextStampingList = ListBatchTest;

TEST_F(TextStampingList, SelectorsAndDateChecks) {
    const std::vector<EntryCase> cases = {
        {"time_fix()", [] { time_fix(); }, {70, 0, 0, 0}},
        {"time_fix_f(0x12345)", [] { time_fix_f(0x12345); }, {70, 0x2345, 0, 0}},
        {"mark_time(2, 1)", [] { mark_time(2, 1); }, {71, 2, 1, 0}},
        {"mark_time(3, 0)", [] { mark_time(3, 0); }, kNoOp},
        {"mark_time(0, 2)", [] { mark_time(0, 2); }, kNoOp},
        {"mark_time(0x10000, 0)", [] { mark_time(0x10000, 0); }, {71, 0, 0, 0}},
        {"mark_date(4, 1)", [] { mark_date(4, 1); }, {72, 4, 1, 0}},
        {"mark_date(5, 0)", [] { mark_date(5, 0); }, kNoOp},
        {"mark_date(0, -1)", [] { mark_date(0, static_cast<std::uint32_t>(-1)); }, kNoOp},
        {"mark_serial(12, 10)", [] { mark_serial(12, 10); }, {73, 2, 10, 1}},
        {"mark_serial(7, 0)", [] { mark_serial(7, 0); }, {73, 7, 0, 0}},
        {"mark_serial(13, 0)", [] { mark_serial(13, 0); }, kNoOp},
        {"mark_serial(0, 11)", [] { mark_serial(0, 11); }, kNoOp},
        {"date_check(12, 13, 7)", [] { date_check(12, 13, 7); }, {74, 0x12, 0, 0x07}},
        {"date_check(10, 0, 0xFFFF)", [] { date_check(10, 0, 0xFFFF); }, {74, 0x10, 0, 0}},
        {"date_check(0x10009, 11, 1)", [] { date_check(0x10009, 11, 1); }, {74, 0x09, 0x11, 0x01}},
    };
    expect_entries(cases);
    EXPECT_TRUE(appended([] { n_mark_serial(3, 1, 1); }).empty());
    EXPECT_TRUE(appended([] { n_time_fix(0); }).empty());
    EXPECT_EQ(appended([] { n_date_check(2, 1, 2, 3); }, 2), (std::vector<ListEntry>{{74, 1, 2, 3}}));
}

} // namespace
} // namespace quarnel::testing
