// Board transport: memory writes and reads, the command mailbox exchange and list batching
// over a board's two bulk pipes.
#include "context.h"
#include "usb/driver_records.h"
#include "usb/usb_io_pipe.h"
#include "word_packing.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace quarnel {
namespace {

constexpr std::uint32_t kMemoryTimeout = 1000;
constexpr std::uint32_t kMailboxSendTimeout = 1001;
constexpr std::uint32_t kPollRequestTimeout = 1002;
constexpr std::uint32_t kPollReplyTimeout = 1003;

constexpr std::uint32_t kHeaderBytes = 5;
constexpr std::uint32_t kMailboxWords = 10;
constexpr std::uint32_t kMailboxPacketBytes = kHeaderBytes + 2 * kMailboxWords; // 25
constexpr std::uint32_t kPollReplyBytes = 32;
constexpr std::uint8_t kReadFlag = 0x80;
constexpr std::uint64_t kWordAddressSpace = 0x800000; // 24-bit byte addresses
static_assert(sizeof(ListEntry) == 8, "list entries are copied as packed words");

constexpr std::uint8_t kPollRequest[kHeaderBytes] = {0x94, 0x00, 0x06, 0x00, 0x00};

void put_header(std::uint8_t* packet, std::uint8_t opcode, std::uint32_t word_address) {
    const std::uint32_t byte_address = 2 * word_address;
    packet[0] = opcode;
    packet[1] = static_cast<std::uint8_t>(byte_address);
    packet[2] = static_cast<std::uint8_t>(byte_address >> 8);
    packet[3] = static_cast<std::uint8_t>(byte_address >> 16);
    packet[4] = 0;
}

bool range_fits(std::uint32_t address, std::uint16_t n) {
    return static_cast<std::uint64_t>(address) + n <= kWordAddressSpace;
}

// A counted board whose pipe was never bound answers as a closed device would.
std::uint32_t send(TUsbIoPipe* pipe, const std::uint8_t* bytes, std::uint32_t count,
                   std::uint32_t timeout) {
    return pipe ? pipe->WriteSync(bytes, count, timeout) : kStatusDeviceNotOpen;
}

std::uint32_t receive(TUsbIoPipe* pipe, std::uint8_t* bytes, std::uint32_t& count,
                      std::uint32_t timeout) {
    if (!pipe) {
        count = 0;
        return kStatusDeviceNotOpen;
    }
    return pipe->ReadSync(bytes, count, timeout);
}

std::uint32_t reset(TUsbIoPipe* pipe) { return pipe ? pipe->ResetPipe() : kStatusDeviceNotOpen; }

// Writes a batch at the input pointer and moves the pointer past it. The pointer may run past
// list position 999999, but nothing is written outside list memory (an address that ran on
// and wrapped would overwrite the mailbox and the correction tables): the entries that do not
// fit are dropped and last_status records the loss.
void write_list_words(Context& ctx, std::uint32_t b, BoardSlot& slot, const std::uint16_t* words,
                      std::uint32_t n) {
    const std::uint32_t at = slot.input_pointer;
    const std::uint32_t fits =
        at >= kListMemoryAddress && at < kListMemoryEnd ? std::min(n, kListMemoryEnd - at) : 0;
    if (fits > 0)
        writemem(ctx, b, at, fits, words);
    if (fits < n)
        slot.last_status = kStatusListMemoryFull;
    slot.input_pointer += n;
}

} // namespace

void recover_pipes(Context& ctx, std::uint32_t b) {
    if (!valid_board(ctx, b))
        return;
    BoardSlot& slot = ctx.slots[board_index(b)];
    if (slot.last_status == 0)
        return;
    slot.last_status = reset(slot.out_pipe.get());
    slot.last_status = reset(slot.in_pipe.get());
}

void writemem(Context& ctx, std::uint32_t b, std::uint32_t address, std::uint32_t n,
              const std::uint16_t* data) {
    const auto words = static_cast<std::uint16_t>(n);
    if (!valid_board(ctx, b) || words > kMaxPacketWords || !range_fits(address, words) ||
        (words > 0 && !data))
        return;
    const auto board = board_index(b);
    std::lock_guard<std::recursive_mutex> board_hold(ctx.board_lock[board]);
    BoardSlot& slot = ctx.slots[board];
    put_header(slot.packet_buffer, static_cast<std::uint8_t>(2 * words), address);
    for (std::uint16_t i = 0; i < words; ++i)
        put_word(slot.packet_buffer + kHeaderBytes + 2 * i, data[i]);
    recover_pipes(ctx, b);
    std::lock_guard<std::mutex> transport_hold(ctx.transport_lock);
    slot.last_status =
        send(slot.out_pipe.get(), slot.packet_buffer, kHeaderBytes + 2u * words, kMemoryTimeout);
}

