// The marking run and the limits frame through the library's exports into a simulated board
// that executes its lists: what the head does is the transformed drawing.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <sstream>

#include "../core/fake_run_window.h"
#include "../core/fakes.h"
#include "field_transform.h"
#include "library_binding.h"
#include "limits_frame.h"
#include "marking_run.h"
#include "quarnel4.h"
#include "sim/list_firmware.h"
#include "sim/sim_motion.h"
#include "sim_bus.h"

namespace ondrel {
namespace {

using fakes::FakeRunWindow;
using fakes::RecordingNotifier;
using Lines = std::vector<std::string>;

class BoardRun {
public:
    explicit BoardRun(const std::string& config = "2d", bool motion = true) : bus_(config) {
        state.CorrectionLoaded = 1;
        state.field.FieldGain = 1.0f;
        state.drawing.DrawingScale = 1.0f;
        // An endless list gives the host its turn sooner.
        bus_.board(1).with_lock([&](quarnel::sim::SimBoard&) { Firmware().set_entries_per_transfer(20000); });
        if (!motion) return;
        motionPath_ = bus_.directory() + "/motion.txt";
        auto file = std::make_shared<quarnel::sim::MotionFile>();
        EXPECT_TRUE(file->open(motionPath_));
        bus_.board(1).with_lock([&](quarnel::sim::SimBoard& board) {
            dynamic_cast<quarnel::sim::ListFirmware&>(board.firmware()).set_motion_file(file);
        });
    }
    MarkingEnd Mark() { return StartMarking(state, BoundLibrary(), notifier, window); }
    Lines Motion() const {
        Lines lines;
        std::ifstream in(motionPath_);
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }
    // What the head must do for the drawing: every record transformed, pass after pass.
    Lines Expected(int passes = 1) const {
        Lines lines;
        for (int pass = 0; pass < passes; ++pass)
            for (const VectorRecord& r : state.drawing.VectorStream) {
                if (r.kind > ChainEnd) continue;
                const BitPoint p = MapPoint(MakeTransform(state.drawing, state.field), r.x, r.y);
                lines.push_back(std::string(r.kind == Jump ? "JUMP " : "MARK ") + std::to_string(p.x) + " " +
                                std::to_string(p.y) + " 0");
            }
        return lines;
    }
    // Under the board's lock.
    quarnel::sim::ListFirmware& Firmware() {
        return dynamic_cast<quarnel::sim::ListFirmware&>(bus_.board(1).firmware());
    }
    void RaiseExternalStart() {
        bus_.board(1).with_lock([&](quarnel::sim::SimBoard&) { Firmware().raise_external_start(); });
    }

    ConverterState state;
    RecordingNotifier notifier;
    FakeRunWindow window{state};

private:
    quarnel::testing::CurrentBus bus_;
    std::string motionPath_;
};

std::vector<VectorRecord> Zigzag(std::size_t count) {
    std::vector<VectorRecord> records;
    records.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const float x = static_cast<float>(static_cast<int>(i % 20001) - 10000);
        const float y = static_cast<float>((i % 7) * 1000);
        records.push_back({static_cast<std::uint8_t>(i % 5 == 0 ? Jump : i % 5 == 1 ? ChainStart : ChainMiddle), x, y});
    }
    return records;
}

TEST(MarkingOnBoard, HeadFollowsTheTransformedDrawingForEachPass) {
    BoardRun run;
    run.state.drawing.VectorStream = {{Jump, 100, 200}, {ChainStart, 300, 200}, {ChainMiddle, 300, -400},
                                      {9, 0, 0},        {ChainEnd, 100, 200},   {Single, -32000, 31000}};
    run.state.field = {1.0f, 50.0f, -50.0f, true, false, false};
    run.state.parameters.Scans = 2;
    run.state.parameters.LaserOnShift = 4;
    EXPECT_EQ(run.Mark(), MarkingEnd::Finished);
    EXPECT_TRUE(run.notifier.boxes.empty());
    EXPECT_EQ(run.Motion(), run.Expected(2));
    EXPECT_EQ(usb_status(), 0u);
    EXPECT_EQ(read_status() & 0x30, 0);
}

TEST(MarkingOnBoard, MoreThanOneListAlternatesAndEveryRecordIsMarkedOnce) {
    BoardRun run;
    run.state.drawing.VectorStream = Zigzag(2 * kListCommandLimit + 5000);
    EXPECT_EQ(run.Mark(), MarkingEnd::Finished);
    EXPECT_TRUE(run.notifier.boxes.empty());
    const Lines motion = run.Motion();
    const Lines expected = run.Expected();
    ASSERT_EQ(motion.size(), expected.size());
    EXPECT_TRUE(motion == expected);
}

TEST(MarkingOnBoard, ExternalStartAndStopInput) {
    // The trigger arrives while the run waits for it.
    BoardRun started;
    started.state.drawing.VectorStream = Zigzag(1000);
    started.state.parameters.ExtStart = true;
    bool raised = false;
    started.window.onPump = [&](int) {
        if (started.window.waitPumps < 3 || raised) return;
        raised = true;
        started.RaiseExternalStart();
    };
    EXPECT_EQ(started.Mark(), MarkingEnd::Finished);
    EXPECT_EQ(started.Motion(), started.Expected());
    EXPECT_NE(std::find(started.window.events.begin(), started.window.events.end(), "label Waiting for Trigger"),
              started.window.events.end());

    BoardRun stopped("2d:stopinput=5");
    stopped.state.drawing.VectorStream = Zigzag(100000);
    EXPECT_EQ(stopped.Mark(), MarkingEnd::Stopped);
    EXPECT_LT(stopped.Motion().size(), stopped.Expected().size());
    EXPECT_EQ(read_status() & 0x30, 0);
}

TEST(MarkingOnBoard, EndlessRunRepeatsUntilTheOperatorStops) {
    BoardRun run("2d", false);
    run.state.drawing.VectorStream = Zigzag(500);
    run.state.parameters.Scans = 0;
    bool busyWhileWaiting = true;
    run.window.onPump = [&](int) {
        if (run.window.waitPumps == 0) return;
        busyWhileWaiting &= (read_status() & 0x10) != 0;
        if (run.window.waitPumps == 5) run.window.PressStop();
    };
    EXPECT_EQ(run.Mark(), MarkingEnd::Stopped);
    EXPECT_TRUE(busyWhileWaiting);
    EXPECT_EQ(read_status() & 0x30, 0);
}

TEST(MarkingOnBoard, LimitsFrameRepeatsTheCornersWithoutEnd) {
    BoardRun run;
    run.state.drawing.VectorStream = {{Jump, 0, 0}, {Single, 200, 100}};
    run.state.drawing.Bounds = {0, 200, 0, 100};
    run.state.drawing.DrawingCenter = {100, 50};
    run.state.view.ShowLimits = true;
    RefreshLimitsFrame(run.state, BoundLibrary(), run.notifier);
    EXPECT_NE(read_status() & 0x10, 0) << "the frame runs on";
    const Lines motion = run.Motion();
    ASSERT_GE(motion.size(), 80u);
    const Lines corners = {"JUMP 100 -50 0", "JUMP 100 50 0", "JUMP -100 50 0", "JUMP -100 -50 0"};
    for (std::size_t i = 0; i < 80; ++i) EXPECT_EQ(motion[i], corners[i % 4]) << i;

    run.state.view.ShowLimits = false;
    RefreshLimitsFrame(run.state, BoundLibrary(), run.notifier);
    EXPECT_EQ(read_status() & 0x30, 0);
}

} // namespace
} // namespace ondrel
