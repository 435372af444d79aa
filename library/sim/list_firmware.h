// The firmware of a simulated board that executes its lists: it takes the mailbox commands
// of list execution, the immediate commands and the queries, and runs its ListExecutor on the
// board's clock, or as fast as it can.
//
// Inputs a test (or the board's configuration) can raise:
// - the external start: when external starts are enabled (control mode bit 0, set by
//   set_control_mode) and no list runs, the list starts at the external start position
//   (code 24, list entry 34) and get_startstop_info reports 0x02;
// - the stop input: the running list stops and get_startstop_info reports 0x08.
// get_startstop_info clears both reports when it has read them.
// The 16 input lines (read_io_port, the conditional list entries) read what the configuration
// or a test sets. The memory-card store (code 80) counts each store and answers the result
// set for it, 0 for stored.
#pragma once

#include <cstdint>
#include <limits>
#include <memory>

#include "sim/default_firmware.h"
#include "sim/list_executor.h"
#include "sim/sim_motion.h"

namespace quarnel::sim {

// What the board's configuration asks of the firmware's inputs and clock.
struct ListFirmwareOptions {
    // 0: the board runs its lists as fast as it can at every transfer; otherwise it follows the
    // board clock (which its driver scales).
    double speed = 0.0;
    // An external start arrives each time external starts are enabled.
    bool external_start_on_enable = false;
    // The stop input rises once when the list clock reaches this many microseconds.
    double stop_input_at_us = std::numeric_limits<double>::infinity();
    // At most this many entries run per transfer, so an endless list leaves room for the host.
    std::uint64_t entries_per_transfer = 1'000'000;
    // The input lines at start.
    std::uint16_t inputs = 0;
    // What the memory-card store answers in word 1: 0 stored, anything else failed.
    std::uint16_t card_result = 0;
};

class ListFirmware : public DefaultFirmware {
public:
    explicit ListFirmware(ListFirmwareOptions options = {});
    ~ListFirmware() override;

    bool on_command(SimBoard& board, std::uint16_t code) override;
    void advance(SimBoard& board, std::uint64_t now_us) override;

    // Executed vectors and list errors go to `file` as well (QUARNEL_SIM_MOTION).
    void set_motion_file(std::shared_ptr<MotionFile> file);

    // --- The test interface (call under the board's lock, e.g. through SimBoard::with_lock).
    void set_speed(double speed) { options_.speed = speed; }
    void set_entries_per_transfer(std::uint64_t n) { options_.entries_per_transfer = n; }
    void raise_external_start();
    void raise_stop_input();
    void set_inputs(std::uint16_t bits) { executor_.set_inputs(bits); }
    void set_card_result(std::uint16_t result) { options_.card_result = result; }
    // Stores on the memory card so far.
    std::uint32_t card_stores() const { return card_stores_; }
    const ListExecutor& executor() const { return executor_; }
    // Words of the last program taken over with code 87 (the terminator not counted).
    std::uint32_t program_words() const { return program_words_; }

private:
    void run(SimBoard& board, double target_us, ListExecutor::Pace pace);
    void take_program(SimBoard& board);
    void clear_lists(SimBoard& board);

    ListFirmwareOptions options_;
    ListExecutor executor_;
    MotionSink sink_;
    bool external_start_pending_ = false;
    std::uint16_t startstop_bits_ = 0;
    std::uint32_t external_starts_ = 0;
    std::uint32_t program_words_ = 0;
    std::uint32_t card_stores_ = 0;
    bool stop_input_raised_ = false;
};

} // namespace quarnel::sim
