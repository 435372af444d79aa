#include "firmware_loader.h"

#include "loaders.h"
#include "mailbox_command_table.h"
#include "read_only_file.h"

#include <array>
#include <memory>
#include <string>

namespace quarnel {
namespace {

constexpr std::string_view kUpdateSuffix = ".hex.update";
constexpr std::size_t kDroppedSuffix = 7; // ".update"

int hex_digit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The name of the program text when name names an update file: its first ".hex.update"
// ends at its last character.
bool program_text_name(const char* name, std::string& text_name) {
    if (name == nullptr) return false;
    const std::string_view given(name);
    const std::size_t at = given.find(kUpdateSuffix);
    if (at == std::string_view::npos || at + kUpdateSuffix.size() != given.size()) return false;
    text_name.assign(given.substr(0, given.size() - kDroppedSuffix));
    return true;
}

// The board stops executing lists: stop_execution's command, sent without waiting.
void stop_execution(Context& ctx, std::uint16_t b) {
    std::lock_guard<std::recursive_mutex> lock(ctx.board_lock[b]);
    exchange_fill(ctx, b, command(kStopExecutionCommand));
}

} // namespace

std::int16_t upload_program_packet(Context& ctx, std::uint16_t b, std::uint32_t address,
                                   const std::uint16_t* words, std::uint32_t n) {
    // The list memory ends where the address space of a list position does; nothing of a
    // program too long for it is written, so no wrap reaches the tables below.
    if (address + n > kListMemoryEnd) return kLoadTransferFailed;
    writemem(ctx, b, address, n, words);
    if (ctx.slots[b].last_status != 0) return kLoadTransferFailed;

    std::array<std::uint16_t, kMaxPacketWords> back{};
    std::uint16_t* p = back.data();
    const std::uint32_t received = readmem(ctx, b, address, n, p);
    // Only a reply that arrived whole is compared: after a failed or short read-back the
    // words handed back are not the board's and could match what was written.
    if (ctx.slots[b].last_status != 0 || received != n) return kLoadTransferFailed;
    for (std::uint32_t i = 0; i < n; ++i) {
        if (back[i] != words[i]) return kLoadReadBackMismatch;
    }
    return kLoadDone;
}

void ProgramTextReader::feed(std::string_view chunk, std::vector<std::uint16_t>& words) {
    for (char c : chunk) {
        if (ended_) return;
        if (c == '\x1a') {
            ended_ = true;
            return;
        }
        const int digit = hex_digit(c);
        if (digit < 0) {
            pending_ = -1;
        } else if (pending_ < 0) {
            pending_ = digit;
        } else {
            words.push_back(static_cast<std::uint16_t>(16 * pending_ + digit));
            pending_ = -1;
        }
    }
}

std::int16_t load_program_file(Context& ctx, std::uint32_t b, const char* name) {
    const std::int16_t start_result = ctx.owns_boards ? kLoadDone : kLoadBadBoard;
    if (!valid_board(ctx, b)) return kLoadBadBoard;
    std::string text_name;
    if (!program_text_name(name, text_name)) return start_result;
    // A process that does not own the boards never uploads to them.
    if (!ctx.owns_boards) return start_result;

    auto text = std::make_unique<ReadOnlyFile>(text_name.c_str());
    if (!text->is_open()) return kLoadCannotOpen;
    const std::uint16_t board = board_index(b);

    stop_execution(ctx, board);
    std::lock_guard<std::recursive_mutex> lock(ctx.board_lock[board]);

    ProgramTextReader reader;
    std::vector<std::uint16_t> words; // values not yet uploaded
    std::uint32_t address = kListMemoryAddress;
    std::array<char, 8192> chunk;
    while (!reader.ended()) {
        const std::ptrdiff_t got = text->read(chunk.data(), chunk.size());
        if (got < 0) return kLoadCannotOpen; // the text could not be read on
        if (got == 0) break;
        reader.feed(std::string_view(chunk.data(), static_cast<std::size_t>(got)), words);
        std::size_t sent = 0;
        for (; words.size() - sent >= kMaxPacketWords; sent += kMaxPacketWords) {
            const std::int16_t result =
                upload_program_packet(ctx, board, address, words.data() + sent, kMaxPacketWords);
            if (result != kLoadDone) return result;
            address += kMaxPacketWords;
        }
        words.erase(words.begin(), words.begin() + static_cast<std::ptrdiff_t>(sent));
    }
    text.reset(); // the whole text is read

    words.push_back(kProgramTerminator);
    const std::int16_t result = upload_program_packet(ctx, board, address, words.data(),
                                                      static_cast<std::uint32_t>(words.size()));
    if (result != kLoadDone) return result;

    // Polled until the board has taken the program over; a failure shows in last_status only.
    exchange_fill(ctx, board, query(kTakeOverProgramCommand));
    return start_result;
}

} // namespace quarnel
