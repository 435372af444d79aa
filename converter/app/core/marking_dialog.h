// The "Marking Parameter" window's logic: filling its fields, "Accept" with its three delay
// warnings, and the polygon-table note.
#pragma once

#include <cstddef>
#include <string>

#include "converter_state.h"
#include "dialog_walk.h"
#include "notifier.h"

namespace ondrel {

// The number fields in the order "Accept" reads them (and the window fills them).
enum class MarkingEdit {
    JumpSpeed,       // Edit1
    MarkSpeed,       // Edit2
    LaserOnDelay,    // Edit3
    LaserOffDelay,   // Edit4
    JumpDelay,       // Edit5
    MarkDelay,       // Edit6
    PolyDelay,       // Edit7
    EdgeLevel,       // Edit8
    WobbelFreq,      // Edit9
    WobbelAmpl,      // Edit10
    Scans,           // Edit11
    LaserOnShift,    // Edit12
    MinJumpDelay,    // Edit13
    JumpLengthLimit, // Edit14
};
inline constexpr std::size_t kMarkingEditCount = 14;

struct MarkingDialogTexts {
    bool VarPolyDelay = false; // CheckBox1 "variable Polygon Delay"
    bool DirectZMove = false;  // CheckBox2 "Move Z-axis direct to the Endposition during 3D-Jumps"
    EditTexts<MarkingEdit, kMarkingEditCount> edits;
    std::string PolygonNote; // Label13

    bool operator==(const MarkingDialogTexts&) const = default;
};

inline constexpr const char* kLoadedPolygonTable = "(loaded Polygon Table)";
inline constexpr const char* kDefaultPolygonTable = "(default Polygon Table)";

inline constexpr const char* kOnAfterOffWarning = "LaserOnDelay > LaserOffDelay!";
inline constexpr const char* kMarkDelayWarning = "MarkDelay + LaserOnDelay < LaserOffDelay!";
inline constexpr const char* kEdgeLevelWarning = "EdgeLevel + LaserOnDelay < LaserOffDelay!";

// What the window shows when it becomes active.
MarkingDialogTexts FillMarkingDialog(const ConverterState& state);

struct MarkingAcceptResult : DialogAcceptResult<MarkingEdit> {
    // A delay warning was shown: the window became active again when its box closed, so
    // `texts` now holds the stored values (a rejected field its old value).
    bool refilled = false;
};

// Stores the check boxes, then walks the number fields, storing each valid one at once;
// then warns, in modal boxes, about laser delays that do not fit together (advice only). One
// beep after a rejection; the caller keeps the window open.
MarkingAcceptResult AcceptMarkingDialog(MarkingDialogTexts& texts, ConverterState& state, Notifier& notifier);

} // namespace ondrel
