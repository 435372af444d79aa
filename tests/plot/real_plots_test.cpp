// The HP-GL test plots that Debian's hp2xx package installs: plots nobody here wrote. Each
// must load or fail with a plot error; none may crash or hang. Skipped without the package.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "plot_loading.h"

namespace ondrel {
namespace {

namespace fs = std::filesystem;

const fs::path TestPlots = "/usr/share/doc/hp2xx/hp-tests";

// Copies the plot into dir, unpacking a gzipped one; returns the copy's path.
fs::path Unpacked(const fs::path& plot, const fs::path& dir)
{
    if (plot.extension() != ".gz") {
        const fs::path copy = dir / plot.filename();
        fs::copy_file(plot, copy, fs::copy_options::overwrite_existing);
        return copy;
    }
    const fs::path target = dir / plot.stem();
    const std::string command = "gzip -dc '" + plot.string() + "' > '" + target.string() + "'";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return target;
}

struct TempDir {
    fs::path path;
    TempDir()
        : path(fs::temp_directory_path() / ("ondrel-plots-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                            "-" + std::to_string(reinterpret_cast<std::uintptr_t>(this))))
    {
        fs::create_directories(path);
    }
    ~TempDir() { fs::remove_all(path); }
};

TEST(RealPlots, EveryTestPlotLoadsOrFailsWithAPlotError)
{
    if (!fs::is_directory(TestPlots)) GTEST_SKIP() << TestPlots << " is missing (package hp2xx)";
    TempDir dir;
    int plots = 0, drawn = 0;
    for (const auto& entry : fs::directory_iterator(TestPlots)) {
        if (!entry.is_regular_file()) continue;
        const fs::path plot = Unpacked(entry.path(), dir.path);
        Drawing drawing;
        FieldTransform field;
        field.FieldOffsetX = 20000;
        const LoadResult result = LoadHPGLFile(plot, drawing, field);
        ++plots;
        SCOPED_TRACE(entry.path().filename().string() + ": " + result.Message);
        ASSERT_TRUE(result.Status == LoadStatus::Loaded || result.Status == LoadStatus::PlotError);
        if (result.Status == LoadStatus::PlotError) {
            EXPECT_EQ(result.Message.rfind("Error in command  ", 0), 0u);
            continue;
        }
        if (drawing.VectorCount() == 0) continue;
        ++drawn;
        // The frame: a drawing spans at most 65530 bits at full gain, and the offset leaves
        // room for it inside the field.
        const DrawingBounds& b = drawing.Bounds;
        const float larger = std::max(b.MaxX - b.MinX, b.MaxY - b.MinY);
        EXPECT_NEAR(drawing.DrawingScale * larger, 65530, 1);
        EXPECT_LE(std::abs(field.FieldOffsetX) + (b.MaxX - b.MinX) / 2 * drawing.DrawingScale * field.FieldGain,
                  32765.5f);
        // Marks lie inside the bounds, but for the rounding of pattern steps along a line.
        const float slack = larger * 1e-5f;
        for (const VectorRecord& r : drawing.VectorStream) {
            ASSERT_LE(r.kind, ChainEnd);
            if (r.kind == Jump) continue;
            ASSERT_TRUE(r.x >= b.MinX - slack && r.x <= b.MaxX + slack && r.y >= b.MinY - slack &&
                        r.y <= b.MaxY + slack);
        }
    }
    EXPECT_GE(plots, 30);
    EXPECT_GE(drawn, 25);
}

} // namespace
} // namespace ondrel
