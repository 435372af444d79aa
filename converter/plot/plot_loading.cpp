#include "plot_loading.h"

#include <cstdio>
#include <memory>
#include <optional>

#include "hpgl_interpreter.h"
#include "plot_error.h"
#include "vector_file_reader.h"

namespace ondrel {

namespace {

constexpr const char* TooManyVectorsMessage = "The drawing holds too many vectors!";

// The whole file, or nothing when it cannot be opened or read.
std::optional<std::string> ReadWholeFile(const std::filesystem::path& path)
{
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file) return std::nullopt;
    std::string text;
    char buffer[65536];
    for (;;) {
        const std::size_t n = std::fread(buffer, 1, sizeof buffer, file.get());
        text.append(buffer, n);
        if (n < sizeof buffer) break;
    }
    if (std::ferror(file.get())) return std::nullopt; // a folder, for instance
    return text;
}

LoadResult Failure(LoadStatus status, std::string message) { return {status, std::move(message)}; }

// Computes the frame of a loaded drawing and hands drawing and offsets to the caller.
LoadResult Accept(Drawing& loaded, Drawing& drawing, FieldTransform& field)
{
    FieldTransform updated = field;
    ComputeDrawingFrame(loaded, updated);
    drawing = std::move(loaded);
    field = updated;
    return {};
}

} // namespace

LoadResult LoadHPGLText(std::string_view text, Drawing& drawing, FieldTransform& field, const PlotLimits& limits)
{
    Drawing loaded;
    try {
        HpglInterpreter interpreter(text, loaded, limits);
        interpreter.ParsePlotFile({1e10f, -1e10f, 1e10f, -1e10f});
    } catch (const PlotFailure& failure) {
        return Failure(LoadStatus::PlotError, PlotErrorMessage(failure.Code, failure.Command));
    } catch (const PlotLimitExceeded&) {
        return Failure(LoadStatus::TooManyVectors, TooManyVectorsMessage);
    }
    return Accept(loaded, drawing, field);
}

LoadResult LoadVectorText(std::string_view text, Drawing& drawing, FieldTransform& field, const PlotLimits& limits)
{
    Drawing loaded;
    loaded.Bounds = {-32767, 32767, -32767, 32767};
    VectorFileError error;
    if (!ReadVectorText(text, loaded, limits, error)) {
        if (error.TooManyRecords) return Failure(LoadStatus::TooManyVectors, TooManyVectorsMessage);
        return Failure(LoadStatus::BadNumber,
                       "Invalid number in line " + std::to_string(error.Line) + " of the vector file!");
    }
    return Accept(loaded, drawing, field);
}

LoadResult LoadHPGLFile(const std::filesystem::path& path, Drawing& drawing, FieldTransform& field,
                        const PlotLimits& limits)
{
    const std::optional<std::string> text = ReadWholeFile(path);
    if (!text) return Failure(LoadStatus::CannotOpen, "Unable to open HPGL file!");
    return LoadHPGLText(*text, drawing, field, limits);
}

LoadResult LoadVectorFile(const std::filesystem::path& path, Drawing& drawing, FieldTransform& field,
                          const PlotLimits& limits)
{
    const std::optional<std::string> text = ReadWholeFile(path);
    if (!text) return Failure(LoadStatus::CannotOpen, "Unable to open VELMORA file!");
    return LoadVectorText(*text, drawing, field, limits);
}

} // namespace ondrel
