#include "program_startup.h"

#include "correction_download.h"
#include "limits_frame.h"
#include "settings_file.h"

namespace ondrel {
namespace {

constexpr std::uint16_t kFirst3DFirmware = 3001;

void ReadSettings(const std::string& path, ConverterState& state) {
    state.CurrentIniPath = path;
    LoadSettings(path, state.parameters);
}

} // namespace

void StartConverter(ConverterState& state, QuarnelLibrary& library, Notifier& notifier,
                    const std::string& programDir) {
    state.drawing = Drawing{};
    state.field = FieldTransform{};
    state.view.ViewCenterX = state.view.ViewCenterY = 0;
    state.CorrectionLoaded = 0;
    state.StopRequested = 1;
    state.parameters = Parameters{};

    // An empty name loads nothing; 0 means this process owns the boards and one is selected.
    if (library.load_program_file("") == 0 && library.get_hex_version() >= kFirst3DFirmware)
        state.parameters.ZPlaneEnabled = true;

    state.PolygonTableLoaded = 0;
    state.CurrentIniPath = std::string(1, ' ');
    state.DefaultIniPath = programDir + kSettingsFileName;
    ReadSettings(state.DefaultIniPath, state);
    LoadCorrectionFile(state.parameters.FileName, state, library, notifier);
    LoadPolygonTable(state, library);
}

void StopConverter(ConverterState& state, QuarnelLibrary& library, Notifier& notifier) {
    EndLimitsFrame(state, library);
    if (state.CorrectionLoaded == 1) library.set_max_counts(0);
    state.drawing.VectorStream.clear();
    std::string error;
    if (!SaveSettings(state.DefaultIniPath, state.parameters, error))
        notifier.Show(MessageKind::Failure, "Settings not saved: " + error);
}

void LoadIniFile(const std::string& path, ConverterState& state, QuarnelLibrary& library,
                 Notifier& notifier) {
    ReadSettings(path, state);
    LoadCorrectionFile(state.parameters.FileName, state, library, notifier);
    LoadPolygonTable(state, library);
}

void SaveIniFile(const std::string& path, const ConverterState& state, Notifier& notifier) {
    std::string error;
    if (!SaveSettings(path, state.parameters, error)) notifier.Show(MessageKind::Failure, error);
}

} // namespace ondrel
