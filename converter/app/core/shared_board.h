// The board as the converter's windows share it, and a run's checked way to it.
//
// While a run is on the board (a marking run, a grid run, the limits frame being sent), the
// list entries it made wait in the library between its calls, and whichever exchange comes
// next writes them first: the run's own, or that of a window the run's pumps let in (the
// System Status and I/O windows keep polling the board). The transport status tells only of
// the latest transfer, so the exchange's own good transfer would hide a failed write and the
// board would run a list with a hole in it. So while a run is on, every exchange writes the
// waiting entries by themselves first (get_input_pointer only writes them) and tests the
// status, and tests it again after the exchange. After a failure no exchange goes to the board
// until the run has ended, and the run learns of it at its next call. The packets on the wire
// are the same as without it: the write only moves from inside the exchange to just before it.
#pragma once

#include <stdexcept>
#include <type_traits>

#include "quarnel_library.h"

namespace ondrel {

// The box a run shows when the board did not take what it was sent.
inline constexpr const char* kNotReady = "Quarnel not Ready!";

class TransferFailed : public std::runtime_error {
public:
    TransferFailed() : std::runtime_error(kNotReady) {}
};

// call(), then after(); the result is call's.
template <typename Call, typename After>
auto CallThen(Call call, After after) {
    if constexpr (std::is_void_v<decltype(call())>) {
        call();
        after();
    } else {
        auto result = call();
        after();
        return result;
    }
}

class SharedBoard final : public QuarnelLibrary {
public:
    explicit SharedBoard(QuarnelLibrary& board) : board_(board) {}

#define ONDREL_SHARE_IMPORT(kind, R, name, params, args) \
    R name params override { return Forward<ImportKind::kind, R>([&] { return board_.name args; }); }
    ONDREL_QUARNEL_IMPORTS(ONDREL_SHARE_IMPORT)
#undef ONDREL_SHARE_IMPORT

    // The library itself: for what must get through whatever the board answers (a run's stop
    // path and end sequence).
    QuarnelLibrary& Plain() { return board_; }

private:
    friend class RunBoard;

    template <ImportKind kind, typename R, typename Call>
    R Forward(Call call) {
        if constexpr (kind == ImportKind::Exchange) {
            if (runOn_) {
                if (!WriteWaitingEntries()) return R();
                return CallThen(call, [this] { TestTransfer(); });
            }
        }
        return call();
    }
    // False when the write failed, now or earlier in the run.
    bool WriteWaitingEntries();
    // Notes a failed latest transfer.
    void TestTransfer();

    QuarnelLibrary& board_;
    bool runOn_ = false;
    bool failed_ = false; // a transfer failed since the run came on
};

// A run's calls, for as long as the run lives: each goes through the shared board, and then a
// failed transfer, the call's own or one found by another window's exchange in between,
// throws TransferFailed.
class RunBoard final : public QuarnelLibrary {
public:
    explicit RunBoard(SharedBoard& shared);
    ~RunBoard() override;
    RunBoard(const RunBoard&) = delete;
    RunBoard& operator=(const RunBoard&) = delete;

#define ONDREL_CHECK_IMPORT(kind, R, name, params, args) \
    R name params override { return Checked<ImportKind::kind, R>([&] { return shared_.name args; }); }
    ONDREL_QUARNEL_IMPORTS(ONDREL_CHECK_IMPORT)
#undef ONDREL_CHECK_IMPORT

    QuarnelLibrary& Plain() { return shared_.Plain(); }

private:
    template <ImportKind kind, typename R, typename Call>
    R Checked(Call call) {
        if constexpr (kind == ImportKind::Local)
            return call();
        else
            return CallThen(call, [this] { Check(); });
    }
    void Check();

    SharedBoard& shared_;
    bool wasOn_, hadFailed_; // an enclosing run's, put back at the end
};

} // namespace ondrel
