#include "marking_run.h"

#include <cmath>
#include <cstdlib>
#include <exception>
#include <optional>

#include "checked_number.h"
#include "field_transform.h"
#include "number_text.h"
#include "setting_words.h"
#include "shared_board.h"

namespace ondrel {
namespace {

constexpr std::uint16_t kList1Busy = 0x10;
constexpr std::uint16_t kList2Busy = 0x20;
constexpr std::uint16_t kStartedByExternalStart = 0x02;
constexpr std::uint16_t kStopInput = 0x08;
constexpr std::int32_t kPreambleCommands = 10;

const char* const kEndlessTooLarge = "Drawing too large for endless marking!";

// Thrown at a stop test that finds StopRequested set; the run then takes its stop path.
struct RunStopped {};

// Thrown when a check at the start of the run fails after the output window was shown.
struct RunRefused {
    const char* message;
};

// How a run ended, and the box it shows after it has let go of the board.
struct RunOutcome {
    struct Box {
        MessageKind kind;
        std::string text;
    };
    MarkingEnd end;
    std::optional<Box> box;
};

class MarkingRun {
public:
    MarkingRun(ConverterState& state, SharedBoard& board, Notifier& notifier, RunWindow& window)
        : state_(state), shared_(board), lib_(board), notifier_(notifier), window_(window) {}

    RunOutcome Run();

private:
    void ShowOutputWindow();
    void Preamble(const SettingWords& w);
    void FlyPreamble();
    void WritePasses();
    void WriteRecord(const VectorRecord& record);
    void SwitchLists();
    void StartCurrentList();
    void StartOnTrigger();
    void WaitWhileBusy(std::uint16_t busyBits);
    std::uint16_t ReadStartStop();
    void TestStop() const;
    void Finish();
    void StopPath();
    std::int16_t StartDelay() const { return CheckedInt16(p_.StartDelay / 16); }

    ConverterState& state_;
    SharedBoard& shared_; // for the stop path
    RunBoard lib_;        // a failed transfer ends the run
    Notifier& notifier_;
    RunWindow& window_;

    // Copied when the run starts: the dialogs stay live while the run pumps.
    Parameters p_;
    TransformCoefficients transform_{};
    std::int16_t z_ = 0;

