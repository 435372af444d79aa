#include "laser_dialog.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>

#include "number_text.h"
#include "value_steps.h"

namespace ondrel {
namespace {

struct LaserRule {
    LaserEdit edit;
    double Parameters::*field;
    double above; // a is accepted above this (kAny: from 0)
    double below; // and below this
    double perUnit; // the step the value lands on: 1 / perUnit
};

// The real-valued fields; the lamp delay, the port and the output level follow in the walk.
constexpr double kAny = -1;
constexpr LaserRule kRules[] = {
    {LaserEdit::StandByPeriod, &Parameters::StandByPeriod, kAny, 8191, 4},
    {LaserEdit::StandByPulseWidth, &Parameters::StandByPulseWidth, kAny, 8191, 8},
    {LaserEdit::LaserOutputPeriod, &Parameters::LaserOutputPeriod, 0.9, 16370, 4},
    {LaserEdit::Laser1PulseWidth, &Parameters::Laser1PulseWidth, 0.24, 8191, 8},
    {LaserEdit::Laser2PulseWidth, &Parameters::Laser2PulseWidth, 0.24, 8191, 8},
    {LaserEdit::FirstPulseKillerLength, &Parameters::FirstPulseKillerLength, kAny, 8191, 8},
};

// The number read, without its sign: a minus is dropped, never rejected.
std::optional<double> Magnitude(const std::string& text) {
    std::optional<double> v = ParseNumber(text);
    if (v) *v = std::fabs(*v);
    return v;
}

} // namespace

LaserModeEnabling EnablingForMode(std::uint16_t mode) { return {mode == 0, mode != 0}; }

LaserDialogTexts FillLaserDialog(const Parameters& p) {
    LaserDialogTexts texts;
    texts.Mode = p.LaserMode;
    for (const LaserRule& rule : kRules) texts.edits[rule.edit] = FormatGeneral(p.*rule.field);
    texts.edits[LaserEdit::DigitalAnalogConverter1] = FormatGeneral(p.DigitalAnalogConverter1);
    texts.edits[LaserEdit::LampDelay] = FormatGeneral(p.LampDelay);
    texts.edits[LaserEdit::EightBitPort] = std::to_string(p.EightBitPort);
    return texts;
}

LaserAcceptResult AcceptLaserDialog(const LaserDialogTexts& texts, Parameters& p, Notifier& notifier) {
    p.LaserMode = texts.Mode;
    const LaserModeEnabling enabled = EnablingForMode(texts.Mode);

    LaserAcceptResult result;
    for (const LaserRule& rule : kRules) {
        const std::optional<double> a = Magnitude(texts.edits[rule.edit]);
        if (a && *a > rule.above && *a < rule.below)
            p.*rule.field = OnStepOf(*a, rule.perUnit);
        else if (rule.edit == LaserEdit::Laser2PulseWidth && !enabled.Laser2PulseWidth)
            p.Laser2PulseWidth = 1.0;
        else if (rule.edit == LaserEdit::FirstPulseKillerLength && !enabled.FirstPulseKillerLength)
            p.FirstPulseKillerLength = 0.0;
        else
            result.Reject(rule.edit);
    }

    // The output level is clamped at 100 % and kept in tenths, the step the settings file
    // reads it back on.
    if (const std::optional<double> a = Magnitude(texts.edits[LaserEdit::DigitalAnalogConverter1]))
        p.DigitalAnalogConverter1 = OnStepOf(std::min(*a, 100.0), 10);
    else
        result.Reject(LaserEdit::DigitalAnalogConverter1);

    if (const std::optional<double> a = Magnitude(texts.edits[LaserEdit::LampDelay]); a && *a < 65000)
        p.LampDelay = static_cast<std::uint16_t>(std::nearbyint(*a));
    else
        result.Reject(LaserEdit::LampDelay);

    // The port holds 8 bits: a value that rounds to 256 is refused.
    if (const std::optional<double> a = Magnitude(texts.edits[LaserEdit::EightBitPort]);
        a && *a < 256 && std::nearbyint(*a) <= 255)
        p.EightBitPort = static_cast<std::uint16_t>(std::nearbyint(*a));
    else
        result.Reject(LaserEdit::EightBitPort);

    if (!result.Accepted()) notifier.Beep();
    return result;
}

} // namespace ondrel
