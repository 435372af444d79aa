// Firmware programs: a text of hexadecimal digit pairs, uploaded word by word into the
// list memory with a read-back of every packet, ended by a terminator word and taken over
// by the board on mailbox command 87.
#pragma once

#include "context.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace quarnel {

constexpr std::uint16_t kProgramTerminator = 10000;
constexpr std::uint16_t kTakeOverProgramCommand = 87;

// Reads a program text piece by piece. Digits are 0-9 and A-F (upper case only); two digits
// in a row make one value, 16 x high + low; any other character drops a single pending digit.
// The text ends at its end or at the first 0x1A character.
class ProgramTextReader {
public:
    // Appends the values completed in chunk to words; nothing once the text has ended.
    void feed(std::string_view chunk, std::vector<std::uint16_t>& words);
    bool ended() const { return ended_; }

private:
    int pending_ = -1; // the high digit waiting for its partner, or -1
    bool ended_ = false;
};

// Uploads one packet of n words at address: writes it, reads it back and compares.
// 0, 8 when the write or the read-back failed or the packet would pass the end of list
// memory (then nothing is written), 4 at the first word that differs.
std::int16_t upload_program_packet(Context& ctx, std::uint16_t b, std::uint32_t address,
                                   const std::uint16_t* words, std::uint32_t n);

// The board form of load_program_file: a load_result.
std::int16_t load_program_file(Context& ctx, std::uint32_t b, const char* name);

} // namespace quarnel
