// What a run on the board (marking, grid) asks of the windows while it stays inside its
// handler: the output window's label, button and progress bar, the event pump, and the main
// window's state. The Qt windows implement it; tests record it.
#pragma once

#include <string>

namespace ondrel {

enum class RunLabelStyle {
    Active, // font size 14, red: while a run is in progress
    Result, // font size 10, black: the marking time
};

class RunWindow {
public:
    virtual ~RunWindow() = default;

    // The output window.
    virtual void SetLabel(const std::string& text) = 0;
    virtual void SetLabelStyle(RunLabelStyle style) = 0;
    virtual void SetButtonCaption(const std::string& caption) = 0;
    virtual void SetProgress(int percent) = 0; // shown clamped to 0..100
    virtual void ShowOutput() = 0;             // not modal
    // Closes the output window; its close handler sets StopRequested and enables the main
    // window again.
    virtual void CloseOutput() = 0;

    // Handles the window events waiting, then returns.
    virtual void Pump() = 0;
    // One pump inside a wait for the board: may sleep briefly so that the wait keeps the CPU
    // idle.
    virtual void WaitPump() = 0;

    // The main window.
    virtual void DisableMainWindow() = 0;
    virtual bool ShowLimitsChecked() const = 0;
    virtual void UncheckShowLimits() = 0;
    virtual void RedrawView() = 0;
};

} // namespace ondrel
