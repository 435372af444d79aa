// The label commands of the HP-GL interpreter: text, terminator, symbol mode, origin,
// direction, size, slant, spacing and character plot.
#include <cmath>
#include <numbers>

#include "hpgl_interpreter.h"

namespace ondrel {

namespace {

constexpr int EndOfText = 3; // ETX, the default label terminator
constexpr std::size_t MaxLabelLength = 254;

float AngleOf(float run, float rise)
{
    double a = std::atan2(static_cast<double>(rise), static_cast<double>(run));
    if (a < 0) a += 2 * std::numbers::pi;
    return static_cast<float>(a);
}

} // namespace

// Reads label text up to the terminator. At most 254 characters are kept; a terminator
// other than ETX is kept as part of the text.
void HpglInterpreter::ReadLabelText()
{
    labelBuffer_.clear();
    std::size_t count = 0;
    int c = reader_.ReadPlotChar();
    while (!reader_.AtEnd() && c != terminator_) {
        if (++count <= MaxLabelLength) labelBuffer_.push_back(static_cast<char>(c));
        c = reader_.ReadPlotChar();
    }
    if (c == terminator_ && terminator_ != EndOfText) labelBuffer_.push_back(static_cast<char>(c));
}

void HpglInterpreter::Label()
{
    ReadLabelText();
    label_.DrawLabel(labelBuffer_, LabelText);
    current_ = scaling_ ? PlotterToUser(pen_.LastPoint()) : pen_.LastPoint();
}

void HpglInterpreter::SetTerminator()
{
    const int c = reader_.ReadPlotChar();
    if (c != PlotReader::EndOfInput) terminator_ = c;
}

void HpglInterpreter::SymbolMode()
{
    const int c = reader_.ReadPlotChar();
    if (c == '\t' || c == '\n' || c == ' ') return;
    if (c == PlotReader::EndOfInput || c == '\r' || c == ';')
        symbol_ = 0;
    else if (c >= 0x21 && c <= 0x7E)
        symbol_ = static_cast<unsigned char>(c);
}

void HpglInterpreter::LabelOrigin()
{
    float n;
    int origin = 1;
    if (Read(n)) {
        const float rounded = std::nearbyint(n);
        if (rounded >= 1 && rounded <= 19 && rounded != 10) origin = static_cast<int>(rounded);
    }
    label_.Origin = origin;
    label_.UpdateLabelVectors();
}

void HpglInterpreter::LabelDirection(bool relative)
{
    float run, rise;
    float direction = 0;
    if (Read(run)) {
        if (!Read(rise)) throw PlotFailure{NoSecondParameter};
        if (run == 0 && rise == 0) throw PlotFailure{IllegalParameters};
        direction = relative ? AngleOf((p2_.x - p1_.x) * run, (p2_.y - p1_.y) * rise) : AngleOf(run, rise);
    }
    label_.Direction = direction;
    label_.CarriageReturnPoint = pen_.LastPoint();
    label_.UpdateLabelVectors();
}

void HpglInterpreter::CharacterSize(bool relative)
{
    float width, height;
    if (!Read(width)) {
        width = relative ? 0.75f : 0.187f;
        height = relative ? 1.5f : 0.269f;
    } else {
        if (!Read(height)) throw PlotFailure{NoSecondParameter};
        if (width == 0 || height == 0) throw PlotFailure{IllegalParameters};
    }
    if (relative) {
        label_.Width = (p2_.x - p1_.x) * width / 100;
        label_.Height = (p2_.y - p1_.y) * height / 100;
    } else {
        label_.Width = width * 400; // centimetres to plotter units
        label_.Height = height * 400;
    }
    label_.UpdateLabelVectors();
}

void HpglInterpreter::CharacterSlant()
{
    float slant;
    label_.Slant = Read(slant) ? slant : 0.0f;
    label_.UpdateLabelVectors();
}

void HpglInterpreter::ExtraSpace()
{
    float spaces = 0, lines = 0;
    if (Read(spaces)) {
        if (!Read(lines)) throw PlotFailure{NoSecondParameter};
    } else {
        spaces = 0;
    }
    label_.Spaces = spaces;
    label_.Lines = lines;
    label_.UpdateLabelVectors();
}

void HpglInterpreter::CharacterPlot()
{
    float spaces, lines;
    if (!Read(spaces)) {
        label_.DrawLabel("\n\r", LabelText);
        return;
    }
    if (!Read(lines)) throw PlotFailure{NoSecondParameter};
    pen_.MovePen(0, pen_.LastPoint() + spaces * label_.A - lines * label_.L);
}

} // namespace ondrel
