#include "plot_error.h"

namespace ondrel {

std::string PlotErrorMessage(int code, Mnemonic command)
{
    const char* reason = "Internal error";
    switch (code) {
    case IllegalParameters: reason = "Illegal parameters"; break;
    case NoSecondParameter: reason = "No second parameter"; break;
    case NoThirdParameter: reason = "No third parameter"; break;
    case NoFourthParameter: reason = "No fourth parameter"; break;
    default: break;
    }
    std::string message = "Error in command  ";
    message += static_cast<char>(command >> 8);
    message += static_cast<char>(command & 0xFF);
    message += '\r';
    message += reason;
    return message;
}

} // namespace ondrel
