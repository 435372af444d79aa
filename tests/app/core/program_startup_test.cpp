#include "program_startup.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>

#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "fakes.h"
#include "read_only_folder.h"
#include "settings_file.h"
#include "temp_dir.h"

namespace ondrel {
namespace {

using fakes::FakeLibrary;
using fakes::RecordingNotifier;
using fakes::TempDir;

TEST(StartConverter, CallsTheBoardInOrder) {
    TempDir dir;
    dir.Write("Quarnel4.ini", "[Correction]\r\nFileName=/cor/table.ctb\r\n[Laser]\r\nLampDelay=9\r\n");
    ConverterState state;
    FakeLibrary library;
    library.polydelay_result = -3;
    RecordingNotifier notifier;
    StartConverter(state, library, notifier, dir.Dir());
    const std::string ini = dir.File("Quarnel4.ini");
    EXPECT_EQ(library.calls, (std::vector<std::string>{"load_program_file()", "get_hex_version()",
                                                       "load_cor(/cor/table.ctb)",
                                                       "load_varpolydelay(" + ini + ",0)"}));
    EXPECT_EQ(state.DefaultIniPath, ini);
    EXPECT_EQ(state.CurrentIniPath, ini);
    EXPECT_EQ(state.parameters.LampDelay, 9);
    EXPECT_EQ(state.CorrectionLoaded, 1);
    EXPECT_EQ(state.PolygonTableLoaded, 1);
    EXPECT_EQ(state.StopRequested, 1);
    EXPECT_FLOAT_EQ(state.field.FieldGain, 0.5f);
    EXPECT_EQ(state.parameters.GridPoints, 30);
    EXPECT_TRUE(notifier.boxes.empty());
}

TEST(StartConverter, ZPlaneAboveFirmware3000Only) {
    const struct {
        std::int16_t ready;
        std::uint16_t version;
        bool zPlane;
    } cases[] = {{0, 2999, false}, {0, 3000, false}, {0, 3001, true}, {0, 3599, true}, {11, 3500, false}, {8, 3500, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.ready << " " << c.version);
        TempDir dir;
        ConverterState state;
        FakeLibrary library;
        library.program_result = c.ready;
        library.hex_version = c.version;
        RecordingNotifier notifier;
        StartConverter(state, library, notifier, dir.Dir());
        EXPECT_EQ(state.parameters.ZPlaneEnabled, c.zPlane);
        const bool asked = library.calls[1] == "get_hex_version()";
        EXPECT_EQ(asked, c.ready == 0);
    }
}

TEST(StartConverter, WithoutABoardTheCorrectionBoxShowsOnce) {
    TempDir dir;
    dir.Write("Quarnel4.ini", "[Correction]\nFileName=/cor/table.ctb\n");
    ConverterState state;
    FakeLibrary library;
    library.program_result = 11;
    library.cor_result = 11;
    RecordingNotifier notifier;
    StartConverter(state, library, notifier, dir.Dir());
    ASSERT_EQ(notifier.boxes.size(), 1u);
    EXPECT_EQ(notifier.boxes[0].text, "Quarnel4-Correction-File Download Error!\rNo Quarnel found!");
    EXPECT_EQ(state.CorrectionLoaded, 0);

    // Without a correction file named, no box at all.
    TempDir empty;
    RecordingNotifier quiet;
    StartConverter(state, library, quiet, empty.Dir());
    EXPECT_TRUE(quiet.boxes.empty());
}

TEST(StopConverter, ReleasesTheListLimitAndWritesBesideTheProgram) {
    TempDir dir;
    ConverterState state;
    FakeLibrary library;
    RecordingNotifier notifier;
    StartConverter(state, library, notifier, dir.Dir());
    dir.Write("other.ini", "");
    LoadIniFile(dir.File("other.ini"), state, library, notifier);
    state.parameters.LampDelay = 1234;
    state.CorrectionLoaded = 1;
    library.calls.clear();
    StopConverter(state, library, notifier);
    EXPECT_EQ(library.calls, std::vector<std::string>{"set_max_counts(0)"});
    Parameters back;
    LoadSettings(dir.File("Quarnel4.ini"), back);
    EXPECT_EQ(back.LampDelay, 1234);
    EXPECT_EQ(dir.Read("other.ini"), "");

    state.CorrectionLoaded = 0;
    library.calls.clear();
    StopConverter(state, library, notifier);
    EXPECT_TRUE(library.calls.empty());
    EXPECT_TRUE(notifier.boxes.empty());
}

// A settings file that cannot be written stays as it was, at exit and by "Save Ini-File", and
// a box naming it says so: a directory in its place, and a file the operator made read-only
// in a folder the operator may write.
TEST(StopConverter, UnwritableSettingsFileStaysAndTheBoxNamesIt) {
    TempDir dir;
    ConverterState state;
    FakeLibrary library;
    RecordingNotifier notifier;
    StartConverter(state, library, notifier, dir.Dir());
    // A directory in the file's place cannot be written, not even by root.
    std::filesystem::create_directory(dir.File("Quarnel4.ini"));
    StopConverter(state, library, notifier);
    ASSERT_EQ(notifier.boxes.size(), 1u);
    EXPECT_EQ(notifier.boxes[0].kind, MessageKind::Failure);
    EXPECT_NE(notifier.boxes[0].text.find(dir.File("Quarnel4.ini")), std::string::npos) << notifier.boxes[0].text;
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("Quarnel4.ini")));
    std::filesystem::remove(dir.File("Quarnel4.ini"));

