#include "sim/list_executor.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace quarnel::sim {

namespace {

// The list opcodes this board knows (word 0 of an entry; 41 and 42 carry bits 16-19 of their
// target position in bits 12-15).
enum Opcode : std::uint16_t {
    kNop = 0, kEndOfList = 1, kJumpAbs = 2, kMarkAbs = 3, kJumpRel = 4, kMarkRel = 5,
    kPort8Bit = 6, kAnalog1 = 7, kAnalog2 = 8, kOffset = 9, kLongDelay = 10, kLaserOn = 11,
    kJumpSpeed = 12, kMarkSpeed = 13, kLaserDelays = 14, kScannerDelays = 15, kListJump = 16,
    kListCall = 17, kListReturn = 18, kZOut = 19, kStandby = 20, kTimedJumpAbs = 21,
    kTimedMarkAbs = 22, kTimedJumpRel = 23, kTimedMarkRel = 24, kLaserTiming = 25,
    kLaserTimingBase = 26, kWobble = 27, kFlyX = 28, kFlyY = 29, kIoPort = 30, kWait = 31,
    kSimulateExtStart = 32, kPixelLine = 33, kExtStartPos = 34, kLaserSignalOn = 36,
    kLaserSignalOff = 37, kFirstPulseKiller = 38, kSetIoCond = 39, kClearIoCond = 40,
    kJumpCond = 41, kCallCond = 42, kSaveRestartTimer = 44, kMatrix = 45, kControlMode = 46,
    kDefocus = 47, kExtStartDelay = 48, kWobbleXY = 49, kCalculateFly = 50, kCorTable = 52,
    kFlyRotation = 53, kFlyReturn = 54, kTrigger = 60, kArcRelCcw = 61, kArcRelCw = 62,
    kArcAbsCcw = 63, kArcAbsCw = 64, kDrilling = 65, kRegulation = 66, kFlyLine = 67,
    kRegulation2 = 68, kRegulation3 = 69, kTimeFix = 70, kMarkTime = 71, kMarkDate = 72,
    kMarkSerial = 73, kDateCheck = 74, kStoreEncoder = 75, kFlyDisplacement = 76,
};

constexpr double kTickUs = 10.0;              // delays and timed moves count 10 us ticks
constexpr double kSpeedScale = 100.0 * 16777216.0; // speed word c = 100 / s * 2^24
constexpr std::size_t kMaxCallDepth = 32;
constexpr double kArcStepDegrees = 5.0;       // arcs are marked as chords of at most this

std::int32_t clamp16(double v) {
    return static_cast<std::int32_t>(std::clamp(v, -32768.0, 32767.0));
}

std::int16_t s16(std::uint16_t w) { return static_cast<std::int16_t>(w); }

std::uint32_t join(std::uint16_t high, std::uint16_t low) {
    return (std::uint32_t{high} << 16) | low;
}

// Bit/ms from a speed word; 0 when the word cannot be one.
double speed_from_word(std::uint32_t c) { return c == 0 ? 0.0 : kSpeedScale / c; }

} // namespace

// ---------------------------------------------------------------- control

void ListExecutor::start(std::uint32_t position) {
    if (position >= kListEnd) {
        fail("start outside list memory");
        return;
    }
    state_ = State::Running;
    next_ = current_ = started_at_ = position;
    has_pending_start_ = false;
    call_stack_.clear();
    last_vector_ = Last::None;
    next_us_ = std::max(next_us_, now_us_);
}

void ListExecutor::stop() {
    state_ = State::Idle;
    has_pending_start_ = false;
    loop_ = false;
    call_stack_.clear();
    laser_until_us_ = 0.0;
    // The head ends the vector it was on; the laser goes off at once.
    segment_end_us_ = std::min(segment_end_us_, now_us_);
    segment_marks_ = false;
    next_us_ = now_us_;
}

void ListExecutor::pause() {
    if (state_ == State::Running) state_ = State::Paused;
}

void ListExecutor::resume() {
    if (state_ != State::Paused) return;
    state_ = State::Running;
    next_us_ = std::max(next_us_, now_us_);
}

void ListExecutor::release_wait() {
    if (state_ != State::Waiting) return;
    state_ = State::Running;
    next_us_ = std::max(next_us_, now_us_);
}

void ListExecutor::auto_change() {
    const std::uint32_t other = started_at_ < kSecondListStart ? kSecondListStart : 0;
    auto_change_at(other);
}

