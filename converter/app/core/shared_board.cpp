#include "shared_board.h"

namespace ondrel {

bool SharedBoard::WriteWaitingEntries() {
    if (failed_) return false;
    board_.get_input_pointer();
    TestTransfer();
    return !failed_;
}

void SharedBoard::TestTransfer() {
    if (board_.usb_status() != 0) failed_ = true;
}

RunBoard::RunBoard(SharedBoard& shared) : shared_(shared), wasOn_(shared.runOn_), hadFailed_(shared.failed_) {
    shared_.runOn_ = true;
    shared_.failed_ = false;
}

RunBoard::~RunBoard() {
    shared_.runOn_ = wasOn_;
    shared_.failed_ = hadFailed_;
}

void RunBoard::Check() {
    shared_.TestTransfer();
    if (shared_.failed_) throw TransferFailed();
}

} // namespace ondrel
