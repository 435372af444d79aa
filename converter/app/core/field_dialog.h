// The "Marking Field" window's logic: filling its fields, "Accept" and the "XY - Flip" box.
#pragma once

#include <string>
#include <vector>

#include "converter_state.h"
#include "notifier.h"

namespace ondrel {

// The texts of the window's number fields and the calibration label.
struct FieldDialogTexts {
    std::string Gain;      // Edit1, percent
    std::string OffsetX;   // Edit2, percent of the half field
    std::string OffsetY;   // Edit3
    std::string ZPosition; // Edit4, mm
    std::string ZCalibration; // Label6
};

enum class FieldEdit { Gain, OffsetX, OffsetY, ZPosition };

// Offsets in percent of the half field: 50 % = 32765 Bit.
std::string OffsetPercentText(float offset);

// What the window shows when it becomes active.
FieldDialogTexts FillFieldDialog(const ConverterState& state);

struct FieldAcceptResult {
    // The rejected fields in walking order; each takes the focus in turn, the last keeps it.
    std::vector<FieldEdit> rejected;
    bool Accepted() const { return rejected.empty(); }
};

// Walks the fields in order, storing each valid one at once. A field whose text is still the
// one `shown` when the window was filled keeps its exact value (the shown text is rounded).
// The offset clamp follows whenever the gain or an offset was stored (and a drawing is
// loaded), even when another field was rejected, so the drawing never leaves the field.
// After a rejection the notifier beeps; the caller keeps the window open.
FieldAcceptResult AcceptFieldDialog(const FieldDialogTexts& typed, const FieldDialogTexts& shown,
                                    ConverterState& state, Notifier& notifier);

// "XY - Flip" set to `ticked`. With a drawing loaded the frame's axes are exchanged and the
// offsets clamped; returns true when the offset fields must show the new offsets.
bool SetXYFlip(ConverterState& state, bool ticked);

} // namespace ondrel