    const std::string old = "[Laser]\r\nLampDelay=5\r\n";
    const std::string ini = dir.Write("Quarnel4.ini", old);
    struct stat before {};
    ASSERT_EQ(::stat(ini.c_str(), &before), 0);
    state.parameters.LampDelay = 1234;
    EXPECT_TRUE(fakes::SavedBesideAReadOnlyFile(dir, ini, [&] {
        RecordingNotifier shown;
        StopConverter(state, library, shown);
        SaveIniFile(ini, state, shown);
        return shown.boxes.size() == 2 && shown.boxes[0].kind == MessageKind::Failure &&
               shown.boxes[0].text.find(ini) != std::string::npos && shown.boxes[1].text.find(ini) != std::string::npos;
    }));
    struct stat after {};
    ASSERT_EQ(::stat(ini.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_uid, before.st_uid);
    EXPECT_EQ(after.st_mode & 0777, 0444u);
    EXPECT_EQ(dir.Read("Quarnel4.ini"), old);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Dir()), {}), 1);
}

// The settings at exit and by "Save Ini-File" on a full disk: the old file, with a foreign
// section larger than a page, stays whole, and each shows its box; so it does when it is
// rewritten in place, in a folder that takes no new file or with a second name. The folder is
// a small file system filled up, mounted in a child process's own mount namespace; where the
// child may not mount, a file size limit below the file's size stands in for the full disk.
TEST(SettingsFile, FullDiskLeavesTheOldFileWhole) {
    std::string old = "[VarPolyTable0]\r\n";
    for (int i = 1; i <= 500; ++i) old += "Angle" + std::to_string(i) + "=" + std::to_string(i % 90) + ".125\r\n";
    // Just short of a page boundary, so that the longer new text needs a page more.
    old += "Pad=" + std::string(3 * 4096 - 64 - old.size(), '0') + "\r\n";
    ASSERT_EQ(old.size(), 3 * 4096u - 58);
    enum class Layout { Replaced, ReadOnlyFolder, SecondName };
    for (const Layout layout : {Layout::Replaced, Layout::ReadOnlyFolder, Layout::SecondName}) {
        SCOPED_TRACE(static_cast<int>(layout));
        TempDir dir;
        const std::string ini = dir.File("Quarnel4.ini");
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            const bool mounted = ::unshare(CLONE_NEWNS) == 0 &&
                                 ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
                                 ::mount("tmpfs", dir.Dir().c_str(), "tmpfs", 0, "size=64k") == 0;
            dir.Write("Quarnel4.ini", old);
            if (layout == Layout::SecondName) std::filesystem::create_hard_link(ini, dir.File("second.ini"));
            if (mounted) {
                std::ofstream filler(dir.File("filler"), std::ios::binary);
                const std::string page(4096, 'x');
                while (filler.write(page.data(), static_cast<std::streamsize>(page.size())) && filler.flush()) {
                }
            } else {
                ::signal(SIGXFSZ, SIG_IGN);
                const rlimit limit{4096, 4096};
                ::setrlimit(RLIMIT_FSIZE, &limit);
            }
            if (layout == Layout::ReadOnlyFolder) {
                // As root the folder stays root's and the file becomes nobody's, who then saves.
                const bool dropped = ::geteuid() != 0
                                         ? ::chmod(dir.Dir().c_str(), 0555) == 0
                                         : ::chown(ini.c_str(), fakes::kNobody, fakes::kNobody) == 0 &&
                                               ::chmod(dir.Dir().c_str(), 0755) == 0 && ::setgroups(0, nullptr) == 0 &&
                                               ::setgid(fakes::kNobody) == 0 && ::setuid(fakes::kNobody) == 0;
                if (!dropped || ::access(dir.Dir().c_str(), W_OK) == 0) ::_exit(32);
            }
            ConverterState state;
            FakeLibrary library;
            RecordingNotifier notifier;
            StartConverter(state, library, notifier, dir.Dir());
            state.parameters.LampDelay = 1234;
            StopConverter(state, library, notifier);
            int failures = 0;
            if (dir.Read("Quarnel4.ini") != old) failures |= 1;
            if (notifier.boxes.size() != 1 || notifier.boxes[0].text.find(ini) == std::string::npos) failures |= 2;
            SaveIniFile(ini, state, notifier);
            if (dir.Read("Quarnel4.ini") != old) failures |= 4;
            if (notifier.boxes.size() != 2 || notifier.boxes[1].kind != MessageKind::Failure) failures |= 8;
            const long files = (mounted ? 2 : 1) + (layout == Layout::SecondName ? 1 : 0);
            if (std::distance(std::filesystem::directory_iterator(dir.Dir()), {}) != files)
                failures |= 16; // a temporary file left behind
            ::_exit(failures);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status)) << "signal " << WTERMSIG(status);
        EXPECT_EQ(WEXITSTATUS(status), 0) << "1: cut at exit, 2: no box naming the file, 4: cut by Save, "
                                             "8: no box, 16: temporary file left, 32: folder still writable";
    }
}

