// The converter's start-up through the bound library, on simulated boards chosen per test.
#include <gtest/gtest.h>

#include <cstdlib>

#include "../core/fakes.h"
#include "../core/temp_dir.h"
#include "library_binding.h"
#include "program_startup.h"
#include "quarnel4.h"

namespace ondrel {
namespace {

using fakes::RecordingNotifier;
using fakes::TempDir;

// Puts the given simulated boards on the bus and takes them.
void PlugBoards(const char* boards) {
    setenv("QUARNEL_SIM", boards, 1);
    std::uint32_t count = 0;
    usb_reinitialize(&count);
}

// A correction file of `words` zero words, with `z` at the Z calibration index.
std::string CorrectionFile(const TempDir& dir, std::size_t words, std::uint16_t z) {
    std::string bytes(words * 2, '\0');
    if (words > 16967) {
        bytes[16967 * 2] = static_cast<char>(z & 0xFF);
        bytes[16967 * 2 + 1] = static_cast<char>(z >> 8);
    }
    return dir.Write("table.ctb", bytes);
}

struct Started {
    ConverterState state;
    RecordingNotifier notifier;
};

void StartWith(const TempDir& dir, const std::string& correction, Started& started) {
    dir.Write("Quarnel4.ini", "[Correction]\r\nFileName=" + correction + "\r\n");
    StartConverter(started.state, BoundLibrary(), started.notifier, dir.Dir());
}

TEST(StartupOnBoard, ThreeDBoardTakesTheZPlaneAndItsCalibration) {
    PlugBoards("3d");
    TempDir dir;
    Started started;
    StartWith(dir, CorrectionFile(dir, 16973, 250), started);
    EXPECT_TRUE(started.notifier.boxes.empty());
    EXPECT_TRUE(started.state.parameters.ZPlaneEnabled);
    EXPECT_EQ(started.state.CorrectionLoaded, 1);
    EXPECT_EQ(started.state.parameters.ZCalibration, 250);
    StopConverter(started.state, BoundLibrary(), started.notifier);
    EXPECT_TRUE(started.notifier.boxes.empty());
}

TEST(StartupOnBoard, TwoDBoardRefusesAThreeDFile) {
    PlugBoards("2d");
    TempDir dir;
    Started good;
    StartWith(dir, CorrectionFile(dir, 8450, 0), good);
    EXPECT_FALSE(good.state.parameters.ZPlaneEnabled);
    EXPECT_EQ(good.state.CorrectionLoaded, 1);
    EXPECT_TRUE(good.notifier.boxes.empty());

    Started wrong;
    StartWith(dir, CorrectionFile(dir, 16973, 250), wrong);
    EXPECT_EQ(wrong.state.CorrectionLoaded, 0);
    ASSERT_EQ(wrong.notifier.boxes.size(), 1u);
    EXPECT_EQ(wrong.notifier.boxes[0].text, "Quarnel4-Correction-File Download Error!\rWrong Correction File!");
}

TEST(StartupOnBoard, WithoutABoardTheCorrectionBoxSaysSo) {
    PlugBoards("");
    TempDir dir;
    Started started;
    StartWith(dir, CorrectionFile(dir, 8450, 0), started);
    EXPECT_FALSE(started.state.parameters.ZPlaneEnabled);
    EXPECT_EQ(started.state.CorrectionLoaded, 0);
    ASSERT_EQ(started.notifier.boxes.size(), 1u);
    EXPECT_EQ(started.notifier.boxes[0].text, "Quarnel4-Correction-File Download Error!\rNo Quarnel found!");
}

} // namespace
} // namespace ondrel
