// The drawing loader of the program: the plot import's HP-GL and vector file readers.
#pragma once

#include "drawing_load.h"

namespace ondrel {

class PlotFileLoader : public DrawingLoader {
public:
    LoadReport Load(DrawingFormat format, const std::string& path, ConverterState& state) override;
};

} // namespace ondrel
