// The limits frame as the board receives it: set-up entries, forty corners and the list jump
// back to the first of them; parking; and who stops a running frame.
#include <gtest/gtest.h>

#include "checked_number.h"
#include "correction_download.h"
#include "fakes.h"
#include "limits_frame.h"
#include "program_startup.h"
#include "temp_dir.h"

namespace ondrel {
namespace {

using fakes::FakeLibrary;
using fakes::RecordingNotifier;
using Calls = std::vector<std::string>;

const Calls kPark = {"set_control_mode(0)", "stop_execution()", "goto_xyz(0,0,0)"};

// A 200 x 100 drawing centred on (100, 50), shown at scale 1 and gain 1.
ConverterState FrameState() {
    ConverterState state;
    state.CorrectionLoaded = 1;
    state.view.ShowLimits = true;
    state.field.FieldGain = 1.0f;
    state.drawing.VectorStream = {{Jump, 0, 0}, {Single, 200, 100}};
    state.drawing.Bounds = {0, 200, 0, 100};
    state.drawing.DrawingCenter = {100, 50};
    state.drawing.DrawingScale = 1.0f;
    return state;
}

Calls FrameCalls(Calls corners, const std::string& z = "0") {
    Calls calls = {"set_control_mode(0)", "stop_execution()", "set_delay_mode(0,0,65500,0,0)", "set_start_list_1()",
                   "set_wobbel(0,0)", "set_fly_x(0)", "set_fly_y(0)", "set_jump_speed(1000)",
                   "set_scanner_delays(50,20,10)"};
    for (int round = 0; round < 10; ++round)
        for (const std::string& corner : corners) calls.push_back("jump_abs_3d(" + corner + "," + z + ")");
    calls.insert(calls.end(), {"set_list_jump(5)", "set_end_of_list()", "execute_list_1()"});
    return calls;
}

TEST(LimitsFrame, TracesTheTransformedBoundsWithTheMirrorBoxes) {
    struct Case {
        const char* name;
        FieldTransform field;
        Calls corners; // (MaxX, MinY), (MaxX, MaxY), (MinX, MaxY), (MinX, MinY)
    };
    const std::vector<Case> cases = {
        {"plain", {1, 0, 0, false, false, false}, {"100,-50", "100,50", "-100,50", "-100,-50"}},
        {"offset", {1, 300, -200, false, false, false}, {"400,-250", "400,-150", "200,-150", "200,-250"}},
        {"X - Invert", {1, 300, 0, true, false, false}, {"200,-50", "200,50", "400,50", "400,-50"}},
        {"Y - Invert", {2, 0, 0, false, true, false}, {"200,100", "200,-100", "-200,-100", "-200,100"}},
        // The flip already exchanged the frame held in the drawing; the frame takes it as it is.
        {"XY - Flip", {1, 0, 0, false, false, true}, {"100,-50", "100,50", "-100,50", "-100,-50"}},
    };
    for (const Case& c : cases) {
        ConverterState state = FrameState();
        state.field = c.field;
        FakeLibrary library;
        SharedBoard board{library, library.CheckPort()};
        RecordingNotifier notifier;
        RefreshLimitsFrame(state, board, notifier);
        EXPECT_EQ(library.calls, FrameCalls(c.corners)) << c.name;
    }
}

TEST(LimitsFrame, ZPlaneAndDelaysComeFromTheSettings) {
    ConverterState state = FrameState();
    state.parameters.ZPlaneEnabled = true;
    state.parameters.ZCalibration = 93;
    state.parameters.ZPosition = 2.5; // 232.5 -> 232
    state.parameters.JumpSpeed = 2500;
    state.parameters.JumpDelay = 25; // 2.5 -> 2
    state.parameters.MarkDelay = 35; // 3.5 -> 4
    FakeLibrary library;
    SharedBoard board{library, library.CheckPort()};
    RecordingNotifier notifier;
    RefreshLimitsFrame(state, board, notifier);
    const Calls commands = library.calls;
    ASSERT_EQ(commands.size(), 52u);
    EXPECT_EQ(commands[7], "set_jump_speed(2500)");
    EXPECT_EQ(commands[8], "set_scanner_delays(2,4,10)");
    EXPECT_EQ(commands[9], "jump_abs_3d(100,-50,232)");
}

TEST(LimitsFrame, WhenNothingIsSentAndWhenTheBeamIsParked) {
    struct Case {
        const char* name;
        bool checked;
        std::uint8_t correction;
        std::uint8_t stopRequested;
        bool empty;
        Calls expected;
        bool runInProgress = false; // also after its Stop: the run still holds the board
    };
    const std::vector<Case> cases = {
        {"no correction file, checked", true, 0, 1, false, {}},
        {"no correction file, unchecked", false, 0, 1, false, {}},
        {"run in progress, checked", true, 1, 0, false, {}},
        {"run in progress, unchecked", false, 1, 0, false, {}},
        {"run stopped but not ended, checked", true, 1, 1, false, {}, true},
        {"run stopped but not ended, unchecked", false, 1, 1, false, {}, true},
        {"empty drawing, checked", true, 1, 1, true, {}},
        {"unchecked", false, 1, 1, false, kPark},
        {"empty drawing, unchecked", false, 1, 1, true, kPark},
    };
    for (const Case& c : cases) {
        ConverterState state = FrameState();
        state.view.ShowLimits = c.checked;
        state.CorrectionLoaded = c.correction;
        state.StopRequested = c.stopRequested;
        state.RunInProgress = c.runInProgress;
        if (c.empty) state.drawing.VectorStream.clear();
        FakeLibrary library;
        SharedBoard board{library, library.CheckPort()};
        RecordingNotifier notifier;
        RefreshLimitsFrame(state, board, notifier);
        EXPECT_EQ(library.calls, c.expected) << c.name;
    }
}

TEST(LimitsFrame, CornerOutsideTheFieldEndsAfterTheEntriesSent) {
    ConverterState state = FrameState();
    state.field.FieldOffsetX = 32700; // MaxX lands at 32800
    FakeLibrary library;
    SharedBoard board{library, library.CheckPort()};
    RecordingNotifier notifier;
    EXPECT_THROW(RefreshLimitsFrame(state, board, notifier), RangeCheckError);
    const Calls commands = library.calls;
    EXPECT_EQ(commands.size(), 9u);
    EXPECT_EQ(commands.back(), "set_scanner_delays(50,20,10)");
}

TEST(LimitsFrame, RunningFrameEndsBeforeACorrectionDownloadAndAtExit) {
    ConverterState state = FrameState();
    FakeLibrary library;
    SharedBoard board{library, library.CheckPort()};
    RecordingNotifier notifier;
    LoadCorrectionFile("/cor/new.ctb", state, library, notifier);
    Calls expected = kPark;
    expected.push_back("load_cor(/cor/new.ctb)");
    EXPECT_EQ(library.calls, expected);
    EXPECT_FALSE(state.view.ShowLimits);

    // A failed download leaves no frame that could not be stopped: unchecking sends nothing.
    library.calls.clear();
    library.cor_result = 3;
    state.view.ShowLimits = true;
    LoadCorrectionFile("/cor/bad.ctb", state, library, notifier);
    EXPECT_EQ(state.CorrectionLoaded, 0);
    EXPECT_FALSE(state.view.ShowLimits);
    library.calls.clear();
    RefreshLimitsFrame(state, board, notifier);
    EXPECT_TRUE(library.calls.empty());

    fakes::TempDir dir;
    ConverterState closing = FrameState();
    closing.DefaultIniPath = dir.Dir() + "Quarnel4.ini";
    FakeLibrary closingBoard;
    StopConverter(closing, closingBoard, notifier);
    expected = kPark;
    expected.push_back("set_max_counts(0)");
    EXPECT_EQ(closingBoard.calls, expected);
}

} // namespace
} // namespace ondrel
