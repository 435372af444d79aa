#include "drawing_load.h"

#include <filesystem>
#include <system_error>

namespace ondrel {

std::string UpperExtension(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    std::string extension = path.substr(dot);
    for (char& c : extension)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return extension;
}

DrawingFormat MenuLoadFormat(const std::string& path) {
    return UpperExtension(path) == ".VL" ? DrawingFormat::Vector : DrawingFormat::HPGL;
}

std::optional<DrawingFormat> DropLoadFormat(const std::string& path) {
    const std::string extension = UpperExtension(path);
    if (extension == ".VL") return DrawingFormat::Vector;
    if (extension == ".PLT") return DrawingFormat::HPGL;
    return std::nullopt;
}

std::string FullPath(const std::string& path) {
    std::error_code error;
    const std::filesystem::path full = std::filesystem::absolute(path, error);
    return error ? path : full.lexically_normal().string();
}

std::optional<std::string> LoadDrawing(DrawingFormat format, const std::string& path,
                                       ConverterState& state, DrawingLoader& loader,
                                       Notifier& notifier, AreaSize area) {
    const LoadReport report = loader.Load(format, path, state);
    if (!report.loaded) {
        if (!report.message.empty()) notifier.Show(MessageKind::Error, report.message);
        return std::nullopt;
    }
    if (state.VectorCount() <= 0) return std::nullopt;
    FitView(state.view, area);
    return FullPath(path);
}

} // namespace ondrel
