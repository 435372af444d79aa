#include "sim/sim_board.h"

#include "usb/driver_records.h"

#include <algorithm>

namespace quarnel::sim {

SimBoard::SimBoard(int place, SimBoardConfig config, std::unique_ptr<SimFirmware> firmware)
    : place_(place), config_(std::move(config)),
      firmware_(firmware ? std::move(firmware) : make_sim_firmware(config_)),
      pages_(kWordSpace / std::tuple_size_v<Page>) {}

SimBoard::~SimBoard() = default;

namespace {

constexpr std::uint32_t kListFirstWord = kListBase;
constexpr std::uint32_t kListLastWord = kListBase + 4 * kListEnd - 1;

// What a word holds before anything is written there.
std::uint16_t unwritten(std::uint32_t address) {
    return address >= kListFirstWord && address <= kListLastWord ? kUnwrittenWord : 0;
}

} // namespace

std::uint16_t SimBoard::word(std::uint32_t address) const {
    address &= kWordSpace - 1;
    const auto& page = pages_[address / std::tuple_size_v<Page>];
    return page ? (*page)[address % std::tuple_size_v<Page>] : unwritten(address);
}

void SimBoard::set_word(std::uint32_t address, std::uint16_t value) {
    address &= kWordSpace - 1;
    auto& page = pages_[address / std::tuple_size_v<Page>];
    if (!page) {
        if (value == unwritten(address))
            return;
        page = std::make_unique<Page>();
        const std::uint32_t base = address - address % std::tuple_size_v<Page>;
        for (std::uint32_t i = 0; i < page->size(); ++i)
            (*page)[i] = unwritten(base + i);
    }
    (*page)[address % std::tuple_size_v<Page>] = value;
}

void SimBoard::clear_words(std::uint32_t first, std::uint32_t count) {
    constexpr std::uint32_t kPageWords = std::tuple_size_v<Page>;
    const std::uint32_t end = std::min(first + count, kWordSpace);
    for (std::uint32_t a = first; a < end;) {
        auto& page = pages_[a / kPageWords];
        const std::uint32_t page_end = a - a % kPageWords + kPageWords;
        if (a % kPageWords == 0 && page_end <= end) {
            page.reset(); // a whole page reads unwritten again
        } else if (page) {
            for (std::uint32_t i = a; i < std::min(page_end, end); ++i)
                (*page)[i % kPageWords] = unwritten(i);
        }
        a = page_end;
    }
}

void SimBoard::tick() {
    if (clock_source_)
        now_us_ = std::max(now_us_, clock_source_());
    firmware_->advance(*this, now_us_);
}

bool SimBoard::check_fault(TransferOutcome& outcome) {
    ++transfers_;
    if (config_.timed_out_transfers.count(transfers_)) {
        outcome = {kStatusTransferCancelled, 0, true};
        return true;
    }
    if (config_.failing_transfers.count(transfers_)) {
        outcome = {kStatusTransferError, 0, false};
        return true;
    }
    return false;
}

TransferOutcome SimBoard::transfer_out(const std::uint8_t* data, std::uint32_t count) {
    std::lock_guard<std::recursive_mutex> hold(mutex_);
    TransferOutcome outcome;
    if (check_fault(outcome))
        return outcome;
    tick();
    handle_packet(data, count);
    outcome.moved = count;
    return outcome;
}

TransferOutcome SimBoard::transfer_in(std::uint8_t* data, std::uint32_t count) {
    std::lock_guard<std::recursive_mutex> hold(mutex_);
    TransferOutcome outcome;
    if (check_fault(outcome)) {
        if (!outcome.timed_out)
            reply_queued_ = false; // an error loses the reply; a cancelled read leaves it
        return outcome;
    }
    tick();
    if (!reply_queued_)
        return {kStatusTransferCancelled, 0, true};
    auto n = std::min<std::uint32_t>(count, static_cast<std::uint32_t>(reply_.size()));
    if (const auto shortened = short_replies_.find(transfers_); shortened != short_replies_.end())
        n = std::min(n, shortened->second);
    std::copy_n(reply_.begin(), n, data);
    reply_queued_ = false;
    outcome.moved = n;
    return outcome;
}

void SimBoard::handle_packet(const std::uint8_t* data, std::uint32_t count) {
    if (count < 5)
        return;
    const std::uint32_t n = (data[0] & 0x7F) / 2;
    const std::uint32_t address =
        (static_cast<std::uint32_t>(data[1]) | data[2] << 8 | data[3] << 16) / 2;
    if (data[0] & 0x80) {
        const bool polls_mailbox = address <= kMailboxCommandWord &&
                                   kMailboxCommandWord < address + n && command_pending_;
        if (polls_mailbox) {
            if (polls_left_ == 0) {
                command_pending_ = false;
                if (firmware_->on_command(*this, word(kMailboxCommandWord)))
                    finish_command();
            } else if (polls_left_ > 0) {
                --polls_left_;
            }
        }
        reply_.assign(data, data + 5);
        for (std::uint32_t i = 0; i < n && reply_.size() + 2 <= 64; ++i) {
            const auto stuck = stuck_words_.find((address + i) & (kWordSpace - 1));
            const std::uint16_t w = stuck != stuck_words_.end() ? stuck->second : word(address + i);
            reply_.push_back(static_cast<std::uint8_t>(w));
            reply_.push_back(static_cast<std::uint8_t>(w >> 8));
        }
        reply_queued_ = true;
        return;
    }
    const std::uint32_t words = std::min(n, (count - 5) / 2);
    bool touches_command = false;
    for (std::uint32_t i = 0; i < words; ++i) {
        const std::uint32_t a = (address + i) & (kWordSpace - 1);
        set_word(a, static_cast<std::uint16_t>(data[5 + 2 * i] | data[6 + 2 * i] << 8));
        touches_command |= a == kMailboxCommandWord;
    }
    if (touches_command && word(kMailboxCommandWord) != 0)
        command_arrived();
}

void SimBoard::command_arrived() {
    if (keep_log_) {
        MailboxRecord record;
        for (int k = 0; k < 10; ++k)
            record.words[static_cast<std::size_t>(k)] = mailbox_word(k);
        log_.push_back(record);
    }
    if (config_.busy_polls != 0) {
        command_pending_ = true;
        polls_left_ = config_.busy_polls;
        return;
    }
    if (firmware_->on_command(*this, mailbox_word(0)))
        finish_command();
}

void SimBoard::reset_pipe(bool in_pipe) {
    std::lock_guard<std::recursive_mutex> hold(mutex_);
    ++resets_;
    if (in_pipe)
        reply_queued_ = false;
}

bool SimBoard::request_fails(const char* step) const {
    return config_.failing_requests.count(step) != 0;
}

bool SimBoard::configured() const {
    std::lock_guard<std::recursive_mutex> hold(mutex_);
    return configured_;
}

void SimBoard::set_configured(bool on) {
    std::lock_guard<std::recursive_mutex> hold(mutex_);
    configured_ = on;
}

void SimBoard::handle_opened() {
    std::lock_guard<std::recursive_mutex> hold(mutex_);
    ++handles_;
}

void SimBoard::handle_closed() {
    std::lock_guard<std::recursive_mutex> hold(mutex_);
    --handles_;
}

std::uint16_t SimBoard::peek(std::uint32_t address) const {
    std::lock_guard<std::recursive_mutex> hold(mutex_);
    return word(address);
}

void SimBoard::poke(std::uint32_t address, std::uint16_t value) {
    std::lock_guard<std::recursive_mutex> hold(mutex_);
    set_word(address, value);
}

void SimBoard::keep_mailbox_log() {
    std::lock_guard<std::recursive_mutex> hold(mutex_);
    keep_log_ = true;
}

std::vector<MailboxRecord> SimBoard::mailbox_log() const {
    std::lock_guard<std::recursive_mutex> hold(mutex_);
    return log_;
}

std::uint64_t SimBoard::transfers() const {
    std::lock_guard<std::recursive_mutex> hold(mutex_);
    return transfers_;
}

std::uint64_t SimBoard::pipe_resets() const {
    std::lock_guard<std::recursive_mutex> hold(mutex_);
    return resets_;
}

int SimBoard::open_handles() const {
    std::lock_guard<std::recursive_mutex> hold(mutex_);
    return handles_;
}

void SimBoard::fail_transfer(std::uint64_t number, bool time_out) {
    std::lock_guard<std::recursive_mutex> hold(mutex_);
    (time_out ? config_.timed_out_transfers : config_.failing_transfers).insert(number);
}

void SimBoard::shorten_reply(std::uint64_t number, std::uint32_t bytes) {
    std::lock_guard<std::recursive_mutex> hold(mutex_);
    short_replies_[number] = bytes;
}

void SimBoard::stick_word(std::uint32_t address, std::uint16_t value) {
    std::lock_guard<std::recursive_mutex> hold(mutex_);
    stuck_words_[address & (kWordSpace - 1)] = value;
}

void SimBoard::set_busy_polls(int polls) {
    std::lock_guard<std::recursive_mutex> hold(mutex_);
    config_.busy_polls = polls;
}

void SimBoard::advance_clock(std::uint64_t microseconds) {
    std::lock_guard<std::recursive_mutex> hold(mutex_);
    now_us_ += microseconds;
    firmware_->advance(*this, now_us_);
}

void SimBoard::set_clock_source(std::function<std::uint64_t()> source) {
    std::lock_guard<std::recursive_mutex> hold(mutex_);
    clock_source_ = std::move(source);
}

void SimBoard::with_lock(const std::function<void(SimBoard&)>& fn) {
    std::lock_guard<std::recursive_mutex> hold(mutex_);
    fn(*this);
}

std::unique_ptr<SimFirmware> SimBoard::replace_firmware(std::unique_ptr<SimFirmware> firmware) {
    std::lock_guard<std::recursive_mutex> hold(mutex_);
    firmware_.swap(firmware);
    return firmware;
}

} // namespace quarnel::sim
