#include "field_dialog.h"

#include <gtest/gtest.h>

#include "fakes.h"

namespace ondrel {
namespace {

using fakes::RecordingNotifier;

ConverterState WithDrawing() {
    ConverterState state;
    state.drawing.Bounds = {0, 1000, 0, 500};
    state.drawing.DrawingCenter = {500, 250};
    state.drawing.DrawingScale = 65.53f;
    state.drawing.VectorStream = {{Jump, 0, 0}, {Single, 1000, 500}};
    return state;
}

// Texts no test types, so every field is parsed.
const FieldDialogTexts kNothingShown{"\x01", "\x01", "\x01", "\x01", ""};

FieldDialogTexts Texts(const char* gain, const char* x, const char* y, const char* z = "0.0") {
    return {gain, x, y, z, ""};
}

TEST(FieldDialog, FillShowsPercentAndZ) {
    ConverterState state;
    state.field.FieldOffsetX = 32765;
    state.field.FieldOffsetY = -16382.5f;
    FieldDialogTexts t = FillFieldDialog(state);
    EXPECT_EQ(t.Gain, "50.000");
    EXPECT_EQ(t.OffsetX, "50.000");
    EXPECT_EQ(t.OffsetY, "-25.000");
    EXPECT_EQ(t.ZPosition, "0.0");
    EXPECT_EQ(t.ZCalibration, "");
    state.parameters.ZPlaneEnabled = true;
    state.parameters.ZPosition = 12.345;
    state.parameters.ZCalibration = 100;
    t = FillFieldDialog(state);
    EXPECT_EQ(t.ZPosition, "12.35");
    EXPECT_EQ(t.ZCalibration, "100");
}

TEST(FieldDialog, AcceptBounds) {
    const struct {
        const char* gain;
        const char* offset;
        bool accepted;
        float fieldGain, offsetX;
    } cases[] = {
        {"1", "0", true, 0.01f, 0},
        {"100", "0", true, 1.0f, 0},
        {"0.9999", "0", false, 0.5f, 0},
        {"100.0001", "0", false, 0.5f, 0},
        {"50", "50", true, 0.5f, 32765},
        {"50", "-50", true, 0.5f, -32765},
        {"50", "50.0001", false, 0.5f, 0},
        {" 25", "-0", true, 0.25f, 0},
        {"25 ", "0", false, 0.5f, 0},
        {"1,5", "0", false, 0.5f, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.gain << " / " << c.offset);
        ConverterState state; // no drawing: no clamp
        RecordingNotifier notifier;
        FieldAcceptResult r = AcceptFieldDialog(Texts(c.gain, c.offset, "0"), kNothingShown, state, notifier);
        EXPECT_EQ(r.Accepted(), c.accepted);
        EXPECT_EQ(notifier.beeps, c.accepted ? 0 : 1);
        EXPECT_FLOAT_EQ(state.field.FieldGain, c.fieldGain);
        EXPECT_FLOAT_EQ(state.field.FieldOffsetX, c.offsetX);
        EXPECT_TRUE(notifier.boxes.empty());
    }
}

TEST(FieldDialog, AcceptWithoutChangeKeepsTheValues) {
    ConverterState state = WithDrawing();
    state.field.FieldGain = 0.37f;
    state.field.FieldOffsetX = 1234.5f;
    state.field.FieldOffsetY = -777.25f;
    RecordingNotifier notifier;
    ASSERT_TRUE(AcceptFieldDialog(FillFieldDialog(state), FillFieldDialog(state), state, notifier).Accepted());
    EXPECT_FLOAT_EQ(state.field.FieldGain, 0.37f);
    EXPECT_FLOAT_EQ(state.field.FieldOffsetX, 1234.5f);
    EXPECT_FLOAT_EQ(state.field.FieldOffsetY, -777.25f);

    // Changing the gain alone stores it; the untouched offsets keep their exact values.
    const FieldDialogTexts shown = FillFieldDialog(state);
    FieldDialogTexts typed = shown;
    typed.Gain = "20";
    ASSERT_TRUE(AcceptFieldDialog(typed, shown, state, notifier).Accepted());
    EXPECT_FLOAT_EQ(state.field.FieldGain, 0.2f);
    EXPECT_FLOAT_EQ(state.field.FieldOffsetX, 1234.5f);
}

TEST(FieldDialog, RejectedFieldsInWalkingOrderEachStoredValueKept) {
    ConverterState state;
    state.parameters.ZPlaneEnabled = true;
    state.parameters.ZCalibration = 100;
    RecordingNotifier notifier;
    FieldAcceptResult r = AcceptFieldDialog(Texts("x", "10", "99", "320.002"), kNothingShown, state, notifier);
    EXPECT_EQ(r.rejected, (std::vector<FieldEdit>{FieldEdit::Gain, FieldEdit::OffsetY, FieldEdit::ZPosition}));
    EXPECT_EQ(notifier.beeps, 1);
    EXPECT_FLOAT_EQ(state.field.FieldGain, 0.5f);
    EXPECT_FLOAT_EQ(state.field.FieldOffsetX, 10.0f / 50 * 32765);
    EXPECT_EQ(state.parameters.ZPosition, 0);

    r = AcceptFieldDialog(Texts("50", "0", "0", "320"), kNothingShown, state, notifier);
    EXPECT_TRUE(r.Accepted());
    EXPECT_EQ(state.parameters.ZPosition, 320);
}

TEST(FieldDialog, ZFieldIgnoredOnATwoDimensionalBoard) {
    ConverterState state;
    RecordingNotifier notifier;
    EXPECT_TRUE(AcceptFieldDialog(Texts("50", "0", "0", "rubbish"), kNothingShown, state, notifier).Accepted());
}

TEST(FieldDialog, ClampFollowsTheNewGain) {
    ConverterState state = WithDrawing();
    RecordingNotifier notifier;
    ASSERT_TRUE(AcceptFieldDialog(Texts("100", "20", "0", ""), kNothingShown, state, notifier).Accepted());
    EXPECT_NEAR(state.field.FieldOffsetX, 0, 0.001f); // the larger extent fills the field

    ASSERT_TRUE(AcceptFieldDialog(Texts("50", "50", "0", ""), kNothingShown, state, notifier).Accepted());
    EXPECT_NEAR(state.field.FieldOffsetX, 16382.5f, 0.01f);
}

// A rejected field must not let an accepted gain or offset move the drawing out of the field.
TEST(FieldDialog, ClampEvenWhenAnotherFieldIsRejected) {
    ConverterState state = WithDrawing();
    state.field.FieldOffsetX = 16382.5f; // fits at gain 50 %
    RecordingNotifier notifier;
    FieldAcceptResult r = AcceptFieldDialog(Texts("100", "50", "junk", ""), kNothingShown, state, notifier);
    ASSERT_FALSE(r.Accepted());
    EXPECT_FLOAT_EQ(state.field.FieldGain, 1.0f);
    EXPECT_NEAR(state.field.FieldOffsetX, 0, 0.001f);
}

TEST(FieldDialog, XYFlipExchangesAndClamps) {
    ConverterState state = WithDrawing();
    state.field.FieldGain = 1;
    state.field.FieldOffsetY = 16000; // fits the 500-unit y extent: limit 16382.5
    EXPECT_TRUE(SetXYFlip(state, true));
    EXPECT_EQ(state.drawing.Bounds.MinX, 0);
    EXPECT_EQ(state.drawing.Bounds.MaxX, 500);
    EXPECT_EQ(state.drawing.Bounds.MaxY, 1000);
    EXPECT_EQ(state.drawing.DrawingCenter.x, 250);
    EXPECT_NEAR(state.field.FieldOffsetY, 0, 0.001f); // now the 1000-unit extent
    EXPECT_FALSE(SetXYFlip(state, true));        // no change, nothing exchanged
    EXPECT_EQ(state.drawing.Bounds.MaxX, 500);
    EXPECT_TRUE(SetXYFlip(state, false));
    EXPECT_EQ(state.drawing.Bounds.MaxX, 1000);
    EXPECT_EQ(state.drawing.DrawingCenter.x, 500);
    EXPECT_NEAR(state.field.FieldOffsetY, 0, 0.001f); // stays clamped to the tighter limit

    ConverterState empty;
    EXPECT_FALSE(SetXYFlip(empty, true));
    EXPECT_TRUE(empty.field.XYFlip);
    EXPECT_EQ(OffsetPercentText(-32765), "-50.000");
}

} // namespace
} // namespace ondrel
