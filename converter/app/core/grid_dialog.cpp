#include "grid_dialog.h"

#include <cmath>
#include <optional>

#include "number_text.h"
#include "point_grid.h"

namespace ondrel {

GridDialogTexts FillGridDialog(const Parameters& p) {
    return {std::to_string(p.GridPoints), std::to_string(p.GridCalibration), FormatGeneral(p.GridDistance),
            FormatGeneral(p.GridDotDiameter), FormatGeneral(p.GridFocusDiameter)};
}

std::vector<GridEdit> AcceptGridDialog(const GridDialogTexts& typed, Parameters& p, Notifier& notifier) {
    // Every input is a real number within strict bounds.
    const struct {
        const std::string& text;
        double low, high;
        std::function<void(double)> store;
        GridEdit edit;
    } fields[] = {
        {typed.Points, 1, 51, [&](double v) { p.GridPoints = static_cast<std::uint16_t>(std::nearbyint(v)); },
         GridEdit::Points},
        {typed.Calibration, 10, 5001,
         [&](double v) { p.GridCalibration = static_cast<std::uint16_t>(std::nearbyint(v)); }, GridEdit::Calibration},
        {typed.Distance, 0.9, 101, [&](double v) { p.GridDistance = v; }, GridEdit::Distance},
        {typed.DotDiameter, 0.1, 101, [&](double v) { p.GridDotDiameter = v; }, GridEdit::DotDiameter},
        {typed.FocusDiameter, 0.001, 11, [&](double v) { p.GridFocusDiameter = v; }, GridEdit::FocusDiameter},
    };
    std::vector<GridEdit> rejected;
    for (const auto& field : fields) {
        const std::optional<double> value = ParseNumber(field.text);
        if (value && *value > field.low && *value < field.high)
            field.store(*value);
        else
            rejected.push_back(field.edit);
    }
    if (!rejected.empty()) notifier.Beep();
    return rejected;
}

GridMarkResult GridMarkClick(const GridDialogTexts& typed, ConverterState& state, SharedBoard& library,
                             Notifier& notifier, RunWindow& run, const std::function<void()>& closeGridWindow) {
    GridMarkResult result;
    if (state.RunInProgress) return result;
    result.rejected = AcceptGridDialog(typed, state.parameters, notifier);
    if (!result.rejected.empty()) return result;
    if (std::optional<std::string> failure = GridCheckFailure(state.parameters)) {
        notifier.Show(MessageKind::Error, *failure);
        return result;
    }
    if (!state.CorrectionLoaded) return result;
    result.ran = true;
    RunPointGrid(state, library, notifier, run, closeGridWindow);
    return result;
}

} // namespace ondrel
