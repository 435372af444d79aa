// Loading a drawing from an HP-GL plot file or a vector file. A load parses into a fresh
// drawing and replaces the caller's only when it succeeds; on failure the drawing and the
// field offsets stay as they were and the result carries the message to show.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "vector_emission.h"
#include "vector_stream.h"

namespace ondrel {

enum class LoadStatus {
    Loaded,
    CannotOpen,     // "Unable to open HPGL file!" / "Unable to open VELMORA file!"
    PlotError,      // "Error in command  " + mnemonic + CR + reason
    BadNumber,      // a vector file number that does not convert
    TooManyVectors, // the drawing outgrows what one load may hold
};

struct LoadResult {
    LoadStatus Status = LoadStatus::Loaded;
    std::string Message; // empty when loaded

    bool Loaded() const { return Status == LoadStatus::Loaded; }
};

// Reads the plot file at path into drawing; on success also computes the frame, which may
// clamp field.FieldOffsetX/Y.
LoadResult LoadHPGLFile(const std::filesystem::path& path, Drawing& drawing, FieldTransform& field,
                        const PlotLimits& limits = {});
LoadResult LoadVectorFile(const std::filesystem::path& path, Drawing& drawing, FieldTransform& field,
                          const PlotLimits& limits = {});

// The same from text already in memory.
LoadResult LoadHPGLText(std::string_view text, Drawing& drawing, FieldTransform& field,
                        const PlotLimits& limits = {});
LoadResult LoadVectorText(std::string_view text, Drawing& drawing, FieldTransform& field,
                          const PlotLimits& limits = {});

} // namespace ondrel
