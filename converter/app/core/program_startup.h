// Start-up and shut-down of the converter, and the settings-file menu items.
#pragma once

#include <string>

#include "converter_state.h"
#include "notifier.h"
#include "quarnel_library.h"

namespace ondrel {

constexpr const char* kSettingsFileName = "Quarnel4.ini";

// The main window's creation: start values, the board-ready test (which enables the Z plane
// on a 3-D firmware), the settings file beside the program, its correction file and its
// polygon-delay table. `programDir` ends in a path delimiter.
void StartConverter(ConverterState& state, QuarnelLibrary& library, Notifier& notifier,
                    const std::string& programDir);

// The main window's end, when it closes: releases the board's list limit and writes the
// settings to the file beside the program. A failed write leaves the old file whole and shows
// its error box naming the file.
void StopConverter(ConverterState& state, QuarnelLibrary& library, Notifier& notifier);

// File > "Load Ini-File" after the operator chose `path`.
void LoadIniFile(const std::string& path, ConverterState& state, QuarnelLibrary& library,
                 Notifier& notifier);

// File > "Save Ini-File" after the operator chose `path`; a failed write leaves the old file
// whole and shows its error box.
void SaveIniFile(const std::string& path, const ConverterState& state, Notifier& notifier);

} // namespace ondrel
