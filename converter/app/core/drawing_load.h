// Loading a drawing from the File menu, a drop or the command line: which loader a path
// takes, and what the main window does after the load.
#pragma once

#include <optional>
#include <string>

#include "converter_state.h"
#include "drawing_view.h"
#include "notifier.h"

namespace ondrel {

enum class DrawingFormat { HPGL, Vector };

// The extension from the last "." of the file name, upper-cased ("" when there is none).
std::string UpperExtension(const std::string& path);

// From the File menu: ".VL" is a vector file, every other extension HP-GL.
DrawingFormat MenuLoadFormat(const std::string& path);

// From a drop or the command line: ".VL" or ".PLT"; any other extension loads nothing.
std::optional<DrawingFormat> DropLoadFormat(const std::string& path);

// What a loader reports: the drawing was replaced, or it was not and `message` says why.
struct LoadReport {
    bool loaded = false;
    std::string message;
};

class DrawingLoader {
public:
    virtual ~DrawingLoader() = default;
    // Replaces state.drawing (and may clamp the offsets) or leaves it as it was.
    virtual LoadReport Load(DrawingFormat format, const std::string& path, ConverterState& state) = 0;
};

// The path made absolute against the working folder, "." and ".." resolved; as typed when
// the working folder cannot be told.
std::string FullPath(const std::string& path);

// Loads `path` and, when a drawing was loaded, fits the view to `area`. Returns the new main
// window caption, the full path of the file, or nothing when the caption stays (failed or
// empty load). A failure shows the loader's error box.
std::optional<std::string> LoadDrawing(DrawingFormat format, const std::string& path,
                                       ConverterState& state, DrawingLoader& loader,
                                       Notifier& notifier, AreaSize area);

} // namespace ondrel
