#include "shared_board.h"

#include <cassert>

namespace ondrel {

RunBoard::RunBoard(SharedBoard& shared) : shared_(shared) {
    // A run starts only while no other is in progress (RunInProgress), so none encloses it.
    assert(!shared_.runOn_);
    shared_.runOn_ = true;
    shared_.failed_ = false;
}

RunBoard::~RunBoard() {
    shared_.runOn_ = false;
    shared_.failed_ = false;
}

void StopAndPark(SharedBoard& shared, Notifier& notifier) {
    QuarnelLibrary& board = shared.Plain();
    board.stop_execution();
    board.write_da_1(0);
    board.write_8bit_port(0);
    board.set_control_mode(0);
    notifier.Beep();
    board.goto_xyz(0, 0, 0);
}

} // namespace ondrel