void ListExecutor::auto_change_at(std::uint32_t position) {
    if (busy()) {
        has_pending_start_ = true;
        pending_start_ = position;
    } else {
        start(position);
    }
}

void ListExecutor::move_head(const HeadPosition& p) {
    head_ = p;
    segment_from_ = transformed(p);
    segment_start_us_ = segment_end_us_ = now_us_;
    segment_marks_ = false;
}

void ListExecutor::set_matrix(int index, std::int32_t fixed_2_24) {
    if (index >= 0 && index < 4) matrix_[index] = fixed_2_24 / 16777216.0;
}

// ---------------------------------------------------------------- running

std::uint64_t ListExecutor::advance(const WordMemory& memory, double target_us,
                                    std::uint64_t max_entries, Pace pace) {
    std::uint64_t n = 0;
    while (state_ == State::Running && n < max_entries && next_us_ <= target_us) {
        if (next_ >= kListEnd) {
            fail("ran past the end of list memory");
            break;
        }
        Entry e;
        std::uint16_t words[4];
        memory.read_entry(kListBase + 4 * next_, words);
        std::copy(std::begin(words), std::end(words), e.begin());
        current_ = next_++;
        ++n;
        execute(e);
    }
    executed_ += n;
    double reached = next_us_;              // the budget ran out, or the list rests
    if (state_ == State::Running && next_us_ > target_us) reached = target_us; // mid-entry
    else if (state_ != State::Running && pace == Pace::Clocked && std::isfinite(target_us))
        reached = target_us;                // a resting board's clock goes on
    now_us_ = std::max(now_us_, reached);
    return n;
}

void ListExecutor::execute(const Entry& e) {
    const std::uint16_t op = e[0];
    const std::uint16_t w1 = e[1], w2 = e[2], w3 = e[3];
    if ((op & 0x0FFF) == kJumpCond || (op & 0x0FFF) == kCallCond) {
        const std::uint32_t target = (std::uint32_t{op} >> 12 << 16) | w3;
        if (!condition_holds(w1, w2)) return;
        if ((op & 0x0FFF) == kJumpCond) list_jump(target);
        else list_call(target);
        return;
    }
    switch (op) {
    case kNop:
        return;
    case kEndOfList:
        end_of_list();
        return;
    case kJumpAbs:
    case kMarkAbs:
        vector_to(op == kJumpAbs ? VectorKind::Jump : VectorKind::Mark, s16(w1), s16(w2),
                  s16(w3));
        return;
    case kJumpRel:
    case kMarkRel:
        vector_to(op == kJumpRel ? VectorKind::Jump : VectorKind::Mark, head_.x + s16(w1),
                  head_.y + s16(w2), head_.z + s16(w3));
        return;
    case kTimedJumpAbs:
    case kTimedMarkAbs:
        timed_vector_to(op == kTimedJumpAbs ? VectorKind::Jump : VectorKind::Mark, s16(w1),
                        s16(w2), head_.z, w3);
        return;
    case kTimedJumpRel:
    case kTimedMarkRel:
        timed_vector_to(op == kTimedJumpRel ? VectorKind::Jump : VectorKind::Mark,
                        head_.x + s16(w1), head_.y + s16(w2), head_.z, w3);
        return;
    case kArcRelCcw:
    case kArcRelCw:
    case kArcAbsCcw:
    case kArcAbsCw:
        arc(op >= kArcAbsCcw, op == kArcRelCw || op == kArcAbsCw, s16(w1), s16(w2), w3);
        return;
    case kJumpSpeed:
    case kMarkSpeed: {
        const double s = speed_from_word(join(w1, w2));
        if (s <= 0.0) {
            fail("speed word 0");
            return;
        }
        (op == kJumpSpeed ? jump_speed_ : mark_speed_) = s;
        return;
    }
    case kScannerDelays:
        jump_delay_ = w1, mark_delay_ = w2, polygon_delay_ = w3;
        return;
    case kLongDelay:
        next_us_ += w1 * kTickUs;
        return;
    case kLaserOn:
        next_us_ += w1 * kTickUs;
        laser_until_us_ = next_us_;
        return;
    case kListJump:
        list_jump(join(w1, w2));
        return;
    case kListCall:
        list_call(join(w1, w2));
        return;
    case kListReturn:
        list_return();
        return;
    case kWait:
        state_ = State::Waiting;
        wait_number_ = w1;
        return;
    case kSaveRestartTimer:
        saved_timer_us_ = next_us_ - timer_start_us_;
        timer_start_us_ = next_us_;
        return;
    case kZOut:
        head_.z = static_cast<std::int32_t>(w1) - 32768;
        segment_from_.z = head_.z;
        return;
    case kOffset:
        offset_x_ = s16(w1), offset_y_ = s16(w2);
        return;
    case kMatrix:
        if (w1 > 3) {
            fail("matrix element " + std::to_string(w1));
            return;
        }
        set_matrix(w1, static_cast<std::int32_t>(join(w2, w3)));
        return;
    case kPort8Bit:
        outputs_.port_8bit = w1;
        return;
    case kIoPort:
        outputs_.io_port = w1;
        return;
    case kAnalog1:
    case kAnalog2:
        outputs_.analog[op - kAnalog1] = std::min<std::uint16_t>(w1, 1023);
        return;
    case kSetIoCond:
        if (condition_holds(w1, w2)) outputs_.io_port |= w3;
        return;
    case kClearIoCond:
        if (condition_holds(w1, w2)) outputs_.io_port &= static_cast<std::uint16_t>(~w3);
        return;
    case kLaserSignalOn:
    case kLaserSignalOff:
        outputs_.laser_signal = op == kLaserSignalOn;
        return;
    case kControlMode:
        outputs_.control_mode = w1;
        return;
    case kDefocus:
        outputs_.defocus = w1;
        return;
    case kExtStartPos:
        if (join(w1, w2) < kListEnd) outputs_.external_start_position = join(w1, w2);
        return;
    case kPixelLine:
        next_ = std::min(next_ + 1, kListEnd); // the second entry holds the pixel steps
        return;
    // Settings of the laser, its timing, wobble, marking on the fly, regulation and text
    // stamping: accepted; they do not change where the head goes or how long it takes.
    case kLaserDelays: case kStandby: case kLaserTiming: case kLaserTimingBase: case kWobble:
    case kFlyX: case kFlyY: case kSimulateExtStart: case kFirstPulseKiller:
    case kExtStartDelay: case kWobbleXY: case kCalculateFly: case kCorTable:
    case kFlyRotation: case kFlyReturn: case kTrigger: case kDrilling: case kRegulation:
    case kFlyLine: case kRegulation2: case kRegulation3: case kTimeFix: case kMarkTime:
    case kMarkDate: case kMarkSerial: case kDateCheck: case kStoreEncoder:
    case kFlyDisplacement:
        return;
    default:
        if (op == kUnwrittenWord) fail("unwritten list memory");
        else fail("unknown list opcode " + std::to_string(op));
        return;
    }
}

