#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "drawing_export.h"
#include "../core/read_only_folder.h"
#include "qt_file_saver.h"
#include "window_fixture.h"

namespace ondrel::fakes {
namespace {

std::size_t FilesIn(const std::string& dir) {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(dir), {}));
}

TEST_F(WindowTest, SaveHPGLFileWritesTheChosenFormat) {
    Start();
    Form1().DropFiles({"/d/a.plt"});
    const ConverterState& state = Form1().State();
    for (const char* name : {"out.vl", "out.plt"}) {
        SCOPED_TRACE(name);
        chooser.answer = dir.File(name);
        Form1().SaveHPGL1->trigger();
        EXPECT_EQ(dir.Read(name), DrawingFileText(state.drawing, state.field, ExportFormatFor(name)));
    }
    EXPECT_TRUE(notifier.boxes.empty());
}

TEST_F(WindowTest, SaveHPGLFileThatCannotBeWrittenShowsTheBox) {
    Start();
    Form1().DropFiles({"/d/a.plt"});
    for (const std::string& path : {std::string("/dev/full"), dir.File("missing/out.plt"), std::string("/proc/out.plt")}) {
        SCOPED_TRACE(path);
        notifier.boxes.clear();
        chooser.answer = path;
        Form1().SaveHPGL1->trigger();
        ASSERT_EQ(notifier.boxes.size(), 1u);
        EXPECT_EQ(notifier.boxes[0].kind, MessageKind::Error);
        EXPECT_EQ(notifier.boxes[0].text, "Unable to create file!");
    }
    struct stat device {};
    ASSERT_EQ(::stat("/dev/full", &device), 0);
    EXPECT_TRUE(S_ISCHR(device.st_mode)); // written in place, never replaced
}

TEST(QtFileSaver, ReplacesTheOldFileOnlyWhenAllWasWritten) {
    TempDir dir;
    const std::string path = dir.Write("drawing.plt", "old drawing");
    QtFileSaver saver;
    EXPECT_TRUE(saver.Save(path, "IN;SP1;\r\nSP0;\r\n"));
    EXPECT_EQ(dir.Read("drawing.plt"), "IN;SP1;\r\nSP0;\r\n");

    // A full disk, as a limit on the size of the files this process writes.
    rlimit previous{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &previous), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = previous;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved = saver.Save(path, std::string(1 << 20, 'x'));
    ::setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(saved);
    EXPECT_EQ(dir.Read("drawing.plt"), "IN;SP1;\r\nSP0;\r\n");
    EXPECT_EQ(FilesIn(dir.Dir()), 1u); // no temporary file left behind
}

TEST(QtFileSaver, ReadOnlyFolderRewritesAWritableFileInPlace) {
    TempDir dir;
    const std::string path = dir.Write("drawing.vl", "old drawing");
    EXPECT_TRUE(SavedInReadOnlyFolder(dir, path, [&] { return QtFileSaver().Save(path, "J      0      0\r\n"); }));
    EXPECT_EQ(dir.Read("drawing.vl"), "J      0      0\r\n");

    // A file that may not be written either stays as it was.
    ::chmod(path.c_str(), 0444);
    EXPECT_FALSE(SavedInReadOnlyFolder(dir, path, [&] { return QtFileSaver().Save(path, "old drawing"); }));
    EXPECT_EQ(dir.Read("drawing.vl"), "J      0      0\r\n");
    EXPECT_EQ(FilesIn(dir.Dir()), 1u);
}

} // namespace
} // namespace ondrel::fakes
