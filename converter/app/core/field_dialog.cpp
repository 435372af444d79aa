#include "field_dialog.h"

#include <cmath>
#include <optional>

#include "field_transform.h"
#include "number_text.h"
#include "vector_emission.h"

namespace ondrel {
namespace {

std::optional<float> ParseSingle(const std::string& text) {
    std::optional<double> value = ParseNumber(text);
    if (!value || std::fabs(*value) > 3.4e38) return std::nullopt;
    return static_cast<float>(*value);
}

} // namespace

std::string OffsetPercentText(float offset) {
    return FormatFixed(offset / kFieldHalf * 50.0f, 7, 3);
}

FieldDialogTexts FillFieldDialog(const ConverterState& state) {
    FieldDialogTexts texts;
    texts.Gain = FormatFixed(state.field.FieldGain * 100.0f, 7, 3);
    texts.OffsetX = OffsetPercentText(state.field.FieldOffsetX);
    texts.OffsetY = OffsetPercentText(state.field.FieldOffsetY);
    const Parameters& p = state.parameters;
    if (p.ZPlaneEnabled) {
        texts.ZPosition = FormatFixed(p.ZPosition, 8, 2);
        texts.ZCalibration = std::to_string(p.ZCalibration);
    } else {
        texts.ZPosition = "0.0";
    }
    return texts;
}

FieldAcceptResult AcceptFieldDialog(const FieldDialogTexts& typed, const FieldDialogTexts& shown,
                                    ConverterState& state, Notifier& notifier) {
    FieldAcceptResult result;
    bool transformStored = false;

    if (typed.Gain == shown.Gain) {
        transformStored = true;
    } else if (std::optional<float> gain = ParseSingle(typed.Gain); gain && *gain > 0.9999f && *gain < 100.0001f) {
        state.field.FieldGain = *gain / 100.0f;
        transformStored = true;
    } else {
        result.rejected.push_back(FieldEdit::Gain);
    }

    const struct {
        const std::string& typed;
        const std::string& shown;
        float& offset;
        FieldEdit edit;
    } offsets[] = {{typed.OffsetX, shown.OffsetX, state.field.FieldOffsetX, FieldEdit::OffsetX},
                   {typed.OffsetY, shown.OffsetY, state.field.FieldOffsetY, FieldEdit::OffsetY}};
    for (const auto& entry : offsets) {
        std::optional<float> percent = ParseSingle(entry.typed);
        if (entry.typed == entry.shown) {
            transformStored = true;
        } else if (percent && std::fabs(*percent) < 50.0001f) {
            entry.offset = *percent / 50.0f * kFieldHalf;
            transformStored = true;
        } else {
            result.rejected.push_back(entry.edit);
        }
    }

    Parameters& p = state.parameters;
    if (p.ZPlaneEnabled && typed.ZPosition != shown.ZPosition) {
        std::optional<float> z = ParseSingle(typed.ZPosition);
        if (z && std::fabs(static_cast<float>(p.ZCalibration) * *z) < 32000.1f)
            p.ZPosition = *z;
        else
            result.rejected.push_back(FieldEdit::ZPosition);
    }

    if (transformStored && state.VectorCount() > 0) ClampFieldOffsets(state.drawing, state.field);
    if (!result.Accepted()) notifier.Beep();
    return result;
}

bool SetXYFlip(ConverterState& state, bool ticked) {
    if (state.field.XYFlip == ticked) return false;
    state.field.XYFlip = ticked;
    if (state.VectorCount() <= 0) return false;
    ExchangeFrameAxes(state.drawing);
    ClampFieldOffsets(state.drawing, state.field);
    return true;
}

} // namespace ondrel
