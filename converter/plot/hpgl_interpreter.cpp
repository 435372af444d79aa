#include "hpgl_interpreter.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace ondrel {

namespace {

constexpr unsigned char Escape = 0x1B;
constexpr PlotPoint DefaultP1{603, 521};
constexpr PlotPoint DefaultP2{10603, 7721};
constexpr double FullCircle = 6.283185307179586;
// More chords than this in one arc or circle is refused rather than ground through.
constexpr double MaxArcSteps = 16777216;

constexpr Mnemonic M(const char (&name)[3]) { return MakeMnemonic(name[0], name[1]); }

bool IsLetter(int c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

float Radians(float degrees) { return static_cast<float>(degrees * (std::numbers::pi / 180.0)); }

// Angle of v counter-clockwise from +x in [0, 2 pi); 0 for the null vector.
float DirectionAngle(PlotPoint v)
{
    double a = std::atan2(static_cast<double>(v.y), static_cast<double>(v.x));
    if (a < 0) a += 2 * std::numbers::pi;
    return static_cast<float>(a);
}

// The command an error names: the plotting commands report as PA, AR as AA.
Mnemonic ReportedAs(Mnemonic command)
{
    if (command == M("PD") || command == M("PU") || command == M("PR")) return M("PA");
    if (command == M("AR")) return M("AA");
    return command;
}

} // namespace

HpglInterpreter::HpglInterpreter(std::string_view text, Drawing& drawing, const PlotLimits& limits)
    : reader_(text), drawing_(drawing), emitter_(drawing.VectorStream, limits), lineTypes_(emitter_),
      pen_(emitter_, lineTypes_, drawing.Bounds), label_(pen_, lineTypes_)
{
    labelBuffer_.reserve(256);
}

void HpglInterpreter::ParsePlotFile(DrawingBounds start)
{
    drawing_.Bounds = start;
    drawing_.VectorStream.clear();
    SetPlotDefaults();
    emitter_.Begin();
    try {
        for (;;) {
            const int c = reader_.ReadPlotChar();
            if (c == PlotReader::EndOfInput) break;
            if (c == Escape)
                SkipDeviceControl();
            else if (IsLetter(c))
                ExecutePlotCommand(c);
        }
        emitter_.Flush();
    } catch (PlotFailure& failure) {
        if (failure.Command == 0) failure.Command = reported_;
        throw;
    }
}

void HpglInterpreter::ExecutePlotCommand(int first)
{
    if (reader_.AtEnd()) return;
    const int second = reader_.ReadPlotChar();
    const auto command = static_cast<Mnemonic>(((first << 8) | second) & 0xDFDF);
    reported_ = ReportedAs(command);
    RunCommand(command);
}

void HpglInterpreter::RunCommand(Mnemonic command)
{
    switch (command) {
    case M("PA"):
    case M("PR"):
        relative_ = command == M("PR");
        PlotPoints();
        break;
    case M("PD"):
    case M("PU"):
        penDown_ = command == M("PD");
        PlotPoints();
        break;
    case M("AA"):
    case M("AR"): DrawArc(command == M("AR")); break;
    case M("CI"): DrawCircle(); return;
    case M("EA"): EdgeRectangle(); break;
    case M("IN"):
    case M("DF"): SetPlotDefaults(); break;
    case M("IP"): InputP1P2(); return;
    case M("SC"): Scale(); return;
    case M("LT"): SelectLineType(); return;
    case M("TL"): TickLength(); return;
    case M("XT"):
    case M("YT"): DrawTick(command == M("XT")); return;
    case M("SP"): {
        float pen;
        Read(pen); // all pens plot alike
        return;
    }
    case M("LB"): Label(); return;
    case M("BL"):
    case M("WD"): ReadLabelText(); return;
    case M("PB"): label_.DrawLabel(labelBuffer_, LabelBuffer); return;
    case M("DT"): SetTerminator(); return;
    case M("SM"): SymbolMode(); return;
    case M("LO"): LabelOrigin(); return;
    case M("DI"):
    case M("DR"): LabelDirection(command == M("DR")); break;
    case M("SI"):
    case M("SR"): CharacterSize(command == M("SR")); return;
    case M("SL"): CharacterSlant(); return;
    case M("ES"): ExtraSpace(); return;
    case M("CP"): CharacterPlot(); return;
    default: return; // AF, AH, OP, PG and unknown mnemonics: parameters are skipped as text
    }
    // The plotting commands, arcs, edge rectangles, defaults and directions start a new
    // label line at the last point.
    label_.CarriageReturnPoint = pen_.LastPoint();
}

void HpglInterpreter::SetPlotDefaults()
{
    // The pending pen-up move is kept: the next draw must still start from where the pen
    // was lifted to, not from the last drawn point.
    current_ = {3.1415927f, 3.1415927f};
    pen_.SetLastPoint({0, 0});
    penDown_ = false;
    relative_ = false;
    p1_ = DefaultP1;
    p2_ = DefaultP2;
    diagonal_ = Length(p2_ - p1_);
    lineTypes_.Reset(diagonal_);
    scaling_ = false;
    xmin_ = p1_.x;
    ymin_ = p1_.y;
    xmax_ = p2_.x;
    ymax_ = p2_.y;
    fx_ = fy_ = 1;
    tickPlus_ = tickMinus_ = 0.005f;
    terminator_ = 3;
    labelBuffer_.clear();
    symbol_ = 0;
    label_.SetDefaultLabelSize(p2_ - p1_);
}

void HpglInterpreter::SkipDeviceControl()
{
    if (reader_.ReadPlotChar() != '.') return;
    const int x = reader_.ReadPlotChar();
    if (x == PlotReader::EndOfInput) return;
    if (std::string_view("@HIMNPQST").find(static_cast<char>(x)) == std::string_view::npos) return;
    for (int c = reader_.ReadPlotChar(); c != PlotReader::EndOfInput && c != ':'; c = reader_.ReadPlotChar()) {
    }
}

PlotPoint HpglInterpreter::UserToPlotter(PlotPoint p) const
{
    return {(p.x - xmin_) * fx_ + p1_.x, (p.y - ymin_) * fy_ + p1_.y};
}

PlotPoint HpglInterpreter::PlotterToUser(PlotPoint p) const
{
    return {(p.x - p1_.x) / fx_ + xmin_, (p.y - p1_.y) / fy_ + ymin_};
}

void HpglInterpreter::UpdateFactors()
{
    fx_ = (p2_.x - p1_.x) / (xmax_ - xmin_);
    fy_ = (p2_.y - p1_.y) / (ymax_ - ymin_);
    // A window or P1/P2 without width or height has no usable scale.
    const auto usable = [](float f) { return std::isfinite(f) && f != 0; };
    if (!usable(fx_) || !usable(fy_)) throw PlotFailure{IllegalParameters};
}

void HpglInterpreter::InputP1P2()
{
    float v[4];
    int count = 0;
    while (count < 4 && Read(v[count])) ++count;
    PlotPoint newP1 = DefaultP1, newP2 = DefaultP2;
    if (count == 1) throw PlotFailure{NoSecondParameter};
    if (count == 3) throw PlotFailure{NoFourthParameter};
    if (count >= 2) {
        newP1 = {v[0], v[1]};
        newP2 = count == 4 ? PlotPoint{v[2], v[3]} : p2_ + (newP1 - p1_);
    }
    if (newP1.x == newP2.x || newP1.y == newP2.y || !IsFinite(newP2)) throw PlotFailure{IllegalParameters};

    // The character size keeps its proportion to P2 - P1.
    label_.Width /= p2_.x - p1_.x;
    label_.Height /= p2_.y - p1_.y;
    p1_ = newP1;
    p2_ = newP2;
    UpdateFactors();
    diagonal_ = Length(p2_ - p1_);
    lineTypes_.SetPatternLength(0.04f * diagonal_);
    label_.Width *= p2_.x - p1_.x;
    label_.Height *= p2_.y - p1_.y;
    label_.UpdateLabelVectors();
}

void HpglInterpreter::Scale()
{
    // The current position is held in plotter units while scaling is off.
    if (scaling_) current_ = UserToPlotter(current_);
    float xmin;
    if (!Read(xmin)) {
        xmin_ = DefaultP1.x;
        ymin_ = DefaultP1.y;
        xmax_ = DefaultP2.x;
        ymax_ = DefaultP2.y;
        scaling_ = false;
        fx_ = fy_ = 1;
        return;
    }
    float xmax, ymin, ymax;
    if (!Read(xmax)) throw PlotFailure{NoSecondParameter};
    if (!Read(ymin)) throw PlotFailure{NoThirdParameter};
    if (!Read(ymax)) throw PlotFailure{NoFourthParameter};
    xmin_ = xmin;
    xmax_ = xmax;
    ymin_ = ymin;
    ymax_ = ymax;
    UpdateFactors();
    scaling_ = true;
    current_ = PlotterToUser(current_);
}

void HpglInterpreter::PlotPoints()
{
    float x, y;
    while (Read(x)) {
        if (!Read(y)) throw PlotFailure{NoSecondParameter};
        PlotPoint p{x, y};
        if (relative_) p += current_;
        MovePen(penDown_ ? 1 : 0, p);
        if (symbol_ != 0) {
            label_.DrawSymbol(symbol_);
            MovePen(0, p);
        }
        current_ = p;
    }
}

// The chord angle of AA, AR and CI in radians: 5 degrees when absent.
float HpglInterpreter::ReadChordAngle()
{
    float chord = 5;
    const int result = reader_.ReadParameter(chord);
    if (result == PlotReader::MalformedNumber) throw PlotFailure{InternalError};
    if (result != PlotReader::NumberRead) chord = 5;
    // A chord of no angle would never get round the arc.
    if (!(chord > 0)) throw PlotFailure{IllegalParameters};
    return Radians(chord);
}

void HpglInterpreter::UseAdaptivePattern(float r, float chord)
{
    if (lineTypes_.SelectedType() >= 0) return;
    PlotPoint p{r * std::cos(chord), r * std::sin(chord)};
    if (scaling_) p = UserToPlotter(p);
    lineTypes_.SetCurrentPatternLength(Length(p));
}

void HpglInterpreter::DrawArc(bool relative)
{
    float x, y, sweep;
    if (!Read(x)) return;
    if (!Read(y)) throw PlotFailure{NoSecondParameter};
    if (!Read(sweep)) throw PlotFailure{NoThirdParameter};
    const float chord = ReadChordAngle();
    sweep = Radians(sweep);

    PlotPoint centre, d;
    if (relative) {
        d = {x, y};
        centre = current_ + d;
    } else {
        centre = {x, y};
        d = centre - current_;
    }
    const float r = Length(d);
    if (r == 0 || sweep == 0) return;
    if (std::fabs(static_cast<double>(sweep)) / chord > MaxArcSteps) throw PlotFailure{IllegalParameters};
    const float a0 = DirectionAngle(-d);
    const float end = a0 + sweep;
    UseAdaptivePattern(r, chord);
    const float step = sweep > 0 ? chord : -chord;
    float a = sweep > 0 ? a0 + std::min(sweep, chord) : a0 - std::min(-sweep, chord);
    while (sweep > 0 ? end > a : end < a) {
        ArcPoint(centre, r, a);
        const float next = a + step;
        // The angle has grown so large that the chord no longer moves it.
        if (next == a) throw PlotFailure{IllegalParameters};
        a = next;
    }
    ArcPoint(centre, r, end);
    lineTypes_.RestorePatternLength();
}

void HpglInterpreter::ArcPoint(PlotPoint centre, float r, float angle)
{
    emitter_.CountStep();
    const PlotPoint p = centre + r * PlotPoint{std::cos(angle), std::sin(angle)};
    if (penDown_)
        MovePen(1, p);
    else if (!(p == current_))
        MovePen(0, p);
    current_ = p;
}

void HpglInterpreter::DrawCircle()
{
    float r;
    if (!Read(r)) return;
    const float chord = ReadChordAngle();
    if (r == 0) return;
    if (FullCircle / chord > MaxArcSteps) throw PlotFailure{IllegalParameters};
    const PlotPoint centre = current_;
    MovePen(0, centre + PlotPoint{r, 0});
    UseAdaptivePattern(r, chord);
    for (float a = chord; a <= FullCircle; a += chord)
        MovePen(1, centre + r * PlotPoint{std::cos(a), std::sin(a)});
    MovePen(1, centre + PlotPoint{r, 0});
    MovePen(0, centre);
    lineTypes_.RestorePatternLength();
}

void HpglInterpreter::EdgeRectangle()
{
    relative_ = false;
    float x, y;
    while (Read(x)) {
        if (!Read(y)) throw PlotFailure{NoSecondParameter};
        const PlotPoint c = current_;
        MovePen(1, {c.x, y});
        MovePen(1, {x, y});
        MovePen(1, {x, c.y});
        MovePen(1, c);
        MovePen(0, {x, y});
        current_ = {x, y};
    }
}

void HpglInterpreter::DrawTick(bool xTick)
{
    const PlotPoint c = current_;
    lineTypes_.UseSolid();
    if (xTick) {
        const float span = p2_.y - p1_.y;
        MovePen(0, {c.x, c.y - span * tickMinus_ / fy_});
        MovePen(1, {c.x, c.y + span * tickPlus_ / fy_});
    } else {
        const float span = p2_.x - p1_.x;
        MovePen(0, {c.x - span * tickMinus_ / fx_, c.y});
        MovePen(1, {c.x + span * tickPlus_ / fx_, c.y});
    }
    MovePen(0, c);
    lineTypes_.UseSelected();
}

void HpglInterpreter::TickLength()
{
    float plus, minus;
    if (!Read(plus)) {
        tickPlus_ = tickMinus_ = 0.005f;
        return;
    }
    tickPlus_ = plus / 100;
    tickMinus_ = Read(minus) ? minus / 100 : 0.0f;
}

void HpglInterpreter::SelectLineType()
{
    float type, length;
    if (!Read(type)) {
        lineTypes_.SelectLineType(nullptr, nullptr, diagonal_);
        return;
    }
    const bool hasLength = Read(length);
    lineTypes_.SelectLineType(&type, hasLength ? &length : nullptr, diagonal_);
}

} // namespace ondrel
