// The converter's start-up through the bound library, on simulated boards chosen per test.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include <sys/stat.h>
#include <unistd.h>

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
    StopConverter(started.state, BoundLibrary());
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

// Special files named in the settings, or in the settings' place, count as missing files at
// once: nothing waits for a writer on a FIFO. An alarm ends the test if anything does.
TEST(StartupOnBoard, SpecialFilesCountAsMissingWithoutWaiting) {
    PlugBoards("2d");
    TempDir dir;
    ASSERT_EQ(::mkfifo(dir.File("table.ctb").c_str(), 0600), 0);
    ::alarm(30);
    for (const std::string& correction : {dir.File("table.ctb"), std::string("/dev/zero"), dir.Dir()}) {
        SCOPED_TRACE(correction);
        Started started;
        StartWith(dir, correction, started);
        EXPECT_EQ(started.state.CorrectionLoaded, 0);
        ASSERT_EQ(started.notifier.boxes.size(), 1u);
        EXPECT_EQ(started.notifier.boxes[0].text, "Quarnel4-Correction-File Download Error!\rCorrection-File Error!");
    }

    // The settings file itself a FIFO: the defaults, and the FIFO is neither read nor replaced.
    TempDir fifoDir;
    ASSERT_EQ(::mkfifo(fifoDir.File("Quarnel4.ini").c_str(), 0600), 0);
    Started started;
    StartConverter(started.state, BoundLibrary(), started.notifier, fifoDir.Dir());
    EXPECT_TRUE(started.notifier.boxes.empty());
    EXPECT_EQ(started.state.parameters.FileName, " ");
    EXPECT_EQ(started.state.parameters.JumpSpeed, 1000);
    std::ostringstream errors;
    StopConverter(started.state, BoundLibrary(), errors);
    EXPECT_NE(errors.str().find("Quarnel4.ini"), std::string::npos);
    struct stat info {};
    ASSERT_EQ(::stat(fifoDir.File("Quarnel4.ini").c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    ::alarm(0);
}

} // namespace
} // namespace ondrel
