// The simulated board's list executor: it fetches the 4-word entries of its list memory,
// decodes them, moves the head and switches the laser on its own clock.
//
// The clock counts board microseconds. Whoever drives the executor calls advance() with the
// list memory, the board time it has reached (or +infinity to run as fast as it can) and a
// budget of entries; an entry starts when the one before it has finished, so a vector or a
// delay keeps the list busy for its duration.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "sim/word_memory.h"

namespace quarnel::sim {

struct HeadPosition {
    std::int32_t x = 0, y = 0, z = 0;
    friend bool operator==(const HeadPosition&, const HeadPosition&) = default;
};

enum class VectorKind { Jump, Mark };

// Receives what the executor does; the motion file is one such receiver.
class ExecutionSink {
public:
    virtual ~ExecutionSink() = default;
    virtual void vector(VectorKind kind, const HeadPosition& end) = 0;
    virtual void error(const std::string& message) = 0;
};

// The outputs that list entries and immediate commands set and the queries read back.
struct BoardOutputs {
    std::uint16_t port_8bit = 0;
    std::uint16_t io_port = 0;
    std::uint16_t analog[2] = {0, 0};
    std::uint16_t control_mode = 0;
    std::uint16_t defocus = 0;
    bool laser_signal = true;
    std::uint32_t external_start_position = 0; // where an external start begins
};

class ListExecutor {
public:
    void set_sink(ExecutionSink* sink) { sink_ = sink; }

    // --- Control, as the mailbox commands give it.
    void start(std::uint32_t position);           // any running list is abandoned
    void stop();                                  // stop at once, chaining and loop forgotten
    void pause();                                 // hold the running list where it is
    void resume();                                // go on after pause()
    void auto_change();                           // continue with the other list
    void auto_change_at(std::uint32_t position);  // continue at a position
    void start_loop() { loop_ = true; }
    void quit_loop() { loop_ = false; }
    void release_wait();
    void move_head(const HeadPosition& p);        // an immediate jump, outside any list
    void set_matrix(int index, std::int32_t fixed_2_24);
    void set_offset(std::int16_t x, std::int16_t y) { offset_x_ = x, offset_y_ = y; }
    void set_inputs(std::uint16_t bits) { inputs_ = bits; }

    // Executes the entries that start at or before board time `target_us`, at most
    // `max_entries` of them; +infinity runs until the list ends, waits or the budget is used.
    // Clocked: the clock reaches the target even when no list runs. FlatOut: the clock moves
    // only with the entries executed (the board runs as fast as it can).
    // Returns the number of entries executed.
    enum class Pace { Clocked, FlatOut };
    std::uint64_t advance(const WordMemory& memory, double target_us, std::uint64_t max_entries,
                          Pace pace = Pace::Clocked);

    // --- State the queries report.
    bool busy() const { return state_ != State::Idle; }
    bool waiting() const { return state_ == State::Waiting; }
    std::uint32_t position() const { return current_; }   // entry in progress or last one
    HeadPosition head() const;                            // where the head is now
    bool laser_on() const;
    double now_us() const { return now_us_; }
    std::uint32_t saved_timer_ticks() const;              // 10 us ticks of the saved timer
    std::uint16_t wait_number() const { return state_ == State::Waiting ? wait_number_ : 0; }
    std::uint16_t inputs() const { return inputs_; }
    BoardOutputs& outputs() { return outputs_; }
    const BoardOutputs& outputs() const { return outputs_; }
    double jump_speed() const { return jump_speed_; }     // Bit/ms
    double mark_speed() const { return mark_speed_; }
    const std::vector<std::string>& errors() const { return errors_; }
    std::uint64_t entries_executed() const { return executed_; }

private:
    enum class State { Idle, Running, Paused, Waiting };
    enum class Last { None, Jump, Mark };
    using Entry = std::array<std::uint16_t, 4>;

    void execute(const Entry& e);
    void vector_to(VectorKind kind, std::int32_t x, std::int32_t y, std::int32_t z);
    void timed_vector_to(VectorKind kind, std::int32_t x, std::int32_t y, std::int32_t z,
                         std::uint16_t ticks);
    void finish_vector(VectorKind kind);
    void arc(bool absolute, bool clockwise, std::int16_t a, std::int16_t b, std::uint16_t aw);
    void end_of_list();
    void list_jump(std::uint32_t position);
    void list_call(std::uint32_t position);
    void list_return();
    void settle_mark_delay(VectorKind next);
    void fail(const std::string& what);
    void emit(VectorKind kind);
    HeadPosition transformed(const HeadPosition& p) const;
    void begin_segment(const HeadPosition& to, double duration_us);
    bool condition_holds(std::uint16_t all_set, std::uint16_t all_clear) const;

    ExecutionSink* sink_ = nullptr;

    State state_ = State::Idle;
    std::uint32_t next_ = 0;          // position of the next entry to fetch
    std::uint32_t current_ = 0;       // position of the entry fetched last
    std::uint32_t started_at_ = 0;    // where the running list was started (for the loop)
    bool has_pending_start_ = false;  // auto change requested
    std::uint32_t pending_start_ = 0;
    bool loop_ = false;
    std::vector<std::uint32_t> call_stack_;
    std::uint16_t wait_number_ = 0;

    double now_us_ = 0.0;             // board time reached
    double next_us_ = 0.0;            // when the entry in progress finishes
    double timer_start_us_ = 0.0;
    double saved_timer_us_ = 0.0;

    // Head: list coordinates; what the outside sees passes the matrix and offset.
    HeadPosition head_;               // end of the vector in progress
    HeadPosition segment_from_;       // physical start of the vector in progress
    double segment_start_us_ = 0.0, segment_end_us_ = 0.0;
    bool segment_marks_ = false;
    double laser_until_us_ = 0.0;     // laser_on_list keeps the laser on until then
    Last last_vector_ = Last::None;

    double jump_speed_ = 1000.0;      // Bit/ms
    double mark_speed_ = 250.0;
    std::uint16_t jump_delay_ = 0;    // 10 us units
    std::uint16_t mark_delay_ = 0;
    std::uint16_t polygon_delay_ = 0;
    std::array<double, 4> matrix_{1.0, 0.0, 0.0, 1.0};
    std::int32_t offset_x_ = 0, offset_y_ = 0;

    std::uint16_t inputs_ = 0;
    BoardOutputs outputs_;
    std::vector<std::string> errors_;
    std::uint64_t executed_ = 0;
};

} // namespace quarnel::sim
