// The settings as the board words the runs send them: each rounded half to even and range
// checked when the words are made, so that a value the board cannot take stops a run before
// it reaches the board.
#pragma once

#include <cstdint>

#include "parameters.h"
#include "quarnel_library.h"

namespace ondrel {

struct SettingWords {
    explicit SettingWords(const Parameters& p);

    std::uint16_t edgeLevel, minJumpDelay;      // in 10 units
    std::uint16_t standbyPeriod, standbyPulse;  // µs × 4, µs × 8
    std::uint16_t firstPulseKiller;             // µs × 8; 0 (not sent) for the CO2 laser
    std::uint16_t outputPeriod, pulse1, pulse2; // µs × 4, µs × 8
    std::uint16_t jumpDelay, markDelay, polyDelay; // 10 µs
    std::uint16_t analog;                       // 10.23 × percent
    std::int32_t lampDelay;                     // 10 µs
};

// The lamp delay (10 µs) goes to the list as long delays of at most 65000: how many, and
// sending them (returns how many were sent).
std::int32_t LampDelayPieces(std::int32_t tenMicroseconds);
std::int32_t SendLampDelay(QuarnelLibrary& library, std::int32_t tenMicroseconds);

} // namespace ondrel