bool ListExecutor::condition_holds(std::uint16_t all_set, std::uint16_t all_clear) const {
    return (inputs_ & all_set) == all_set && (inputs_ & all_clear) == 0;
}

void ListExecutor::list_jump(std::uint32_t position) {
    if (position >= kListEnd) {
        fail("list jump outside list memory");
        return;
    }
    next_ = position;
}

void ListExecutor::list_call(std::uint32_t position) {
    if (call_stack_.size() >= kMaxCallDepth) {
        fail("list calls nested too deep");
        return;
    }
    call_stack_.push_back(next_);
    list_jump(position);
}

void ListExecutor::list_return() {
    if (call_stack_.empty()) {
        fail("list return without a call");
        return;
    }
    next_ = call_stack_.back();
    call_stack_.pop_back();
}

void ListExecutor::end_of_list() {
    if (last_vector_ == Last::Mark) next_us_ += mark_delay_ * kTickUs;
    last_vector_ = Last::None;
    call_stack_.clear();
    if (loop_) {
        next_ = started_at_;
    } else if (has_pending_start_) {
        has_pending_start_ = false;
        next_ = started_at_ = pending_start_;
    } else {
        state_ = State::Idle;
    }
}

// ---------------------------------------------------------------- motion

// A jump after marks waits the mark delay; a mark after marks the polygon delay.
void ListExecutor::settle_mark_delay(VectorKind next) {
    if (last_vector_ != Last::Mark) return;
    next_us_ += (next == VectorKind::Mark ? polygon_delay_ : mark_delay_) * kTickUs;
}

void ListExecutor::vector_to(VectorKind kind, std::int32_t x, std::int32_t y, std::int32_t z) {
    settle_mark_delay(kind);
    const HeadPosition to{clamp16(x), clamp16(y), clamp16(z)};
    const double length = std::hypot(to.x - head_.x, to.y - head_.y, to.z - head_.z);
    const double speed = kind == VectorKind::Jump ? jump_speed_ : mark_speed_;
    const double duration = length / speed * 1000.0;
    segment_marks_ = kind == VectorKind::Mark;
    begin_segment(to, duration);
    finish_vector(kind);
}

