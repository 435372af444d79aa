// Simulated boards for the loader tests: the files a test writes, the board memory and the
// packets on the wire since the last mark().
#pragma once

#include "sim_bus.h"

#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace quarnel::testing {

inline std::string write_text_file(const std::string& directory, std::string_view name, std::string_view text) {
    const std::string file = directory + "/" + std::string(name);
    std::ofstream(file, std::ios::binary) << text;
    return file;
}

// 16-bit words, little-endian; odd_byte appends one more byte.
inline std::string write_word_file(const std::string& directory, std::string_view name,
                                   const std::vector<std::uint16_t>& words, bool odd_byte = false) {
    std::string bytes;
    for (std::uint16_t w : words) {
        bytes += static_cast<char>(w & 0xFF);
        bytes += static_cast<char>(w >> 8);
    }
    if (odd_byte) bytes += '\x5a';
    return write_text_file(directory, name, bytes);
}

// One transfer on the wire: its direction and the bytes that moved.
struct Packet {
    bool in = false;
    std::vector<std::uint8_t> bytes;

    bool is_write() const { return !in && bytes.size() >= 5 && (bytes[0] & 0x80) == 0; }
    bool is_read_request() const { return !in && bytes.size() == 5 && (bytes[0] & 0x80) != 0; }
    bool is_mailbox() const { return is_write() && bytes.size() == 25 && word_address() == kMailboxAddress; }
    std::uint32_t word_count() const { return (bytes[0] & 0x7Fu) / 2; }
    std::uint32_t word_address() const { return (bytes[1] | bytes[2] << 8 | bytes[3] << 16) / 2u; }
    std::uint16_t word(std::size_t k) const {
        return static_cast<std::uint16_t>(bytes[5 + 2 * k] | bytes[6 + 2 * k] << 8);
    }
    std::uint16_t mailbox_code() const { return word(9); } // word 0 travels last
};

class LoaderBus : public SimBus {
public:
    using SimBus::SimBus;

    std::string write_text(std::string_view name, std::string_view text) const {
        return write_text_file(directory(), name, text);
    }
    std::string write_words(std::string_view name, const std::vector<std::uint16_t>& words,
                            bool odd_byte = false) const {
        return write_word_file(directory(), name, words, odd_byte);
    }
    std::string path(std::string_view name) const { return directory() + "/" + std::string(name); }

    // Pipe transfers of all boards so far.
    std::uint64_t transfers() {
        std::uint64_t total = 0;
        for (int place = 1; place <= driver->board_count(); ++place) total += board(place).transfers();
        return total;
    }

    std::vector<std::uint16_t> memory(int place, std::uint32_t address, std::size_t n) {
        std::vector<std::uint16_t> words(n);
        for (std::size_t i = 0; i < n; ++i) words[i] = board(place).peek(address + static_cast<std::uint32_t>(i));
        return words;
    }

    std::vector<Packet> packets() {
        std::vector<Packet> all;
        for (const std::string& line : wire()) {
            std::istringstream fields(line);
            std::string place, direction, hex;
            fields >> place >> direction >> hex;
            Packet p;
            p.in = direction == "IN";
            for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
                p.bytes.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
            all.push_back(std::move(p));
        }
        return all;
    }

    // The memory writes among packets(), mailbox packets left out.
    std::vector<Packet> memory_writes() {
        std::vector<Packet> writes;
        for (const Packet& p : packets())
            if (p.is_write() && !p.is_mailbox()) writes.push_back(p);
        return writes;
    }

    // The command codes of the mailbox packets among packets().
    std::vector<std::uint16_t> mailbox_codes() {
        std::vector<std::uint16_t> codes;
        for (const Packet& p : packets())
            if (p.is_mailbox()) codes.push_back(p.mailbox_code());
        return codes;
    }
};

} // namespace quarnel::testing
