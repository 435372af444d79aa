#include "drawing_export.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "fakes.h"
#include "plot_loading.h"

namespace ondrel {
namespace {

using fakes::RecordingNotifier;

// Every kind, a negative coordinate and the most negative one, already in Bit.
Drawing EveryKind() {
    Drawing d;
    d.VectorStream = {{Jump, 0, 0},         {Single, -1234, 56},    {Jump, 100, 0},    {ChainStart, 200, 0},
                      {ChainMiddle, 200, -300}, {ChainEnd, 100, 100}, {7, 300, -32768}};
    return d;
}

FieldTransform UnitField() {
    FieldTransform field;
    field.FieldGain = 1.0f;
    return field;
}

TEST(DrawingExport, VectorFileByteForByte) {
    EXPECT_EQ(DrawingFileText(EveryKind(), UnitField(), ExportFormat::Vector),
              "J      0      0\r\n"
              "M  -1234     56\r\n"
              "J    100      0\r\n"
              "A    200      0\r\n"
              "B    200   -300\r\n"
              "C    100    100\r\n"
              "    300 -32768\r\n");
}

TEST(DrawingExport, HPGLFileByteForByte) {
    EXPECT_EQ(DrawingFileText(EveryKind(), UnitField(), ExportFormat::HPGL),
              "IN;SP1;\r\n"
              "PU;PA0,0;PD;\r\n"
              "PA-1234,56;\r\n"
              "PU;PA100,0;PD;\r\n"
              "PA200,0;\r\n"
              "PA200,-300;\r\n"
              "PA100,100;\r\n"
              "PA300,-32768;\r\n"
              "SP0;\r\n");
}

TEST(DrawingExport, PointsAsTheFieldPlacesThem) {
    Drawing d;
    d.VectorStream = {{ChainStart, 100, 0}};
    d.DrawingCenter = {50, 0};
    d.DrawingScale = 2.0f;
    const struct {
        const char* name;
        bool xInvert, yInvert, flip;
        float gain, offsetX;
        const char* line;
    } cases[] = {
        {"gain and offset", false, false, false, 0.5f, 10, "A     60      0\r\n"},
        {"X - Invert mirrors about the centre", true, false, false, 0.5f, 10, "A    -40      0\r\n"},
        {"XY - Flip exchanges the coordinates", false, false, true, 1.0f, 0, "A      0    200\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FieldTransform field;
        field.FieldGain = c.gain;
        field.FieldOffsetX = c.offsetX;
        field.XInvert = c.xInvert;
        field.YInvert = c.yInvert;
        field.XYFlip = c.flip;
        Drawing placed = d;
        if (c.flip) placed.DrawingCenter = {0, 0};
        EXPECT_EQ(DrawingFileText(placed, field, ExportFormat::Vector), c.line);
    }
}

TEST(DrawingExport, FormatByExtension) {
    const std::pair<const char*, ExportFormat> cases[] = {
        {"/d/a.VL", ExportFormat::Vector}, {"/d/a.vl", ExportFormat::Vector}, {"/d/a.Vl", ExportFormat::Vector},
        {"/d/a.PLT", ExportFormat::HPGL},  {"/d/a.plt", ExportFormat::HPGL},  {"/d/a.txt", ExportFormat::HPGL},
        {"/d/a", ExportFormat::HPGL},      {"/d.vl/a", ExportFormat::HPGL},   {"/d/a.vl.plt", ExportFormat::HPGL},
    };
    for (const auto& [path, format] : cases) EXPECT_EQ(ExportFormatFor(path), format) << path;
}

TEST(DrawingExport, PointBeyond16BitsIsARangeError) {
    Drawing d;
    d.VectorStream = {{Jump, 0, 0}, {Single, 32768, 0}};
    EXPECT_THROW(DrawingFileText(d, UnitField(), ExportFormat::HPGL), std::range_error);
}

TEST(DrawingExport, SavedFilesLoadBackIntoTheSameDrawing) {
    Drawing d;
    d.VectorStream = {{Jump, -500, 20},       {Single, -480, 20},      {Jump, 0, 0},
                      {ChainStart, 1000, 0},  {ChainMiddle, 1000, -900}, {ChainEnd, -32765, 32765}};
    const std::pair<ExportFormat, LoadResult (*)(std::string_view, Drawing&, FieldTransform&, const PlotLimits&)>
        formats[] = {{ExportFormat::Vector, &LoadVectorText}, {ExportFormat::HPGL, &LoadHPGLText}};
    for (const auto& [format, load] : formats) {
        const std::string text = DrawingFileText(d, UnitField(), format);
        EXPECT_EQ(DrawingFileText(d, UnitField(), format), text); // the same drawing writes the same file
        Drawing back;
        FieldTransform field = UnitField();
        ASSERT_TRUE(load(text, back, field, PlotLimits{}).Loaded());
        ASSERT_EQ(back.VectorCount(), d.VectorCount());
        for (std::size_t i = 0; i < d.VectorStream.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(back.VectorStream[i].kind, d.VectorStream[i].kind);
            EXPECT_EQ(back.VectorStream[i].x, d.VectorStream[i].x);
            EXPECT_EQ(back.VectorStream[i].y, d.VectorStream[i].y);
        }
    }
}

class AnsweringChooser : public FileChooser {
public:
    std::optional<std::string> answer;
    std::vector<FileDialogKind> asked;
    std::optional<std::string> Choose(FileDialogKind kind) override {
        asked.push_back(kind);
        return answer;
    }
};

class RecordingSaver : public FileSaver {
public:
    bool result = true;
    std::vector<std::pair<std::string, std::string>> saved;
    bool Save(const std::string& path, std::string_view bytes) override {
        saved.emplace_back(path, std::string(bytes));
        return result;
    }
};

struct SaveFixture {
    ConverterState state;
    AnsweringChooser chooser;
    RecordingSaver saver;
    RecordingNotifier notifier;
    void Save() { SaveHPGLFile(state, chooser, saver, notifier); }
};

TEST(SaveHPGLFile, EmptyDrawingOpensNoDialog) {
    SaveFixture f;
    f.chooser.answer = "/d/a.plt";
    f.Save();
    EXPECT_TRUE(f.chooser.asked.empty());
    EXPECT_TRUE(f.saver.saved.empty());
}

TEST(SaveHPGLFile, CancelWritesNothing) {
    SaveFixture f;
    f.state.drawing = EveryKind();
    f.Save();
    ASSERT_EQ(f.chooser.asked.size(), 1u);
    EXPECT_EQ(f.chooser.asked[0], FileDialogKind::SaveHPGL);
    EXPECT_TRUE(f.saver.saved.empty());
}

TEST(SaveHPGLFile, WritesTheChosenFormatAndReportsAFailedWrite) {
    SaveFixture f;
    f.state.drawing = EveryKind();
    f.state.field = UnitField();
    f.chooser.answer = "/d/out.vl";
    f.Save();
    ASSERT_EQ(f.saver.saved.size(), 1u);
    EXPECT_EQ(f.saver.saved[0].first, "/d/out.vl");
    EXPECT_EQ(f.saver.saved[0].second, DrawingFileText(f.state.drawing, f.state.field, ExportFormat::Vector));
    EXPECT_TRUE(f.notifier.boxes.empty());

    f.saver.result = false;
    f.Save();
    ASSERT_EQ(f.notifier.boxes.size(), 1u);
    EXPECT_EQ(f.notifier.boxes[0].kind, MessageKind::Error);
    EXPECT_EQ(f.notifier.boxes[0].text, "Unable to create file!");
}

TEST(SaveHPGLFile, RangeErrorWritesNoFile) {
    SaveFixture f;
    f.state.drawing.VectorStream = {{Jump, 0, 0}, {Single, -40000, 0}};
    f.state.field = UnitField();
    f.chooser.answer = "/d/out.plt";
    EXPECT_THROW(f.Save(), std::range_error);
    EXPECT_TRUE(f.saver.saved.empty());
}

} // namespace
} // namespace ondrel
