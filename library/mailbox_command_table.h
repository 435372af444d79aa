// The command mailbox as the command families use it.
//
// Every export that talks to the board through its mailbox is one row of a family table
// (immediate_commands.cpp, board_queries.cpp, list_execution.cpp): the row names the export,
// its arguments, and how they fill the mailbox: the command code in word 0, the argument
// words from word 1 on, and whether the library waits for the board to clear word 0. A query
// row adds how its result is assembled from the reply words and the value it returns when
// the board number is bad or the exchange fails. The rows expand into the two C exports of
// each command (QUARNEL_BOARD_EXPORT), so the board test, the lock and the exchange
// are written once.
//
// Words a command does not set go out as the previous command or reply left them.
#pragma once

#include "board_exports.h"
#include "context.h"
#include "word_packing.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <mutex>
#include <optional>

namespace quarnel {

// Whether the library waits for a command.
enum class Completion : std::uint8_t {
    send, // the packet is written once; the board executes the command on its own
    wait, // then the mailbox is polled until the board has cleared word 0; results in words 1..9
};

// What one command puts into the mailbox.
struct MailboxFill {
    std::uint16_t code = 0;
    Completion completion = Completion::send;
    std::uint8_t count = 0;                // argument words set, from word 1 on
    std::array<std::uint16_t, 9> words{}; // words 1..count
};

// A command's fill, or nothing when its arguments fail the command's test (nothing is sent).
using Packing = std::optional<MailboxFill>;
inline constexpr std::nullopt_t invalid_call = std::nullopt;

// The mailbox after a query: words 1..9 hold the board's reply.
using Reply = std::array<std::uint16_t, 10>;

// A command row's fill: code and argument words, sent without waiting.
template <class... Words>
constexpr MailboxFill command(std::uint16_t code, Words... words) {
    static_assert(sizeof...(Words) <= 9, "the mailbox has nine argument words");
    return MailboxFill{code, Completion::send, static_cast<std::uint8_t>(sizeof...(Words)),
                       {static_cast<std::uint16_t>(words)...}};
}

// The command that stops the list the board runs (stop_execution; the loaders send it too).
inline constexpr std::uint16_t kStopExecutionCommand = 8;

// A query row's fill: code and argument words; the library waits for the reply.
template <class... Words>
constexpr MailboxFill query(std::uint16_t code, Words... words) {
    MailboxFill fill = command(code, words...);
    fill.completion = Completion::wait;
    return fill;
}

// --- Running a row ---

// Fills the mailbox of board b and exchanges it; the caller holds board_lock[b].
// True when every transfer went well, so that words 1..9 hold the reply of a query.
inline bool exchange_fill(Context& ctx, std::uint32_t b, const MailboxFill& fill) {
    std::uint16_t* mailbox = ctx.slots[board_index(b)].command_mailbox;
    mailbox[0] = fill.code;
    for (std::uint8_t k = 0; k < fill.count; ++k) mailbox[k + 1] = fill.words[k];
    exchange_mailbox(ctx, b, fill.count, fill.completion == Completion::wait ? 1 : 0);
    return ctx.slots[board_index(b)].last_status == 0;
}

// A command on board b: sent under the board's lock when the board number is valid and the
// arguments passed the command's test (`fill` is not invalid_call); otherwise nothing is
// taken or sent.
inline void run_command(std::uint32_t b, const Packing& fill) {
    if (!fill) return;
    with_board_locked(b, [&](Context& ctx, BoardSlot&) { exchange_fill(ctx, b, *fill); });
}

// A query on board b: like run_command, then the result assembled from the reply, or
// `failure` for a bad board, failed arguments or a failed exchange (its reply words are not
// used).
template <class Result, class Assemble>
Result run_query(Context& ctx, std::uint32_t b, const Packing& fill, Assemble assemble,
                 Result failure) {
    if (!fill || !valid_board(ctx, b)) return failure;
    std::lock_guard lock(ctx.board_lock[board_index(b)]);
    if (!exchange_fill(ctx, b, *fill)) return failure;
    Reply reply;
    std::copy(std::begin(ctx.slots[board_index(b)].command_mailbox),
              std::end(ctx.slots[board_index(b)].command_mailbox), reply.begin());
    return assemble(reply);
}

template <class Result, class Assemble>
Result run_query(std::uint32_t b, const Packing& fill, Assemble assemble, Result failure) {
    Context* ctx = current_context();
    return ctx != nullptr ? run_query(*ctx, b, fill, assemble, failure) : failure;
}

// The result of most queries: reply word 1.
inline std::uint16_t word_1(const Reply& w) { return w[1]; }

// Stores an out-parameter unless the caller passed a null pointer.
template <class T, class V>
void put(T* out, V value) {
    if (out != nullptr) *out = static_cast<T>(value);
}

} // namespace quarnel

// --- Rows expanded into the two C exports (QUARNEL_BOARD_EXPORT, board_exports.h) ---

// A command row: the fill is an expression of the parameters (a MailboxFill, or a Packing
// that may be invalid_call).
#define QUARNEL_COMMAND_ROW(name, params, args, fill)                                          \
    QUARNEL_BOARD_EXPORT(void, name, params, args) { ::quarnel::run_command(board, fill); }

// A query row: `result` is an expression of the reply `w` (and the parameters).
#define QUARNEL_QUERY_ROW(ret, name, params, args, fill, result, failure)                     \
    QUARNEL_BOARD_EXPORT(ret, name, params, args) {                                            \
        return ::quarnel::run_query<ret>(                                                      \
            board, fill,                                                                       \
            [&](const ::quarnel::Reply& w) -> ret { return static_cast<ret>(result); },        \
            static_cast<ret>(failure));                                                        \
    }
