// The "Grid" window's logic: filling its five fields and "Mark", which accepts them, checks
// them and marks the grid.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "converter_state.h"
#include "notifier.h"
#include "run_window.h"
#include "shared_board.h"

namespace ondrel {

struct GridDialogTexts {
    std::string Points;        // Edit1 "Number of points in one direction:"
    std::string Calibration;   // Edit2 "Calibration of the correction file [Bit / mm]:"
    std::string Distance;      // Edit3 "Distance between two points [mm]:"
    std::string DotDiameter;   // Edit4 "Diameter of the points [mm]:"
    std::string FocusDiameter; // Edit5 "Diameter of the laser-focus [mm]:"
};

enum class GridEdit { Points, Calibration, Distance, DotDiameter, FocusDiameter };

// What the window shows when it becomes active.
GridDialogTexts FillGridDialog(const Parameters& p);

// The Accept walk: each valid field is stored at once (the two counts rounded), the rejected
// ones are returned in walking order; after a rejection one beep sounds.
std::vector<GridEdit> AcceptGridDialog(const GridDialogTexts& typed, Parameters& p, Notifier& notifier);

struct GridMarkResult {
    std::vector<GridEdit> rejected; // each takes the focus in turn, the last keeps it
    bool ran = false;               // the grid was marked (or stopped) and both windows closed
};

// "Mark": nothing at all while a marking, grid or optimiser run is in progress; otherwise the
// Accept walk, the checks (an error box for the first that fails) and, with a correction file
// loaded, the grid run. `closeGridWindow` closes the grid window at the end of the run.
GridMarkResult GridMarkClick(const GridDialogTexts& typed, ConverterState& state, SharedBoard& library,
                             Notifier& notifier, RunWindow& run, const std::function<void()>& closeGridWindow);

} // namespace ondrel
