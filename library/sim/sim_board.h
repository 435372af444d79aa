// The simulated controller board: a replacement board that honours the packet formats, the
// memory map and the mailbox completion rule.
//
// Memory: 16-bit words over the whole 24-bit byte address space (word addresses
// 0..0x7FFFFF), allocated in pages on first write; unwritten words read 0, except in list
// memory, where they read kUnwrittenWord (word_memory.h) so that a list that runs into
// them shows the missing write.
//
// Packets (OUT pipe): byte 0 = 2n (write n words) or 0x80 + 2n (read n words), bytes 1-3 the
// byte address (2 x word address, little-endian), byte 4 = 0, then the words of a write.
// A read request queues a reply for the IN pipe: the request's 5 header bytes, then the
// words. An IN transfer with no reply queued times out (nothing moves).
//
// Mailbox: the ten words at 0x300..0x309 hold mailbox words 9..0 (word k at 0x309 - k), so
// the command code, mailbox word 0, is at 0x309 and arrives last in a mailbox packet. A write
// that leaves word 0 non-zero is a command: the board hands the code to its firmware (and,
// when a test asked for it, logs the ten words); when the firmware reports it done, the board clears word 0 and the
// results stand in words 1..9.
//
// Firmware (the pluggable part): a SimFirmware receives
//   on_command(board, code): called under the board's lock when a command arrives; read the
//       arguments with board.mailbox_word(1..9), write results with set_mailbox_word().
//       Return true when the command is done (the board clears word 0 at once); return false
//       to leave it running and call board.finish_command() later, e.g. from advance().
//   advance(board, now_us): called under the board's lock before the board answers each
//       transfer (OUT or IN) with the board's clock in microseconds since the board was
//       made; run lists and timers up to that moment.
// The clock stands still unless a test moves it (advance_clock) or the driver gives the
// board a clock source (set_clock_source), e.g. real time scaled.
//
// Faults: the configuration (sim_config.h) can refuse driver requests, fail or time out
// given transfers, keep word 0 set for a number of polls; tests may inject more in-process.
#pragma once

#include "sim/sim_config.h"
#include "sim/word_memory.h"

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace quarnel::sim {

class SimBoard;

class SimFirmware {
public:
    virtual ~SimFirmware() = default;
    virtual bool on_command(SimBoard& board, std::uint16_t code) = 0;
    virtual void advance(SimBoard& board, std::uint64_t now_us) {
        (void)board;
        (void)now_us;
    }
};

// The firmware a new simulated board runs (sim_firmware_factory.cpp).
std::unique_ptr<SimFirmware> make_sim_firmware(const SimBoardConfig& config);

struct MailboxRecord {
    std::array<std::uint16_t, 10> words; // mailbox words 0..9 as the command arrived
};

// How one pipe transfer ends, as the board sees it.
struct TransferOutcome {
    std::uint32_t status = 0;
    std::uint32_t moved = 0;
    bool timed_out = false;
};

constexpr std::uint32_t kWordSpace = 0x800000;       // word addresses 0..0x7FFFFF
constexpr std::uint32_t kMailboxBase = 0x300;        // mailbox word 9
constexpr std::uint32_t kMailboxCommandWord = 0x309; // mailbox word 0

class SimBoard {
public:
    SimBoard(int place, SimBoardConfig config, std::unique_ptr<SimFirmware> firmware = nullptr);
    ~SimBoard();
    SimBoard(const SimBoard&) = delete;
    SimBoard& operator=(const SimBoard&) = delete;

    int place() const { return place_; } // 1-based place in QUARNEL_SIM
    const SimBoardConfig& config() const { return config_; }

    // --- The USB side (used by the sim driver) ---
    TransferOutcome transfer_out(const std::uint8_t* data, std::uint32_t count);
    TransferOutcome transfer_in(std::uint8_t* data, std::uint32_t count);
    void reset_pipe(bool in_pipe);
    bool request_fails(const char* step) const;
    bool configured() const;
    void set_configured(bool on);
    void handle_opened();
    void handle_closed();

    // --- For firmware (call with the board's lock held, i.e. from the hooks) ---
    std::uint16_t word(std::uint32_t address) const;
    void set_word(std::uint32_t address, std::uint16_t value);
    void clear_words(std::uint32_t first, std::uint32_t count); // back to unwritten
    std::uint16_t mailbox_word(int k) const { return word(kMailboxCommandWord - k); }
    void set_mailbox_word(int k, std::uint16_t v) { set_word(kMailboxCommandWord - k, v); }
    void finish_command() { set_word(kMailboxCommandWord, 0); }
    std::uint64_t now_us() const { return now_us_; }
    SimFirmware& firmware() { return *firmware_; }

    // --- For tests and the driver (take the board's lock) ---
    std::uint16_t peek(std::uint32_t address) const;
    void poke(std::uint32_t address, std::uint16_t value);
    // Every command arriving from now on is logged; without it nothing is kept, so that a
    // board that runs for days holds no growing record.
    void keep_mailbox_log();
    std::vector<MailboxRecord> mailbox_log() const;
    std::uint64_t transfers() const;   // pipe transfers so far
    std::uint64_t pipe_resets() const;
    int open_handles() const;          // device handles open on this board
    void fail_transfer(std::uint64_t number, bool time_out = false); // number from 1
    void shorten_reply(std::uint64_t number, std::uint32_t bytes); // that IN transfer moves at most bytes
    void stick_word(std::uint32_t address, std::uint16_t value);    // a broken cell: replies read value
    void set_busy_polls(int polls);    // kNever: commands never finish
    void advance_clock(std::uint64_t microseconds);
    void set_clock_source(std::function<std::uint64_t()> source);
    // Runs `fn` under the board's lock (for firmware state a test wants to look at).
    void with_lock(const std::function<void(SimBoard&)>& fn);
    // Plugs in another firmware (e.g. one that scripts replies) and hands back the old one.
    std::unique_ptr<SimFirmware> replace_firmware(std::unique_ptr<SimFirmware> firmware);

private:
    using Page = std::array<std::uint16_t, 4096>;

    void tick();
    void handle_packet(const std::uint8_t* data, std::uint32_t count);
    void command_arrived();
    bool check_fault(TransferOutcome& outcome);

    const int place_;
    SimBoardConfig config_;
    std::unique_ptr<SimFirmware> firmware_;
    mutable std::recursive_mutex mutex_;
    std::vector<std::unique_ptr<Page>> pages_;
    std::vector<std::uint8_t> reply_;
    bool reply_queued_ = false;
    std::vector<MailboxRecord> log_;
    bool keep_log_ = false;
    std::map<std::uint64_t, std::uint32_t> short_replies_;  // transfer number -> bytes
    std::map<std::uint32_t, std::uint16_t> stuck_words_;    // word address -> value read
    std::uint64_t transfers_ = 0;
    std::uint64_t resets_ = 0;
    int handles_ = 0;
    bool configured_ = false;
    bool command_pending_ = false; // waiting for busy_polls to run out
    int polls_left_ = 0;
    std::uint64_t now_us_ = 0;
    std::function<std::uint64_t()> clock_source_;
};

} // namespace quarnel::sim
