// File > "Save HPGL-File": the drawing written as it lies in the scan field, in Bit, either as
// an HP-GL plot file or as a vector file.
#pragma once

#include <string>
#include <string_view>

#include "converter_state.h"
#include "file_chooser.h"
#include "notifier.h"

namespace ondrel {

enum class ExportFormat { HPGL, Vector };

// A name ending in ".VL" (any case) is a vector file; any other name, with or without an
// extension, is HP-GL.
ExportFormat ExportFormatFor(const std::string& path);

// The whole file: every record through the drawing-to-bits transform of the moment, every
// line ending in CR LF. A point outside signed 16 bits throws std::range_error.
std::string DrawingFileText(const Drawing& drawing, const FieldTransform& field, ExportFormat format);

// Writes whole files. An existing file is replaced only once everything was written.
class FileSaver {
public:
    virtual ~FileSaver() = default;
    // False when the file could not be created, written or closed; the file that stood at
    // `path` before is then left as it was.
    virtual bool Save(const std::string& path, std::string_view bytes) = 0;
};

// Nothing happens without a drawing or when the dialog is cancelled; a file that cannot be
// written shows "Unable to create file!".
void SaveHPGLFile(const ConverterState& state, FileChooser& chooser, FileSaver& saver, Notifier& notifier);

} // namespace ondrel
