#include "marking_estimate.h"

#include <algorithm>
#include <cmath>

#include "field_transform.h"
#include "number_text.h"

namespace ondrel {
namespace {

// Half to even in the default rounding mode; rint skips nearbyint's costly guard of the
// floating-point flags, which the walk would pay several times per record.
long double Round(long double v) { return std::rint(v); }

// A delay in microseconds on the board's 10 µs grid.
long double Delay(long double microseconds) { return Round(microseconds * 0.1L) * 10; }

// The speed the board runs at: the library keeps it within 0.9..50001 Bit/ms, so a speed of
// 0 from an old settings file cannot divide by zero here either.
long double BoardSpeed(std::uint16_t speed) { return std::clamp<long double>(speed, 0.9L, 50001.0L); }

class Walk {
public:
    explicit Walk(const Parameters& p)
        : p_(p), jumpSpeed_(BoardSpeed(p.JumpSpeed)), markSpeed_(BoardSpeed(p.MarkSpeed)),
          jumpDelay_(Delay(p.JumpDelay)), minJumpDelay_(Delay(p.MinJumpDelay)), markDelay_(Delay(p.MarkDelay)),
          polyDelay_(Delay(p.PolyDelay)), polyDelaySteps_(Round(p.PolyDelay * 0.1L)) {
        if (p.JumpLengthLimit != 0)
            slope_ = (Round(p.JumpDelay * 0.1L) - Round(p.MinJumpDelay * 0.1L)) / p.JumpLengthLimit;
    }

    // The vector from the previous point to (X, Y).
    void Add(std::uint8_t kind, std::int32_t X, std::int32_t Y) {
        const long double dx = static_cast<long double>(X) - prevX_;
        const long double dy = static_cast<long double>(Y) - prevY_;
        const long double len = std::sqrt(dx * dx + dy * dy);
        const long double speed = kind == Jump ? jumpSpeed_ : markSpeed_;
        const long double travel = std::max<long double>(Round(len / speed * 1000 / 10), 1) * 10;

        if (kind == ChainStart) ++e_.ChainStarts;
        if (kind == Jump) {
            e_.JumpLength += len;
            e_.JumpTime += travel;
            if (len >= p_.JumpLengthLimit)
                e_.JumpDelays += jumpDelay_;
            else
                e_.JumpDelays += minJumpDelay_ + Round(slope_ * len) * 10;
            ++e_.Jumps;
        } else {
            e_.MarkLength += len;
            e_.MarkTime += travel;
            if (kind == Single) {
                if (len > 0.5L) e_.MarkDelays += markDelay_;
                ++e_.Singles;
            } else {
                ++e_.ChainMarks;
            }
        }

        if (p_.UseVarPolyDelay) {
            if (kind == ChainMiddle) e_.PolyDelays += AngleDelay(dx, dy, len);
            if (kind == ChainEnd) e_.PolyDelays += AngleDelay(dx, dy, len) + markDelay_;
        } else if (len > 0.5L) {
            if (kind == ChainStart || kind == ChainMiddle) e_.PolyDelays += polyDelay_;
            if (kind == ChainEnd) e_.PolyDelays += markDelay_;
        }

        prevX_ = X;
        prevY_ = Y;
        if (len > 0.5L) {
            pdx_ = dx;
            pdy_ = dy;
            plen_ = len;
        }
    }

    MarkingEstimate Finish() {
        e_.Total = e_.JumpTime + e_.MarkTime + e_.PolyDelays + e_.JumpDelays + e_.MarkDelays;
        if (p_.LaserOnDelay < 0) {
            const long double lead = std::trunc(-0.1L * p_.LaserOnDelay) + 1;
            e_.Total += lead * (static_cast<long double>(e_.Singles) + e_.ChainStarts) * 10;
        }
        return e_;
    }

private:
    // The variable polygon delay of the vertex: the full delay scaled by 1 − cos of the turn.
    long double AngleDelay(long double dx, long double dy, long double len) const {
        if (len < 0.5L) return 0;
        const long double p = len * plen_;
        if (p <= 0.5L) return 0;
        const long double turn = std::fabs(1 - (dx * pdx_ + dy * pdy_) / p);
        return Round(polyDelaySteps_ * turn) * 10;
    }

    const Parameters& p_;
    long double jumpSpeed_, markSpeed_;
    long double jumpDelay_, minJumpDelay_, markDelay_, polyDelay_; // on the 10 µs grid
    long double polyDelaySteps_;                                    // the polygon delay in 10 µs
    long double slope_ = 0; // 10 µs per Bit below the jump length limit
    std::int32_t prevX_ = 0, prevY_ = 0;
    long double pdx_ = 0, pdy_ = 0, plen_ = 0; // the last vector longer than 0.5 Bit
    MarkingEstimate e_;
};

std::string Share(long double part, long double whole) {
    const long double percent = whole != 0 ? Round(part * 100 / whole) : 0;
    return "(" + std::to_string(static_cast<long long>(percent)) + "%)";
}

// Every time of the walk is a whole number of microseconds: shown as exactly that many
// millionths of a second.
std::string Seconds(long double microseconds) {
    const DecimalNumber seconds = std::fabs(microseconds) < 9e18L && microseconds == std::trunc(microseconds)
                                      ? DecimalOfCount(static_cast<std::int64_t>(microseconds), -6)
                                      : DecimalOf(static_cast<double>(microseconds), -6);
    return FormatFixed(seconds, 7, 3);
}

} // namespace

MarkingEstimate EstimateMarking(const Drawing& drawing, const FieldTransform& field, const Parameters& p) {
    const TransformCoefficients t = MakeTransform(drawing, field);
    Walk walk(p);
    for (const VectorRecord& r : drawing.VectorStream) {
        const BitPoint point = MapPoint(t, r.x, r.y);
        walk.Add(r.kind, point.x, point.y);
    }
    return walk.Finish();
}

MarkingInfoTexts FormatMarkingInfo(const MarkingEstimate& e) {
    MarkingInfoTexts texts;
    const long double commands = static_cast<long double>(e.Jumps) + e.Singles + e.ChainMarks;
    const std::int32_t counts[3] = {e.Jumps, e.Singles, e.ChainMarks};
    for (int i = 0; i < 3; ++i) texts.commands[i] = {std::to_string(counts[i]), Share(counts[i], commands)};

    const bool kBit = e.JumpLength > 1000000 || e.MarkLength > 1000000;
    const int powerOfTen = kBit ? -3 : 0;
    texts.lengthCaption = kBit ? "Scan-Length [kBit]" : "Scan-Length [Bit]";
    const long double lengths[2] = {e.JumpLength, e.MarkLength};
    for (int i = 0; i < 2; ++i)
        texts.lengths[i] = {FormatFixed(DecimalOf(static_cast<double>(lengths[i]), powerOfTen), 9, 0),
                            Share(lengths[i], e.JumpLength + e.MarkLength)};

    texts.markingTime = "Marking-Time:  " + Seconds(e.Total);
    const long double times[5] = {e.JumpDelays, e.MarkDelays, e.PolyDelays, e.JumpTime, e.MarkTime};
    for (int i = 0; i < 5; ++i) texts.times[i] = {Seconds(times[i]), Share(times[i], e.Total)};
    return texts;
}

std::optional<MarkingInfoTexts> MarkingInfo(const ConverterState& state) {
    if (state.VectorCount() <= 0) return std::nullopt;
    return FormatMarkingInfo(EstimateMarking(state.drawing, state.field, state.parameters));
}

} // namespace ondrel