void ListExecutor::timed_vector_to(VectorKind kind, std::int32_t x, std::int32_t y,
                                   std::int32_t z, std::uint16_t ticks) {
    settle_mark_delay(kind);
    segment_marks_ = kind == VectorKind::Mark;
    begin_segment({clamp16(x), clamp16(y), clamp16(z)}, ticks * kTickUs);
    finish_vector(kind);
}

void ListExecutor::finish_vector(VectorKind kind) {
    emit(kind);
    if (kind == VectorKind::Jump) {
        next_us_ += jump_delay_ * kTickUs;
        last_vector_ = Last::Jump;
    } else {
        last_vector_ = Last::Mark;
    }
}

// Marks an arc around a centre (absolute, or relative to the head) through aw / 65535 of a
// full turn, counter-clockwise unless `clockwise`, as a chain of short chords.
void ListExecutor::arc(bool absolute, bool clockwise, std::int16_t a, std::int16_t b,
                       std::uint16_t aw) {
    settle_mark_delay(VectorKind::Mark);
    const double cx = absolute ? a : head_.x + a;
    const double cy = absolute ? b : head_.y + b;
    const double sx = head_.x - cx, sy = head_.y - cy;
    const double radius = std::hypot(sx, sy);
    const double degrees = aw * 360.0 / 65535.0;
    const double sweep = (clockwise ? -degrees : degrees) * std::numbers::pi / 180.0;
    // (the angle word's rounding must not add a chord: 16384 is a quarter turn)
    const int chords =
        std::max(1, static_cast<int>(std::ceil(degrees / kArcStepDegrees - 0.01)));
    const double per_chord_us = radius * std::abs(sweep) / mark_speed_ * 1000.0 / chords;
    segment_marks_ = true;
    for (int i = 1; i <= chords; ++i) {
        const double t = sweep * i / chords;
        const double x = cx + sx * std::cos(t) - sy * std::sin(t);
        const double y = cy + sx * std::sin(t) + sy * std::cos(t);
        begin_segment({clamp16(std::nearbyint(x)), clamp16(std::nearbyint(y)), head_.z},
                      per_chord_us);
        emit(VectorKind::Mark);
    }
    last_vector_ = Last::Mark;
}

void ListExecutor::begin_segment(const HeadPosition& to, double duration_us) {
    segment_from_ = transformed(head_);
    segment_start_us_ = next_us_;
    next_us_ += duration_us;
    segment_end_us_ = next_us_;
    head_ = to;
}

void ListExecutor::emit(VectorKind kind) {
    if (sink_) sink_->vector(kind, transformed(head_));
}

HeadPosition ListExecutor::transformed(const HeadPosition& p) const {
    const double x = matrix_[0] * p.x + matrix_[1] * p.y;
    const double y = matrix_[2] * p.x + matrix_[3] * p.y;
    return {clamp16(std::nearbyint(x) + offset_x_), clamp16(std::nearbyint(y) + offset_y_), p.z};
}

HeadPosition ListExecutor::head() const {
    const HeadPosition end = transformed(head_);
    if (now_us_ >= segment_end_us_ || segment_end_us_ <= segment_start_us_) return end;
    const double f = std::max(0.0, (now_us_ - segment_start_us_) /
                                       (segment_end_us_ - segment_start_us_));
    auto mix = [f](std::int32_t from, std::int32_t to) {
        return static_cast<std::int32_t>(std::nearbyint(from + (to - from) * f));
    };
    return {mix(segment_from_.x, end.x), mix(segment_from_.y, end.y), end.z};
}

bool ListExecutor::laser_on() const {
    if (!outputs_.laser_signal) return false;
    if (now_us_ < laser_until_us_) return true;
    return segment_marks_ && now_us_ >= segment_start_us_ && now_us_ < segment_end_us_;
}

std::uint32_t ListExecutor::saved_timer_ticks() const {
    const double ticks = std::floor(saved_timer_us_ / kTickUs);
    return static_cast<std::uint32_t>(std::fmod(ticks, 4294967296.0));
}

void ListExecutor::fail(const std::string& what) {
    std::string message = "list position " + std::to_string(current_) + ": " + what;
    state_ = State::Idle;
    has_pending_start_ = false;
    loop_ = false;
    call_stack_.clear();
    if (sink_) sink_->error(message);
    errors_.push_back(std::move(message));
}

} // namespace quarnel::sim
