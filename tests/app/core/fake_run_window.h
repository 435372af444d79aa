// A stand-in for the output window and the main window while a run is in progress: it records
// what the run shows, counts the pumps, and lets a test act at a chosen pump.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "converter_state.h"
#include "run_window.h"

namespace ondrel::fakes {

class FakeRunWindow : public RunWindow {
public:
    explicit FakeRunWindow(ConverterState& state) : state_(state) {}

    void SetLabel(const std::string& text) override {
        label = text;
        events.push_back("label " + text);
    }
    void SetLabelStyle(RunLabelStyle style) override {
        events.push_back(style == RunLabelStyle::Active ? "style active" : "style result");
    }
    void SetButtonCaption(const std::string& caption) override {
        button = caption;
        events.push_back("button " + caption);
    }
    void SetProgress(int percent) override {
        progress = percent;
        progressSteps.push_back(percent);
    }
    void ShowOutput() override {
        shown = true;
        events.push_back("show");
    }
    // As the output window's close handler: the run stops and the main window takes input.
    void CloseOutput() override {
        shown = false;
        mainEnabled = true;
        state_.StopRequested = 1;
        events.push_back("close");
    }
    void Pump() override { OnePump(); }
    void WaitPump() override {
        ++waitPumps;
        OnePump();
    }
    void DisableMainWindow() override {
        mainEnabled = false;
        events.push_back("disable");
    }
    bool ShowLimitsChecked() const override { return showLimits; }
    void UncheckShowLimits() override {
        showLimits = false;
        events.push_back("uncheck limits");
    }
    void RedrawView() override { events.push_back("redraw"); }

    // The operator's Stop, as the button does it.
    void PressStop() { CloseOutput(); }

    std::vector<std::string> events; // everything but progress and pumps, in order
    std::vector<int> progressSteps;
    std::string label;
    std::string button;
    int progress = -1;
    int pumps = 0;     // all pumps, waits included
    int waitPumps = 0; // pumps inside a wait for the board
    bool shown = false;
    bool mainEnabled = true;
    bool showLimits = false;
    // Called at every pump with its number (from 1).
    std::function<void(int)> onPump;

private:
    void OnePump() {
        ++pumps;
        if (onPump) onPump(pumps);
    }
    ConverterState& state_;
};

} // namespace ondrel::fakes
