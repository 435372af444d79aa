#include "sim/default_firmware.h"

#include <initializer_list>

namespace quarnel::sim {
namespace {

struct FixedAnswer {
    std::uint16_t code;
    std::uint16_t w1, w2, w3;
};

// Plausible answers of an idle board at rest in the field's centre.
constexpr FixedAnswer kFixedAnswers[] = {
    {9, 0x0000, 0, 0},      // input port: all lines low
    {13, 0, 0, 0},          // counts
    {23, 0, 0, 0},          // x, y, z position
    {32, 0, 0, 0},          // encoders
    {40, 0, 0, 0},          // wait status
    {47, 0x0800, 0x0800, 0}, // analogue inputs
    {48, 0, 0, 0},          // z distance request
    {49, 0, 0, 0},          // z distance
    {50, 0, 0, 0},          // start/stop information
    {51, 0, 0, 0},          // I/O status
    {60, 0, 0, 0},          // marking information
    {70, 0, 0, 0},          // value i
    {82, 0, 0, 0},          // measurement status
    {84, 1, 0, 2},          // not busy, at list position 0 (word address 0x20000)
    {91, 0, 0, 0},          // memory test passed
};

} // namespace

bool DefaultFirmware::answer_query(SimBoard& board, std::uint16_t code) {
    const SimBoardConfig& config = board.config();
    switch (code) {
    case kCodeBoardVersion: {
        const int read = version_reads_++;
        const bool settled = config.settle_reads != kNever && read >= config.settle_reads;
        board.set_mailbox_word(1, settled ? config.board_version_word : 0);
        return true;
    }
    case kCodeFirmwareVersion:
        board.set_mailbox_word(1, config.firmware_version);
        return true;
    case 52: { // board timer in 10 us units
        const std::uint64_t ticks = board.now_us() / 10;
        board.set_mailbox_word(1, static_cast<std::uint16_t>(ticks >> 16));
        board.set_mailbox_word(2, static_cast<std::uint16_t>(ticks));
        return true;
    }
    case kCodeHeadStatus:
        for (std::size_t head = 0; head < 2; ++head)
            board.set_mailbox_word(static_cast<int>(1 + head),
                                   head_status_[head].value_or(config.head_status[head]));
        board.set_mailbox_word(3, 0);
        return true;
    case 81: // serial number
        board.set_mailbox_word(1, config.serial_number
                                      ? config.serial_number
                                      : static_cast<std::uint16_t>(1000 + board.place()));
        board.set_mailbox_word(2, 0xFF00);
        board.set_mailbox_word(3, 100);
        return true;
    default:
        break;
    }
    for (const FixedAnswer& answer : kFixedAnswers) {
        if (answer.code == code) {
            board.set_mailbox_word(1, answer.w1);
            board.set_mailbox_word(2, answer.w2);
            board.set_mailbox_word(3, answer.w3);
            return true;
        }
    }
    return false;
}

void DefaultFirmware::set_head_status(int head, std::uint16_t word) {
    if (head == 1 || head == 2)
        head_status_[static_cast<std::size_t>(head - 1)] = word;
}

bool DefaultFirmware::on_command(SimBoard& board, std::uint16_t code) {
    answer_query(board, code);
    return true;
}

} // namespace quarnel::sim
