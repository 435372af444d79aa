// The marking run against a recording board and a recording output window: what reaches the
// board, in which order, and what the operator sees.
#include <gtest/gtest.h>

#include <algorithm>

#include "fake_run_window.h"
#include "fakes.h"
#include "marking_run.h"

namespace ondrel {
namespace {

using fakes::FakeLibrary;
using fakes::FakeRunWindow;
using fakes::RecordingNotifier;
using Calls = std::vector<std::string>;

// A run in progress on a drawing in bits: scale 1, centre 0, gain 1, no offsets.
struct MarkingJob {
    MarkingJob() {
        state.CorrectionLoaded = 1;
        state.field.FieldGain = 1.0f;
        state.drawing.DrawingScale = 1.0f;
        Draw({{Jump, 10, 20}, {Single, 30.5f, -40}, {ChainStart, 31.5f, 0}, {ChainEnd, -32767, 32767}});
    }
    void Draw(std::vector<VectorRecord> records) { state.drawing.VectorStream = std::move(records); }
    MarkingEnd Start() { return StartMarking(state, board, notifier, window); }

    // The commands from the first one named `from` (inclusive) to the first `to` after it
    // (exclusive).
    Calls Between(const std::string& from, const std::string& to) const {
        const Calls& commands = library.calls;
        auto begin = std::find_if(commands.begin(), commands.end(),
                                  [&](const std::string& c) { return c.rfind(from, 0) == 0; });
        auto end = std::find_if(begin, commands.end(), [&](const std::string& c) { return c.rfind(to, 0) == 0; });
        return Calls(begin, end);
    }
    Calls Tail(std::size_t count) const {
        const Calls& commands = library.calls;
        const std::size_t n = std::min(count, commands.size());
        return Calls(commands.end() - static_cast<std::ptrdiff_t>(n), commands.end());
    }

