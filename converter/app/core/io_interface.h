// Options > "IO-Interface": the board's 16 digital outputs as check boxes the operator
// switches, its 16 digital inputs as check boxes a 500 ms poll refreshes. The outputs are
// never read back: the boxes are the only record of the output word on the host.
#pragma once

#include <array>
#include <cstdint>

#include "converter_state.h"
#include "quarnel_library.h"

namespace ondrel {

constexpr int kIoLines = 16;
constexpr int kIoPollMilliseconds = 500;

// Box i stands for bit i of the word ("Bit 0" to "Bit 15").
using IoLines = std::array<bool, kIoLines>;

// The window opens only with a correction file loaded and a ready board (this process owns
// the boards and one is selected); otherwise the menu item does nothing at all.
bool IoInterfaceMayOpen(const ConverterState& state, QuarnelLibrary& library);

// Bit i set when box i is checked.
std::uint16_t OutputWord(const IoLines& outputs);

// Any output box changed: the whole word goes to the board, never a single bit. False when the
// board did not take it: the boxes must not show it as written then.
bool WriteOutputs(const IoLines& outputs, QuarnelLibrary& library);

// One input poll: box i checked exactly when bit i of the input word is set.
IoLines ReadInputs(QuarnelLibrary& library);

} // namespace ondrel
