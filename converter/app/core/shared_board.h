// The board as the converter's windows share it, and a run's checked way to it.
//
// While a run is on the board (a marking run, a grid run, the limits frame being sent), the
// list entries it made wait in the library between its calls, and whichever exchange comes
// next writes them first: the run's own, or that of a window the run's pumps let in (the
// System Status and I/O windows keep polling the board). The transport status tells only of
// the latest transfer, so the exchange's own good transfer would hide a failed write and the
// board would run a list with a hole in it. So while a run is on, every exchange writes the
// waiting entries by themselves first (get_input_pointer only writes them), and the status is
// tested after each transfer the board may have made: once after that write, once after the
// call. A failure is kept until the run ends: the run learns of it at its next call and makes
// no further call to the board, while the other windows' exchanges still go to the board and
// get its answers. The packets on the wire are the same as without it: the write only moves
// from inside the exchange to just before it.
#pragma once

#include <stdexcept>
#include <type_traits>

#include "notifier.h"
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
    explicit SharedBoard(QuarnelLibrary& board) : SharedBoard(board, board) {}
    // `checks` takes the writes and status reads the shared board makes of its own: the same
    // library as `board`, seen apart by tests that record the calls.
    SharedBoard(QuarnelLibrary& board, QuarnelLibrary& checks) : board_(board), checks_(checks) {}

#define ONDREL_SHARE_IMPORT(kind, R, name, params, args) \
    R name params override { return Forward<ImportKind::kind, R>([&] { return board_.name args; }); }
    ONDREL_QUARNEL_IMPORTS(ONDREL_SHARE_IMPORT)
#undef ONDREL_SHARE_IMPORT

    // The library itself: for what must get through whatever the board answers (a run's stop
    // path).
    QuarnelLibrary& Plain() { return board_; }

private:
    friend class RunBoard;

    template <ImportKind kind, typename R, typename Call>
    R Forward(Call call) {
        if constexpr (kind != ImportKind::Local) {
            if (runOn_) return Tested<kind, R>(call, [] {});
        }
        return call();
    }
    // The call with the status tested after each transfer it may make; `between` comes after
    // the write of the waiting entries, before the exchange itself.
    template <ImportKind kind, typename R, typename Call, typename Between>
    R Tested(Call call, Between between) {
        if constexpr (kind == ImportKind::Exchange) {
            checks_.get_input_pointer();
            TestTransfer();
            between();
        }
        return CallThen(call, [this] { TestTransfer(); });
    }
    // Keeps a failed latest transfer.
    void TestTransfer() {
        if (checks_.usb_status() != 0) failed_ = true;
    }

    QuarnelLibrary& board_;
    QuarnelLibrary& checks_;
    bool runOn_ = false;
    bool failed_ = false; // a transfer failed since the run came on
};

// A run's calls, for as long as the run lives, tested as the shared board tests the windows'
// exchanges: a transfer that failed, the call's own or one found by another window's exchange
// in between, throws TransferFailed at once, so that no call of the run reaches the board after
// it (an exchange whose waiting entries were not written is not made). One run at a time holds
// the board.
class RunBoard final : public QuarnelLibrary {
public:
    explicit RunBoard(SharedBoard& shared);
    ~RunBoard() override;
    RunBoard(const RunBoard&) = delete;
    RunBoard& operator=(const RunBoard&) = delete;

#define ONDREL_CHECK_IMPORT(kind, R, name, params, args) \
    R name params override { return Checked<ImportKind::kind, R>([&] { return shared_.board_.name args; }); }
    ONDREL_QUARNEL_IMPORTS(ONDREL_CHECK_IMPORT)
#undef ONDREL_CHECK_IMPORT

private:
    template <ImportKind kind, typename R, typename Call>
    R Checked(Call call) {
        if constexpr (kind == ImportKind::Local) {
            return call();
        } else {
            Check();
            auto checkedCall = [&] { return shared_.Tested<kind, R>(call, [this] { Check(); }); };
            return CallThen(checkedCall, [this] { Check(); });
        }
    }
    void Check() const {
        if (shared_.failed_) throw TransferFailed();
    }

    SharedBoard& shared_;
};

// A run's stop path on the board, by immediate commands through the plain library, so that they
// get through whatever the board answers: the list stopped, the outputs off, the head parked
// at the centre.
void StopAndPark(SharedBoard& board, Notifier& notifier);

} // namespace ondrel
