#include "marking_dialog.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <optional>
#include <type_traits>

#include "number_text.h"
#include "value_steps.h"

namespace ondrel {
namespace {

struct MarkingRule {
    MarkingEdit edit;
    std::string (*show)(const Parameters&);
    bool (*accepts)(double v);
    void (*store)(Parameters&, double v);
};

template <auto Member>
std::string ShowInteger(const Parameters& p) {
    return std::to_string(p.*Member);
}

template <auto Member>
void StoreRounded(Parameters& p, double v) {
    p.*Member = static_cast<std::remove_reference_t<decltype(p.*Member)>>(std::nearbyint(v));
}

template <auto Member>
void StoreOnTens(Parameters& p, double v) {
    p.*Member = static_cast<std::uint16_t>(OnTens(v));
}

// A speed or the laser-off delay of 0 would reach the board as its minimum while the window
// shows 0: values that round below 1 are refused.
bool RoundsToOneOrMore(double v) { return std::nearbyint(v) >= 1; }

bool Speed(double v) { return v > 0 && v < 50001 && RoundsToOneOrMore(v); }
bool ScannerDelay(double v) { return v >= 0 && v < 32501; }
bool NotBelowZero(double v) { return v >= 0; }
bool BarelyNegativeUpTo32500(double v) { return v > -0.1 && v < 32501; }

constexpr MarkingRule kRules[] = {
    {MarkingEdit::JumpSpeed, ShowInteger<&Parameters::JumpSpeed>, Speed, StoreRounded<&Parameters::JumpSpeed>},
    {MarkingEdit::MarkSpeed, ShowInteger<&Parameters::MarkSpeed>, Speed, StoreRounded<&Parameters::MarkSpeed>},
    {MarkingEdit::LaserOnDelay, ShowInteger<&Parameters::LaserOnDelay>, [](double v) { return std::fabs(v) < 8101; },
     StoreRounded<&Parameters::LaserOnDelay>},
    {MarkingEdit::LaserOffDelay, ShowInteger<&Parameters::LaserOffDelay>,
     [](double v) { return v > 0 && v < 8101 && RoundsToOneOrMore(v); }, StoreRounded<&Parameters::LaserOffDelay>},
    {MarkingEdit::JumpDelay, ShowInteger<&Parameters::JumpDelay>, ScannerDelay, StoreOnTens<&Parameters::JumpDelay>},
    {MarkingEdit::MarkDelay, ShowInteger<&Parameters::MarkDelay>, ScannerDelay, StoreOnTens<&Parameters::MarkDelay>},
    {MarkingEdit::PolyDelay, ShowInteger<&Parameters::PolyDelay>, ScannerDelay, StoreOnTens<&Parameters::PolyDelay>},
    // A threshold above 65500 is taken as 65500.
    {MarkingEdit::EdgeLevel, ShowInteger<&Parameters::EdgeLevel>, NotBelowZero,
     [](Parameters& p, double v) { StoreOnTens<&Parameters::EdgeLevel>(p, std::min(v, 65500.0)); }},
    {MarkingEdit::WobbelFreq, ShowInteger<&Parameters::WobbelFreq>, [](double v) { return v >= 0 && v < 1001; },
     StoreRounded<&Parameters::WobbelFreq>},
    {MarkingEdit::WobbelAmpl, ShowInteger<&Parameters::WobbelAmpl>, [](double v) { return v >= 0 && v < 5001; },
     StoreRounded<&Parameters::WobbelAmpl>},
    // 0 scans repeat the drawing until the run is stopped.
    {MarkingEdit::Scans, ShowInteger<&Parameters::Scans>, [](double v) { return v > -0.1 && v < 101; },
     StoreRounded<&Parameters::Scans>},
    // The shift is added per scan, in eighths of a microsecond; its sign is dropped.
    {MarkingEdit::LaserOnShift, [](const Parameters& p) { return FormatGeneral(p.LaserOnShift); },
     [](double v) { return std::fabs(v) < 101; },
     [](Parameters& p, double v) { p.LaserOnShift = OnStepOf(std::fabs(v), 8); }},
    {MarkingEdit::MinJumpDelay, ShowInteger<&Parameters::MinJumpDelay>, BarelyNegativeUpTo32500,
     StoreRounded<&Parameters::MinJumpDelay>},
    {MarkingEdit::JumpLengthLimit, ShowInteger<&Parameters::JumpLengthLimit>, BarelyNegativeUpTo32500,
     StoreRounded<&Parameters::JumpLengthLimit>},
};
static_assert(std::size(kRules) == kMarkingEditCount);

// Warns about the stored laser delays as the board will use them (a negative laser-on delay
// counts as 0); true when a box was shown.
bool WarnAboutDelays(const ConverterState& state, Notifier& notifier, MarkingDialogTexts& texts) {
    const Parameters& p = state.parameters;
    bool warned = false;
    const int on = std::max<int>(p.LaserOnDelay, 0);
    const int off = p.LaserOffDelay;
    const struct {
        bool fails;
        const char* text;
    } checks[] = {{off < on, kOnAfterOffWarning},
                  {p.MarkDelay < off - on, kMarkDelayWarning},
                  {p.EdgeLevel < off - on, kEdgeLevelWarning}};
    for (const auto& check : checks) {
        if (!check.fails) continue;
        notifier.Show(MessageKind::Warning, check.text);
        // Closing the box makes the window active again, which refills it.
        texts = FillMarkingDialog(state);
        warned = true;
    }
    return warned;
}

} // namespace

MarkingDialogTexts FillMarkingDialog(const ConverterState& state) {
    const Parameters& p = state.parameters;
    MarkingDialogTexts texts;
    texts.VarPolyDelay = p.UseVarPolyDelay;
    texts.DirectZMove = p.UseDirectZMove;
    for (const MarkingRule& rule : kRules) texts.edits[rule.edit] = rule.show(p);
    texts.PolygonNote = state.PolygonTableLoaded ? kLoadedPolygonTable : kDefaultPolygonTable;
    return texts;
}

MarkingAcceptResult AcceptMarkingDialog(MarkingDialogTexts& texts, ConverterState& state, Notifier& notifier) {
    Parameters& p = state.parameters;
    p.UseVarPolyDelay = texts.VarPolyDelay;
    p.UseDirectZMove = texts.DirectZMove;

    MarkingAcceptResult result;
    for (const MarkingRule& rule : kRules) {
        const std::optional<double> v = ParseNumber(texts.edits[rule.edit]);
        if (v && rule.accepts(*v))
            rule.store(p, *v);
        else
            result.Reject(rule.edit);
    }
    result.refilled = WarnAboutDelays(state, notifier, texts);
    if (!result.Accepted()) notifier.Beep();
    return result;
}

} // namespace ondrel
