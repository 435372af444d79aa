// Downloading the correction file to the board, the error texts of a failed download and the
// Z calibration factor that 3-D correction files carry.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "converter_state.h"
#include "notifier.h"
#include "quarnel_library.h"

namespace ondrel {

// "Quarnel4-Correction-File Download Error!", a carriage return and the reason for `result`.
std::string CorrectionErrorText(std::int16_t result);

// The word at index 16967 of a correction file that holds more than 16969 words.
std::optional<std::uint16_t> ReadZCalibrationWord(const std::string& path);

// Stops a running limits frame (Show Limits is unchecked), clears CorrectionLoaded, ZCalibration and ZPosition, then downloads the file (a path of
// four characters or fewer means none). On success sets CorrectionLoaded and, on a 3-D board,
// ZCalibration; on failure shows the error box.
void LoadCorrectionFile(const std::string& path, ConverterState& state, QuarnelLibrary& library,
                        Notifier& notifier);

// Lets the library read the polygon-delay table of the current settings file.
void LoadPolygonTable(ConverterState& state, QuarnelLibrary& library);

// Options > "Correction" after the operator chose `path`.
void ChooseCorrectionFile(const std::string& path, ConverterState& state, QuarnelLibrary& library,
                          Notifier& notifier);

} // namespace ondrel
