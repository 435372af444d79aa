#include "marking_run.h"

#include <cmath>
#include <cstdlib>
#include <exception>

#include "checked_number.h"
#include "field_transform.h"
#include "number_text.h"
#include "setting_words.h"

namespace ondrel {
namespace {

constexpr std::uint16_t kList1Busy = 0x10;
constexpr std::uint16_t kList2Busy = 0x20;
constexpr std::uint16_t kStartedByExternalStart = 0x02;
constexpr std::uint16_t kStopInput = 0x08;
constexpr std::int32_t kPreambleCommands = 10;

const char* const kNotReady = "Quarnel not Ready!";
const char* const kEndlessTooLarge = "Drawing too large for endless marking!";

// Thrown at a stop test that finds StopRequested set; the run then takes its stop path.
struct RunStopped {};

// Thrown when a check at the start of the run fails after the output window was shown.
struct RunRefused {
    const char* message;
};

class MarkingRun {
public:
    MarkingRun(ConverterState& state, QuarnelLibrary& library, Notifier& notifier, RunWindow& window)
        : state_(state), lib_(library), notifier_(notifier), window_(window) {}

    MarkingEnd Run();

private:
    void ShowOutputWindow();
    void Preamble(const SettingWords& w);
    void FlyPreamble();
    void WritePasses();
    void WriteRecord(const VectorRecord& record);
    void SwitchLists();
    void StartLastList();
    void WaitForTrigger();
    void WaitWhileBusy(std::uint16_t busyBits);
    void TestStop() const;
    void Finish();
    void StopPath();
    std::int16_t StartDelay() const { return CheckedInt16(p_.StartDelay / 16); }

    ConverterState& state_;
    QuarnelLibrary& lib_;
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

MarkingEnd MarkingRun::Run() {
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

        StartLastList();
        do {
            window_.WaitPump();
            if (lib_.get_startstop_info() & kStopInput) state_.StopRequested = 1;
            TestStop();
        } while (lib_.read_status() & (kList1Busy | kList2Busy));

        // A run whose transfers failed has not marked what it reports.
        if (lib_.usb_status() != 0) throw RunRefused{kNotReady};
        Finish();
        return MarkingEnd::Finished;
    } catch (const RunStopped&) {
        StopPath();
        return MarkingEnd::Stopped;
    } catch (const RunRefused& refusal) {
        StopPath();
        notifier_.Show(MessageKind::Error, refusal.message);
    } catch (const std::exception& error) {
        StopPath();
        notifier_.Show(MessageKind::Failure, error.what());
    }
    return MarkingEnd::Failed;
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
    lib_.get_startstop_info();
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
    const DrawingPoint at = TransformPoint(transform_, record.x, record.y);
    const std::int16_t x = RoundedInt16(at.x);
    const std::int16_t y = RoundedInt16(at.y);
    if (record.kind == Jump)
        lib_.jump_abs_3d(x, y, z_);
    else if (record.kind <= ChainEnd)
        lib_.mark_abs_3d(x, y, z_);
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
    if (currentList_ == 1) {
        if (firstStartPending_ && p_.ExtStart) {
            lib_.set_control_mode(1);
            window_.SetLabel("Waiting for Trigger");
            WaitForTrigger();
            window_.SetLabel("Laser active!");
            window_.Pump();
            firstStartPending_ = false;
        } else if (lib_.read_status() & kList2Busy) {
            lib_.auto_change();
        } else {
            window_.SetLabel("Laser active!");
            lib_.execute_list_1();
        }
        WaitWhileBusy(kList2Busy);
        lib_.set_start_list_2();
    } else {
        if (lib_.read_status() & kList1Busy)
            lib_.auto_change();
        else
            lib_.execute_list_2();
        WaitWhileBusy(kList1Busy);
        lib_.set_start_list_1();
    }
    currentList_ = 3 - currentList_;
    n_ = 0;
}

void MarkingRun::StartLastList() {
    if (currentList_ == 2) {
        if (lib_.read_status() & kList1Busy)
            lib_.auto_change();
        else
            lib_.execute_list_2();
        return;
    }
    if (firstStartPending_ && p_.ExtStart) {
        window_.SetLabel("Waiting for Trigger");
        lib_.set_control_mode(1);
        lib_.get_startstop_info();
        WaitForTrigger();
        window_.SetLabel("Laser active!");
        firstStartPending_ = false;
        window_.Pump();
    } else if (lib_.read_status() & kList2Busy) {
        lib_.auto_change();
    } else {
        window_.SetLabel("Laser active!");
        lib_.execute_list_1();
    }
}

void MarkingRun::WaitForTrigger() {
    std::uint16_t info = 0;
    do {
        window_.WaitPump();
        info = lib_.get_startstop_info();
        if (info & kStopInput) state_.StopRequested = 1;
        TestStop();
    } while (!(info & kStartedByExternalStart));
}

void MarkingRun::WaitWhileBusy(std::uint16_t busyBits) {
    do {
        window_.WaitPump();
        if (lib_.get_startstop_info() & kStopInput) state_.StopRequested = 1;
        TestStop();
    } while (lib_.read_status() & busyBits);
}

void MarkingRun::TestStop() const {
    if (state_.StopRequested != 0) throw RunStopped{};
}

void MarkingRun::Finish() {
    lib_.set_control_mode(0);
    lib_.stop_execution();
    state_.StopRequested = 1;
    window_.SetLabelStyle(RunLabelStyle::Result);
    window_.SetLabel("Marking Time = " + MarkingTimeText(lib_.get_time()) + " Seconds");
    window_.SetButtonCaption("OK");
    notifier_.Beep();
    if (window_.ShowLimitsChecked()) {
        window_.UncheckShowLimits();
        window_.RedrawView();
    }
}

void MarkingRun::StopPath() {
    lib_.stop_execution();
    lib_.write_da_1(0);
    lib_.write_8bit_port(0);
    lib_.set_control_mode(0);
    notifier_.Beep();
    lib_.goto_xyz(0, 0, 0);
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

MarkingEnd StartMarking(ConverterState& state, QuarnelLibrary& library, Notifier& notifier, RunWindow& window) {
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
    return MarkingRun(state, library, notifier, window).Run();
}

} // namespace ondrel
