#include "field_transform.h"
#include "checked_number.h"
#include "vector_emission.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <utility>

namespace ondrel {
namespace {

// A drawing of 1000 × 500 units around (100, 50): scale 65.53.
Drawing WideDrawing() {
    Drawing d;
    d.Bounds = {-400, 600, -200, 300};
    d.DrawingCenter = {100, 50};
    d.DrawingScale = 65.53f;
    d.VectorStream = {{Jump, -400, -200}, {Single, 600, 300}};
    return d;
}

TEST(Transform, EveryMirrorCombination) {
    const Drawing d = WideDrawing();
    // a = 65.53 × 0.5 = 32.765; the point (600, 300) lies 500 and 250 units from the centre.
    const struct {
        bool xInvert, yInvert, flip;
        BitPoint expected;
    } cases[] = {
        {false, false, false, {16383 + 1000, 8191 + 2000}},
        {true, false, false, {-16383 + 1000, 8191 + 2000}},
        {false, true, false, {16383 + 1000, -8191 + 2000}},
        {true, true, false, {-16383 + 1000, -8191 + 2000}},
        // With the flip the frame holds its axes exchanged: the record's y becomes X.
        {false, false, true, {static_cast<std::int32_t>(32.765f * 300 + (1000 - 32.765f * 50)),
                              static_cast<std::int32_t>(32.765f * 600 + (2000 - 32.765f * 100))}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.xInvert << c.yInvert << c.flip);
        FieldTransform field;
        field.FieldOffsetX = 1000;
        field.FieldOffsetY = 2000;
        field.XInvert = c.xInvert;
        field.YInvert = c.yInvert;
        field.XYFlip = c.flip;
        Drawing frame = d;
        if (c.flip) frame.DrawingCenter = {50, 100};
        const BitPoint p = MapPoint(MakeTransform(frame, field), 600, 300);
        EXPECT_NEAR(p.x, c.expected.x, 1);
        EXPECT_NEAR(p.y, c.expected.y, 1);
        // The drawing's centre stays at the offsets whatever the mirrors.
        const BitPoint centre = MapPoint(MakeTransform(frame, field), 100, 50);
        EXPECT_EQ(centre.x, 1000);
        EXPECT_EQ(centre.y, 2000);
    }
}

TEST(Transform, FlipAndInvertTogether) {
    Drawing d = WideDrawing();
    ExchangeFrameAxes(d);
    FieldTransform field;
    field.XYFlip = true;
    field.XInvert = true;
    // The record (600, 300): X comes from y = 300, mirrored about the centre 50.
    const BitPoint p = MapPoint(MakeTransform(d, field), 600, 300);
    EXPECT_EQ(p.x, static_cast<std::int32_t>(std::lrint(-32.765f * 300 + 32.765f * 50)));
    EXPECT_EQ(p.y, static_cast<std::int32_t>(std::lrint(32.765f * 600 - 32.765f * 100)));
}

TEST(Transform, RoundsHalvesToEven) {
    Drawing d;
    d.DrawingScale = 1;
    FieldTransform field;
    field.FieldGain = 1;
    const TransformCoefficients t = MakeTransform(d, field);
    const struct {
        float in;
        std::int32_t out;
    } cases[] = {{0.5f, 0}, {1.5f, 2}, {2.5f, 2}, {-0.5f, 0}, {-1.5f, -2}, {-2.5f, -2}, {2.6f, 3}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(MapPoint(t, c.in, c.in).x, c.out);
        EXPECT_EQ(MapPoint(t, c.in, c.in).y, c.out);
    }
    // Beyond a 32-bit word the range check fails instead of wrapping.
    EXPECT_THROW(MapPoint(t, 3e9f, 0), RangeCheckError);
    EXPECT_THROW(MapPoint(t, 0, -3e9f), RangeCheckError);
}

// Random drawings, placements and mirror boxes: each coefficient is its exact value stored
// as a float, and each point is the exact ax × x + bx of those floats rounded once, halves
// to even. Working the points out in float rounds twice and lands a Bit off now and then.
TEST(Transform, RandomPlacementsRoundEachPointOnce) {
    std::mt19937 random(18);
    auto uniform = [&](float low, float high) { return std::uniform_real_distribution<float>(low, high)(random); };
    auto coin = [&] { return (random() & 1) != 0; };
    for (int drawing = 0; drawing < 300; ++drawing) {
        Drawing d;
        d.Bounds = {uniform(-3000, 0), uniform(1, 3000), uniform(-3000, 0), uniform(1, 3000)};
        d.DrawingCenter = {(d.Bounds.MinX + d.Bounds.MaxX) / 2, (d.Bounds.MinY + d.Bounds.MaxY) / 2};
        d.DrawingScale = 65530 / std::max(d.Bounds.MaxX - d.Bounds.MinX, d.Bounds.MaxY - d.Bounds.MinY);
        FieldTransform field{uniform(0.01f, 1), uniform(-32765, 32765), uniform(-32765, 32765), coin(), coin(), coin()};
        if (field.XYFlip) ExchangeFrameAxes(d);
        ClampFieldOffsets(d, field);

        using Exact = long double; // holds every product and sum below without rounding
        const float a = static_cast<float>(Exact{d.DrawingScale} * field.FieldGain);
        const float ax = field.XInvert ? -a : a, ay = field.YInvert ? -a : a;
        const float bx = static_cast<float>(field.FieldOffsetX - Exact{ax} * d.DrawingCenter.x);
        const float by = static_cast<float>(field.FieldOffsetY - Exact{ay} * d.DrawingCenter.y);
        const TransformCoefficients t = MakeTransform(d, field);
        ASSERT_EQ(t.ax, ax);
        ASSERT_EQ(t.bx, bx);
        ASSERT_EQ(t.ay, ay);
        ASSERT_EQ(t.by, by);

        for (int record = 0; record < 20; ++record) {
            // The records lie in drawing orientation; the frame is exchanged under the flip.
            const DrawingBounds& b = d.Bounds;
            float x = uniform(b.MinX, b.MaxX), y = uniform(b.MinY, b.MaxY);
            const auto expectedX = std::nearbyint(Exact{ax} * x + bx);
            const auto expectedY = std::nearbyint(Exact{ay} * y + by);
            if (field.XYFlip) std::swap(x, y);
            SCOPED_TRACE(testing::Message() << "drawing " << drawing << " record " << record);
            const BitPoint p = MapPoint(t, x, y);
            const BoardPoint board = BoardBits(t, x, y);
            EXPECT_EQ(p.x, expectedX);
            EXPECT_EQ(p.y, expectedY);
            EXPECT_EQ(board.x, expectedX);
            EXPECT_EQ(board.y, expectedY);
        }
    }
}

TEST(OffsetClamp, LimitsByExtentScaleAndGain) {
    const struct {
        float gain, offset, expected;
    } cases[] = {
        {0.5f, -20000, -16382.5f}, {0.5f, 10000, 10000}, {0.5f, 16382.5f, 16382.5f},
        {1.0f, 500, 0},            {1.0f, -500, 0},      {0.5f, 32765, 16382.5f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.gain << " " << c.offset);
        Drawing d;
        d.Bounds = {0, 1000, 0, 10};
        d.DrawingScale = 65.53f;
        FieldTransform field;
        field.FieldGain = c.gain;
        field.FieldOffsetX = c.offset;
        ClampFieldOffsets(d, field);
        EXPECT_NEAR(field.FieldOffsetX, c.expected, 0.01f);
    }
}

TEST(OffsetClamp, KeepsEveryTransformedPointInTheField) {
    Drawing d = WideDrawing();
    for (bool xi : {false, true})
        for (bool yi : {false, true}) {
            FieldTransform field;
            field.FieldGain = 1;
            field.FieldOffsetX = 32765;
            field.FieldOffsetY = -32765;
            field.XInvert = xi;
            field.YInvert = yi;
            ClampFieldOffsets(d, field);
            for (const VectorRecord& r : d.VectorStream) {
                BitPoint p = MapPoint(MakeTransform(d, field), r.x, r.y);
                EXPECT_LE(std::abs(p.x), 32765);
                EXPECT_LE(std::abs(p.y), 32765);
            }
        }
}

TEST(ZBits, OnlyWithTheZPlane) {
    EXPECT_EQ(ZBits(false, 100, 3.0), 0);
    EXPECT_EQ(ZBits(true, 100, 3.0), 300);
    EXPECT_EQ(ZBits(true, 1, 2.5), 2);
    EXPECT_EQ(ZBits(true, 1, -3.5), -4);
}

} // namespace
} // namespace ondrel
