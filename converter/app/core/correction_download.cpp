#include "correction_download.h"


#include "limits_frame.h"
#include "whole_file.h"

namespace ondrel {
namespace {

constexpr std::size_t kZCalibrationIndex = 16967;
constexpr std::size_t kZCalibrationMinWords = 16970;

const char* CorrectionErrorReason(std::int16_t result) {
    switch (result) {
    case 3: return "Correction-File Error!";
    case 8: return "Driver Error or DLL used by another application!";
    case 11: return "No Quarnel found!";
    case 12: return "No 3D Option!";
    case 14: return "Old Correction File!";
    case 15: return "Wrong Correction File!";
    default: return "Unknown Error!";
    }
}

} // namespace

std::string CorrectionErrorText(std::int16_t result) {
    return std::string("Quarnel4-Correction-File Download Error!") + '\r' + CorrectionErrorReason(result);
}

std::optional<std::uint16_t> ReadZCalibrationWord(const std::string& path) {
    const std::optional<std::string> bytes = ReadRegularFile(path);
    if (!bytes || bytes->size() / 2 < kZCalibrationMinWords) return std::nullopt;
    const auto low = static_cast<unsigned char>((*bytes)[kZCalibrationIndex * 2]);
    const auto high = static_cast<unsigned char>((*bytes)[kZCalibrationIndex * 2 + 1]);
    return static_cast<std::uint16_t>(low | (high << 8));
}

void LoadCorrectionFile(const std::string& path, ConverterState& state, QuarnelLibrary& library,
                        Notifier& notifier) {
    // Once CorrectionLoaded is cleared a running frame could no longer be stopped.
    EndLimitsFrame(state, library);
    Parameters& p = state.parameters;
    p.ZPosition = 0;
    p.ZCalibration = 0;
    state.CorrectionLoaded = 0;
    if (path.size() <= 4) return;
    const std::int16_t result = library.load_cor(path.c_str());
    if (result != 0) {
        notifier.Show(MessageKind::Error, CorrectionErrorText(result));
        return;
    }
    if (p.ZPlaneEnabled) p.ZCalibration = ReadZCalibrationWord(path).value_or(0);
    state.CorrectionLoaded = 1;
}

void LoadPolygonTable(ConverterState& state, QuarnelLibrary& library) {
    if (library.load_varpolydelay(state.CurrentIniPath.c_str(), 0) < 0) state.PolygonTableLoaded = 1;
}

void ChooseCorrectionFile(const std::string& path, ConverterState& state, QuarnelLibrary& library,
                          Notifier& notifier) {
    LoadCorrectionFile(path, state, library, notifier);
    LoadPolygonTable(state, library);
    state.parameters.FileName = state.CorrectionLoaded == 1 ? path : " ";
}

} // namespace ondrel
