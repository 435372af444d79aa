#include "point_grid.h"

#include <cmath>
#include <exception>
#include <numbers>
#include <utility>
#include <vector>

#include "checked_number.h"
#include "field_transform.h"
#include "setting_words.h"
#include "shared_board.h"

namespace ondrel {
namespace {

constexpr std::uint16_t kListsBusy = 0x30; // list 1 or list 2 busy
constexpr int kMarksPerRing = 30;

// Where the dots go and how each is filled, the same for every dot.
struct GridPlan {
    std::vector<std::int16_t> centres; // of columns (x) and rows (y) alike, most negative first
    std::vector<std::pair<double, double>> marks; // offsets from the centre, in marking order

    explicit GridPlan(const Parameters& p) {
        const double cal = p.GridCalibration;
        const double pitch = cal * p.GridDistance;
        for (int k = 0; k < p.GridPoints; ++k) centres.push_back(RoundedInt16(pitch * (k - (p.GridPoints - 1) / 2.0)));

        const std::int64_t rings = GridRingCount(p.GridDotDiameter, p.GridFocusDiameter);
        const double step = (p.GridDotDiameter - p.GridFocusDiameter) * cal / 2 / static_cast<double>(rings);
        auto mark = [&](int i, std::int64_t ring) {
            const double a = i / static_cast<double>(kMarksPerRing) * 2 * std::numbers::pi;
            const double j = static_cast<double>(ring);
            marks.emplace_back(std::nearbyint(std::cos(a) * j * step), std::nearbyint(std::sin(a) * j * step));
        };
        marks.reserve(static_cast<std::size_t>(rings) * kMarksPerRing + 1);
        for (std::int64_t j = 1; j <= rings; ++j)
            for (int i = 1; i <= kMarksPerRing; ++i) mark(i, j);
        // One mark past the full turn on the outer ring repeats that ring's first segment.
        mark(kMarksPerRing + 1, rings);
    }
};

// Pumps until the board has left both lists or the operator stopped; true when stopped.
bool WaitForLists(ConverterState& state, QuarnelLibrary& library, RunWindow& run) {
    do {
        run.WaitPump();
    } while ((library.read_status() & kListsBusy) != 0 && state.StopRequested == 0);
    return state.StopRequested != 0;
}

void SendSetupList(const Parameters& p, const SettingWords& w, QuarnelLibrary& library) {
    library.set_delay_mode(p.UseVarPolyDelay ? 1 : 0, 0, 65500, 0, 0);
    library.set_laser_mode(p.LaserMode);
    library.set_standby(w.standbyPeriod, w.standbyPulse);
    library.set_start_list_1();
    if (p.LaserMode != 0) library.set_firstpulse_killer(w.firstPulseKiller);
    library.set_jump_speed(p.JumpSpeed);
    library.set_mark_speed(p.MarkSpeed);
    library.set_laser_timing(w.outputPeriod, w.pulse1, w.pulse2, 1);
    library.set_laser_delays(p.LaserOnDelay, p.LaserOffDelay);
    library.set_scanner_delays(w.jumpDelay, w.markDelay, w.polyDelay);
    library.write_da_1_list(w.analog);
    library.write_8bit_port_list(p.EightBitPort);
    SendLampDelay(library, w.lampDelay);
    library.set_end_of_list();
    library.execute_list_1();
}

// One dot's list, executed; true when the operator stopped during its wait.
bool MarkDot(std::int16_t x, std::int16_t y, const GridPlan& plan, ConverterState& state, QuarnelLibrary& library,
             RunWindow& run) {
    library.set_start_list_1();
    library.jump_abs(x, y);
    for (const auto& [dx, dy] : plan.marks) library.mark_abs(RoundedInt16(x + dx), RoundedInt16(y + dy));
    library.set_end_of_list();
    library.execute_list_1();
    return WaitForLists(state, library, run);
}

// After the last dot or a Stop: the head to (0, 0) with the outputs off, as one list. Checked
// like the dots, so that its list is started only when all of it was written: a failed write
// must not start what list 1 held before. Its wait has no stop test of its own, but a Stop (or
// closing the output window) while it waits ends it, so that a board which never leaves the
// end list cannot keep the main window disabled.
void EndSequence(ConverterState& state, QuarnelLibrary& board, RunWindow& run) {
    const bool outputShown = state.StopRequested == 0;
    board.stop_execution();
    board.set_start_list_1();
    board.jump_abs(0, 0);
    board.write_da_1_list(0);
    board.write_8bit_port_list(0);
    board.set_end_of_list();
    board.execute_list_1();
    do {
        run.WaitPump();
    } while ((board.read_status() & kListsBusy) != 0 && !(outputShown && state.StopRequested != 0));
}

void CloseRunWindows(RunWindow& run, const std::function<void()>& closeGridWindow) {
    run.CloseOutput();
    if (closeGridWindow) closeGridWindow();
    // The run stopped a limits frame that may have been running: its check mark goes too.
    if (run.ShowLimitsChecked()) run.UncheckShowLimits();
    run.RedrawView();
}

} // namespace

std::int64_t GridRingCount(double dotDiameter, double focusDiameter) {
    return static_cast<std::int64_t>(std::trunc(0.5 * dotDiameter / focusDiameter)) + 1;
}

std::optional<std::string> GridCheckFailure(const Parameters& p) {
    const double dot = p.GridDotDiameter, focus = p.GridFocusDiameter;
    if ((p.GridPoints - 1) * p.GridDistance + dot > 65530.0 / p.GridCalibration) return "Too many Points!";
    if (1.1 * dot > p.GridDistance) return "Points too tightly packed!";
    if (dot < focus) return "Point diameter too small!";
    // A jump, the rings' marks, the closing mark and the end of the list.
    if (kMarksPerRing * GridRingCount(dot, focus) + 3 > kGridListEntries) return "Laser focus too small!";
    return std::nullopt;
}

void RunPointGrid(ConverterState& state, SharedBoard& library, Notifier& notifier, RunWindow& run,
                  const std::function<void()>& closeGridWindow) {
    const Parameters& p = state.parameters;
    const SettingWords words(p);
    const GridPlan plan(p);
    RunInProgressScope inProgress(state);

    run.DisableMainWindow();
    run.SetLabelStyle(RunLabelStyle::Active);
    run.SetLabel("Laser active!");
    run.SetButtonCaption("Stop");
    run.ShowOutput();
    state.StopRequested = 0;
    bool transferFailed = false;
    std::exception_ptr error;
    try {
        RunBoard board(library);
        board.set_control_mode(0);
        board.stop_execution();
        SendSetupList(p, words, board);
        bool stopped = WaitForLists(state, board, run);
        for (std::size_t m = 0; m < plan.centres.size() && !stopped; ++m)
            for (std::size_t k = 0; k < plan.centres.size() && !stopped; ++k)
                stopped = MarkDot(plan.centres[k], plan.centres[m], plan, state, board, run);
        EndSequence(state, board, run);
    } catch (const TransferFailed&) {
        transferFailed = true;
    } catch (...) {
        error = std::current_exception();
    }
    // The run has let go of the board; what failed ends as a marking run does.
    if (transferFailed || error) StopAndPark(library, notifier);
    CloseRunWindows(run, closeGridWindow);
    if (transferFailed) notifier.Show(MessageKind::Error, kNotReady);
    if (error) std::rethrow_exception(error);
}

} // namespace ondrel
