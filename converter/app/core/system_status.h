// Info > "System Status": the versions of the converter, the library and the board's
// firmware, the board's hardware version, serial number and options, the correction file in
// use, and four status bits of scan head 1, renewed every 500 ms while the window is open.
#pragma once

#include <cstdint>
#include <string>

#include "converter_state.h"
#include "quarnel_library.h"

namespace ondrel {

constexpr double kConverterVersion = 5.07;
constexpr int kStatusPollMilliseconds = 500;

// The value labels, each "?" until something fills it.
struct StatusLabels {
    std::string L1 = "?";  // "Ondrel-Converter:"
    std::string L2 = "?";  // "Driver-DLL:"
    std::string L3 = "?";  // "Hex-File:"
    std::string L4 = "?";  // "Hardware:"
    std::string L5 = "?";  // "Serial-Number:"
    std::string L6 = "?";  // "Temperature"
    std::string L7 = "?";  // "Power"
    std::string L8 = "?";  // "X - Position"
    std::string L9 = "?";  // "Y - Position"
    std::string L10 = "?"; // "Options:"
    std::string L11 = "?"; // "Correction-File:"
};

// Head status bits of head 1, set = "OK".
constexpr std::uint16_t kHeadTemperature = 0x4000;
constexpr std::uint16_t kHeadPower = 0x8000;
constexpr std::uint16_t kHeadXPosition = 0x0800;
constexpr std::uint16_t kHeadYPosition = 0x1000;

// Each time the window becomes active: the versions and the info labels. Without a ready
// board the board's labels keep what they showed.
void FillStatusLabels(StatusLabels& labels, const ConverterState& state, QuarnelLibrary& library);

// One tick of the head poll; without a ready board nothing changes.
void RefreshHeadStatus(StatusLabels& labels, QuarnelLibrary& library);

// The options of a board version word: "Fly, ", "2.Head, ", "3D, ", "IO-Card" in this order,
// or "no Options".
std::string OptionsText(std::uint16_t boardVersionWord);

// The correction file's name whole below 30 characters, else the part after its last
// directory separator ("\", ":" or "/").
std::string CorrectionFileText(const std::string& fileName);

} // namespace ondrel