    ConverterState state;
    FakeLibrary library;
    SharedBoard board{library, library.CheckPort()};
    RecordingNotifier notifier;
    FakeRunWindow window{state};
};

using fakes::kStopPath;

TEST(MarkingRun, RefusalsBeforeAnyBoardTraffic) {
    MarkingJob noCorrection;
    noCorrection.state.CorrectionLoaded = 0;
    EXPECT_EQ(noCorrection.Start(), MarkingEnd::Refused);
    ASSERT_EQ(noCorrection.notifier.boxes.size(), 1u);
    EXPECT_EQ(noCorrection.notifier.boxes[0].kind, MessageKind::Error);
    EXPECT_EQ(noCorrection.notifier.boxes[0].text, "Quarnel not Ready!\rPlease load a Correction File");

    MarkingJob empty;
    empty.Draw({});
    EXPECT_EQ(empty.Start(), MarkingEnd::Refused);

    MarkingJob busy;
    busy.state.RunInProgress = true;
    EXPECT_EQ(busy.Start(), MarkingEnd::Refused);

    for (MarkingJob* run : {&noCorrection, &empty, &busy}) {
        EXPECT_TRUE(run->library.calls.empty());
        EXPECT_TRUE(run->window.events.empty());
        EXPECT_EQ(run->state.StopRequested, 1);
    }
    EXPECT_TRUE(empty.notifier.boxes.empty());
    EXPECT_TRUE(busy.state.RunInProgress);
}

TEST(MarkingRun, BadTransportAfterTheFirstStopEndsSilently) {
    MarkingJob run;
    run.library.transport_status = 0xE000100A;
    EXPECT_EQ(run.Start(), MarkingEnd::Abandoned);
    EXPECT_EQ(run.library.calls, (Calls{"set_control_mode(0)", "stop_execution()", "usb_status()"}));
    EXPECT_TRUE(run.window.events.empty());
    EXPECT_TRUE(run.notifier.boxes.empty());
    EXPECT_FALSE(run.state.RunInProgress);
}

TEST(MarkingRun, FinishedRunSendsPreamblePassTailAndShowsTheTime) {
    MarkingJob run;
    run.library.input_pointer = 14;
    run.library.timer = 12.34567;
    run.window.showLimits = true;
    bool busyDuringRun = false;
    run.window.onPump = [&](int) { busyDuringRun = run.state.RunInProgress && run.state.StopRequested == 0; };
    EXPECT_EQ(run.Start(), MarkingEnd::Finished);
    EXPECT_TRUE(busyDuringRun);
    EXPECT_EQ(run.library.calls,
              (Calls{"set_control_mode(0)", "stop_execution()", "usb_status()",
                     // preamble
                     "clear_list()", "set_delay_mode(0,0,6550,0,0)", "set_laser_mode(0)", "set_standby(0,0)",
                     "set_start_list_1()", "set_wobbel(0,0)", "set_jump_speed(1000)", "set_mark_speed(100)",
                     "set_laser_timing(400,40,40,1)", "set_scanner_delays(50,20,10)", "write_da_1_list(0)",
                     "write_8bit_port_list(0)", "set_max_counts(1)", "simulate_encoder(0)",
                     "set_ext_start_delay(0,0)", "get_startstop_info()", "save_and_restart_timer()",
                     "get_input_pointer()",
                     // one pass; 30.5 and 31.5 round half to even
                     "set_laser_delays(100,100)", "jump_abs_3d(10,20,0)", "mark_abs_3d(30,-40,0)",
                     "mark_abs_3d(32,0,0)", "mark_abs_3d(-32767,32767,0)",
                     // tail, start and wait
                     "save_and_restart_timer()", "fly_return(0,0)", "write_da_1_list(0)", "write_8bit_port_list(0)",
                     "set_end_of_list()", "read_status()", "get_startstop_info()", "execute_list_1()",
                     "get_startstop_info()", "read_status()", "get_startstop_info()",
                     // finish
                     "set_control_mode(0)", "stop_execution()", "get_time()"}));
    EXPECT_EQ(run.window.events,
              (Calls{"disable", "style active", "label Download in progress", "button Stop", "show",
                     "label Laser active!", "style result", "label Marking Time = 12.346 Seconds", "button OK",
                     "uncheck limits", "redraw"}));
    EXPECT_EQ(run.window.progressSteps, (std::vector<int>{0, 1, 2, 3, 4, 100}));
    EXPECT_EQ(run.notifier.beeps, 1);
    EXPECT_TRUE(run.notifier.boxes.empty());
    EXPECT_EQ(run.state.StopRequested, 1);
    EXPECT_FALSE(run.state.RunInProgress);
    EXPECT_FALSE(run.window.mainEnabled) << "the main window waits for OK";
    EXPECT_TRUE(run.window.shown);
}

TEST(MarkingRun, PreambleBranches) {
    struct Case {
        const char* name;
        std::function<void(Parameters&)> set;
        Calls expected; // the preamble from set_start_list_1 to get_startstop_info
    };
    const Calls common = {"set_wobbel(0,0)", "set_jump_speed(1000)", "set_mark_speed(100)",
                          "set_laser_timing(400,40,40,1)", "set_scanner_delays(50,20,10)", "write_da_1_list(0)",
                          "write_8bit_port_list(0)", "set_max_counts(1)"};
    auto with = [&](Calls before, Calls after) {
        Calls all = {"set_start_list_1()"};
        all.insert(all.end(), before.begin(), before.end());
        all.insert(all.end(), common.begin(), common.end());
        all.insert(all.end(), after.begin(), after.end());
        return all;
    };
    const Calls noFly = {"simulate_encoder(0)", "set_ext_start_delay(0,0)"};
    const auto flyOn = [](Parameters& p) {
        p.EnableMOF = true;
        p.StartDelay = -17;
        p.Kx = 5;
        p.Ky = 0.2;
    };
    const std::vector<Case> cases = {
        {"YAG laser", [](Parameters& p) { p.LaserMode = 1; }, with({"set_firstpulse_killer(40)"}, noFly)},
        {"lamp 1300 ms", [](Parameters& p) { p.LampDelay = 1300; },
         with({}, {"long_delay(65000)", "long_delay(65000)", "simulate_encoder(0)", "set_ext_start_delay(0,0)"})},
        {"lamp 1301 ms", [](Parameters& p) { p.LampDelay = 1301; },
         with({}, {"long_delay(65000)", "long_delay(65000)", "long_delay(100)", "simulate_encoder(0)",
                   "set_ext_start_delay(0,0)"})},
        {"encoder x", [&](Parameters& p) { flyOn(p), p.SimulateEncoderX = true, p.SimulateEncoderY = true; },
         with({}, {"simulate_encoder(1)", "set_ext_start_delay(-1,0)", "set_fly_x(5)", "set_fly_y(0.2)"})},
        {"encoder y", [&](Parameters& p) { flyOn(p), p.SimulateEncoderY = true; },
         with({}, {"simulate_encoder(2)", "set_ext_start_delay(-1,1)", "set_fly_x(5)", "set_fly_y(0.2)"})},
        {"real encoders, Ky tested first", flyOn,
         with({}, {"simulate_encoder(0)", "set_ext_start_delay(-1,1)", "set_fly_x(5)", "set_fly_y(0.2)"})},
        {"real encoders, only Kx", [&](Parameters& p) { flyOn(p), p.Ky = -0.1; },
         with({}, {"simulate_encoder(0)", "set_ext_start_delay(-1,0)", "set_fly_x(5)", "set_fly_y(-0.1)"})},
        {"real encoders, no factor", [&](Parameters& p) { flyOn(p), p.Kx = 0.1, p.Ky = 0; },
         with({}, {"simulate_encoder(0)", "set_fly_x(0.1)", "set_fly_y(0)"})},
    };
    for (const Case& c : cases) {
        MarkingJob run;
        c.set(run.state.parameters);
        run.Start();
        EXPECT_EQ(run.Between("set_start_list_1", "get_startstop_info"), c.expected) << c.name;
    }

    MarkingJob lamp60s;
    lamp60s.state.parameters.LampDelay = 60000;
    lamp60s.Start();
    const Calls delays = lamp60s.library.CallsNamed("long_delay");
    ASSERT_EQ(delays.size(), 93u);
    EXPECT_EQ(std::count(delays.begin(), delays.end(), "long_delay(65000)"), 92);
    EXPECT_EQ(delays.back(), "long_delay(20000)");
}

TEST(MarkingRun, PreambleConvertsTheSettingsHalfToEven) {
    MarkingJob run;
    Parameters& p = run.state.parameters;
    p.UseVarPolyDelay = p.UseDirectZMove = true;
    p.EdgeLevel = 65535;  // 6553.5 -> 6554
    p.MinJumpDelay = 25;  // 2.5 -> 2
    p.JumpLengthLimit = 7;
    p.StandByPeriod = 0.625; // 2.5 -> 2
    p.StandByPulseWidth = 0.1875; // 1.5 -> 2
    p.LaserOutputPeriod = 12.5;
    p.Laser1PulseWidth = 0.0625;
    p.Laser2PulseWidth = 8191.875;
    p.JumpDelay = 15; // 1.5 -> 2
    p.MarkDelay = 25; // 2.5 -> 2
    p.PolyDelay = 65535;
    p.DigitalAnalogConverter1 = 100; // 1023
    p.EightBitPort = 255;
    p.WobbelAmpl = 3;
    p.WobbelFreq = 250;
    run.Start();
    EXPECT_EQ(run.Between("set_delay_mode", "set_max_counts"),
              (Calls{"set_delay_mode(1,1,6554,2,7)", "set_laser_mode(0)", "set_standby(2,2)", "set_start_list_1()",
                     "set_wobbel(3,250)", "set_jump_speed(1000)", "set_mark_speed(100)", "set_laser_timing(50,0,65535,1)",
                     "set_scanner_delays(2,2,6554)", "write_da_1_list(1023)", "write_8bit_port_list(255)"}));
}

TEST(MarkingRun, PassesShiftTheLaserOnDelayAndShareTheProgress) {
    MarkingJob run;
    run.state.parameters.Scans = 3;
    run.state.parameters.LaserOnShift = 2.5;
    run.state.parameters.LaserOnDelay = -10;
    run.Draw(std::vector<VectorRecord>(50, VectorRecord{Jump, 1, 1}));
    EXPECT_EQ(run.Start(), MarkingEnd::Finished);
    // r(2.5) = 2, r(5) = 5.
    EXPECT_EQ(run.library.CallsNamed("set_laser_delays"),
              (Calls{"set_laser_delays(-10,100)", "set_laser_delays(-8,100)", "set_laser_delays(-5,100)"}));
    EXPECT_EQ(run.library.CallsNamed("jump_abs_3d").size(), 150u);
    // 150 records: one percent every record, up to 150, then the full bar.
    ASSERT_EQ(run.window.progressSteps.size(), 152u);
    EXPECT_EQ(run.window.progressSteps[1], 1);
    EXPECT_EQ(run.window.progressSteps[150], 150);
    EXPECT_EQ(run.window.progressSteps.back(), 100);
}

TEST(MarkingRun, ProgressPumpsOnlyWhenThePercentChanges) {
    MarkingJob run;
    run.Draw(std::vector<VectorRecord>(1000, VectorRecord{Single, 1, 1}));
    run.Start();
    std::vector<int> expected = {0};
    for (int v = 1; v <= 100; ++v) expected.push_back(v);
    expected.push_back(100);
    EXPECT_EQ(run.window.progressSteps, expected);
    // The first pump, one per percent, the tail's, the final wait's.
    EXPECT_EQ(run.window.pumps, 1 + 100 + 1 + 1);
}

TEST(MarkingRun, KindsAboveFourCountButSendNothing) {
    MarkingJob run;
    run.Draw({{Jump, 1, 2}, {7, 3, 4}, {ChainMiddle, 5, 6}});
    run.Start();
    EXPECT_EQ(run.Between("set_laser_delays", "save_and_restart_timer"),
              (Calls{"set_laser_delays(100,100)", "jump_abs_3d(1,2,0)", "mark_abs_3d(5,6,0)"}));
    EXPECT_EQ(run.window.progressSteps, (std::vector<int>{0, 1, 2, 3, 100}));
}

TEST(MarkingRun, ZPlaneAndTransformOfTheCopiedField) {
    MarkingJob run;
    run.state.parameters.ZPlaneEnabled = true;
    run.state.parameters.ZCalibration = 250;
    run.state.parameters.ZPosition = -1.25;
    run.state.field = {2.0f, 100.0f, -100.0f, true, false, true}; // gain 2, X inverted, flipped
    run.Draw({{Jump, 10, 20}});
    run.Start();
    // Flip: X from y, Y from x; X inverted: X = -2 * 20 + 100.
    EXPECT_EQ(run.library.CallsNamed("jump_abs_3d"), Calls{"jump_abs_3d(60,-80,-312)"});
}

TEST(MarkingRun, DialogsChangedDuringTheRunDoNotReachIt) {
    MarkingJob run;
    run.Draw(std::vector<VectorRecord>(300, VectorRecord{Jump, 10, 20}));
    run.window.onPump = [&](int pump) {
        if (pump != 2) return;
        run.state.parameters.Scans = 0;
        run.state.parameters.LaserOnDelay = 7;
        run.state.parameters.ExtStart = true;
        run.state.field.XYFlip = true;
        run.state.field.FieldGain = 3;
    };
    EXPECT_EQ(run.Start(), MarkingEnd::Finished);
    const Calls jumps = run.library.CallsNamed("jump_abs_3d");
    EXPECT_EQ(jumps.size(), 300u);
    EXPECT_TRUE(std::all_of(jumps.begin(), jumps.end(), [](const std::string& c) { return c == "jump_abs_3d(10,20,0)"; }));
    EXPECT_EQ(run.library.CallsNamed("set_laser_delays"), Calls{"set_laser_delays(100,100)"});
    EXPECT_TRUE(run.library.CallsNamed("set_list_jump").empty());
}

TEST(MarkingRun, OperatorStopTakesTheStopPath) {
    struct Case {
        const char* name;
        int stopAtPump;
        std::size_t recordsSent;
    };
    // Pump 1 is the output window's first; pump k + 1 follows record k.
    for (const Case& c : {Case{"in the first pump", 1, 1}, Case{"after the third record", 4, 3}}) {
        MarkingJob run;
        run.window.showLimits = true;
        run.Draw(std::vector<VectorRecord>(50, VectorRecord{Single, 1, 1}));
        run.window.onPump = [&](int pump) {
            if (pump == c.stopAtPump) run.window.PressStop();
        };
        EXPECT_EQ(run.Start(), MarkingEnd::Stopped) << c.name;
        EXPECT_EQ(run.library.CallsNamed("mark_abs_3d").size(), c.recordsSent) << c.name;
        EXPECT_EQ(run.Tail(5), kStopPath) << c.name;
        EXPECT_EQ(run.notifier.beeps, 1);
        EXPECT_TRUE(run.notifier.boxes.empty());
        const Calls lastEvents(run.window.events.end() - 3, run.window.events.end());
        EXPECT_EQ(lastEvents, (Calls{"uncheck limits", "close", "redraw"})) << c.name;
        EXPECT_EQ(run.state.StopRequested, 1);
        EXPECT_FALSE(run.state.RunInProgress);
        EXPECT_TRUE(run.window.mainEnabled);
    }
}

TEST(MarkingRun, EndlessRunRepeatsItsPassUntilStopped) {
    MarkingJob run;
    run.state.parameters.Scans = 0;
    run.state.parameters.LaserOnShift = 3;
    run.library.input_pointer = 12;
    run.library.status_default = 0x10; // list 1 runs without end
    run.window.onPump = [&](int) {
        if (run.window.waitPumps == 50) run.window.PressStop();
    };
    EXPECT_EQ(run.Start(), MarkingEnd::Stopped);
    EXPECT_EQ(run.library.CallsNamed("set_laser_delays"), Calls{"set_laser_delays(100,100)"});
    EXPECT_EQ(run.Between("set_list_jump", "fly_return"), (Calls{"set_list_jump(12)", "save_and_restart_timer()"}));
    EXPECT_EQ(run.window.waitPumps, 50);
    EXPECT_EQ(run.Tail(5), kStopPath);
    EXPECT_TRUE(run.library.CallsNamed("get_time").empty());
}

TEST(MarkingRun, EndlessRunMustFitInOneList) {
    Parameters p;
    p.LampDelay = 1300; // two long delays
    EXPECT_TRUE(FitsEndlessRun(p, 490000 - 13));
    EXPECT_FALSE(FitsEndlessRun(p, 490000 - 12));
    p.LampDelay = 0;
    EXPECT_TRUE(FitsEndlessRun(p, 490000 - 11));
    EXPECT_FALSE(FitsEndlessRun(p, 490000 - 10));

    MarkingJob run;
    run.state.parameters.Scans = 0;
    run.Draw(std::vector<VectorRecord>(490000 - 10, VectorRecord{Jump, 0, 0}));
    EXPECT_EQ(run.Start(), MarkingEnd::Refused);
    EXPECT_TRUE(run.library.calls.empty());
    ASSERT_EQ(run.notifier.boxes.size(), 1u);
    EXPECT_EQ(run.notifier.boxes[0].text, "Drawing too large for endless marking!");
}

TEST(MarkingRun, ExternalStartWaitsForTheTriggerOnce) {
    MarkingJob run;
    run.state.parameters.ExtStart = true;
    // The preamble's read, the read before enabling, the first read after it, one wait, then
    // the trigger.
    run.library.startstop_replies = {0, 0, 0, 0, 0x02};
    EXPECT_EQ(run.Start(), MarkingEnd::Finished);
    EXPECT_EQ(run.Between("set_end_of_list", "set_control_mode(0)"),
              (Calls{"set_end_of_list()", "get_startstop_info()", "set_control_mode(1)", "get_startstop_info()",
                     "get_startstop_info()", "get_startstop_info()", "get_startstop_info()", "read_status()",
                     "get_startstop_info()"}));
    EXPECT_EQ(run.window.events[5], "label Waiting for Trigger");
    EXPECT_EQ(run.window.events[6], "label Laser active!");
}

TEST(MarkingRun, StopInputEndsTheTriggerWaitAndTheFinalWait) {
    MarkingJob trigger;
    trigger.state.parameters.ExtStart = true;
    trigger.library.startstop_replies = {0, 0, 0, 0x08};
    EXPECT_EQ(trigger.Start(), MarkingEnd::Stopped);
    EXPECT_EQ(trigger.Tail(6), (Calls{"get_startstop_info()", "stop_execution()", "write_da_1(0)", "write_8bit_port(0)",
                                       "set_control_mode(0)", "goto_xyz(0,0,0)"}));

    MarkingJob marking;
    marking.library.status_default = 0x10;
    // The preamble's read, the read before the start, two waits, then the stop input.
    marking.library.startstop_replies = {0, 0, 0, 0, 0x08};
    EXPECT_EQ(marking.Start(), MarkingEnd::Stopped);
    EXPECT_EQ(marking.window.waitPumps, 3);
    EXPECT_EQ(marking.Tail(5), kStopPath);
}

TEST(MarkingRun, FailuresAfterTheWindowOpensTakeTheStopPathBeforeTheBox) {
    struct Case {
        const char* name;
        std::function<void(MarkingJob&)> set;
        MessageKind kind;
        const char* text;
    };
    const std::vector<Case> cases = {
        {"a stand-by period past the board word", [](MarkingJob& r) { r.state.parameters.StandByPeriod = 16384; },
         MessageKind::Failure, "Range check error"},
        {"a point outside the field", [](MarkingJob& r) { r.Draw({{Jump, 0, 0}, {Single, 40000, 0}}); },
         MessageKind::Failure, "Range check error"},
        {"a laser-on shift past 16 bits", [](MarkingJob& r) {
             r.state.parameters.Scans = 2;
             r.state.parameters.LaserOnShift = 40000;
         },
         MessageKind::Failure, "Range check error"},
        {"a start delay past 16 bits", [](MarkingJob& r) {
             r.state.parameters.EnableMOF = r.state.parameters.SimulateEncoderX = true;
             r.state.parameters.StartDelay = 16 * 32768;
         },
         MessageKind::Failure, "Range check error"},
        {"transfers that failed during the run", [](MarkingJob& r) {
             r.window.onPump = [&r](int pump) {
                 if (pump == 3) r.library.transport_status = 0xE0001102;
             };
         },
         MessageKind::Error, "Quarnel not Ready!"},
    };
    for (const Case& c : cases) {
        MarkingJob run;
        c.set(run);
        EXPECT_EQ(run.Start(), MarkingEnd::Failed) << c.name;
        EXPECT_EQ(run.Tail(5), kStopPath) << c.name;
        ASSERT_EQ(run.notifier.boxes.size(), 1u) << c.name;
        EXPECT_EQ(run.notifier.boxes[0].kind, c.kind) << c.name;
        EXPECT_EQ(run.notifier.boxes[0].text, c.text) << c.name;
        EXPECT_EQ(run.window.events.back(), "redraw") << c.name;
        EXPECT_FALSE(run.window.shown) << c.name;
        EXPECT_TRUE(run.library.CallsNamed("get_time").empty()) << c.name;
        EXPECT_FALSE(run.state.RunInProgress) << c.name;
        EXPECT_EQ(run.state.StopRequested, 1) << c.name;
    }
}

TEST(MarkingRun, ListsAlternateWhenTheCountPassesTheLimit) {
    MarkingJob run;
    // 10 preamble commands, the timer restart and the pass header come before the records. All
    // but the last three of list 1 are of a kind that sends nothing but counts.
    const std::size_t inList1 = kListCommandLimit - 11;
    std::vector<VectorRecord> records(inList1 + 3, VectorRecord{7, 0, 0});
    std::fill(records.end() - 6, records.end(), VectorRecord{Jump, 0, 0});
    run.Draw(records);
    // List 1 still busy when list 2 is closed; then the board leaves it.
    run.library.status_replies = {0, 0, 0x10, 0x10, 0};
    EXPECT_EQ(run.Start(), MarkingEnd::Finished);
    // List 1 is closed and started after its last record; list 2 takes the rest.
    EXPECT_EQ(run.Between("set_laser_delays", "save_and_restart_timer"),
              (Calls{"set_laser_delays(100,100)", "jump_abs_3d(0,0,0)", "jump_abs_3d(0,0,0)", "jump_abs_3d(0,0,0)",
                     "set_end_of_list()", "read_status()", "get_startstop_info()", "execute_list_1()",
                     "get_startstop_info()", "read_status()", "set_start_list_2()", "jump_abs_3d(0,0,0)",
                     "jump_abs_3d(0,0,0)", "jump_abs_3d(0,0,0)"}));
    EXPECT_EQ(run.Tail(13), (Calls{"write_8bit_port_list(0)", "set_end_of_list()", "read_status()",
                                   "get_startstop_info()", "auto_change()", "get_startstop_info()", "read_status()",
                                   "get_startstop_info()", "read_status()", "get_startstop_info()",
                                   "set_control_mode(0)", "stop_execution()", "get_time()"}));
}

TEST(MarkingRun, MarkingTimeText) {
    EXPECT_EQ(MarkingTimeText(12.34567), "12.346");
    EXPECT_EQ(MarkingTimeText(1234.5678), "1234.600");
    EXPECT_EQ(MarkingTimeText(0.00001), "0.000");
    EXPECT_EQ(MarkingTimeText(123456.7), "1.2346E+05");
}

} // namespace
} // namespace ondrel
