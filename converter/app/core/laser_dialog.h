// The "Laser - Parameter" window's logic: the laser mode with its mode-dependent fields,
// filling the fields and "Accept".
#pragma once

#include <cstddef>
#include <cstdint>

#include "converter_state.h"
#include "dialog_walk.h"
#include "notifier.h"

namespace ondrel {

// The number fields in the order "Accept" reads them (and the window fills them).
enum class LaserEdit {
    StandByPeriod,          // Edit1
    StandByPulseWidth,      // Edit2
    LaserOutputPeriod,      // Edit3
    Laser1PulseWidth,       // Edit4
    Laser2PulseWidth,       // Edit5
    FirstPulseKillerLength, // Edit6
    DigitalAnalogConverter1, // Edit7
    LampDelay,              // Edit8
    EightBitPort,           // Edit9
};
inline constexpr std::size_t kLaserEditCount = 9;

// The items of "Laser-Mode", by item number.
inline constexpr const char* kLaserModeItems[] = {"CO2", "YAG 1", "YAG 2", "YAG 3", "YAG 4"};

struct LaserDialogTexts {
    std::uint16_t Mode = 0; // RadioGroup1, the selected item
    EditTexts<LaserEdit, kLaserEditCount> edits;

    bool operator==(const LaserDialogTexts&) const = default;
};

// Which of the two mode-dependent fields (with their labels) are enabled: the second pulse
// width in "CO2" mode, the first-pulse killer in the YAG modes.
struct LaserModeEnabling {
    bool Laser2PulseWidth;
    bool FirstPulseKillerLength;
};
LaserModeEnabling EnablingForMode(std::uint16_t mode);

// What the window shows when it becomes active; disabled fields are filled too.
LaserDialogTexts FillLaserDialog(const Parameters& parameters);

using LaserAcceptResult = DialogAcceptResult<LaserEdit>;

// Stores the mode, then walks the number fields, storing each valid one at once. A bad value
// in a field the mode disables is replaced silently and rejects nothing. One beep after a
// rejection; the caller keeps the window open.
LaserAcceptResult AcceptLaserDialog(const LaserDialogTexts& texts, Parameters& parameters, Notifier& notifier);

} // namespace ondrel
