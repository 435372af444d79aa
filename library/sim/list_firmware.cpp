#include "sim/list_firmware.h"

#include <algorithm>
#include <limits>

namespace quarnel::sim {

namespace {

// Mailbox command codes this firmware acts on.
enum Code : std::uint16_t {
    kExecuteList1 = 1, kExecuteList2 = 2, kWrite8BitPort = 3, kWriteIoPort = 4,
    kAutoChange = 5, kStartLoop = 6, kQuitLoop = 7, kStopExecution = 8, kReadIoPort = 9,
    kWriteDa1 = 10, kWriteDa2 = 11, kGetCounts = 13, kSetMatrix = 14,
    kSetOffset = 15, kGotoXyz = 16, kEnableLaser = 18, kDisableLaser = 19, kStopList = 20,
    kRestartList = 21, kGetXyzPos = 23, kSetExtStartPos = 24, kZOut = 25,
    kLaserSignalOn = 28, kLaserSignalOff = 29, kExecuteAtPointer = 34, kReleaseWait = 39,
    kGetWaitStatus = 40, kSetControlMode = 41, kGetStartStopInfo = 50, kGetIoStatus = 51,
    kGetTime = 52, kSetDefocus = 53, kAutoChangePos = 59, kSetIoBit = 71, kClearIoBit = 72,
    kStoreOnMmc = 80, kClearList = 83, kGetStatus = 84, kTakeProgram = 87,
};

// Bits of the start/stop information as get_startstop_info reports them; the board keeps
// them in bits 10.. of reply word 1.
constexpr std::uint16_t kStartedExternally = 0x02;
constexpr std::uint16_t kStopInput = 0x08;
constexpr int kStartStopShift = 10;

constexpr std::uint16_t kProgramTerminator = 10000;
constexpr std::uint32_t kListWords = 4 * kListEnd;

std::uint32_t join(std::uint16_t high, std::uint16_t low) {
    return (std::uint32_t{high} << 16) | low;
}

// The board's memory as the executor reads it.
class BoardMemory : public WordMemory {
public:
    explicit BoardMemory(SimBoard& board) : board_(board) {}
    std::uint16_t read_word(std::uint32_t address) const override { return board_.word(address); }
    void write_word(std::uint32_t address, std::uint16_t value) override {
        board_.set_word(address, value);
    }
    void clear_words(std::uint32_t first, std::uint32_t count) override {
        board_.clear_words(first, count);
    }

private:
    SimBoard& board_;
};

} // namespace

ListFirmware::ListFirmware(ListFirmwareOptions options) : options_(options) {
    executor_.set_sink(&sink_);
    executor_.set_inputs(options_.inputs);
}

ListFirmware::~ListFirmware() = default;

void ListFirmware::set_motion_file(std::shared_ptr<MotionFile> file) {
    sink_.set_file(std::move(file));
}

void ListFirmware::raise_external_start() { external_start_pending_ = true; }

void ListFirmware::raise_stop_input() {
    executor_.stop();
    startstop_bits_ |= kStopInput;
}

void ListFirmware::advance(SimBoard& board, std::uint64_t now_us) {
    if (options_.speed == 0.0)
        run(board, std::numeric_limits<double>::infinity(), ListExecutor::Pace::FlatOut);
    else
        run(board, static_cast<double>(now_us), ListExecutor::Pace::Clocked);
}

// Runs the lists up to `target_us` on the list clock, taking the inputs as they come.
void ListFirmware::run(SimBoard& board, double target_us, ListExecutor::Pace pace) {
    const BoardMemory memory(board);
    sink_.set_place(board.place());
    std::uint64_t budget = options_.entries_per_transfer;
    for (;;) {
        if (external_start_pending_) {
            external_start_pending_ = false;
            if ((executor_.outputs().control_mode & 1) != 0 && !executor_.busy()) {
                executor_.start(executor_.outputs().external_start_position);
                startstop_bits_ |= kStartedExternally;
                ++external_starts_;
            }
        }
        const double stop_at = options_.stop_input_at_us;
        const bool stop_ahead = !stop_input_raised_ && stop_at <= target_us;
        budget -= executor_.advance(memory, stop_ahead ? stop_at : target_us, budget, pace);
        if (!stop_ahead || executor_.now_us() < stop_at) return;
        stop_input_raised_ = true;
        raise_stop_input();
        if (budget == 0) return;
    }
}

bool ListFirmware::on_command(SimBoard& board, std::uint16_t code) {
    auto word = [&board](int k) { return board.mailbox_word(k); };
    auto reply = [&board](int k, std::uint32_t v) {
        board.set_mailbox_word(k, static_cast<std::uint16_t>(v));
    };
    BoardOutputs& out = executor_.outputs();
    sink_.set_place(board.place());
    switch (code) {
    case kExecuteList1:
        executor_.start(0);
        break;
    case kExecuteList2:
        executor_.start(kSecondListStart);
        break;
    case kExecuteAtPointer:
        executor_.start(join(word(1), word(2)));
        break;
    case kAutoChange:
        executor_.auto_change();
        break;
    case kAutoChangePos:
        executor_.auto_change_at(join(word(1), word(2)));
        break;
    case kStartLoop:
        executor_.start_loop();
        break;
    case kQuitLoop:
        executor_.quit_loop();
        break;
    case kStopExecution:
        executor_.stop();
        break;
    case kStopList:
        executor_.pause();
        break;
    case kRestartList:
        executor_.resume();
        break;
    case kReleaseWait:
        executor_.release_wait();
        break;
    case kSetExtStartPos:
        if (join(word(1), word(2)) < kListEnd)
            out.external_start_position = join(word(1), word(2));
        break;
    case kSetControlMode:
        out.control_mode = word(1);
        if ((out.control_mode & 1) != 0 && options_.external_start_on_enable)
            external_start_pending_ = true;
        break;
    case kWrite8BitPort:
        out.port_8bit = word(1);
        break;
    case kWriteIoPort:
        out.io_port = word(1);
        break;
    case kSetIoBit:
    case kClearIoBit:
        if (word(1) < 16) {
            const auto bit = static_cast<std::uint16_t>(1u << word(1));
            out.io_port = code == kSetIoBit ? out.io_port | bit : out.io_port & ~bit;
        }
        break;
    case kWriteDa1:
    case kWriteDa2:
        out.analog[code - kWriteDa1] = std::min<std::uint16_t>(word(1), 1023);
        break;
    case kEnableLaser:
    case kLaserSignalOn:
        out.laser_signal = true;
        break;
    case kDisableLaser:
    case kLaserSignalOff:
        out.laser_signal = false;
        break;
    case kSetDefocus:
        out.defocus = word(1);
        break;
    case kSetMatrix:
        for (int i = 0; i < 4; ++i)
            executor_.set_matrix(i, static_cast<std::int32_t>(join(word(1 + 2 * i), word(2 + 2 * i))));
        break;
    case kSetOffset:
        executor_.set_offset(static_cast<std::int16_t>(word(1)), static_cast<std::int16_t>(word(2)));
        break;
    case kGotoXyz:
        executor_.move_head({static_cast<std::int16_t>(word(3)), static_cast<std::int16_t>(word(2)),
                             static_cast<std::int16_t>(word(1))});
        break;
    case kZOut: {
        HeadPosition p = executor_.head();
        p.z = static_cast<std::int32_t>(word(1)) - 32768;
        executor_.move_head(p);
        break;
    }
    case kClearList:
        clear_lists(board);
        break;
    case kTakeProgram:
        take_program(board);
        break;
    case kStoreOnMmc:
        ++card_stores_;
        reply(1, options_.card_result);
        break;

    // Queries.
    case kGetStatus: {
        const std::uint32_t address = kListBase + 4 * executor_.position();
        reply(1, executor_.busy() ? 0 : 1);
        reply(2, address & 0xFFFF);
        reply(3, address >> 16);
        break;
    }
    case kGetXyzPos: {
        const HeadPosition p = executor_.head();
        reply(1, static_cast<std::uint32_t>(p.x));
        reply(2, static_cast<std::uint32_t>(p.y));
        reply(3, static_cast<std::uint32_t>(p.z));
        break;
    }
    case kGetTime: {
        const std::uint32_t ticks = executor_.saved_timer_ticks();
        reply(1, ticks >> 16);
        reply(2, ticks & 0xFFFF);
        break;
    }
    case kGetStartStopInfo:
        reply(1, std::uint32_t{startstop_bits_} << kStartStopShift);
        reply(3, 0);
        startstop_bits_ = 0;
        break;
    case kGetWaitStatus:
        reply(1, executor_.wait_number());
        break;
    case kReadIoPort:
        reply(1, executor_.inputs());
        break;
    case kGetIoStatus:
        reply(1, out.io_port);
        break;
    case kGetCounts:
        reply(1, external_starts_ >> 16);
        reply(2, external_starts_ & 0xFFFF);
        break;
    default:
        // Versions, serial number and the queries this board answers with fixed values;
        // any other command is taken and done.
        answer_query(board, code);
        break;
    }
    return true;
}

// Code 87: the board takes over the program uploaded into list memory, one byte per word up
// to the terminator. Lists stop; the program's words are counted, nothing more.
void ListFirmware::take_program(SimBoard& board) {
    executor_.stop();
    std::uint32_t n = 0;
    while (n < kListWords && board.word(kListBase + n) != kProgramTerminator) ++n;
    program_words_ = n;
}

void ListFirmware::clear_lists(SimBoard& board) {
    executor_.stop();
    BoardMemory(board).clear_words(kListBase, kListWords);
}

} // namespace quarnel::sim
