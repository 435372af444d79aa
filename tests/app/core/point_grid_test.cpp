#include "point_grid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <stdexcept>

#include "fake_run_window.h"
#include "fakes.h"
#include "grid_dialog.h"
#include "number_text.h"

namespace ondrel {
namespace {

using fakes::FakeLibrary;
using fakes::FakeRunWindow;
using fakes::RecordingNotifier;

// The five fields as typed.
GridDialogTexts Typed(const std::string& n, const std::string& cal, const std::string& dist, const std::string& dot,
                      const std::string& focus) {
    return {n, cal, dist, dot, focus};
}

Parameters Grid(std::uint16_t n, std::uint16_t cal, double dist, double dot, double focus) {
    Parameters p;
    p.GridPoints = n;
    p.GridCalibration = cal;
    p.GridDistance = dist;
    p.GridDotDiameter = dot;
    p.GridFocusDiameter = focus;
    return p;
}

TEST(GridDialog, ShowsTheFieldsInTheirFormats) {
    const GridDialogTexts t = FillGridDialog(Parameters{});
    EXPECT_EQ(t.Points, "30");
    EXPECT_EQ(t.Calibration, "550");
    EXPECT_EQ(t.Distance, "3.5");
    EXPECT_EQ(t.DotDiameter, "1.8");
    EXPECT_EQ(t.FocusDiameter, "0.2");
}

TEST(GridDialog, StrictBoundsAndRoundedCounts) {
    const struct {
        GridEdit edit;
        const char* text;
        bool accepted;
        double stored;
    } cases[] = {
        {GridEdit::Points, "1", false, 0},        {GridEdit::Points, "1.4", true, 1},
        {GridEdit::Points, "50.5", true, 50},     {GridEdit::Points, "51", false, 0},
        {GridEdit::Points, "2 ", false, 0},       {GridEdit::Calibration, "10", false, 0},
        {GridEdit::Calibration, "10.4", true, 10}, {GridEdit::Calibration, "5000", true, 5000},
        {GridEdit::Calibration, "5001", false, 0}, {GridEdit::Distance, "0.9", false, 0},
        {GridEdit::Distance, "100.5", true, 100.5}, {GridEdit::Distance, "101", false, 0},
        {GridEdit::DotDiameter, "0.1", false, 0},  {GridEdit::DotDiameter, "1e1", true, 10},
        {GridEdit::FocusDiameter, "0.001", false, 0}, {GridEdit::FocusDiameter, "0.0015", true, 0.0015},
        {GridEdit::FocusDiameter, "11", false, 0}, {GridEdit::FocusDiameter, "abc", false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        Parameters p;
        const Parameters before = p;
        GridDialogTexts typed = FillGridDialog(p);
        std::string* fields[] = {&typed.Points, &typed.Calibration, &typed.Distance, &typed.DotDiameter,
                                 &typed.FocusDiameter};
        *fields[static_cast<int>(c.edit)] = c.text;
        RecordingNotifier notifier;
        const std::vector<GridEdit> rejected = AcceptGridDialog(typed, p, notifier);
        const double stored[] = {double(p.GridPoints), double(p.GridCalibration), p.GridDistance,
                                 p.GridDotDiameter, p.GridFocusDiameter};
        const double old[] = {double(before.GridPoints), double(before.GridCalibration), before.GridDistance,
                              before.GridDotDiameter, before.GridFocusDiameter};
        EXPECT_EQ(rejected.empty(), c.accepted);
        EXPECT_EQ(notifier.beeps, c.accepted ? 0 : 1);
        EXPECT_EQ(stored[static_cast<int>(c.edit)], c.accepted ? c.stored : old[static_cast<int>(c.edit)]);
    }
}

TEST(GridDialog, TwoRejectedFieldsOneBeepValidOnesStored) {
    Parameters p;
    RecordingNotifier notifier;
    const auto rejected = AcceptGridDialog(Typed("x", "600", "4", "-1", "0.3"), p, notifier);
    EXPECT_EQ(rejected, (std::vector<GridEdit>{GridEdit::Points, GridEdit::DotDiameter}));
    EXPECT_EQ(notifier.beeps, 1);
    EXPECT_EQ(p.GridPoints, 30);
    EXPECT_EQ(p.GridCalibration, 600);
    EXPECT_EQ(p.GridDistance, 4);
    EXPECT_EQ(p.GridDotDiameter, 1.8);
    EXPECT_EQ(p.GridFocusDiameter, 0.3);
}

TEST(PointGrid, ChecksWithTheirBoundaries) {
    const double packed = 1.1 * 5.0; // the distance at which dots of 5 mm just fit
    const struct {
        const char* name;
        Parameters p;
        const char* failure; // nullptr: all checks pass
    } cases[] = {
        {"defaults", Parameters{}, nullptr},
        {"grid exactly as wide as the field", Grid(21, 32, 100, 47.8125, 0.2), nullptr},
        {"grid wider than the field", Grid(21, 32, 100, 47.8126, 0.2), "Too many Points!"},
        {"dots exactly as far apart as they are wide", Grid(2, 550, packed, 5, 0.2), nullptr},
        {"dots overlapping", Grid(2, 550, std::nextafter(packed, 0.0), 5, 0.2), "Points too tightly packed!"},
        {"dot as small as the focus", Grid(2, 550, 3.5, 0.2, 0.2), nullptr},
        {"dot smaller than the focus", Grid(2, 550, 3.5, 0.19, 0.2), "Point diameter too small!"},
        {"16666 rings fill list 1 up to 499983 entries", Grid(2, 100, 80, 16665.0 / 256, 1.0 / 512), nullptr},
        {"16667 rings outgrow list 1", Grid(2, 100, 80, 16666.0 / 256, 1.0 / 512), "Laser focus too small!"},
        {"a ring count beyond 16 bits", Grid(1, 550, 100, 90, 0.0011), "Laser focus too small!"},
        {"the first failed check is the one shown", Grid(50, 5000, 3.5, 0.1, 0.2), "Too many Points!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<std::string> failure = GridCheckFailure(c.p);
        if (c.failure)
            EXPECT_EQ(failure, c.failure);
        else
            EXPECT_FALSE(failure.has_value()) << *failure;
    }
    EXPECT_EQ(GridRingCount(90, 0.0011), 40910);
}

// A grid run over the fake board, started by "Mark" with the texts shown for `p`.
struct GridRun {
    explicit GridRun(Parameters p) {
        state.parameters = p;
        state.CorrectionLoaded = 1;
    }
    GridMarkResult Mark() { return Mark(FillGridDialog(state.parameters)); }
    GridMarkResult Mark(const GridDialogTexts& typed) {
        return GridMarkClick(typed, state, board, notifier, run, [this] { run.events.push_back("close grid"); });
    }
    // The commands from the first one named `name` on.
    std::vector<std::string> CallsFrom(const std::string& name, std::size_t count) const {
        const std::vector<std::string>& commands = library.calls;
        auto first = std::find(commands.begin(), commands.end(), name);
        std::vector<std::string> found(first, commands.end());
        found.resize(std::min(found.size(), count));
        return found;
    }

    ConverterState state;
    FakeLibrary library;
    SharedBoard board{library, library.CheckPort()};
    RecordingNotifier notifier;
    FakeRunWindow run{state};
};

const std::vector<std::string> kEndSequence = {
    "stop_execution()", "set_start_list_1()", "jump_abs(0,0)", "write_da_1_list(0)", "write_8bit_port_list(0)",
    "set_end_of_list()", "execute_list_1()", "read_status()",
};

std::vector<std::string> Tail(const std::vector<std::string>& calls, std::size_t n) {
    return {calls.end() - static_cast<std::ptrdiff_t>(std::min(n, calls.size())), calls.end()};
}

TEST(PointGrid, SetUpListThenOneListPerDot) {
    Parameters p;
    p.GridPoints = 2;
    p.LaserMode = 1;
    p.LampDelay = 1300;
    GridRun g(p);
    EXPECT_TRUE(g.Mark().ran);

    const std::vector<std::string> setup = {
        "set_control_mode(0)", "stop_execution()", "set_delay_mode(0,0,65500,0,0)", "set_laser_mode(1)",
        "set_standby(0,0)", "set_start_list_1()", "set_firstpulse_killer(40)", "set_jump_speed(1000)",
        "set_mark_speed(100)", "set_laser_timing(400,40,40,1)", "set_laser_delays(100,100)",
        "set_scanner_delays(50,20,10)", "write_da_1_list(0)", "write_8bit_port_list(0)", "long_delay(65000)",
        "long_delay(65000)", "set_end_of_list()", "execute_list_1()", "read_status()",
        "set_start_list_1()", "jump_abs(-962,-962)", "mark_abs(-876,-944)"};
    EXPECT_EQ(g.CallsFrom("set_control_mode(0)", setup.size()), setup);

    // 5 rings of radius 88 to 440 Bit, 30 marks each, and the 31st mark past the full turn.
    const auto dot = g.CallsFrom("jump_abs(-962,-962)", 155);
    EXPECT_EQ(dot[30], "mark_abs(-874,-962)");  // ring 1 closes at 360 degrees
    EXPECT_EQ(dot[150], "mark_abs(-522,-962)"); // ring 5 closes
    EXPECT_EQ(dot[151], "mark_abs(-532,-871)"); // 12 degrees past it on ring 5
    EXPECT_EQ(dot[152], "set_end_of_list()");
    EXPECT_EQ(dot[153], "execute_list_1()");
    EXPECT_EQ(dot[154], "read_status()");
    EXPECT_EQ(g.library.CallsNamed("mark_abs").size(), 4u * 151u);
    EXPECT_EQ(g.library.CallsNamed("jump_abs"),
              (std::vector<std::string>{"jump_abs(-962,-962)", "jump_abs(962,-962)", "jump_abs(-962,962)",
                                        "jump_abs(962,962)", "jump_abs(0,0)"}));
    EXPECT_EQ(Tail(g.library.calls, kEndSequence.size()), kEndSequence);
}

TEST(PointGrid, DefaultGridReachesTheOuterDotsAtHalvesToEven) {
    GridRun g(Parameters{});
    g.Mark();
    const auto jumps = g.library.CallsNamed("jump_abs");
    ASSERT_EQ(jumps.size(), 30u * 30u + 1u);
    EXPECT_EQ(jumps[0], "jump_abs(-27912,-27912)");
    EXPECT_EQ(jumps[1], "jump_abs(-25988,-27912)");
    EXPECT_EQ(jumps[29], "jump_abs(27912,-27912)");
    EXPECT_EQ(jumps[30], "jump_abs(-27912,-25988)");
    EXPECT_EQ(jumps[899], "jump_abs(27912,27912)");
}

TEST(PointGrid, OneDotOnTheCentreAndADotAsSmallAsTheFocus) {
    GridRun g(Grid(2, 550, 3.5, 1.8, 0.2));
    g.Mark(Typed("1.4", "550", "3.5", "0.2", "0.2"));
    EXPECT_EQ(g.state.parameters.GridPoints, 1);
    const auto marks = g.library.CallsNamed("mark_abs");
    EXPECT_EQ(marks, std::vector<std::string>(31, "mark_abs(0,0)"));
    EXPECT_EQ(g.library.CallsNamed("jump_abs"), (std::vector<std::string>{"jump_abs(0,0)", "jump_abs(0,0)"}));
}

TEST(PointGrid, OutputWindowAndRunFlagsAroundTheRun) {
    Parameters p;
    p.GridPoints = 2;
    GridRun g(p);
    g.run.progress = 37;
    g.run.showLimits = true;
    bool seen = false;
    g.run.onPump = [&](int) {
        if (seen) return;
        seen = true;
        EXPECT_EQ(g.state.StopRequested, 0);
        EXPECT_TRUE(g.state.RunInProgress);
        EXPECT_FALSE(g.run.mainEnabled);
    };
    g.Mark();
    EXPECT_TRUE(seen);
    EXPECT_EQ(g.run.events,
              (std::vector<std::string>{"disable", "style active", "label Laser active!", "button Stop", "show",
                                        "close", "close grid", "uncheck limits", "redraw"}));
    EXPECT_TRUE(g.run.progressSteps.empty()); // the bar stays where the last run left it
    EXPECT_EQ(g.state.StopRequested, 1);
    EXPECT_FALSE(g.state.RunInProgress);
    EXPECT_TRUE(g.run.mainEnabled);
}

TEST(PointGrid, WaitsWhileTheBoardIsBusy) {
    Parameters p;
    p.GridPoints = 2;
    GridRun g(p);
    g.library.status_replies = {0x10, 0x20, 0x10, 0};
    g.Mark();
    EXPECT_EQ(g.run.waitPumps, 4 + 4 + 1); // set-up list, four dots, end sequence
    EXPECT_EQ(g.run.waitPumps, g.run.pumps);
}

TEST(PointGrid, StopEndsTheRunAtItsNextWait) {
    // Each list is done at once; the pumps are the set-up wait, then one per dot.
    const struct {
        int stopAtPump;
        std::size_t dotsSent;
    } cases[] = {{1, 0}, {2, 1}, {3, 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stopAtPump);
        Parameters p;
        p.GridPoints = 2;
        GridRun g(p);
        g.run.onPump = [&](int pump) {
            if (pump == c.stopAtPump) {
                g.run.PressStop();
                g.library.status_default = 0x10; // the list the operator stopped is still running
            }
            if (pump == c.stopAtPump + 3) g.library.status_default = 0;
        };
        g.Mark();
        EXPECT_EQ(g.library.CallsNamed("jump_abs").size(), c.dotsSent + 1);
        // The end wait goes on without a stop test until the board has left the lists.
        EXPECT_EQ(Tail(g.library.calls, 10),
                  (std::vector<std::string>{"stop_execution()", "set_start_list_1()", "jump_abs(0,0)",
                                            "write_da_1_list(0)", "write_8bit_port_list(0)", "set_end_of_list()",
                                            "execute_list_1()", "read_status()", "read_status()", "read_status()"}));
        EXPECT_EQ(g.run.events.back(), "redraw");
        EXPECT_FALSE(g.state.RunInProgress);
    }
}

// Once the dots are done, the operator's Stop ends the end sequence's wait too: a board that
// never leaves the end list cannot keep the main window disabled.
TEST(PointGrid, StopEndsTheEndWaitOfABoardThatNeverLeavesIt) {
    Parameters p;
    p.GridPoints = 2;
    GridRun g(p);
    g.run.onPump = [&](int pump) {
        if (pump == 6) g.library.status_default = 0x10; // the end sequence's first wait
        if (pump == 20) g.run.PressStop();
        if (pump == 1000) throw std::runtime_error("the end wait goes on");
    };
    EXPECT_NO_THROW(g.Mark());
    EXPECT_EQ(g.run.pumps, 20);
    EXPECT_EQ(g.library.CallsNamed("jump_abs").back(), "jump_abs(0,0)");
    EXPECT_TRUE(g.run.mainEnabled);
    EXPECT_FALSE(g.state.RunInProgress);
}

TEST(PointGrid, AnErrorDuringTheRunParksTheHeadFirst) {
    Parameters p;
    p.GridPoints = 2;
    GridRun g(p);
    g.run.onPump = [](int pump) {
        if (pump == 2) throw std::runtime_error("window gone");
    };
    EXPECT_THROW(g.Mark(), std::runtime_error);
    EXPECT_EQ(g.library.CallsNamed("jump_abs").size(), 1u);
    EXPECT_EQ(Tail(g.library.calls, fakes::kStopPath.size()), fakes::kStopPath);
    EXPECT_EQ(g.run.events.back(), "redraw");
    EXPECT_EQ(g.state.StopRequested, 1);
    EXPECT_FALSE(g.state.RunInProgress);
}

TEST(PointGrid, MarkDoesNothingWhileARunIsInProgress) {
    GridRun g(Parameters{});
    g.state.RunInProgress = true;
    const GridMarkResult result = g.Mark(Typed("2", "x", "4", "1", "0.1"));
    EXPECT_FALSE(result.ran);
    EXPECT_TRUE(result.rejected.empty());
    EXPECT_EQ(g.state.parameters.GridPoints, 30); // nothing stored
    EXPECT_EQ(g.notifier.beeps, 0);
    EXPECT_TRUE(g.library.calls.empty());
    EXPECT_TRUE(g.run.events.empty());
}

TEST(PointGrid, MarkInsideARunningGridIsRefused) {
    Parameters p;
    p.GridPoints = 2;
    GridRun g(p);
    g.run.onPump = [&](int pump) {
        if (pump == 1) {
            EXPECT_FALSE(g.Mark(Typed("3", "550", "3.5", "1.8", "0.2")).ran);
        }
    };
    g.Mark();
    EXPECT_EQ(g.state.parameters.GridPoints, 2);
    EXPECT_EQ(g.library.CallsNamed("jump_abs").size(), 5u);
}

TEST(PointGrid, RefusedBeforeAnyBoardTraffic) {
    const struct {
        const char* name;
        GridDialogTexts typed;
        std::uint8_t correction;
        int boxes, beeps;
    } cases[] = {
        {"a rejected field", Typed("2", "550", "0.9", "1.8", "0.2"), 1, 0, 1},
        {"a failed check", Typed("2", "550", "3.5", "0.15", "0.2"), 1, 1, 0},
        {"no correction file", Typed("2", "550", "3.5", "1.8", "0.2"), 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        GridRun g(Parameters{});
        g.state.CorrectionLoaded = c.correction;
        EXPECT_FALSE(g.Mark(c.typed).ran);
        EXPECT_TRUE(g.library.calls.empty());
        EXPECT_TRUE(g.run.events.empty());
        EXPECT_EQ(static_cast<int>(g.notifier.boxes.size()), c.boxes);
        EXPECT_EQ(g.notifier.beeps, c.beeps);
        if (c.boxes) {
            EXPECT_EQ(g.notifier.boxes[0].kind, MessageKind::Error);
        }
        EXPECT_FALSE(g.state.RunInProgress);
    }
}

} // namespace
} // namespace ondrel
