#include "drawing_view.h"

#include <gtest/gtest.h>

#include "fakes.h"

namespace ondrel {
namespace {

using fakes::RecordingCanvas;

constexpr AreaSize kArea{401, 301};

// A drawing already in bits (scale 1, centre 0) at gain 1: records map one to one.
ConverterState BitsDrawing(std::vector<VectorRecord> records) {
    ConverterState state;
    state.drawing.VectorStream = std::move(records);
    state.drawing.Bounds = {-1000, 1000, -500, 500};
    state.drawing.DrawingScale = 1;
    state.field.FieldGain = 1;
    FitView(state.view, kArea);
    state.view.FitZoom = FitZoomFor(kArea);
    return state;
}

TEST(DrawView, EmptyWithoutDrawingOrDuringARun) {
    ConverterState none;
    RecordingCanvas canvas;
    DrawView(none, kArea, canvas);
    EXPECT_EQ(canvas.ops, std::vector<std::string>{"clear"});

    ConverterState running = BitsDrawing({{Single, 0, 0}});
    running.StopRequested = 0;
    RecordingCanvas canvas2;
    DrawView(running, kArea, canvas2);
    EXPECT_EQ(canvas2.ops, std::vector<std::string>{"clear"});
}

TEST(DrawView, BorderDrawingAndSinglePixel) {
    ConverterState state = BitsDrawing({{Jump, -1000, 0}, {Single, 1000, 0}, {ChainStart, 0, 500}});
    state.view.ViewZoom = 0.1f; // 32765 Bit = 3276.5 px
    RecordingCanvas canvas;
    DrawView(state, kArea, canvas);
    EXPECT_EQ(canvas.ops, (std::vector<std::string>{
                              "clear",
                              "rect dashdot -3076,-3126 3477,3427", // 200.5 ∓ 3276.5, 150.5 ∓ 3276.5
                              "move 200,150",                       // 200.5 and 150.5 round to even
                              "move 100,150",
                              "line solid 0/0/0 300,150",
                              "pixel 0/0/0 300,150",
                              "line solid 0/0/0 200,100",
                          }));
}

TEST(DrawView, PolygonColoursAndLimits) {
    ConverterState state = BitsDrawing({{Jump, 0, 0}, {Single, 100, 0}, {ChainStart, 0, 100},
                                        {ChainMiddle, 100, 100}, {7, 200, 100}, {ChainEnd, 200, 200}});
    state.view.ViewZoom = 1;
    state.view.ShowPolygons = true;
    state.view.ShowLimits = true;
    state.drawing.Bounds = {0, 200, 0, 200};
    RecordingCanvas canvas;
    DrawView(state, AreaSize{400, 400}, canvas);
    const std::vector<std::string> tail(canvas.ops.begin() + 3, canvas.ops.end());
    EXPECT_EQ(canvas.ops[2], "move 200,200");
    EXPECT_EQ(tail, (std::vector<std::string>{
                        "rect dot 200,200 400,0",
                        "line dot 0/0/0 200,200",
                        "line solid 255/255/0 300,200",
                        "pixel 255/0/0 300,200",
                        "line solid 255/0/0 200,100",
                        "line solid 0/128/0 300,100",
                        "line solid 0/128/0 400,100", // an unknown kind keeps the colour before
                        "line solid 0/0/255 400,0",
                    }));
}

TEST(DrawView, FlipAndInvertMoveThePixels) {
    const struct {
        bool xi, yi, flip;
        const char* line;
    } cases[] = {
        {false, false, false, "line solid 0/0/0 300,250"},
        {true, false, false, "line solid 0/0/0 100,250"},
        {false, true, false, "line solid 0/0/0 300,150"},
        {false, false, true, "line solid 0/0/0 150,100"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        ConverterState state = BitsDrawing({{ChainEnd, 100, -50}});
        state.view.ViewZoom = 1;
        state.field.XInvert = c.xi;
        state.field.YInvert = c.yi;
        state.field.XYFlip = c.flip;
        RecordingCanvas canvas;
        DrawView(state, AreaSize{400, 400}, canvas);
        EXPECT_EQ(canvas.ops.back(), c.line);
    }
}

TEST(ViewMouse, LeftZoomsInUntilTheBorderWouldLeave32000Pixels) {
    ConverterState state = BitsDrawing({{Single, 0, 0}});
    const float fit = state.view.ViewZoom;
    ASSERT_TRUE(ViewMouseDown(state, kArea, MouseButton::Left, 400, 0)); // towards the top right
    EXPECT_FLOAT_EQ(state.view.ViewZoom, 2 * fit);
    for (int i = 0; i < 40; ++i) ViewMouseDown(state, kArea, MouseButton::Left, 400, 0);
    EXPECT_EQ(state.view.ViewCenterX, 32765); // clamped to the corner
    EXPECT_EQ(state.view.ViewCenterY, 32765);
    // Doubling stopped while the border still fitted the pixel range.
    EXPECT_LT(state.view.ViewZoom * 2 * 32765, 2 * 32000 + 1000);
    EXPECT_GT(state.view.ViewZoom * 4 * 32765, 32000);
}

TEST(ViewMouse, RightZoomsOutAndSnapsToTheFit) {
    ConverterState state = BitsDrawing({{Single, 0, 0}});
    const float fit = state.view.FitZoom;
    state.view.ViewZoom = 4 * fit;
    state.view.ViewCenterX = 1000;
    ASSERT_TRUE(ViewMouseDown(state, kArea, MouseButton::Right, 200, 150));
    EXPECT_FLOAT_EQ(state.view.ViewZoom, 2 * fit);
    ViewMouseDown(state, kArea, MouseButton::Right, 200, 150);
    EXPECT_FLOAT_EQ(state.view.ViewZoom, fit);
    EXPECT_EQ(state.view.ViewCenterX, 0);
    EXPECT_FALSE(ViewMouseDown(state, kArea, MouseButton::Middle, 0, 0));

    ConverterState none;
    EXPECT_FALSE(ViewMouseDown(none, kArea, MouseButton::Left, 10, 10));
}

TEST(ViewMouse, CoordinateText) {
    ConverterState state = BitsDrawing({{Single, 0, 0}});
    state.view.ViewZoom = 0.5f;
    EXPECT_EQ(CoordinateText(state, AreaSize{400, 400}, 260, 2450), "120 , -4500");
    EXPECT_EQ(CoordinateText(state, AreaSize{400, 400}, 200000, -200000), "32765 , 32765");
    ConverterState none;
    EXPECT_FALSE(CoordinateText(none, kArea, 1, 1).has_value());
}

TEST(ViewZoom, FieldAndObject) {
    ConverterState state = BitsDrawing({{Single, 0, 0}});
    state.view.ViewCenterX = 500;
    ASSERT_TRUE(ZoomField(state, kArea));
    EXPECT_FLOAT_EQ(state.view.ViewZoom, 300.0f / 65540);
    EXPECT_EQ(state.view.ViewCenterX, 0);
    RecordingCanvas dots;
    DrawFieldDots(state, kArea, dots);
    EXPECT_EQ(dots.ops.size(), 81u);

    state.field.FieldOffsetX = 700;
    ASSERT_TRUE(ZoomObject(state, kArea)); // 2000 × 1000 Bit in 401 × 301 pixels
    EXPECT_FLOAT_EQ(state.view.ViewZoom, 400.0f / 2000);
    EXPECT_EQ(state.view.ViewCenterX, 700);

    state.drawing.Bounds = {0, 1000, 5, 5}; // a horizontal line fits its length to the width
    ZoomObject(state, kArea);
    EXPECT_FLOAT_EQ(state.view.ViewZoom, 400.0f / 1000);

    state.drawing.Bounds = {5, 5, 5, 5}; // no extent: the zoom stays finite
    ZoomObject(state, kArea);
    EXPECT_FLOAT_EQ(state.view.ViewZoom, 400.0f / 1000);

    ConverterState none;
    EXPECT_FALSE(ZoomField(none, kArea));
    EXPECT_FALSE(ZoomObject(none, kArea));
}

} // namespace
} // namespace ondrel
