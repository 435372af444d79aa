// The converter's start-up through the bound library, on simulated boards chosen per test.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

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
    StopConverter(started.state, BoundLibrary(), started.notifier);
    ASSERT_EQ(started.notifier.boxes.size(), 1u);
    EXPECT_NE(started.notifier.boxes[0].text.find("Quarnel4.ini"), std::string::npos);
    struct stat info {};
    ASSERT_EQ(::stat(fifoDir.File("Quarnel4.ini").c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    ::alarm(0);
}

// scripts/sim-settings, which scripts/run calls before it starts the converter.
void NameSimCorrection(const char* board, const TempDir& dir) {
    const std::string command = std::string(ONDREL_SCRIPTS_DIR "/sim-settings ") + board + " " + dir.Dir() + " 2>/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

TEST(StartupOnBoard, TheGeneratedCorrectionFileMakesEitherBoardReady) {
    for (const char* board : {"2d", "3d"}) {
        SCOPED_TRACE(board);
        PlugBoards(board);
        TempDir dir;
        NameSimCorrection(board, dir);
        Started started;
        StartConverter(started.state, BoundLibrary(), started.notifier, dir.Dir());
        EXPECT_TRUE(started.notifier.boxes.empty());
        EXPECT_EQ(started.state.CorrectionLoaded, 1);
        EXPECT_EQ(started.state.parameters.ZCalibration, board == std::string("3d") ? 1000 : 0);
        StopConverter(started.state, BoundLibrary(), started.notifier);
        const std::string saved = dir.Read("Quarnel4.ini");
        NameSimCorrection(board, dir); // names the file the converter saved: nothing to change
        EXPECT_EQ(dir.Read("Quarnel4.ini"), saved);
    }
}

TEST(StartupOnBoard, SimSettingsFillOnlyAFileNameThatLoadsNothing) {
    TempDir dir;
    const std::string own = dir.Write("own.ctb", "");
    const std::string sim2d = dir.File("sim-2d.ctb"), sim3d = dir.File("sim-3d.ctb");
    const struct {
        std::string before, after; // the settings for a 3-D board
    } cases[] = {
        {"[Marking]\r\nScans=3\r\n\r\n[Correction]\r\nFileName= \r\nFlag=1\r\n\r\n[Poly]\r\nA=1\r\n",
         "[Marking]\r\nScans=3\r\n\r\n[Correction]\r\nFileName=" + sim3d + "\r\nFlag=1\r\n\r\n[Poly]\r\nA=1\r\n"},
        {"[correction]\nfilename=\n", "[correction]\nfilename=" + sim3d + "\n"},
        {"[Correction]\r\nFileName=/no/such/table.ctb\r\n", "[Correction]\r\nFileName=" + sim3d + "\r\n"},
        {"[Correction]\r\nFileName=" + sim2d + "\r\n", "[Correction]\r\nFileName=" + sim3d + "\r\n"},
        {"[Correction]\r\nFileName=" + own + "\r\n", "[Correction]\r\nFileName=" + own + "\r\n"},
        {"[Correction]\r\nFlag=1\r\n[Correction]\r\nFileName=x\r\n",
         "[Correction]\r\nFileName=" + sim3d + "\r\nFlag=1\r\n[Correction]\r\nFileName=x\r\n"},
        {"[Marking]\r\nScans=3", "[Marking]\r\nScans=3\r\n[Correction]\r\nFileName=" + sim3d + "\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.before);
        dir.Write("Quarnel4.ini", c.before);
        NameSimCorrection("3d", dir);
        EXPECT_EQ(dir.Read("Quarnel4.ini"), c.after);
    }
    std::filesystem::remove(dir.File("Quarnel4.ini"));
    NameSimCorrection("2d", dir);
    EXPECT_EQ(dir.Read("Quarnel4.ini"), "[Correction]\r\nFileName=" + sim2d + "\r\n");
}

} // namespace
} // namespace ondrel