// In a folder that takes no new file, "Save Ini-File" rewrites a writable settings file in
// place; one it may not write stays as it was, and a box says so.
TEST(SaveIniFile, ReadOnlyFolderRewritesAWritableFileInPlace) {
    TempDir dir;
    const std::string path = dir.Write("job.ini", "[VarPolyTable0]\r\nAngle1=5\r\n");
    ConverterState state;
    RecordingNotifier notifier;
    const auto saveWithoutBox = [&] {
        SaveIniFile(path, state, notifier);
        return notifier.boxes.empty();
    };
    state.parameters.LampDelay = 1234;
    EXPECT_TRUE(fakes::SavedInReadOnlyFolder(dir, path, saveWithoutBox));
    Parameters back;
    LoadSettings(path, back);
    EXPECT_EQ(back.LampDelay, 1234);
    EXPECT_NE(dir.Read("job.ini").find("[VarPolyTable0]\r\nAngle1=5\r\n"), std::string::npos);

    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    state.parameters.LampDelay = 99;
    EXPECT_FALSE(fakes::SavedInReadOnlyFolder(dir, path, saveWithoutBox));
    LoadSettings(path, back);
    EXPECT_EQ(back.LampDelay, 1234);
}

TEST(LoadIniFile, ReadsSettingsCorrectionAndPolygonTable) {
    TempDir dir;
    const std::string path = dir.Write("job.ini", "[Correction]\nFileName=/cor/job.ctb\n[VarPolyTable0]\nAngle1=5\n");
    ConverterState state;
    FakeLibrary library;
    library.polydelay_result = -1;
    RecordingNotifier notifier;
    LoadIniFile(path, state, library, notifier);
    EXPECT_EQ(state.CurrentIniPath, path);
    EXPECT_EQ(library.calls, (std::vector<std::string>{"load_cor(/cor/job.ctb)", "load_varpolydelay(" + path + ",0)"}));
    EXPECT_EQ(state.PolygonTableLoaded, 1);
}

} // namespace
} // namespace ondrel