std::uint32_t readmem(Context& ctx, std::uint32_t b, std::uint32_t address, std::uint32_t n,
                      std::uint16_t*& p) {
    const auto words = static_cast<std::uint16_t>(n);
    if (!valid_board(ctx, b) || words > kMaxPacketWords || !range_fits(address, words) ||
        (words > 0 && !p))
        return 0;
    const auto board = board_index(b);
    std::lock_guard<std::recursive_mutex> board_hold(ctx.board_lock[board]);
    BoardSlot& slot = ctx.slots[board];
    put_header(slot.packet_buffer, static_cast<std::uint8_t>(kReadFlag + 2 * words), address);
    recover_pipes(ctx, b);
    std::uint32_t received = 0;
    {
        std::lock_guard<std::mutex> transport_hold(ctx.transport_lock);
        slot.last_status = send(slot.out_pipe.get(), slot.packet_buffer, kHeaderBytes,
                                kMemoryTimeout);
        if (slot.last_status != 0)
            return 0;
        std::uint32_t count = sizeof slot.packet_buffer;
        slot.last_status = receive(slot.in_pipe.get(), slot.packet_buffer, count, kMemoryTimeout);
        if (slot.last_status == 0 && count > kHeaderBytes)
            received = (count - kHeaderBytes) / 2;
    }
    // Words the board did not send come back as 0, never as leftovers of the request.
    for (std::uint16_t i = 0; i < words; ++i)
        *p++ = i < received ? get_word(slot.packet_buffer + kHeaderBytes + 2 * i) : 0;
    return std::min<std::uint32_t>(received, words);
}

void exchange_mailbox(Context& ctx, std::uint32_t b, std::int16_t count, std::int16_t wait) {
    if (!valid_board(ctx, b))
        return;
    flush_list_batch(ctx, b);
    recover_pipes(ctx, b);
    BoardSlot& slot = ctx.slots[board_index(b)];
    std::uint16_t* mailbox = slot.command_mailbox;
    if (count >= 0) {
        // Words 9 down to 0: the command code arrives last.
        std::uint8_t packet[kMailboxPacketBytes];
        put_header(packet, 2 * kMailboxWords, kMailboxAddress);
        for (std::uint32_t k = 0; k < kMailboxWords; ++k)
            put_word(packet + kHeaderBytes + 2 * k, mailbox[kMailboxWords - 1 - k]);
        std::lock_guard<std::mutex> transport_hold(ctx.transport_lock);
        slot.last_status =
            send(slot.out_pipe.get(), packet, kMailboxPacketBytes, kMailboxSendTimeout);
        if (slot.last_status != 0)
            return;
    }
    if (wait <= 0)
        return;
    do {
        std::uint32_t received = 0;
        {
            std::lock_guard<std::mutex> transport_hold(ctx.transport_lock);
            slot.last_status =
                send(slot.out_pipe.get(), kPollRequest, kHeaderBytes, kPollRequestTimeout);
            if (slot.last_status == 0) {
                received = kPollReplyBytes;
                slot.last_status =
                    receive(slot.in_pipe.get(), slot.packet_buffer, received, kPollReplyTimeout);
            }
        }
        if (slot.last_status != 0) {
            mailbox[0] = 0;
            return;
        }
        // Byte 5 starts word 9; a short reply leaves the words it lacks as they were.
        for (std::uint32_t k = 0; k < kMailboxWords; ++k) {
            const std::uint32_t at = kHeaderBytes + 2 * k;
            if (at + 2 <= received)
                mailbox[kMailboxWords - 1 - k] = get_word(slot.packet_buffer + at);
        }
    } while (mailbox[0] != 0);
}

void append_list_entry(Context& ctx, std::uint32_t b, std::uint16_t w0, std::uint16_t w1,
                       std::uint16_t w2, std::uint16_t w3) {
    if (!valid_board(ctx, b))
        return;
    BoardSlot& slot = ctx.slots[board_index(b)];
    slot.list_batch[slot.batch_count % kBatchEntries] = {w0, w1, w2, w3};
    if (++slot.batch_count < kBatchEntries)
        return;
    std::uint16_t words[kBatchEntries * 4];
    std::memcpy(words, slot.list_batch, sizeof words);
    write_list_words(ctx, b, slot, words, kBatchEntries * 4);
    slot.batch_count = 0;
}

void flush_list_batch(Context& ctx, std::uint32_t b) {
    if (!valid_board(ctx, b))
        return;
    const auto board = board_index(b);
    std::lock_guard<std::recursive_mutex> board_hold(ctx.board_lock[board]);
    BoardSlot& slot = ctx.slots[board];
    if (slot.batch_count == 0)
        return;
    const std::uint32_t n = 4u * slot.batch_count;
    std::uint16_t words[kBatchEntries * 4];
    std::memcpy(words, slot.list_batch, n * sizeof(std::uint16_t));
    write_list_words(ctx, b, slot, words, n);
    slot.batch_count = 0;
}

std::int32_t safe_trunc(double x) {
    // 2^63: beyond it (and for NaN) the 64-bit truncation has no value; its low half is 0.
    constexpr double kLimit = 9223372036854775808.0;
    if (!(x > -kLimit && x < kLimit))
        return 0;
    const auto wide = static_cast<std::int64_t>(std::trunc(x));
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(wide)));
}

} // namespace quarnel
