// The simulated board's memory as its firmware sees it: 16-bit words at word addresses.
#pragma once

#include <cstdint>

namespace quarnel::sim {

// What a word of board memory holds until something is written there. It is no list opcode,
// so a list that runs into memory nobody wrote (a missing flush) stops with an error.
constexpr std::uint16_t kUnwrittenWord = 0xFFFF;

// List memory: the entry at list position p (4 words) is at word address kListBase + 4p.
constexpr std::uint32_t kListBase = 0x20000;
constexpr std::uint32_t kListEnd = 1000000;         // first position past list memory
constexpr std::uint32_t kSecondListStart = 500000;  // list 2 starts here

class WordMemory {
public:
    virtual ~WordMemory() = default;
    virtual std::uint16_t read_word(std::uint32_t address) const = 0;
    virtual void write_word(std::uint32_t address, std::uint16_t value) = 0;
    // Forgets every word in [first, first + count): they read as kUnwrittenWord again.
    virtual void clear_words(std::uint32_t first, std::uint32_t count) = 0;
    // The four words of the list entry at `address`; memories may serve this faster.
    virtual void read_entry(std::uint32_t address, std::uint16_t (&words)[4]) const {
        for (std::uint32_t i = 0; i < 4; ++i) words[i] = read_word(address + i);
    }
};

} // namespace quarnel::sim
