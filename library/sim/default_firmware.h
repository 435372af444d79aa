// The firmware a simulated board runs unless another is plugged in: it answers the version
// queries from the board's configuration and every other query code with plausible fixed
// values; any other command is taken and done at once.
#pragma once

#include "sim/sim_board.h"

#include <array>
#include <optional>

namespace quarnel::sim {

// Mailbox command codes the default firmware answers.
constexpr std::uint16_t kCodeFirmwareVersion = 17;
constexpr std::uint16_t kCodeBoardVersion = 22;
constexpr std::uint16_t kCodeHeadStatus = 35;

class DefaultFirmware : public SimFirmware {
public:
    bool on_command(SimBoard& board, std::uint16_t code) override;

    // The status word of head 1 or 2 from now on, in place of the configuration's (call under
    // the board's lock). Another head number changes nothing.
    void set_head_status(int head, std::uint16_t word);

protected:
    // Answers a query code; false when `code` is not a query this firmware knows.
    bool answer_query(SimBoard& board, std::uint16_t code);

private:
    int version_reads_ = 0;
    std::array<std::optional<std::uint16_t>, 2> head_status_;
};

} // namespace quarnel::sim
