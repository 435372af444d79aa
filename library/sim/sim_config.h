// What the simulated boards are: parsed from QUARNEL_SIM ("2d,3d:fw=3100:settle=2", one
// comma-separated entry per board in bus order, each "2d" or "3d" followed by ":key=value"
// pairs). The keys are listed in README.md.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace quarnel::sim {

constexpr int kNever = -1;

struct SimBoardConfig {
    bool is_3d = false;
    std::uint16_t firmware_version = 2600;     // answer to code 17
    std::uint16_t board_version_word = 0x0001; // answer to code 22
    int settle_reads = 0;      // reads of code 22 that answer 0 first; kNever: always 0
    std::uint16_t release = 0x0505;            // bcdDevice of the device descriptor
    std::uint16_t api_version = 0x0210;        // the driver's APIVersion
    std::uint32_t pipes = 2;                   // NbOfPipes of the configuration
    std::set<std::string> failing_requests;    // open, driverinfo, descriptor, setconfig,
                                               // configinfo, bind (OUT pipe), bindin (IN pipe)
    std::set<std::uint64_t> failing_transfers; // the board's transfers (from 1) that fail
    std::set<std::uint64_t> timed_out_transfers; // ... that time out and are cancelled
    int busy_polls = 0; // mailbox reads that still see word 0 set; kNever: never done
    std::uint16_t serial_number = 0;           // 0: 1000 + the board's place
    bool external_start_on_enable = false;     // extstart=1: an external start follows each
                                               // set_control_mode that enables them
    int stop_input_ms = kNever;                // stopinput=MS: the stop input rises when the
                                               // list clock reaches MS milliseconds
    std::uint16_t input_lines = 0;             // inputs=: the 16 input lines (code 9)
    std::array<std::uint16_t, 2> head_status = {0xD800, 0xD800}; // head=, head2=: code 35;
                                               // temperature, power, x and y position OK
    std::uint16_t card_result = 0;             // mmc=: the memory-card store's answer, 0 stored
};

struct SimConfig {
    std::vector<SimBoardConfig> boards;
};

// Parses a QUARNEL_SIM value. On a syntax error returns nothing and sets `error`.
std::optional<SimConfig> parse_sim_config(const std::string& text, std::string& error);

} // namespace quarnel::sim
