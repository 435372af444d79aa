// All state of the controller library: the board table, the locks and the start-up objects.
// The shared library keeps one Context for the process (library_entry.cpp); tests make their own.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

namespace quarnel {

class TUsbIo;
class TUsbIoPipe;
class TInstanceMutex;
class UsbDriver;
struct DeviceList;

constexpr int kMaxBoards = 8;

// Status codes kept in last_status (the USB layer's own codes: usb/driver_records.h).
constexpr std::uint32_t kStatusNoBoard = 0xE000100A;    // slot without a board
constexpr std::uint32_t kStatusBadBoardNumber = 4106;   // usb_status for a board out of range
constexpr std::uint32_t kStatusListMemoryFull = 0xE0003001; // list entries past position 999999 dropped

// Fixed word addresses of the board's memory.
constexpr std::uint32_t kMailboxAddress = 0x300;
constexpr std::uint32_t kListMemoryAddress = 0x20000;
constexpr std::uint32_t kListPositions = 1000000;        // list positions 0..999999
constexpr std::uint32_t kListMemoryEnd = kListMemoryAddress + 4 * kListPositions; // exclusive
constexpr std::uint32_t kList2Position = 500000;
constexpr int kMaxPacketWords = 29;
constexpr int kBatchEntries = 7;

using ListEntry = std::array<std::uint16_t, 4>;

struct BoardSlot {
    std::unique_ptr<TUsbIoPipe> out_pipe; // endpoint 0x01
    std::unique_ptr<TUsbIoPipe> in_pipe;  // endpoint 0x81
    std::uint8_t packet_buffer[64] = {};
    std::uint32_t input_pointer = 0;
    std::uint16_t command_mailbox[10] = {};
    ListEntry list_batch[kBatchEntries] = {};
    std::uint16_t batch_count = 0;
    std::uint8_t is_3d = 0;
    std::uint16_t list_status_word = 0;
    std::uint16_t control_shadow_word = 0;
    std::uint8_t softstart_mode = 0;
    std::uint32_t last_status = 0;
};

// Hooks through which tests take the place of time; the defaults use the real clock.
struct Platform {
    std::function<void(unsigned ms)> sleep_ms;
    std::function<bool(struct tm&)> local_time; // false when the clock cannot be read
    // Where the instance lock files live; empty: QUARNEL_LOCK_DIR, else /run/lock, else /tmp.
    std::string lock_dir;
};

struct Context {
    Context();
    ~Context();
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;

    // Locks: entries 1..8 belong to the boards. Order: board lock, transport lock, pipe.
    std::array<std::recursive_mutex, kMaxBoards + 1> board_lock;
    std::mutex transport_lock;
    std::array<BoardSlot, kMaxBoards + 1> slots; // index = board number; 0 unused

    std::uint16_t board_count = 0;
    std::uint16_t selected_board = 0;
    std::uint8_t owns_boards = 0;

    std::unique_ptr<TInstanceMutex> instance_mutex;
    std::unique_ptr<TUsbIo> device_enumerator;
    std::unique_ptr<DeviceList> device_list;
    std::uint8_t firmware_mismatch = 0;
    std::uint8_t version_unstable = 0;

    // The bus the USB layer talks to: the libusb driver or the simulated boards.
    std::shared_ptr<UsbDriver> driver;

    // The checked build (libquarnel4x64.so): range and overflow checks on.
    bool checked = false;

    Platform platform;
};

// The process's context, used by the exports. Set by the library entry, or by a test.
Context* current_context();
void set_current_context(Context* ctx);

// Board numbers use their low 16 bits: the index of the board's slot and lock.
constexpr std::uint16_t board_index(std::uint32_t b) { return static_cast<std::uint16_t>(b); }

// 1 <= b <= board_count, compared as unsigned 16-bit.
inline bool valid_board(const Context& ctx, std::uint32_t b) {
    const std::uint16_t n = board_index(b);
    return n >= 1 && n <= ctx.board_count;
}

// Transport operations (transport.cpp). Board numbers use their low 16 bits.
// writemem and readmem take board_lock[b] themselves (it is re-entrant). Nothing is sent for
// more than 29 words, for a range past the 24-bit byte address space, or for a null buffer.
void writemem(Context& ctx, std::uint32_t b, std::uint32_t address, std::uint32_t n,
              const std::uint16_t* data);
// readmem returns how many of the n words the board's reply carried (the others come back
// as 0); a caller that must not mistake those zeros for the board's words tests it.
std::uint32_t readmem(Context& ctx, std::uint32_t b, std::uint32_t address, std::uint32_t n,
                      std::uint16_t*& p);
void recover_pipes(Context& ctx, std::uint32_t b);
// Sends the mailbox image (count >= 0) and, when wait > 0, polls until word 0 reads 0.
// The caller holds board_lock[b] and has filled slots[b].command_mailbox.
void exchange_mailbox(Context& ctx, std::uint32_t b, std::int16_t count, std::int16_t wait);
// The caller holds board_lock[b].
void append_list_entry(Context& ctx, std::uint32_t b, std::uint16_t w0, std::uint16_t w1,
                       std::uint16_t w2, std::uint16_t w3);
void flush_list_batch(Context& ctx, std::uint32_t b);
// Truncation toward zero, the low 32 bits of the 64-bit truncation (0 for NaN and for values
// beyond the 64-bit range).
std::int32_t safe_trunc(double x);

} // namespace quarnel
