// Failures that end the interpretation of a plot. They are thrown inside the interpreter and
// turned into a load result by the loaders; the drawing being loaded is then dropped.
#pragma once

#include <cstdint>
#include <string>

namespace ondrel {

// Two upper-case letters of a command packed as (first << 8) | second.
using Mnemonic = std::uint16_t;

constexpr Mnemonic MakeMnemonic(char first, char second)
{
    return static_cast<Mnemonic>((static_cast<unsigned char>(first) << 8) |
                                 static_cast<unsigned char>(second));
}

enum PlotErrorCode : int {
    IllegalParameters = 0,
    InternalError = 1,
    NoSecondParameter = 2,
    NoThirdParameter = 3,
    NoFourthParameter = 4,
};

// A malformed or unusable plot. Mnemonic 0 stands for the command being interpreted.
struct PlotFailure {
    int Code;
    Mnemonic Command = 0;
};

// The plot would produce more records than one load may hold.
struct PlotLimitExceeded {};

// "Error in command  " + the two letters + CR + the reason.
std::string PlotErrorMessage(int code, Mnemonic command);

} // namespace ondrel
