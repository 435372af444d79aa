// Simulated boards for the command tests: the exports act on them (the context is current),
// each board's firmware answers the codes a test scripts and leaves every other command to
// the board's own firmware, and the test reads back the mailbox commands each board received.
#pragma once

#include "sim_bus.h"

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace quarnel::testing {

// One mailbox command as the board received it: the code and words 1..9.
struct ReceivedCommand {
    std::uint16_t code = 0;
    std::array<std::uint16_t, 9> words{};
};

// A command a test expects: its code and the words 1.. it sets (the others are not compared).
struct Sent {
    std::uint16_t code;
    std::vector<std::uint16_t> words;
};

inline void expect_sent(const std::vector<ReceivedCommand>& received, const std::vector<Sent>& expected) {
    ASSERT_EQ(received.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(received[i].code, expected[i].code) << "command " << i;
        for (std::size_t k = 0; k < expected[i].words.size(); ++k)
            EXPECT_EQ(received[i].words[k], expected[i].words[k])
                << "command " << i << " word " << k + 1;
    }
}

class ScriptedFirmware : public sim::SimFirmware {
public:
    using Answer = std::function<void(sim::SimBoard&)>;

    explicit ScriptedFirmware(std::unique_ptr<sim::SimFirmware> board_firmware)
        : board_firmware_(std::move(board_firmware)) {}

    bool on_command(sim::SimBoard& board, std::uint16_t code) override {
        const auto found = answers_.find(code);
        if (found == answers_.end()) return board_firmware_->on_command(board, code);
        found->second(board);
        return true;
    }
    void advance(sim::SimBoard& board, std::uint64_t now_us) override {
        board_firmware_->advance(board, now_us);
    }
    void answer(std::uint16_t code, Answer answer) { answers_[code] = std::move(answer); }

private:
    std::unique_ptr<sim::SimFirmware> board_firmware_;
    std::map<std::uint16_t, Answer> answers_;
};

class CommandTestBoards {
public:
    // `boards`: a simulated bus as QUARNEL_SIM writes it, e.g. "2d" or "2d,3d".
    explicit CommandTestBoards(const std::string& boards = "2d") : bus_(boards) {
        for (int place = 1; place <= bus_.driver->board_count(); ++place) {
            auto scripted = std::make_unique<ScriptedFirmware>(board(place).replace_firmware(nullptr));
            firmware_.push_back(scripted.get());
            board(place).replace_firmware(std::move(scripted));
            commands(place); // the enumeration's queries are not the test's
        }
    }
    CommandTestBoards(const CommandTestBoards&) = delete;
    CommandTestBoards& operator=(const CommandTestBoards&) = delete;

    Context& ctx() { return bus_.ctx; }
    sim::SimBoard& board(int place = 1) { return bus_.board(place); }

    // Scripts the reply words 1.. to a command code.
    void answer(std::uint16_t code, std::vector<std::uint16_t> words, int place = 1) {
        answer(code, [words](sim::SimBoard& b) {
            for (std::size_t k = 0; k < words.size(); ++k)
                b.set_mailbox_word(static_cast<int>(k + 1), words[k]);
        }, place);
    }
    void answer(std::uint16_t code, ScriptedFirmware::Answer answer, int place = 1) {
        board(place).with_lock([&](sim::SimBoard&) {
            firmware_.at(static_cast<std::size_t>(place - 1))->answer(code, std::move(answer));
        });
    }

    // The commands board `place` received since the last call.
    std::vector<ReceivedCommand> commands(int place = 1) {
        const std::vector<sim::MailboxRecord> log = board(place).mailbox_log();
        std::size_t& seen = seen_[place];
        std::vector<ReceivedCommand> fresh;
        for (std::size_t i = seen; i < log.size(); ++i) {
            ReceivedCommand c;
            c.code = log[i].words[0];
            std::copy(log[i].words.begin() + 1, log[i].words.end(), c.words.begin());
            fresh.push_back(c);
        }
        seen = log.size();
        return fresh;
    }

    // Makes the board's next transfer fail (`later` = 0), or the one `later` transfers after it.
    void fail_transfer(int later = 0, int place = 1) {
        board(place).fail_transfer(board(place).transfers() + 1 + static_cast<std::uint64_t>(later));
    }
    std::uint64_t transfers(int place = 1) { return board(place).transfers(); }

private:
    SimBus bus_;
    CurrentContext current_{bus_.ctx};
    std::vector<ScriptedFirmware*> firmware_;
    std::map<int, std::size_t> seen_;
};

} // namespace quarnel::testing
