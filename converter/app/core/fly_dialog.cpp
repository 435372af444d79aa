#include "fly_dialog.h"

#include <cmath>
#include <optional>
#include <string>

#include "number_text.h"

namespace ondrel {

void FlyBoxes::Set(FlyBox box, bool checked) {
    bool& state = checked_[static_cast<std::size_t>(box)];
    if (state == checked) return; // no change, no handler
    state = checked;
    if (checked && box == FlyBox::SimulateEncoderX) Set(FlyBox::SimulateEncoderY, false);
    if (checked && box == FlyBox::SimulateEncoderY) Set(FlyBox::SimulateEncoderX, false);
    ApplyEnabling();
}

void FlyBoxes::ApplyEnabling() {
    const bool mof = Checked(FlyBox::EnableMOF);
    enabling_.SimulateEncoders = mof;
    enabling_.Kx = mof && !Checked(FlyBox::SimulateEncoderY);
    enabling_.Ky = mof && !Checked(FlyBox::SimulateEncoderX);
    enabling_.StartDelay = mof && Checked(FlyBox::ExtStart);
}

bool FlyBoxes::Enabled(FlyEdit edit) const {
    switch (edit) {
    case FlyEdit::Kx: return enabling_.Kx;
    case FlyEdit::Ky: return enabling_.Ky;
    case FlyEdit::StartDelay: return enabling_.StartDelay;
    }
    return false;
}

FlyDialogTexts FillFlyDialog(const Parameters& p) {
    FlyDialogTexts texts;
    texts.boxes.Set(FlyBox::EnableMOF, p.EnableMOF);
    texts.boxes.Set(FlyBox::SimulateEncoderX, p.SimulateEncoderX);
    texts.boxes.Set(FlyBox::SimulateEncoderY, p.SimulateEncoderY);
    texts.boxes.Set(FlyBox::ExtStart, p.ExtStart);
    texts.edits[FlyEdit::Kx] = FormatGeneral(p.Kx);
    texts.edits[FlyEdit::Ky] = FormatGeneral(p.Ky);
    texts.edits[FlyEdit::StartDelay] = std::to_string(p.StartDelay);
    return texts;
}

FlyAcceptResult AcceptFlyDialog(const FlyDialogTexts& texts, Parameters& p, Notifier& notifier) {
    const FlyBoxes& boxes = texts.boxes;
    p.SimulateEncoderX = boxes.Checked(FlyBox::SimulateEncoderX);
    p.SimulateEncoderY = boxes.Checked(FlyBox::SimulateEncoderY);
    p.ExtStart = boxes.Checked(FlyBox::ExtStart);
    p.EnableMOF = boxes.Checked(FlyBox::EnableMOF);

    FlyAcceptResult result;
    // A bad number with marking on the fly on keeps the window open, even in a field that
    // was disabled after it was typed into; it cannot take the focus there.
    auto invalid = [&](FlyEdit edit, auto& key) {
        if (p.EnableMOF)
            result.Reject(edit, boxes.Enabled(edit));
        else
            key = 0;
    };
    const struct {
        FlyEdit edit;
        double& key;
    } factors[] = {{FlyEdit::Kx, p.Kx}, {FlyEdit::Ky, p.Ky}};
    for (const auto& factor : factors) {
        const std::optional<double> v = ParseNumber(texts.edits[factor.edit]);
        if (v && std::fabs(*v) < 1001)
            factor.key = *v;
        else
            invalid(factor.edit, factor.key);
    }
    // A delay that rounds past 500000 is refused: shown again it would no longer be accepted.
    const std::optional<double> delay = ParseNumber(texts.edits[FlyEdit::StartDelay]);
    if (delay && std::fabs(*delay) < 500001 && std::fabs(std::nearbyint(*delay)) <= 500000)
        p.StartDelay = static_cast<std::int32_t>(std::nearbyint(*delay));
    else
        invalid(FlyEdit::StartDelay, p.StartDelay);

    if (!result.Accepted()) notifier.Beep();
    return result;
}

} // namespace ondrel
