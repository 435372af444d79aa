#include "marking_estimate.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <vector>

#include "field_dialog.h"

namespace ondrel {
namespace {

// A drawing already in Bit: scale 1, centre 0; the field at gain 1 without offsets.
struct BitDrawing {
    explicit BitDrawing(std::vector<VectorRecord> records) {
        drawing.VectorStream = std::move(records);
        field.FieldGain = 1.0f;
    }
    Drawing drawing;
    FieldTransform field;
};

struct Expected {
    std::int32_t jumps, singles, chainMarks, chainStarts;
    long double jumpLength, markLength, jumpTime, markTime, jumpDelays, markDelays, polyDelays, total;
};

TEST(MarkingEstimate, TimeModelOfTheBoard) {
    const struct {
        const char* name;
        std::function<void(Parameters&)> set;
        std::vector<VectorRecord> records;
        Expected e;
    } cases[] = {
        {"one jump of 1000 Bit at 1000 Bit/ms, one pass whatever Scans is",
         [](Parameters& p) { p.Scans = 3; },
         {{Jump, 1000, 0}},
         {1, 0, 0, 0, 1000, 0, 1000, 0, 500, 0, 0, 1500}},
        {"a mark to the point it starts from takes the minimum time and no delay",
         [](Parameters&) {},
         {{Jump, 100, 0}, {Single, 100, 0}},
         {1, 1, 0, 0, 100, 0, 100, 10, 500, 0, 0, 610}},
        {"a zero-length mark does not become the previous vector",
         [](Parameters& p) { p.UseVarPolyDelay = true; },
         {{Jump, 0, 0}, {ChainStart, 100, 0}, {ChainMiddle, 100, 0}, {ChainEnd, 100, 100}},
         {1, 0, 3, 1, 0, 200, 10, 2010, 500, 0, 300, 2820}},
        {"fixed polygon delay: two polygon delays and the mark delay of the chain end",
         [](Parameters&) {},
         {{Jump, 0, 0}, {ChainStart, 100, 0}, {ChainMiddle, 100, 100}, {ChainEnd, 0, 100}},
         {1, 0, 3, 1, 0, 300, 10, 3000, 500, 0, 400, 3910}},
        {"variable polygon delay: 90 degree corners take the full delay, straight on nothing",
         [](Parameters& p) { p.UseVarPolyDelay = true; },
         {{Jump, 0, 0}, {ChainStart, 50, 0}, {ChainMiddle, 100, 0}, {ChainMiddle, 100, 100},
          {ChainMiddle, 0, 100}, {ChainEnd, 0, 0}},
         {1, 0, 5, 1, 0, 400, 10, 4000, 500, 0, 500, 5010}},
        {"variable polygon delay: a reversal takes twice the delay",
         [](Parameters& p) { p.UseVarPolyDelay = true; },
         {{Jump, 0, 0}, {ChainStart, 100, 0}, {ChainMiddle, 0, 0}, {ChainEnd, 0, 100}},
         {1, 0, 3, 1, 0, 300, 10, 3000, 500, 0, 200 + 100 + 200, 4010}},
        {"negative laser-on delay: 110 us before every single mark and chain start",
         [](Parameters& p) { p.LaserOnDelay = -100; },
         {{Jump, 0, 0}, {Single, 100, 0}, {ChainStart, 200, 0}, {ChainEnd, 300, 0}},
         {1, 1, 2, 1, 0, 300, 10, 3000, 500, 200, 300, 4010 + 220}},
        {"a jump below the length limit takes the minimum delay plus the slope",
         [](Parameters& p) {
             p.JumpLengthLimit = 1000;
             p.MinJumpDelay = 100;
         },
         {{Jump, 250, 0}},
         {1, 0, 0, 0, 250, 0, 250, 0, 200, 0, 0, 450}},
        {"a speed of 0 runs at the board's slowest speed",
         [](Parameters& p) { p.JumpSpeed = 0; },
         {{Jump, 9, 0}},
         {1, 0, 0, 0, 9, 0, 10000, 0, 500, 0, 0, 10500}},
        {"kinds above 4 count as chain marks and add no delay",
         [](Parameters&) {},
         {{Jump, 0, 0}, {7, 100, 0}},
         {1, 0, 1, 0, 0, 100, 10, 1000, 500, 0, 0, 1510}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Parameters p;
        c.set(p);
        const BitDrawing d(c.records);
        const MarkingEstimate e = EstimateMarking(d.drawing, d.field, p);
        EXPECT_EQ(e.Jumps, c.e.jumps);
        EXPECT_EQ(e.Singles, c.e.singles);
        EXPECT_EQ(e.ChainMarks, c.e.chainMarks);
        EXPECT_EQ(e.ChainStarts, c.e.chainStarts);
        EXPECT_EQ(e.JumpLength, c.e.jumpLength);
        EXPECT_EQ(e.MarkLength, c.e.markLength);
        EXPECT_EQ(e.JumpTime, c.e.jumpTime);
        EXPECT_EQ(e.MarkTime, c.e.markTime);
        EXPECT_EQ(e.JumpDelays, c.e.jumpDelays);
        EXPECT_EQ(e.MarkDelays, c.e.markDelays);
        EXPECT_EQ(e.PolyDelays, c.e.polyDelays);
        EXPECT_EQ(e.Total, c.e.total);
    }
}

TEST(MarkingEstimate, FlippedAndMirroredDrawingStartsWhereTheMarkingRunStarts) {
    ConverterState state;
    state.drawing.VectorStream = {{Jump, 10, 20}, {Single, 10, 30}};
    state.drawing.Bounds = {10, 10, 20, 30};
    state.drawing.DrawingCenter = {10, 25};
    state.field.FieldGain = 1.0f;
    state.field.FieldOffsetX = 300;
    SetXYFlip(state, true);
    state.field.XInvert = true;
    // The first point lies 5 Bit beyond the centre's mirror image: X = -(20 - 25) + 300, Y = 0.
    const MarkingEstimate e = EstimateMarking(state.drawing, state.field, state.parameters);
    EXPECT_EQ(e.JumpLength, 305);
    EXPECT_EQ(e.MarkLength, 10);
}

TEST(MarkingEstimate, PointBeyond32BitsIsARangeError) {
    const BitDrawing d({{Jump, 0, 0}, {Single, 3e9f, 0}});
    EXPECT_THROW(EstimateMarking(d.drawing, d.field, Parameters{}), std::range_error);
}

TEST(MarkingInfo, EmptyDrawingGivesNothing) {
    ConverterState state;
    EXPECT_FALSE(MarkingInfo(state).has_value());
}

TEST(MarkingInfo, LabelTexts) {
    ConverterState state;
    state.drawing.VectorStream = {{Jump, 20000, 0}, {Single, 20000, 1000}};
    state.field.FieldGain = 1.0f;
    state.parameters.JumpDelay = 600;
    const MarkingInfoTexts t = *MarkingInfo(state);
    const std::pair<const InfoRow&, InfoRow> rows[] = {
        {t.commands[0], {"1", "(50%)"}},     {t.commands[1], {"1", "(50%)"}},     {t.commands[2], {"0", "(0%)"}},
        {t.lengths[0], {"20000", "(95%)"}},  {t.lengths[1], {"1000", "(5%)"}},
        {t.times[0], {"0.001", "(2%)"}},     {t.times[1], {"0.000", "(1%)"}},     {t.times[2], {"0.000", "(0%)"}},
        {t.times[3], {"0.020", "(65%)"}},    {t.times[4], {"0.010", "(32%)"}},
    };
    for (const auto& [row, expected] : rows) {
        EXPECT_EQ(row.value, expected.value);
        EXPECT_EQ(row.share, expected.share);
    }
    EXPECT_EQ(t.lengthCaption, "Scan-Length [Bit]");
    EXPECT_EQ(t.markingTime, "Marking-Time:  0.031");
}

TEST(MarkingInfo, LongDrawingsCountInKiloBit) {
    // 30000 Bit into the field, then 19 jumps of 60000 Bit across it: 1170000 Bit.
    ConverterState state;
    state.field.FieldGain = 1.0f;
    for (int i = 0; i < 20; ++i) state.drawing.VectorStream.push_back({Jump, i % 2 ? -30000.0f : 30000.0f, 0});
    const MarkingInfoTexts t = *MarkingInfo(state);
    EXPECT_EQ(t.lengthCaption, "Scan-Length [kBit]");
    EXPECT_EQ(t.lengths[0].value, "1170");
    EXPECT_EQ(t.lengths[0].share, "(100%)");
    EXPECT_EQ(t.lengths[1].value, "0");
    EXPECT_EQ(t.commands[0].value, "20");
}

// Shown values round halves away from zero on their decimal value: 4500 µs is 0.0045 s,
// which a double holds as a little less.
TEST(MarkingInfo, HalvesRoundAwayFromZero) {
    ConverterState state;
    state.field.FieldGain = 1.0f;
    state.parameters.JumpDelay = 4500;
    state.drawing.VectorStream = {{Jump, 20000, 0}};
    EXPECT_EQ(MarkingInfo(state)->times[0].value, "0.005");

    // 1170500 Bit in kBit.
    state.drawing.VectorStream.clear();
    for (int i = 0; i < 20; ++i) state.drawing.VectorStream.push_back({Jump, i % 2 ? -30000.0f : 30000.0f, 0});
    state.drawing.VectorStream.push_back({Jump, -29500.0f, 0});
    EXPECT_EQ(MarkingInfo(state)->lengths[0].value, "1171");
}

TEST(MarkingInfo, ZeroTotalLengthShowsNoShare) {
    ConverterState state;
    state.field.FieldGain = 1.0f;
    state.drawing.VectorStream = {{Jump, 0, 0}, {Single, 0, 0}};
    const MarkingInfoTexts t = *MarkingInfo(state);
    EXPECT_EQ(t.lengths[0].share, "(0%)");
    EXPECT_EQ(t.lengths[1].share, "(0%)");
    EXPECT_EQ(t.lengths[0].value, "0");
}

} // namespace
} // namespace ondrel
