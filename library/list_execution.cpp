// Starting, stopping, looping and chaining the board's lists: commands through the mailbox.
#include "mailbox_command_table.h"

// Every export must be declared in the public header first, so the two cannot drift apart.
#pragma GCC diagnostic error "-Wmissing-declarations"

namespace quarnel {
namespace {

constexpr std::uint16_t kExternalStartPosition = 24;

// Lists 1 and 2 start with their own command codes; any other number sends nothing.
Packing execute(std::uint16_t list) {
    if (list != 1 && list != 2) return invalid_call;
    return command(list);
}

// The external start goes to the start of list 2 for any n but 0, which names list 1.
MailboxFill external_start_list(std::uint16_t n) {
    return n != 0 ? command(kExternalStartPosition, high_word(kList2Position),
                            low_word(kList2Position))
                  : command(kExternalStartPosition, 0, 0);
}

// List positions run 0..999999; commands that name one send nothing for any other value.
Packing list_position_command(std::uint16_t code, std::int32_t position) {
    if (position < 0 || static_cast<std::uint32_t>(position) >= kListPositions) return invalid_call;
    return command(code, high_word(position), low_word(position));
}

// A memory-card store answers 0 when done. A failed exchange must not read as done.
constexpr std::uint16_t kStoreFailed = 0xFFFF;

} // namespace
} // namespace quarnel

using namespace quarnel;
using std::int32_t;
using std::uint32_t;

// One row per command: export name, parameters after the board number, their names, fill.
#define QUARNEL_LIST_EXECUTION_COMMANDS(X)                                                    \
    X(execute_list_1, (), (), command(1))                                                     \
    X(execute_list_2, (), (), command(2))                                                     \
    X(execute_list, (uint32_t n), (n), execute(low_word(n)))                                  \
    X(auto_change, (), (), command(5))                                                        \
    X(aut_change, (), (), command(5))                                                         \
    X(start_loop, (), (), command(6))                                                         \
    X(quit_loop, (), (), command(7))                                                          \
    X(stop_execution, (), (), command(kStopExecutionCommand))                                 \
    X(dsp_start, (), (), command(8))                                                          \
    X(stop_list, (), (), command(20))                                                         \
    X(restart_list, (), (), command(21))                                                      \
    X(select_list, (uint32_t n), (n), external_start_list(low_word(n)))                       \
    X(set_extstartpos, (int32_t p), (p), list_position_command(kExternalStartPosition, p))    \
    X(execute_at_pointer, (int32_t p), (p), list_position_command(34, p))                     \
    X(release_wait, (), (), command(39))                                                      \
    X(auto_change_pos, (int32_t p), (p), list_position_command(59, p))                        \
    X(clear_list, (), (), query(83))

QUARNEL_LIST_EXECUTION_COMMANDS(QUARNEL_COMMAND_ROW)

// Stores the lists on the board's memory card and waits for it: 0 when done. A bad board
// number gives 0 like every query; a failed exchange gives kStoreFailed.
QUARNEL_BOARD_EXPORT(std::uint16_t, store_on_mmc, (), ()) {
    Context* ctx = current_context();
    if (ctx == nullptr || !valid_board(*ctx, board)) return 0;
    return run_query<std::uint16_t>(*ctx, board, query(80), word_1, kStoreFailed);
}
