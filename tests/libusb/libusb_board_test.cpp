// The driver for real boards, end to end: the library on libusb against boards emulated on a
// umockdev bus by quarnel4_usb_runner, each test on a bus of its own. The boards behind the
// emulated devices are the simulated boards, so what they answer is known.
#include "runner_link.h"

#include "../library/loader_bus.h"

#include "quarnel4.h"
#include "usb/driver_records.h"
#include "usb/libusb/libusb_driver.h"

#include <chrono>
#include <thread>

namespace quarnel::testing {
namespace {

constexpr std::uint32_t kTimedOut = kStatusTransferCancelled & 0x0FFFFFFF;
constexpr std::uint32_t kStalled = kStatusEndpointStalled & 0x0FFFFFFF;
constexpr std::uint32_t kFailed = kStatusTransferError & 0x0FFFFFFF;
constexpr std::uint32_t kGone = kStatusDeviceGone & 0x0FFFFFFF;
constexpr std::uint32_t kNoBoardFound = kStatusNoBoard & 0x0FFFFFFF;

// A library context on the libusb driver, made after the boards it should find are plugged;
// the exports act on it while it lives.
class LibusbBus {
public:
    LibusbBus() {
        ctx.driver = make_libusb_driver();
        ctx.platform.lock_dir = dir_.path();
        if (!ctx.driver) {
            ADD_FAILURE() << "libusb does not start";
            return;
        }
        status = enumerate_boards(ctx);
    }
    const std::string& directory() const { return dir_.path(); }

private:
    TempDir dir_;

public:
    Context ctx;
    std::uint32_t status = 0;

private:
    CurrentContext current_{ctx};
};

class Libusb : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(runner.connected()) << "run under quarnel4_usb_runner";
    }
    void TearDown() override {
        if (runner.connected())
            runner.clear(); // the next test starts on an empty bus
    }
    RunnerLink runner;
};

using LibusbEnumeration = Libusb;
using LibusbStartup = Libusb;
using LibusbLists = Libusb;
using LibusbQueries = Libusb;
using LibusbDifferential = Libusb;
using LibusbFaults = Libusb;
using LibusbThreads = Libusb;

std::vector<std::uint16_t> read_words(Context& ctx, std::uint32_t b, std::uint32_t address,
                                      std::uint32_t n) {
    std::vector<std::uint16_t> words(n);
    std::uint16_t* p = words.data();
    readmem(ctx, b, address, n, p);
    return words;
}

// ---- Enumeration ----

TEST_F(LibusbEnumeration, OneBoardShowsItsVersionsAndSerialNumber) {
    runner.plug(1, "2d");
    LibusbBus bus;
    EXPECT_EQ(bus.status, 0u);
    EXPECT_EQ(quarnel_count_cards(), 1);
    EXPECT_EQ(get_hex_version(), 2600);
    EXPECT_EQ(get_oru_version(), 0x0001);
    EXPECT_EQ(get_serial_number(), 1001);
    EXPECT_EQ(usb_status(), 0u);
    EXPECT_EQ(n_usb_status(2), kNoBoardFound);
}

TEST_F(LibusbEnumeration, BoardsAreNumberedInBusOrderAndAnotherReleaseIsSkipped) {
    // Plugged in another order than their ports: the bus order counts.
    runner.plug(4, "3d:fw=3200");
    runner.plug(1, "2d:release=0x0506");
    runner.plug(2, "2d:fw=2700");
    LibusbBus bus;
    EXPECT_EQ(bus.status, 0u);
    ASSERT_EQ(quarnel_count_cards(), 2);
    EXPECT_EQ(bus.ctx.slots[1].is_3d, 0);
    EXPECT_EQ(bus.ctx.slots[2].is_3d, 1);
    EXPECT_EQ(n_get_hex_version(1), 2700);
    EXPECT_EQ(n_get_serial_number(1), 1003);
    EXPECT_EQ(n_get_hex_version(2), 3200);
    EXPECT_EQ(n_get_oru_version(2), 0x0401);
    EXPECT_EQ(n_get_serial_number(2), 1001);
}

TEST_F(LibusbEnumeration, ABoardPluggedAfterStartIsFoundByTheNextEnumeration) {
    runner.plug(2, "2d");
    LibusbBus bus;
    EXPECT_EQ(quarnel_count_cards(), 1);
    runner.plug(1, "3d");
    std::uint32_t count = 0;
    EXPECT_EQ(usb_reinitialize(&count), 0u);
    EXPECT_EQ(count, 2u);
    EXPECT_EQ(n_get_hex_version(1), 3100);
    EXPECT_EQ(n_get_hex_version(2), 2600);
}

TEST_F(LibusbEnumeration, AnotherBoardInThePortOfOnePulledOutIsFound) {
    runner.plug(1, "2d");
    LibusbBus bus;
    runner.unplug(1);
    runner.plug(1, "3d");
    // The pipes of the board pulled out are still open when the next enumeration runs.
    std::uint32_t count = 0;
    EXPECT_EQ(usb_reinitialize(&count), 0u);
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(get_hex_version(), 3100);
    EXPECT_EQ(usb_status(), 0u);
}