    int currentList_ = 1;
    bool firstStartPending_ = true;
    std::int32_t n_ = 0; // list commands in the current list
    std::uint32_t loopStart_ = 0;
    std::int32_t pass_ = 0;
    std::int64_t done_ = 0;
    std::int64_t step_ = 1;
    std::int64_t shown_ = 0;
};

RunOutcome MarkingRun::Run() {
    ShowOutputWindow();
    try {
        p_ = state_.parameters;
        const FieldTransform field = state_.field;
        if (p_.Scans == 0 && !FitsEndlessRun(p_, state_.VectorCount())) throw RunRefused{kEndlessTooLarge};
        firstStartPending_ = true;
        transform_ = MakeTransform(state_.drawing, field);

        Preamble(SettingWords(p_));
        WritePasses();

        // Tail of the last list.
        lib_.save_and_restart_timer();
        lib_.fly_return(0, 0);
        lib_.write_da_1_list(0);
        lib_.write_8bit_port_list(0);
        lib_.set_end_of_list();
        window_.SetProgress(100);
        window_.Pump();

        StartCurrentList();
        WaitWhileBusy(kList1Busy | kList2Busy);
        // The stop input may have ended the list during the status read that found the board
        // idle: its bit is read once more before the run counts as finished.
        ReadStartStop();
        Finish();
        return {MarkingEnd::Finished, std::nullopt};
    } catch (const RunStopped&) {
        StopPath();
        return {MarkingEnd::Stopped, std::nullopt};
    } catch (const TransferFailed& failure) {
        // What the board marked is not the drawing: no time is shown for it.
        StopPath();
        return {MarkingEnd::Failed, RunOutcome::Box{MessageKind::Error, failure.what()}};
    } catch (const RunRefused& refusal) {
        StopPath();
        return {MarkingEnd::Failed, RunOutcome::Box{MessageKind::Error, refusal.message}};
    } catch (const std::exception& error) {
        StopPath();
        return {MarkingEnd::Failed, RunOutcome::Box{MessageKind::Failure, error.what()}};
    }
}

void MarkingRun::ShowOutputWindow() {
    window_.DisableMainWindow();
    // Cleared before the window can take a Stop, so that a Stop in the first pump counts.
    state_.StopRequested = 0;
    window_.SetLabelStyle(RunLabelStyle::Active);
    window_.SetLabel("Download in progress");
    window_.SetButtonCaption("Stop");
    window_.SetProgress(0);
    window_.ShowOutput();
    window_.Pump();
}

void MarkingRun::Preamble(const SettingWords& w) {
    lib_.clear_list();
    lib_.set_delay_mode(p_.UseVarPolyDelay ? 1 : 0, p_.UseDirectZMove ? 1 : 0, w.edgeLevel, w.minJumpDelay,
                        p_.JumpLengthLimit);
    lib_.set_laser_mode(p_.LaserMode);
    lib_.set_standby(w.standbyPeriod, w.standbyPulse);
    currentList_ = 1;
    lib_.set_start_list_1();
    if (p_.LaserMode != 0) lib_.set_firstpulse_killer(w.firstPulseKiller);
    lib_.set_wobbel(p_.WobbelAmpl, static_cast<double>(p_.WobbelFreq));
    lib_.set_jump_speed(static_cast<double>(p_.JumpSpeed));
    lib_.set_mark_speed(static_cast<double>(p_.MarkSpeed));
    lib_.set_laser_timing(w.outputPeriod, w.pulse1, w.pulse2, 1);
    lib_.set_scanner_delays(w.jumpDelay, w.markDelay, w.polyDelay);
    lib_.write_da_1_list(w.analog);
    lib_.write_8bit_port_list(p_.EightBitPort);
    n_ = kPreambleCommands;
    lib_.set_max_counts(1);
    z_ = p_.ZPlaneEnabled ? RoundedInt16(p_.ZCalibration * p_.ZPosition) : 0;

    n_ += SendLampDelay(lib_, w.lampDelay);

    FlyPreamble();
    lib_.get_startstop_info(); // clears what the bits held before this run (see ReadStartStop)
    lib_.save_and_restart_timer();
    ++n_;

    loopStart_ = lib_.get_input_pointer();
    done_ = 0;
    const std::int64_t records = p_.Scans == 0 ? std::int64_t{state_.VectorCount()}
                                               : std::int64_t{p_.Scans} * state_.VectorCount();
    step_ = records / 100;
    if (step_ <= 0) step_ = 1;
    shown_ = 0;
    pass_ = 0;
}

void MarkingRun::FlyPreamble() {
    if (!p_.EnableMOF) {
        lib_.simulate_encoder(0);
        lib_.set_ext_start_delay(0, 0);
        return;
    }
    if (p_.SimulateEncoderX) {
        lib_.simulate_encoder(1);
        lib_.set_ext_start_delay(StartDelay(), 0);
    } else if (p_.SimulateEncoderY) {
        lib_.simulate_encoder(2);
        lib_.set_ext_start_delay(StartDelay(), 1);
    } else {
        lib_.simulate_encoder(0);
        if (std::fabs(p_.Ky) > 0.1)
            lib_.set_ext_start_delay(StartDelay(), 1);
        else if (std::fabs(p_.Kx) > 0.1)
            lib_.set_ext_start_delay(StartDelay(), 0);
    }
    lib_.set_fly_x(p_.Kx);
    lib_.set_fly_y(p_.Ky);
}

void MarkingRun::WritePasses() {
    const std::vector<VectorRecord>& stream = state_.drawing.VectorStream;
    do {
        if (p_.Scans != 0) ++pass_;
        // An endless run writes its one pass as the first pass of a finite run.
        const std::int16_t laserOn =
            p_.Scans == 0 ? p_.LaserOnDelay
                          : RoundedInt16(p_.LaserOnDelay + std::nearbyint((pass_ - 1.0) * p_.LaserOnShift));
        lib_.set_laser_delays(laserOn, p_.LaserOffDelay);
        ++n_;
        for (const VectorRecord& record : stream) {
            if (n_ > kListCommandLimit) SwitchLists();
            WriteRecord(record);
            TestStop();
        }
    } while (p_.Scans > pass_);
    if (p_.Scans == 0) lib_.set_list_jump(loopStart_);
}

void MarkingRun::WriteRecord(const VectorRecord& record) {
    const BoardPoint at = BoardBits(transform_, record.x, record.y);
    if (record.kind == Jump)
        lib_.jump_abs_3d(at.x, at.y, z_);
    else if (record.kind <= ChainEnd)
        lib_.mark_abs_3d(at.x, at.y, z_);
    ++n_;
    ++done_;
    const std::int64_t percent = done_ / step_;
    if (percent != shown_) {
        shown_ = percent;
        window_.SetProgress(static_cast<int>(percent));
        window_.Pump();
    }
}

void MarkingRun::SwitchLists() {
    lib_.set_end_of_list();
    StartCurrentList();
    if (currentList_ == 1) {
        WaitWhileBusy(kList2Busy);
        lib_.set_start_list_2();
    } else {
        WaitWhileBusy(kList1Busy);
        lib_.set_start_list_1();
    }
    currentList_ = 3 - currentList_;
    n_ = 0;
}

// Starts the list just closed: at once, after the other list (auto change) while that one
// still runs, or by the external start the first time list 1 goes. The board's stop input
// is read right before the start, so that no list starts after it rose.
void MarkingRun::StartCurrentList() {
    if (currentList_ == 1 && firstStartPending_ && p_.ExtStart) {
        StartOnTrigger();
        return;
    }
    const bool otherListBusy = lib_.read_status() & (currentList_ == 1 ? kList2Busy : kList1Busy);
    ReadStartStop();
    if (otherListBusy) {
        lib_.auto_change();
    } else if (currentList_ == 2) {
        lib_.execute_list_2();
    } else {
        window_.SetLabel("Laser active!");
        lib_.execute_list_1();
    }
}

// Enables the external start and waits for it. The first read counts like every later
// one: a board whose external start comes as soon as it is enabled reports it there.
void MarkingRun::StartOnTrigger() {
    window_.SetLabel("Waiting for Trigger");
    ReadStartStop();
    lib_.set_control_mode(1);
    while (!(ReadStartStop() & kStartedByExternalStart)) window_.WaitPump();
    window_.SetLabel("Laser active!");
    firstStartPending_ = false;
    window_.Pump();
}

void MarkingRun::WaitWhileBusy(std::uint16_t busyBits) {
    do {
        window_.WaitPump();
        ReadStartStop();
    } while (lib_.read_status() & busyBits);
}

// One read of the start and stop bits: the board's stop input stops the run, as does the
// operator's Stop. The bits are cleared by the read, so every read of the run acts on them,
// but for the preamble's: it clears what they held from before the run.
std::uint16_t MarkingRun::ReadStartStop() {
    const std::uint16_t info = lib_.get_startstop_info();
    if (info & kStopInput) state_.StopRequested = 1;
    TestStop();
    return info;
}

void MarkingRun::TestStop() const {
    if (state_.StopRequested != 0) throw RunStopped{};
}

void MarkingRun::Finish() {
    lib_.set_control_mode(0);
    lib_.stop_execution();
    // Read before the window changes: a failed read ends the run without a time.
    const double seconds = lib_.get_time();
    state_.StopRequested = 1;
    window_.SetLabelStyle(RunLabelStyle::Result);
    window_.SetLabel("Marking Time = " + MarkingTimeText(seconds) + " Seconds");
    window_.SetButtonCaption("OK");
    notifier_.Beep();
    if (window_.ShowLimitsChecked()) {
        window_.UncheckShowLimits();
        window_.RedrawView();
    }
}

void MarkingRun::StopPath() {
    StopAndPark(shared_, notifier_);
    window_.UncheckShowLimits();
    window_.CloseOutput();
    window_.RedrawView();
}

} // namespace

bool FitsEndlessRun(const Parameters& parameters, std::int32_t vectorCount) {
    // The last record is written at n = 12 + lamp pieces + its index: preamble, lamp delays,
    // timer restart and pass header come first.
    const std::int32_t lampPieces = LampDelayPieces(std::int32_t{parameters.LampDelay} * 100);
    const std::int64_t lastCount = std::int64_t{11} + lampPieces + vectorCount;
    return lastCount <= kListCommandLimit;
}

std::string MarkingTimeText(double seconds) { return FormatFixed(seconds - 0.00001, 5, 3); }

MarkingEnd StartMarking(ConverterState& state, SharedBoard& library, Notifier& notifier, RunWindow& window) {
    if (state.RunInProgress) return MarkingEnd::Refused;
    if (state.CorrectionLoaded == 0) {
        notifier.Show(MessageKind::Error, std::string(kNotReady) + "\rPlease load a Correction File");
        return MarkingEnd::Refused;
    }
    if (state.VectorCount() <= 0) return MarkingEnd::Refused;
    if (state.parameters.Scans == 0 && !FitsEndlessRun(state.parameters, state.VectorCount())) {
        notifier.Show(MessageKind::Error, kEndlessTooLarge);
        return MarkingEnd::Refused;
    }
    RunInProgressScope running(state);
    // Also ends a running limits frame.
    library.set_control_mode(0);
    library.stop_execution();
    if (library.usb_status() != 0) return MarkingEnd::Abandoned;
    const RunOutcome outcome = MarkingRun(state, library, notifier, window).Run();
    // The run has let go of the board: the windows that poll it behind the box get its answers.
    if (outcome.box) notifier.Show(outcome.box->kind, outcome.box->text);
    return outcome.end;
}

} // namespace ondrel
