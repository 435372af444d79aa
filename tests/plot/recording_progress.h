// A progress window for tests: records what the optimiser shows, and can press "Abort"
// during a chosen pump.
#pragma once

#include "optimizer_progress.h"

#include <string>
#include <vector>

namespace ondrel {

class RecordingProgress final : public OptimizerProgress {
public:
    // Pump number abortAtPump (counted from 1) presses "Abort"; 0 never.
    explicit RecordingProgress(int abortAtPump = 0) : abortAtPump_(abortAtPump) {}

    void SetCaption(std::string_view caption) override { captions.emplace_back(caption); }
    void SetMaximum(int value) override { maximum = value; }
    void SetPosition(int value) override { positions.push_back(value); }
    bool PumpEvents() override
    {
        ++pumps;
        if (pumps == abortAtPump_)
            aborted = true; // the button closes the window, which sets the flag
        return aborted;
    }
    void ClearAbort() override { aborted = false; }
    void Close() override
    {
        ++closes;
        aborted = true;
    }
    void ShowError(std::string_view message) override { errors.emplace_back(message); }

    std::vector<std::string> captions;
    std::vector<int> positions;
    std::vector<std::string> errors;
    int maximum = 100;
    int pumps = 0;
    int closes = 0;
    bool aborted = true; // stays set from the run before

private:
    int abortAtPump_;
};

} // namespace ondrel