// ---- Start-up: program and correction loading ----

TEST_F(LibusbStartup, ProgramAndCorrectionTableLoadAndReadBack) {
    runner.plug(1, "2d");
    LibusbBus bus;
    ASSERT_EQ(load_program_file(""), 0) << "the board is ready";
    const std::string program =
        write_text_file(bus.directory(), "p.hex", "0102A0B0\r\nFFEE00110203040506070809");
    EXPECT_EQ(load_program_file((program + ".update").c_str()), 0); // reads the program back
    std::vector<std::uint16_t> table(8450);
    for (std::size_t i = 0; i < table.size(); ++i)
        table[i] = static_cast<std::uint16_t>(0x8000 + 37 * i);
    const std::string correction = write_word_file(bus.directory(), "table.ctb", table);
    EXPECT_EQ(load_cor(correction.c_str()), 0);
    EXPECT_EQ(read_words(bus.ctx, 1, 0x3000, 29),
              std::vector<std::uint16_t>(table.begin(), table.begin() + 29));
    EXPECT_EQ(usb_status(), 0u);
}

// ---- Lists ----

TEST_F(LibusbLists, AListIsDownloadedAndExecuted) {
    runner.plug(1, "2d");
    LibusbBus bus;
    set_start_list_1();
    set_jump_speed(5000);
    set_mark_speed(1000);
    jump_abs(100, 200);
    for (int i = 1; i <= 20; ++i) // more than one batch of seven entries
        mark_abs(100 + 50 * i, 200 - 30 * i);
    set_end_of_list();
    execute_list_1();
    std::uint16_t status = 0xFFFF;
    for (int poll = 0; poll < 100 && (status & 0x30); ++poll)
        status = read_status();
    EXPECT_EQ(status & 0x30, 0) << "the list ran to its end";
    std::int16_t x = 0, y = 0;
    get_xy_pos(&x, &y);
    EXPECT_EQ(x, 1100);
    EXPECT_EQ(y, -400);
    EXPECT_EQ(usb_status(), 0u);
}

// ---- Mailbox queries ----

TEST_F(LibusbQueries, QueriesAnswerWhatTheBoardHolds) {
    runner.plug(1, "3d:fw=3300:serial=4242:inputs=0x1234:head=0x5800");
    LibusbBus bus;
    EXPECT_EQ(get_hex_version(), 3300);
    EXPECT_EQ(get_serial_number(), 4242);
    EXPECT_EQ(read_io_port(), 0x1234);
    EXPECT_EQ(get_head_status(1), 0x5800);
    EXPECT_EQ(get_head_status(2), 0xD800);
    EXPECT_EQ(usb_status(), 0u);
}

// ---- The same commands through the simulated driver and through libusb ----

// A varied sequence: loaders, memory reads and writes of 0 to 29 words, list batches and
// partial batches, immediate commands and queries on two boards.
void command_sequence(Context& ctx, const std::string& directory) {
    CurrentContext current(ctx);
    const std::string program = write_text_file(directory, "p.hex", "0102A0B0FFEE0011");
    EXPECT_EQ(n_load_program_file(1, (program + ".update").c_str()), 0);
    std::vector<std::uint16_t> table(16973);
    for (std::size_t i = 0; i < table.size(); ++i)
        table[i] = static_cast<std::uint16_t>(0x4000 + 11 * i);
    const std::string correction = write_word_file(directory, "table.ctb", table);
    EXPECT_EQ(n_load_cor(2, correction.c_str()), 0);
    const std::uint16_t words[29] = {1, 2, 3, 0xFFFF, 0x8000, 7, 8, 9};
    ::writemem(1, 0x1000, 29, words);
    ::writemem(2, 0x1000, 0, words);
    std::uint16_t back[29] = {};
    std::uint16_t* p = back;
    ::readmem(1, 0x1000, 29, &p);
    ::readmem(2, 0x1000, 0, &p);
    for (std::uint32_t b = 1; b <= 2; ++b) {
        n_set_start_list_1(b);
        n_set_laser_delays(b, 100, 120);
        n_set_scanner_delays(b, 25, 10, 5);
        n_jump_abs(b, -1000, 1000);
        for (int i = 0; i < 9; ++i)
            n_mark_abs(b, -1000 + 250 * i, 1000 - 125 * i);
        n_long_delay(b, 40);
        n_set_end_of_list(b);
        n_execute_list_1(b);
        n_read_status(b);
        n_write_da_1(b, 0x200);
        std::int16_t x = 0, y = 0;
        n_get_xy_pos(b, &x, &y);
        n_get_time(b);
        n_get_serial_number(b);
        n_get_startstop_info(b);
    }
}

