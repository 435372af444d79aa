// The converter's program-wide state: the drawing, its place in the field, the view, the run
// flags, the settings record and the settings paths.
#pragma once

#include <cstdint>
#include <string>

#include "parameters.h"
#include "vector_stream.h"

namespace ondrel {

struct ViewState {
    float ViewZoom = 0.0f;   // pixels per Bit; 0 until the first fit
    float FitZoom = 0.0f;    // the zoom that shows the whole field
    float ViewCenterX = 0.0f; // field point (Bit) at the middle of the drawing area
    float ViewCenterY = 0.0f;
    bool ShowPolygons = false; // View > "Show Polygons (rgb)"
    bool ShowLimits = false;   // View > "Show Limits"
};

struct ConverterState {
    Drawing drawing;
    FieldTransform field;
    ViewState view;
    std::uint8_t StopRequested = 1; // 0 while a marking or grid run is in progress
    // Set for the whole of a marking run, a grid run or an optimiser run, cleared on every
    // exit: while it is set nothing starts another run, loads a drawing or stores into what a
    // run reads.
    bool RunInProgress = false;
    std::uint8_t CorrectionLoaded = 0;
    std::uint8_t PolygonTableLoaded = 0;
    std::string DefaultIniPath;
    std::string CurrentIniPath = " ";
    Parameters parameters;

    std::int32_t VectorCount() const { return drawing.VectorCount(); }
};

// Holds RunInProgress for the life of a run, whichever way the run ends.
class RunInProgressScope {
public:
    explicit RunInProgressScope(ConverterState& state) : state_(state) { state_.RunInProgress = true; }
    ~RunInProgressScope() { state_.RunInProgress = false; }
    RunInProgressScope(const RunInProgressScope&) = delete;
    RunInProgressScope& operator=(const RunInProgressScope&) = delete;

private:
    ConverterState& state_;
};

} // namespace ondrel
