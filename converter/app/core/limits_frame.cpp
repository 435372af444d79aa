#include "limits_frame.h"

#include "checked_number.h"
#include "field_transform.h"

namespace ondrel {
namespace {

constexpr int kFrameRounds = 10;
constexpr std::uint32_t kFirstFrameJump = 5; // after the five set-up entries

// Not while a run is in progress, also when a Stop has already been pressed in it: the run still
// holds the board until its stop path has ended.
bool BoardFree(const ConverterState& state) {
    return state.CorrectionLoaded != 0 && state.StopRequested != 0 && !state.RunInProgress;
}

void ParkBeam(QuarnelLibrary& library) {
    library.set_control_mode(0);
    library.stop_execution();
    library.goto_xyz(0, 0, 0);
}

// The frame as one endless list: set-up entries, ten rounds of the four corners and the jump
// back to the first corner.
void SendFrame(const ConverterState& state, QuarnelLibrary& library) {
    const Parameters& p = state.parameters;
    library.set_control_mode(0);
    library.stop_execution();
    library.set_delay_mode(0, 0, 65500, 0, 0);
    library.set_start_list_1();
    library.set_wobbel(0, 0.0);
    library.set_fly_x(0.0);
    library.set_fly_y(0.0);
    library.set_jump_speed(static_cast<double>(p.JumpSpeed));
    library.set_scanner_delays(RoundedUInt16(p.JumpDelay / 10.0), RoundedUInt16(p.MarkDelay / 10.0),
                               RoundedUInt16(p.PolyDelay / 10.0));
    const std::int16_t z = p.ZPlaneEnabled ? RoundedInt16(p.ZCalibration * p.ZPosition) : 0;

    // With "XY - Flip" the frame already holds the exchanged bounds.
    TransformCoefficients t = MakeTransform(state.drawing, state.field);
    t.flip = false;
    const DrawingBounds& b = state.drawing.Bounds;
    const DrawingPoint corners[4] = {{b.MaxX, b.MinY}, {b.MaxX, b.MaxY}, {b.MinX, b.MaxY}, {b.MinX, b.MinY}};
    for (int round = 0; round < kFrameRounds; ++round) {
        for (const DrawingPoint& corner : corners) {
            const BoardPoint at = BoardBits(t, corner.x, corner.y);
            library.jump_abs_3d(at.x, at.y, z);
        }
    }
    library.set_list_jump(kFirstFrameJump);
    library.set_end_of_list();
    library.execute_list_1();
}

} // namespace

void RefreshLimitsFrame(ConverterState& state, SharedBoard& library, Notifier& notifier) {
    if (!BoardFree(state)) return;
    if (!state.view.ShowLimits) {
        ParkBeam(library);
        return;
    }
    if (state.VectorCount() <= 0) return;
    try {
        RunBoard frame(library);
        SendFrame(state, frame);
    } catch (const TransferFailed& failure) {
        // The frame is not on the board as sent: the check mark goes and the beam rests.
        state.view.ShowLimits = false;
        ParkBeam(library);
        notifier.Show(MessageKind::Error, failure.what());
    }
}

void EndLimitsFrame(ConverterState& state, QuarnelLibrary& library) {
    if (!state.view.ShowLimits) return;
    state.view.ShowLimits = false;
    if (BoardFree(state)) ParkBeam(library);
}

} // namespace ondrel
