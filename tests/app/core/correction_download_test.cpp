#include "correction_download.h"

#include <gtest/gtest.h>

#include "fakes.h"
#include "temp_dir.h"

namespace ondrel {
namespace {

using fakes::FakeLibrary;
using fakes::RecordingNotifier;
using fakes::TempDir;

// A correction file of `words` words whose word 16967 holds `z`.
std::string CorrectionFile(const TempDir& dir, std::size_t words, std::uint16_t z) {
    std::string bytes(words * 2, '\0');
    if (words > 16967) {
        bytes[16967 * 2] = static_cast<char>(z & 0xFF);
        bytes[16967 * 2 + 1] = static_cast<char>(z >> 8);
    }
    return dir.Write("table.ctb", bytes);
}

TEST(CorrectionDownload, ErrorTextPerResult) {
    const struct {
        std::int16_t result;
        const char* reason;
    } cases[] = {{3, "Correction-File Error!"},
                 {8, "Driver Error or DLL used by another application!"},
                 {11, "No Quarnel found!"},
                 {12, "No 3D Option!"},
                 {14, "Old Correction File!"},
                 {15, "Wrong Correction File!"},
                 {4, "Unknown Error!"},
                 {10, "Unknown Error!"},
                 {16, "Unknown Error!"},
                 {17, "Unknown Error!"},
                 {-1, "Unknown Error!"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.result);
        EXPECT_EQ(CorrectionErrorText(c.result),
                  std::string("Quarnel4-Correction-File Download Error!\r") + c.reason);
    }
}

TEST(CorrectionDownload, ZCalibrationWordOnlyBeyond16969Words) {
    TempDir dir;
    EXPECT_FALSE(ReadZCalibrationWord(CorrectionFile(dir, 16969, 0x1234)).has_value());
    EXPECT_EQ(ReadZCalibrationWord(CorrectionFile(dir, 16970, 0xBEEF)), 0xBEEF);
    EXPECT_FALSE(ReadZCalibrationWord(dir.File("missing.ctb")).has_value());
}

TEST(CorrectionDownload, ShortPathsAreNotDownloaded) {
    for (const char* path : {"", " ", "a.ct"}) {
        SCOPED_TRACE(path);
        ConverterState state;
        state.CorrectionLoaded = 1;
        state.parameters.ZPosition = 3;
        FakeLibrary library;
        RecordingNotifier notifier;
        LoadCorrectionFile(path, state, library, notifier);
        EXPECT_TRUE(library.calls.empty());
        EXPECT_TRUE(notifier.boxes.empty());
        EXPECT_EQ(state.CorrectionLoaded, 0);
        EXPECT_EQ(state.parameters.ZPosition, 0);
    }
    ConverterState state;
    FakeLibrary library;
    RecordingNotifier notifier;
    LoadCorrectionFile("a.ctb", state, library, notifier);
    EXPECT_EQ(library.calls, std::vector<std::string>{"load_cor(a.ctb)"});
    EXPECT_EQ(state.CorrectionLoaded, 1);
}

TEST(CorrectionDownload, SuccessReadsZOnlyOnA3DBoard) {
    TempDir dir;
    const std::string path = CorrectionFile(dir, 16970, 100);
    for (bool threeD : {false, true}) {
        ConverterState state;
        state.parameters.ZPlaneEnabled = threeD;
        state.parameters.ZCalibration = 55;
        FakeLibrary library;
        RecordingNotifier notifier;
        LoadCorrectionFile(path, state, library, notifier);
        EXPECT_EQ(state.CorrectionLoaded, 1);
        EXPECT_EQ(state.parameters.ZCalibration, threeD ? 100 : 0);
    }
}

TEST(CorrectionDownload, FailureAfterSuccessClearsTheFlagAndShowsOneBox) {
    ConverterState state;
    FakeLibrary library;
    RecordingNotifier notifier;
    LoadCorrectionFile("/good.ctb", state, library, notifier);
    ASSERT_EQ(state.CorrectionLoaded, 1);
    library.cor_result = 11;
    LoadCorrectionFile("/bad.ctb", state, library, notifier);
    EXPECT_EQ(state.CorrectionLoaded, 0);
    ASSERT_EQ(notifier.boxes.size(), 1u);
    EXPECT_EQ(notifier.boxes[0].kind, MessageKind::Error);
    EXPECT_EQ(notifier.boxes[0].text, "Quarnel4-Correction-File Download Error!\rNo Quarnel found!");
}

TEST(CorrectionDownload, ChosenFileIsRememberedOnlyWhenItLoaded) {
    ConverterState state;
    state.CurrentIniPath = "/etc/q.ini";
    FakeLibrary library;
    library.polydelay_result = -5;
    RecordingNotifier notifier;
    ChooseCorrectionFile("/cor/good.ctb", state, library, notifier);
    EXPECT_EQ(state.parameters.FileName, "/cor/good.ctb");
    EXPECT_EQ(state.PolygonTableLoaded, 1);
    EXPECT_EQ(library.calls.back(), "load_varpolydelay(/etc/q.ini,0)");

    library.cor_result = 15;
    library.polydelay_result = 13;
    ChooseCorrectionFile("/cor/bad.ctb", state, library, notifier);
    EXPECT_EQ(state.parameters.FileName, " ");
    EXPECT_EQ(state.PolygonTableLoaded, 1); // never cleared here
}

} // namespace
} // namespace ondrel
