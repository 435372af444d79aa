// The converter's file dialogs, as its logic asks for them: the window shows a real dialog,
// tests answer with a path.
#pragma once

#include <optional>
#include <string>

namespace ondrel {

enum class FileDialogKind {
    OpenDrawing,    // "HPGL-Files (*.PLT)", "VELMORA Format (*.VL)"; the file must exist
    OpenSettings,   // "Ini-Files (*.ini)"; the file must exist
    SaveSettings,   // "Ini-Files (*.ini)", default extension INI, asks before overwriting
    OpenCorrection, // "ORU3-Correction-File (*.ctb)"; the file must exist
    SaveHPGL,       // "HPGL-File (*:PLT)", "VELMORA Format (*.VL)", default extension PLT;
                    // does not ask before overwriting
};

class FileChooser {
public:
    virtual ~FileChooser() = default;
    // The chosen full path, or nothing when the operator cancelled.
    virtual std::optional<std::string> Choose(FileDialogKind kind) = 0;
};

} // namespace ondrel
