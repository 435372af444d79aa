#include "drawing_load.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "fakes.h"

namespace ondrel {
namespace {

using fakes::RecordingNotifier;

TEST(LoadRules, ExtensionsPerEntry) {
    const struct {
        const char* path;
        DrawingFormat menu;
        std::optional<DrawingFormat> drop;
    } cases[] = {
        {"/a/b.plt", DrawingFormat::HPGL, DrawingFormat::HPGL},
        {"/a/b.PLT", DrawingFormat::HPGL, DrawingFormat::HPGL},
        {"/a/b.hpg", DrawingFormat::HPGL, std::nullopt},
        {"/a/b.vl", DrawingFormat::Vector, DrawingFormat::Vector},
        {"/a/b.Vl", DrawingFormat::Vector, DrawingFormat::Vector},
        {"/a/b.txt", DrawingFormat::HPGL, std::nullopt},
        {"/a/b.vl.txt", DrawingFormat::HPGL, std::nullopt},
        {"/a.vl/b", DrawingFormat::HPGL, std::nullopt},
        {"/a/b", DrawingFormat::HPGL, std::nullopt},
        {"/a/.vl", DrawingFormat::Vector, DrawingFormat::Vector},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(MenuLoadFormat(c.path), c.menu);
        EXPECT_EQ(DropLoadFormat(c.path), c.drop);
    }
}

class ScriptedLoader : public DrawingLoader {
public:
    LoadReport report;
    int records = 0;
    std::vector<std::string> calls;
    LoadReport Load(DrawingFormat format, const std::string& path, ConverterState& state) override {
        calls.push_back((format == DrawingFormat::HPGL ? "hpgl " : "vector ") + path);
        if (report.loaded) state.drawing.VectorStream.assign(static_cast<std::size_t>(records), {Single, 1, 1});
        return report;
    }
};

TEST(LoadDrawing, FitsAndRecaptionsOnlyAfterALoad) {
    ConverterState state;
    state.view.ViewCenterX = 77;
    ScriptedLoader loader;
    RecordingNotifier notifier;
    loader.report = {true, ""};
    loader.records = 3;
    EXPECT_EQ(LoadDrawing(DrawingFormat::Vector, "/d/a.vl", state, loader, notifier, AreaSize{301, 201}),
              "/d/a.vl");
    EXPECT_EQ(state.view.ViewCenterX, 0);
    EXPECT_FLOAT_EQ(state.view.ViewZoom, 200.0f / 65530);

    // A failed load keeps drawing, view and caption, and shows the loader's text.
    state.view.ViewCenterX = 55;
    loader.report = {false, "Unable to open HPGL file!"};
    EXPECT_FALSE(LoadDrawing(DrawingFormat::HPGL, "/d/missing.plt", state, loader, notifier, AreaSize{301, 201}));
    EXPECT_EQ(state.VectorCount(), 3);
    EXPECT_EQ(state.view.ViewCenterX, 55);
    ASSERT_EQ(notifier.boxes.size(), 1u);
    EXPECT_EQ(notifier.boxes[0].kind, MessageKind::Error);
    EXPECT_EQ(notifier.boxes[0].text, "Unable to open HPGL file!");

    // The caption is the full path, whatever was typed.
    loader.report = {true, ""};
    const std::string here = std::filesystem::current_path().string();
    EXPECT_EQ(LoadDrawing(DrawingFormat::HPGL, "examples/drawings/demo.plt", state, loader, notifier,
                          AreaSize{301, 201}),
              here + "/examples/drawings/demo.plt");
    EXPECT_EQ(loader.calls.back(), "hpgl examples/drawings/demo.plt");
    EXPECT_EQ(LoadDrawing(DrawingFormat::Vector, "./d/../e.vl", state, loader, notifier, AreaSize{301, 201}),
              here + "/e.vl");

    // A plot that draws nothing: no fit, no caption.
    state.view.ViewCenterX = 55;
    loader.records = 0;
    EXPECT_FALSE(LoadDrawing(DrawingFormat::HPGL, "/d/empty.plt", state, loader, notifier, AreaSize{301, 201}));
    EXPECT_EQ(state.view.ViewCenterX, 55);
}

} // namespace
} // namespace ondrel
