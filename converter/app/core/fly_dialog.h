// The "Marking On The Fly" window's logic: its four check boxes with the handlers that keep
// the encoder simulations exclusive and the fields enabled, filling and "Accept".
#pragma once

#include <cstddef>

#include "converter_state.h"
#include "dialog_walk.h"
#include "notifier.h"

namespace ondrel {

enum class FlyBox {
    EnableMOF,        // CheckBox4 "Enable Marking on the Fly"
    SimulateEncoderX, // CheckBox1 "Simulate Encoder X"
    SimulateEncoderY, // CheckBox2 "Simulate Encoder Y"
    ExtStart,         // CheckBox3 "Use external Start Signal"
};

// The number fields in the order "Accept" reads them.
enum class FlyEdit {
    Kx,         // Edit1 "Encoder X Calibration Kx"
    Ky,         // Edit2 "Encoder Y Calibration Ky"
    StartDelay, // Edit3 "Startdelay [EncoderCounts]"
};
inline constexpr std::size_t kFlyEditCount = 3;

// Which controls are enabled; each label goes with its field. "Use external Start Signal"
// is always enabled.
struct FlyEnabling {
    bool SimulateEncoders = false; // both simulation boxes
    bool Kx = false;
    bool Ky = false;
    bool StartDelay = false;

    bool operator==(const FlyEnabling&) const = default;
};

// The check boxes as the window shows them. Changing a box runs its handler, as an
// operator's click does: checking one simulation unchecks the other (which runs that one's
// handler), and every handler re-applies the enabling rule.
class FlyBoxes {
public:
    bool Checked(FlyBox box) const { return checked_[static_cast<std::size_t>(box)]; }
    void Set(FlyBox box, bool checked);
    const FlyEnabling& Enabling() const { return enabling_; }
    // Whether a number field can be edited (and take the input focus).
    bool Enabled(FlyEdit edit) const;

    bool operator==(const FlyBoxes&) const = default;

private:
    void ApplyEnabling();

    bool checked_[4] = {};
    FlyEnabling enabling_;
};

struct FlyDialogTexts {
    FlyBoxes boxes;
    EditTexts<FlyEdit, kFlyEditCount> edits;

    bool operator==(const FlyDialogTexts&) const = default;
};

// What the window shows when it becomes active: the boxes set from the parameters one
// after the other, each running its handler, so settings holding both simulations show only
// "Simulate Encoder Y".
FlyDialogTexts FillFlyDialog(const Parameters& parameters);

using FlyAcceptResult = DialogAcceptResult<FlyEdit>;

// Stores the four boxes, then the three numbers. A bad number is replaced by 0 while marking
// on the fly is off; while it is on, the key keeps its value and the field is rejected (it
// takes the focus only when it is enabled). One beep after a rejection; the caller keeps the
// window open.
FlyAcceptResult AcceptFlyDialog(const FlyDialogTexts& texts, Parameters& parameters, Notifier& notifier);

} // namespace ondrel
