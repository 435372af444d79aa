// Record kinds from pen sequences, and the frame computed after a load.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "plot_test_support.h"
#include "vector_emission.h"

namespace ondrel {
namespace {

using testing::Kinds;

// Runs a pen sequence written as "uA dB dC": u moves, d draws, to point (letter index, 0).
Drawing Emit(const std::string& sequence)
{
    Drawing drawing;
    PlotLimits limits;
    VectorEmitter emitter(drawing.VectorStream, limits);
    emitter.Begin();
    for (std::size_t i = 0; i + 1 < sequence.size(); i += 3)
        emitter.EmitVector(sequence[i] == 'd' ? 1 : 0, {static_cast<float>(sequence[i + 1] - 'A'), 0});
    emitter.Flush();
    return drawing;
}

std::string PointLetters(const Drawing& drawing)
{
    std::string letters;
    for (const VectorRecord& r : drawing.VectorStream) letters += static_cast<char>('A' + static_cast<int>(r.x));
    return letters;
}

TEST(VectorEmission, KindsFollowThePenSequence)
{
    struct Case {
        const char* sequence;
        const char* kinds;
        const char* points;
    } cases[] = {
        {"uA dB dC dD uE dF", "JABCJM", "ABCDEF"},
        {"uA uB dC", "JM", "BC"},            // of a run of moves only the last is written
        {"uA dB uC uD", "JM", "AB"},         // trailing moves write nothing
        {"dA dB", "AC", "AB"},               // a plot that starts drawing writes no jump first
        {"dA", "M", "A"},
        {"uA dB dC uD dE dF dG", "JACJABC", "ABCDEFG"},
        {"uA dB uC dD dE uF", "JMJAC", "ABCDE"},
        {"uA", "", ""},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        const Drawing drawing = Emit(c.sequence);
        EXPECT_EQ(Kinds(drawing), c.kinds) << c.sequence;
        EXPECT_EQ(PointLetters(drawing), c.points) << c.sequence;
    }
}

TEST(VectorEmission, RecordLimitEndsTheLoad)
{
    Drawing drawing;
    PlotLimits limits;
    limits.MaxRecords = 3;
    VectorEmitter emitter(drawing.VectorStream, limits);
    emitter.Begin();
    emitter.EmitVector(0, {0, 0});
    for (int i = 1; i <= 3; ++i) emitter.EmitVector(1, {static_cast<float>(i), 0});
    EXPECT_THROW(emitter.EmitVector(1, {9, 9}), PlotLimitExceeded);
    EXPECT_EQ(drawing.VectorCount(), 3);
}

TEST(VectorEmission, NonFinitePointIsAPlotError)
{
    Drawing drawing;
    PlotLimits limits;
    VectorEmitter emitter(drawing.VectorStream, limits);
    emitter.Begin();
    EXPECT_THROW(emitter.EmitVector(1, {std::numeric_limits<float>::infinity(), 0}), PlotFailure);
}

struct FrameCase {
    const char* name;
    DrawingBounds bounds;
    bool flip;
    float gain, offsetX, offsetY;
    // expected
    DrawingBounds frameBounds;
    DrawingPoint center;
    float scale;
    float offsetXAfter, offsetYAfter;
};

TEST(DrawingFrame, CenterScaleFlipAndOffsetClamp)
{
    const FrameCase cases[] = {
        {"wider than high", {0, 1000, 0, 500}, false, 0.5f, -20000, 10000,
         {0, 1000, 0, 500}, {500, 250}, 65.53f, -16382.5f, 10000},
        {"square takes the y extent", {-10, 10, 0, 20}, false, 1, 0, 0,
         {-10, 10, 0, 20}, {0, 10}, 3276.5f, 0, 0},
        {"flip exchanges bounds and centre", {0, 1000, 100, 300}, true, 0.5f, 0, 20000,
         {100, 300, 0, 1000}, {200, 500}, 65.53f, 0, 16382.5f},
        {"limit is strict", {0, 1000, 0, 1000}, false, 0.5f, 16382.5f, -16382.5f,
         {0, 1000, 0, 1000}, {500, 500}, 65.53f, 16382.5f, -16382.5f},
        {"full field of a vector file", {-32767, 32767, -32767, 32767}, false, 1, 5, -5,
         {-32767, 32767, -32767, 32767}, {0, 0}, 65530.0f / 65534.0f, 0, 0},
    };
    for (const FrameCase& c : cases) {
        Drawing drawing;
        drawing.Bounds = c.bounds;
        FieldTransform field;
        field.XYFlip = c.flip;
        field.FieldGain = c.gain;
        field.FieldOffsetX = c.offsetX;
        field.FieldOffsetY = c.offsetY;
        ComputeDrawingFrame(drawing, field);
        SCOPED_TRACE(c.name);
        EXPECT_EQ(drawing.Bounds.MinX, c.frameBounds.MinX);
        EXPECT_EQ(drawing.Bounds.MaxX, c.frameBounds.MaxX);
        EXPECT_EQ(drawing.Bounds.MinY, c.frameBounds.MinY);
        EXPECT_EQ(drawing.Bounds.MaxY, c.frameBounds.MaxY);
        EXPECT_FLOAT_EQ(drawing.DrawingCenter.x, c.center.x);
        EXPECT_FLOAT_EQ(drawing.DrawingCenter.y, c.center.y);
        EXPECT_FLOAT_EQ(drawing.DrawingScale, c.scale);
        EXPECT_NEAR(field.FieldOffsetX, c.offsetXAfter, 1e-2);
        EXPECT_NEAR(field.FieldOffsetY, c.offsetYAfter, 1e-2);
    }
}

TEST(DrawingFrame, EmptyOrPointDrawingKeepsOffsetsAndGetsNeutralScale)
{
    const DrawingBounds cases[] = {
        {1e10f, -1e10f, 1e10f, -1e10f}, // nothing drawn
        {5, 5, 7, 7},                   // one point
    };
    for (const DrawingBounds& bounds : cases) {
        Drawing drawing;
        drawing.Bounds = bounds;
        FieldTransform field;
        field.FieldOffsetX = 30000;
        field.FieldOffsetY = -30000;
        ComputeDrawingFrame(drawing, field);
        EXPECT_EQ(drawing.DrawingScale, 1.0f);
        EXPECT_EQ(field.FieldOffsetX, 30000);
        EXPECT_EQ(field.FieldOffsetY, -30000);
    }
}

} // namespace
} // namespace ondrel
