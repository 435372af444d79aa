// The marking run and the limits frame through the library's exports into a simulated board
// that executes its lists: what the head does is the transformed drawing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <fstream>
#include <memory>
#include <sstream>

#include "../core/fake_run_window.h"
#include "../core/fakes.h"
#include "field_transform.h"
#include "io_interface.h"
#include "library_binding.h"
#include "limits_frame.h"
#include "marking_run.h"
#include "quarnel4.h"
#include "sim/list_firmware.h"
#include "sim/sim_motion.h"
#include "sim_bus.h"
#include "system_status.h"

namespace ondrel {
namespace {

using fakes::FakeRunWindow;
using fakes::RecordingNotifier;
using fakes::TappedLibrary;
using Lines = std::vector<std::string>;

class BoardRun {
public:
    // The head's motion is kept unless `motion` is false, the packets only when `wire` is set.
    explicit BoardRun(const std::string& config = "2d", bool motion = true, bool wire = false)
        : bus_(config, wire) {
        state.CorrectionLoaded = 1;
        state.field.FieldGain = 1.0f;
        state.drawing.DrawingScale = 1.0f;
        // An endless list gives the host its turn sooner.
        EntriesPerTransfer(20000);
        if (!motion) return;
        motionPath_ = bus_.directory() + "/motion.txt";
        auto file = std::make_shared<quarnel::sim::MotionFile>();
        EXPECT_TRUE(file->open(motionPath_));
        bus_.board(1).with_lock([&](quarnel::sim::SimBoard& board) {
            dynamic_cast<quarnel::sim::ListFirmware&>(board.firmware()).set_motion_file(file);
        });
    }
    MarkingEnd Mark() { return StartMarking(state, board, notifier, window); }
    Lines Motion() const {
        Lines lines;
        std::ifstream in(motionPath_);
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }
    // What the head must do for the drawing: every record transformed, pass after pass.
    Lines Expected(int passes = 1) const {
        const TransformCoefficients transform = MakeTransform(state.drawing, state.field);
        Lines lines;
        lines.reserve(static_cast<std::size_t>(passes) * state.drawing.VectorStream.size());
        for (int pass = 0; pass < passes; ++pass)
            for (const VectorRecord& r : state.drawing.VectorStream) {
                if (r.kind > ChainEnd) continue;
                const BitPoint p = MapPoint(transform, r.x, r.y);
                char line[32];
                std::snprintf(line, sizeof line, "%s %d %d 0", r.kind == Jump ? "JUMP" : "MARK", p.x, p.y);
                lines.emplace_back(line);
            }
        return lines;
    }
    // Under the board's lock.
    quarnel::sim::ListFirmware& Firmware() {
        return dynamic_cast<quarnel::sim::ListFirmware&>(bus_.board(1).firmware());
    }
    // At most this many list entries run at each transfer.
    void EntriesPerTransfer(std::uint64_t entries) {
        bus_.board(1).with_lock([&](quarnel::sim::SimBoard&) { Firmware().set_entries_per_transfer(entries); });
    }
    void RaiseExternalStart() {
        bus_.board(1).with_lock([&](quarnel::sim::SimBoard&) { Firmware().raise_external_start(); });
    }
    bool ListRuns() {
        bool runs = false;
        bus_.board(1).with_lock([&](quarnel::sim::SimBoard&) { runs = Firmware().executor().busy(); });
        return runs;
    }
    void RaiseStopInput() {
        bus_.board(1).with_lock([&](quarnel::sim::SimBoard&) { Firmware().raise_stop_input(); });
    }
    // Pipe transfers so far, and one of them (counted from 1) made to fail or time out, as the
    // board's fail_transfer and timeout_transfer keys do.
    std::uint64_t Transfers() { return bus_.board(1).transfers(); }
    void FailTransfer(std::uint64_t number, bool timeOut = false) { bus_.board(1).fail_transfer(number, timeOut); }
    // List entries the library holds for its next write.
    std::uint32_t WaitingEntries() { return bus_.slot(1).batch_count; }
    // The board's 16 outputs, as the I/O window writes them.
    std::uint16_t OutputWord() {
        std::uint16_t word = 0;
        bus_.board(1).with_lock([&](quarnel::sim::SimBoard&) { word = Firmware().executor().outputs().io_port; });
        return word;
    }
    // Every transfer so far, as the packet trace writes it (a run with `wire`).
    Lines Wire() { return bus_.wire(); }