std::vector<std::string> lines_of(const std::string& file) {
    std::vector<std::string> lines;
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

TEST_F(LibusbDifferential, TheBoardsSeeTheSamePacketsAsThroughTheSimulatedDriver) {
    const std::string boards = "2d:fw=2800,3d";
    SimBus sim(boards);
    command_sequence(sim.ctx, sim.directory());
    const std::vector<std::string> expected = sim.wire();

    TempDir dir;
    const std::string trace = dir.path() + "/usb-trace.txt";
    runner.trace(trace);
    runner.plug(1, "2d:fw=2800");
    runner.plug(2, "3d");
    {
        LibusbBus bus;
        EXPECT_EQ(bus.status, sim.status);
        command_sequence(bus.ctx, bus.directory());
    }
    const std::vector<std::string> actual = lines_of(trace);
    ASSERT_GT(expected.size(), 300u) << "a sequence worth comparing";
    EXPECT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < std::min(actual.size(), expected.size()); ++i)
        ASSERT_EQ(actual[i], expected[i]) << "transfer " << i + 1;
}

// ---- Faults: each ends in its status; the board answers again where it should ----

TEST_F(LibusbFaults, EachFaultEndsInItsStatusAndTheNextSendRecovers) {
    struct Case {
        const char* fault;
        std::uint32_t status;
        std::chrono::milliseconds at_least; // how long the failing query takes
    };
    const Case cases[] = {
        // libusb cancels the transfer at the mailbox packet's time-out of 1001 ms.
        {"timeout", kTimedOut, std::chrono::milliseconds(1000)},
        {"stall", kStalled, {}},
        {"fail", kFailed, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fault);
        runner.clear();
        runner.plug(1, "2d");
        LibusbBus bus;
        const unsigned long resets = runner.resets(1);
        runner.fault(1, c.fault);
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(get_serial_number(), 0);
        EXPECT_GE(std::chrono::steady_clock::now() - start, c.at_least);
        EXPECT_EQ(usb_status(), c.status);
        EXPECT_EQ(get_serial_number(), 1001);
        EXPECT_EQ(usb_status(), 0u);
        EXPECT_EQ(runner.resets(1), resets + 2) << "both pipes reset before the next send";
    }
}

TEST_F(LibusbFaults, AShortReplyHandsBackTheWordsItCarried) {
    runner.plug(1, "2d");
    LibusbBus bus;
    std::vector<std::uint16_t> words(29);
    for (std::size_t i = 0; i < words.size(); ++i)
        words[i] = static_cast<std::uint16_t>(0x100 + i);
    writemem(bus.ctx, 1, 0x1000, 29, words.data());
    runner.fault(1, "short:9");
    std::vector<std::uint16_t> back(29);
    std::uint16_t* p = back.data();
    EXPECT_EQ(readmem(bus.ctx, 1, 0x1000, 29, p), 2u) << "the reply carried two words";
    EXPECT_EQ(back[0], 0x100);
    EXPECT_EQ(back[1], 0x101);
    EXPECT_EQ(usb_status(), 0u) << "a short reply is no failure of the transfer";
    EXPECT_EQ(read_words(bus.ctx, 1, 0x1000, 29), words);
}

TEST_F(LibusbFaults, ABoardUnpluggedDuringATransferIsGone) {
    runner.plug(1, "2d");
    LibusbBus bus;
    runner.fault(1, "unplug");
    EXPECT_EQ(get_hex_version(), 0);
    EXPECT_EQ(usb_status(), kGone);
    EXPECT_EQ(get_hex_version(), 0);
    EXPECT_EQ(usb_status(), kGone) << "the pipes cannot be reset on a board that is gone";
    std::uint32_t count = 9;
    EXPECT_EQ(usb_reinitialize(&count), kNoBoardFound);
    EXPECT_EQ(count, 0u);
}

// ---- Two boards from two threads ----

void work_on_board(std::uint32_t b, std::uint16_t firmware, int rounds) {
    for (int i = 0; i < rounds; ++i) {
        const std::uint32_t address = 0x1000 + 4u * static_cast<std::uint32_t>(i);
        const std::uint16_t words[3] = {static_cast<std::uint16_t>(b),
                                        static_cast<std::uint16_t>(i), 0xA5A5};
        ::writemem(b, address, 3, words);
        n_jump_abs(b, i, -i);
        EXPECT_EQ(n_get_hex_version(b), firmware);
        std::uint16_t back[3] = {};
        std::uint16_t* p = back;
        ::readmem(b, address, 3, &p);
        EXPECT_TRUE(std::equal(back, back + 3, words)) << "board " << b << " round " << i;
    }
    EXPECT_EQ(n_usb_status(b), 0u);
    EXPECT_EQ(n_get_input_pointer(b), static_cast<std::uint32_t>(rounds));
}

TEST_F(LibusbThreads, TwoBoardsDrivenFromTwoThreads) {
    runner.plug(1, "2d");
    runner.plug(2, "3d:busy_polls=2");
    LibusbBus bus;
    ASSERT_EQ(quarnel_count_cards(), 2);
    constexpr int kRounds = 40;
    std::thread first(work_on_board, 1, 2600, kRounds);
    std::thread second(work_on_board, 2, 3100, kRounds);
    first.join();
    second.join();
}

} // namespace
} // namespace quarnel::testing
