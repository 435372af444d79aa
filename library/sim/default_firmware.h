// The firmware a simulated board runs unless another is plugged in: it answers the version
// queries from the board's configuration and every other query code with plausible fixed
// values; any other command is taken and done at once.
#pragma once

#include "sim/sim_board.h"

namespace quarnel::sim {

// Mailbox command codes the default firmware answers.
constexpr std::uint16_t kCodeFirmwareVersion = 17;
constexpr std::uint16_t kCodeBoardVersion = 22;

class DefaultFirmware : public SimFirmware {
public:
    bool on_command(SimBoard& board, std::uint16_t code) override;

protected:
    // Answers a query code; false when `code` is not a query this firmware knows.
    bool answer_query(SimBoard& board, std::uint16_t code);

private:
    int version_reads_ = 0;
};

} // namespace quarnel::sim
