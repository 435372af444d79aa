// What the optimiser needs from its progress window: the phase caption, a progress bar,
// an event pump that also reports the operator's abort, and an error box.
#pragma once

#include <string_view>

namespace ondrel {

class OptimizerProgress {
public:
    virtual ~OptimizerProgress() = default;

    // Label1: the name of the phase now running.
    virtual void SetCaption(std::string_view caption) = 0;
    // ProgressBar1's maximum and position.
    virtual void SetMaximum(int maximum) = 0;
    virtual void SetPosition(int position) = 0;
    // Lets the window system process pending events (the only moments at which the Abort
    // button can act) and returns OptimizerAborted afterwards.
    virtual bool PumpEvents() = 0;
    // OptimizerAborted := false; called once at the start of a run.
    virtual void ClearAbort() = 0;
    // Closes the progress window at the end of every run. Closing the window in any way
    // sets OptimizerAborted, so it stays set between runs.
    virtual void Close() = 0;
    // An error message box with one OK button.
    virtual void ShowError(std::string_view message) = 0;
};

// Shows nothing and is never aborted: for runs without a display.
class SilentProgress final : public OptimizerProgress {
public:
    void SetCaption(std::string_view) override {}
    void SetMaximum(int) override {}
    void SetPosition(int) override {}
    bool PumpEvents() override { return false; }
    void ClearAbort() override {}
    void Close() override {}
    void ShowError(std::string_view) override {}
};

// The frame every phase opens with: caption, event pump, abort test. True to go on.
inline bool EnterPhase(OptimizerProgress& progress, std::string_view caption)
{
    progress.SetCaption(caption);
    return !progress.PumpEvents();
}

} // namespace ondrel
