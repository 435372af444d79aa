#include "plot_file_loader.h"

#include "plot_loading.h"

namespace ondrel {

LoadReport PlotFileLoader::Load(DrawingFormat format, const std::string& path, ConverterState& state) {
    const LoadResult result = format == DrawingFormat::Vector
                                  ? LoadVectorFile(path, state.drawing, state.field)
                                  : LoadHPGLFile(path, state.drawing, state.field);
    return {result.Loaded(), result.Message};
}

} // namespace ondrel