    ConverterState state;
    RecordingNotifier notifier;
    FakeRunWindow window{state};
    TappedLibrary tap{BoundLibrary()};    // the calls that reach the library
    TappedLibrary checks{BoundLibrary()}; // and the shared board's checks around them
    SharedBoard board{tap, checks};

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

// Zigzag(count) whose first `silent` records are of a kind that sends nothing: they count
// toward the list limit as the others do, but the board has only the rest to take and run.
std::vector<VectorRecord> ZigzagAfterSilence(std::size_t silent, std::size_t count) {
    std::vector<VectorRecord> records = Zigzag(count);
    for (std::size_t i = 0; i < silent; ++i) records[i].kind = ChainEnd + 1;
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

    // A board whose external start comes as soon as it is enabled: the run sees it at once.
    BoardRun atOnce("2d:extstart=1");
    atOnce.state.drawing.VectorStream = Zigzag(1000);
    atOnce.state.parameters.ExtStart = true;
    atOnce.window.onPump = [&](int) {
        if (atOnce.window.waitPumps == 100) atOnce.window.PressStop(); // rather than wait for ever
    };
    EXPECT_EQ(atOnce.Mark(), MarkingEnd::Finished);
    EXPECT_EQ(atOnce.Motion(), atOnce.Expected());
    EXPECT_EQ(atOnce.window.label.rfind("Marking Time = ", 0), 0u);

    BoardRun stopped("2d:stopinput=5");
    stopped.state.drawing.VectorStream = Zigzag(100000);
    EXPECT_EQ(stopped.Mark(), MarkingEnd::Stopped);
    EXPECT_LT(stopped.Motion().size(), stopped.Expected().size());
    EXPECT_EQ(read_status() & 0x30, 0);
}

// A single failed transfer anywhere from the first list command to the timer read: the run
// takes its stop path and shows the box, never a marking time.
TEST(MarkingOnBoard, EveryFailedTransferEndsInTheStopPathAndTheBox) {
    struct Drawing {
        const char* name;
        std::size_t records;
        int scans;
        std::size_t silent;         // leading records that send nothing (ZigzagAfterSilence)
        std::uint64_t perTransfer;  // list entries the board runs at each transfer
    };
    // The small drawing fails at every transfer of its run, and once for good in the middle
    // (the board is gone: its stop path must still end); the one of two lists around the
    // switch (the first wait pump waits in it), around the start of the last list (the first
    // wait pump after the full bar waits for it) and at the end. Of the two lists' records
    // only the last five thousand or so send, after whole batches of seven silent ones, so
    // that the transfers fall as for a drawing that sends them all; the board runs them slowly
    // enough that list 1 still runs when list 2 is started.
    const std::size_t twoLists = kListCommandLimit + 10;
    for (const Drawing& drawing : {Drawing{"two passes", 40, 2, 0, 20000},
                                   Drawing{"two lists", twoLists, 1, (twoLists - 5000) / 7 * 7, 200}}) {
        SCOPED_TRACE(drawing.name);
        const std::vector<VectorRecord> records = ZigzagAfterSilence(drawing.silent, drawing.records);
        auto prepare = [&](BoardRun& run) {
            run.state.drawing.VectorStream = records;
            run.state.parameters.Scans = drawing.scans;
            run.EntriesPerTransfer(drawing.perTransfer);
        };
        // A run without a failure tells where its transfers fall.
        std::uint64_t shown = 0, switchWait = 0, lastWait = 0, last = 0;
        {
            BoardRun clean("2d", false);
            prepare(clean);
            int waits = 0;
            bool autoChange = false;
            clean.tap.before = [&](std::string_view call) { autoChange |= call == "auto_change"; };
            clean.window.onPump = [&](int pump) {
                if (pump == 1) shown = clean.Transfers(); // the first check lies behind
                if (clean.window.waitPumps == waits) return;
                if (++waits == 1) switchWait = clean.Transfers();
                if (clean.window.progress == 100 && lastWait == 0) lastWait = clean.Transfers();
            };
            ASSERT_EQ(clean.Mark(), MarkingEnd::Finished);
            last = clean.Transfers(); // the timer read is the last
            ASSERT_EQ(autoChange, drawing.records > kListCommandLimit) << "the last list follows the other";
        }
        struct Failing {
            std::uint64_t first, last; // transfers that fail
        };
        std::vector<Failing> failing;
        if (drawing.records < 100) {
            for (std::uint64_t n = shown + 1; n <= last; ++n) failing.push_back({n, n});
            failing.push_back({(shown + last) / 2, last + 1000});
        } else {
            ASSERT_LT(switchWait, lastWait);
            for (std::uint64_t around : {switchWait, lastWait})
                for (std::uint64_t n = around - 8; n <= around + 6; ++n) failing.push_back({n, n});
            for (std::uint64_t n = last - 6; n <= last; ++n) failing.push_back({n, n});
        }
        for (const Failing& f : failing) {
            SCOPED_TRACE(testing::Message() << "transfers " << f.first << " to " << f.last << " of " << shown
                                            << ".." << last);
            BoardRun run("2d", false);
            prepare(run);
            for (std::uint64_t n = f.first; n <= f.last; ++n) run.FailTransfer(n);
            EXPECT_EQ(run.Mark(), MarkingEnd::Failed);
            ASSERT_EQ(run.notifier.boxes.size(), 1u);
            EXPECT_EQ(run.notifier.boxes[0].kind, MessageKind::Error);
            EXPECT_EQ(run.notifier.boxes[0].text, "Quarnel not Ready!");
            EXPECT_EQ(run.window.label.rfind("Marking Time", 0), std::string::npos);
            EXPECT_FALSE(run.window.shown);
            EXPECT_TRUE(run.window.mainEnabled);
            EXPECT_EQ(read_status() & 0x30, 0) << "the stop path stopped the board, or it is gone";
        }
    }
}

// A failed or timed-out transfer from the first command after the initial status test through
// the first list batches, under settings whose preambles differ in length: exchanges then
// follow partly filled batches and write them first. The run ends in the stop path and the
// box, never with a time.
TEST(MarkingOnBoard, EveryFailedTransferOfThePreambleUnderEachSettingEndsInTheBox) {
    struct Fly {
        const char* name;
        bool on;
        double kx, ky;
    };
    const Fly flies[] = {{"no fly", false, 0, 0}, {"Kx 0.5", true, 0.5, 0}, {"Ky 0.25", true, 0, 0.25}};
    for (const std::uint16_t laserMode : {0, 1, 2})
        for (const std::uint16_t lampDelay : {0, 650, 1300})
            for (const Fly& fly : flies) {
                SCOPED_TRACE(testing::Message() << "LaserMode " << laserMode << ", LampDelay " << lampDelay << ", "
                                                << fly.name);
                auto prepare = [&](BoardRun& run) {
                    run.state.drawing.VectorStream = Zigzag(300);
                    Parameters& p = run.state.parameters;
                    p.LaserMode = laserMode;
                    p.LampDelay = lampDelay;
                    p.EnableMOF = fly.on;
                    p.Kx = fly.kx;
                    p.Ky = fly.ky;
                };
                // Where the transfers fall: the first check lies behind the first pump, and
                // 10 % of the drawing is 30 records, four or five batches.
                std::uint64_t shown = 0, batches = 0;
                {
                    BoardRun clean("2d", false);
                    prepare(clean);
                    clean.window.onPump = [&](int pump) {
                        if (pump == 1) shown = clean.Transfers();
                        if (clean.window.progress == 10 && batches == 0) batches = clean.Transfers();
                    };
                    ASSERT_EQ(clean.Mark(), MarkingEnd::Finished);
                }
                for (std::uint64_t n = shown + 1; n <= batches; ++n)
                    for (const bool timeOut : {false, true}) {
                        SCOPED_TRACE(testing::Message() << "transfer " << n << (timeOut ? " times out" : " fails"));
                        BoardRun run("2d", false);
                        prepare(run);
                        run.FailTransfer(n, timeOut);
                        ASSERT_EQ(run.Mark(), MarkingEnd::Failed);
                        ASSERT_EQ(run.notifier.boxes.size(), 1u);
                        EXPECT_EQ(run.notifier.boxes[0].text, "Quarnel not Ready!");
                        EXPECT_FALSE(run.window.shown);
                    }
            }
}

// The System Status and I/O windows poll the board while the run pumps. A poll that writes
// the run's waiting entries first and fails there ends the run, although its own exchange
// would have gone through.
TEST(MarkingOnBoard, AFailedListWriteInAnotherWindowsPollEndsTheRun) {
    for (const fakes::WindowPoll& window : fakes::kWindowPolls) {
        int withWaitingEntries = 0;
        for (int percent = 1; percent < 100; ++percent) {
            SCOPED_TRACE(testing::Message() << window.window << " at " << percent << " %");
            BoardRun run("2d", false);
            run.state.drawing.VectorStream = Zigzag(2000);
            bool waiting = false;
            run.window.onPump = [&](int) {
                if (run.window.progress != percent || run.window.waitPumps > 0) return;
                waiting = run.WaitingEntries() > 0;
                run.FailTransfer(run.Transfers() + 1);
                window.poll(run.board);
            };
            const MarkingEnd end = run.Mark();
            if (!waiting) continue; // the poll's own exchange failed; the lists are whole
            ++withWaitingEntries;
            EXPECT_EQ(end, MarkingEnd::Failed);
            ASSERT_EQ(run.notifier.boxes.size(), 1u);
            EXPECT_EQ(run.notifier.boxes[0].text, "Quarnel not Ready!");
            EXPECT_EQ(run.window.label.rfind("Marking Time", 0), std::string::npos);
        }
        EXPECT_GT(withWaitingEntries, 80);
    }
}

// The System Status and I/O windows after a transfer of the run failed: before the run has
// noticed, and while its box is up. What they show is what the board answers, and an output
// click reaches the board.
TEST(MarkingOnBoard, OtherWindowsGetTheBoardsAnswersAfterAFailedTransfer) {
    BoardRun run("2d:inputs=165:head=0xC800", false);
    run.state.drawing.VectorStream = Zigzag(2000);
    int polls = 0;
    auto pollTheWindows = [&](std::uint16_t output) {
        SCOPED_TRACE(testing::Message() << "poll " << ++polls);
        StatusLabels status;
        RefreshHeadStatus(status, run.board);
        EXPECT_EQ(status.L6 + status.L7 + status.L8 + status.L9, "OKOKOKNOK");
        EXPECT_EQ(OutputWord(ReadInputs(run.board)), 165);
        IoLines outputs{};
        outputs[static_cast<std::size_t>(output)] = true;
        EXPECT_TRUE(WriteOutputs(outputs, run.board));
        EXPECT_EQ(run.OutputWord(), 1 << output);
    };
    run.window.onPump = [&](int) {
        if (run.window.progress != 50 || polls > 0) return;
        run.FailTransfer(run.Transfers() + 1);
        run.board.read_status(); // as a window's exchange would: the run ends at its next call
        pollTheWindows(1);
    };
    run.notifier.whileShown = [&] { pollTheWindows(3); };
    EXPECT_EQ(run.Mark(), MarkingEnd::Failed);
    ASSERT_EQ(run.notifier.boxes.size(), 1u);
    EXPECT_EQ(polls, 2);
}

// The stop input rises while the board runs the last list, just before the status read that
// then finds the board idle: the run reads the bits once more and takes its stop path.
TEST(MarkingOnBoard, StopInputThatEndsTheLastListIsNeverAFinishedRun) {
    BoardRun run;
    run.state.drawing.VectorStream = Zigzag(100000);
    int statusReads = 0;
    run.tap.before = [&](std::string_view call) {
        // The last list's start reads the status once, the final wait reads it next.
        if (call != "read_status" || run.window.progress != 100 || ++statusReads != 2) return;
        ASSERT_TRUE(run.ListRuns());
        run.RaiseStopInput();
    };
    EXPECT_EQ(run.Mark(), MarkingEnd::Stopped);
    EXPECT_EQ(run.window.label.rfind("Marking Time", 0), std::string::npos);
    EXPECT_LT(run.Motion().size(), run.Expected().size());
}

// The checks of a run move the write of waiting entries from inside an exchange to just
// before it: the packets on the wire are those of the run's own calls made without them.
TEST(MarkingOnBoard, TheChecksLeaveThePacketsAsTheyWere) {
    auto prepare = [](BoardRun& run) {
        run.state.drawing.VectorStream = Zigzag(300);
        Parameters& p = run.state.parameters;
        p.Scans = 2;
        p.LaserMode = 1;
        p.LampDelay = 650;
        p.EnableMOF = true;
        p.Kx = 0.5;
    };
    Lines checked, plain;
    std::vector<std::function<void(QuarnelLibrary&)>> calls;
    {
        BoardRun run("2d", false, true);
        prepare(run);
        run.tap.keep = run.checks.keep = true;
        ASSERT_EQ(run.Mark(), MarkingEnd::Finished);
        checked = run.Wire();
        calls = run.tap.again;
        EXPECT_GT(std::count(run.checks.names.begin(), run.checks.names.end(), "get_input_pointer"), 10);
    }
    {
        BoardRun replay("2d", false, true);
        for (const auto& call : calls) call(BoundLibrary());
        plain = replay.Wire();
    }
    ASSERT_GT(checked.size(), 100u);
    EXPECT_TRUE(checked == plain) << checked.size() << " packets checked, " << plain.size() << " plain";
}

// The stop input rising while a list is filled: the list is not started after it.
TEST(MarkingOnBoard, StopInputBeforeAListStartsKeepsItUnmarked) {
    const std::size_t records = kListCommandLimit + 5000;
    // List 1 holds the records after the ten preamble commands, the timer restart and the pass
    // header; all but its last 5000 send nothing.
    const std::size_t inList1 = kListCommandLimit - 11;
    const struct {
        const char* name;
        int atPercent; // the progress pump at which the input rises
        std::size_t marked;
    } cases[] = {{"while list 1 is filled", 50, 0}, {"when list 2 is full", 100, 5000}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        BoardRun run;
        run.state.drawing.VectorStream = ZigzagAfterSilence(inList1 - 5000, records);
        bool raised = false;
        run.window.onPump = [&](int) {
            if (run.window.progress != c.atPercent || raised) return;
            raised = true;
            run.RaiseStopInput();
        };
        EXPECT_EQ(run.Mark(), MarkingEnd::Stopped);
        const Lines motion = run.Motion();
        ASSERT_EQ(motion.size(), c.marked);
        EXPECT_TRUE(std::equal(motion.begin(), motion.end(), run.Expected().begin()));
        EXPECT_EQ(read_status() & 0x30, 0);
    }
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
    RefreshLimitsFrame(run.state, run.board, run.notifier);
    EXPECT_NE(read_status() & 0x10, 0) << "the frame runs on";
    const Lines motion = run.Motion();
    ASSERT_GE(motion.size(), 80u);
    const Lines corners = {"JUMP 100 -50 0", "JUMP 100 50 0", "JUMP -100 50 0", "JUMP -100 -50 0"};
    for (std::size_t i = 0; i < 80; ++i) EXPECT_EQ(motion[i], corners[i % 4]) << i;

    run.state.view.ShowLimits = false;
    RefreshLimitsFrame(run.state, run.board, run.notifier);
    EXPECT_EQ(read_status() & 0x30, 0);
}

// A transfer of the frame that fails: Show Limits is unchecked, the beam parked, one box.
TEST(MarkingOnBoard, LimitsFrameWithAFailedTransferEndsUnchecked) {
    auto frame = [](BoardRun& run) {
        run.state.drawing.VectorStream = {{Jump, 0, 0}, {Single, 200, 100}};
        run.state.drawing.Bounds = {0, 200, 0, 100};
        run.state.drawing.DrawingCenter = {100, 50};
        run.state.view.ShowLimits = true;
        RefreshLimitsFrame(run.state, run.board, run.notifier);
    };
    std::uint64_t first = 0, last = 0;
    {
        BoardRun clean("2d", false);
        first = clean.Transfers() + 1;
        frame(clean);
        last = clean.Transfers();
        ASSERT_TRUE(clean.state.view.ShowLimits);
    }
    for (std::uint64_t n = first; n <= last; ++n) {
        SCOPED_TRACE(testing::Message() << "transfer " << n << " of " << first << ".." << last);
        BoardRun run("2d", false);
        run.FailTransfer(n);
        frame(run);
        EXPECT_FALSE(run.state.view.ShowLimits);
        ASSERT_EQ(run.notifier.boxes.size(), 1u);
        EXPECT_EQ(run.notifier.boxes[0].kind, MessageKind::Error);
        EXPECT_EQ(run.notifier.boxes[0].text, "Quarnel not Ready!");
        EXPECT_EQ(read_status() & 0x30, 0) << "no frame runs";
    }
}

} // namespace
} // namespace ondrel
