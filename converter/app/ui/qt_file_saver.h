// Whole files written so that a failure never leaves a half-written file behind.
#pragma once

#include "drawing_export.h"

namespace ondrel {

// A regular file goes to a temporary file beside it and replaces it only once everything was
// written; a device or a pipe, which cannot be replaced, is written in place, and so is an
// existing file in a folder that takes no new file.
class QtFileSaver : public FileSaver {
public:
    bool Save(const std::string& path, std::string_view bytes) override;
};

} // namespace ondrel
