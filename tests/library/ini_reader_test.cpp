#include "ini_reader.h"

#include "failing_calls.h"
#include "locale_number.h"
#include "loader_bus.h"
#include "read_only_file.h"

#include <gtest/gtest.h>

#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace quarnel {
namespace {

using Value = std::optional<std::string>;

TEST(IniReader, SplitsEveryKindOfLineEnd) {
    for (const char* text : {"[S]\nA=1\nB=2\n", "[S]\r\nA=1\r\nB=2\r\n", "[S]\rA=1\rB=2", "[S]\nA=1\r\nB=2"}) {
        const IniReader ini(text, false);
        EXPECT_EQ(ini.value("S", "A"), Value("1"));
        EXPECT_EQ(ini.value("S", "B"), Value("2"));
    }
}

TEST(IniReader, FindsSectionsAndKeysAsStored) {
    const char* text =
        "Orphan=0\n"           // before any section: dropped
        "[First]\n"
        "; Key=comment\n"
        "Key=one\n"
        "KEY=two\n"            // the first match wins
        "Other==x=y\n"         // the value is everything after the first '='
        "Empty=\n"
        "NoEquals\n"
        "[first]\n"            // a second section of the same name is never found
        "Late=1\n"
        "[Second]\n"
        "Orphan=2\n";
    const IniReader ini(text, false);
    EXPECT_EQ(ini.value("FIRST", "key"), Value("one"));
    EXPECT_EQ(ini.value("First", "Other"), Value("=x=y"));
    EXPECT_EQ(ini.value("First", "Empty"), Value(""));
    EXPECT_EQ(ini.value("First", "NoEquals"), std::nullopt);
    EXPECT_EQ(ini.value("First", "Late"), std::nullopt);
    EXPECT_EQ(ini.value("First", "; Key"), std::nullopt);
    EXPECT_EQ(ini.value("Second", "Orphan"), Value("2"));
    EXPECT_EQ(ini.value("Third", "Orphan"), std::nullopt);
}

// The plain build takes lines as they stand; the checked build trims blanks from lines,
// keys and values.
TEST(IniReader, BlanksMatterOnlyInThePlainBuild) {
    const char* text = "  [S]  \n[S]\nA = 1\nB=  2  \n\tC=3\n";
    const IniReader plain(text, false);
    EXPECT_EQ(plain.value("S", "A"), std::nullopt);
    EXPECT_EQ(plain.value("S", "A "), Value(" 1"));
    EXPECT_EQ(plain.value("S", "B"), Value("  2  "));
    EXPECT_EQ(plain.value("S", "C"), std::nullopt);

    const IniReader checked("  [S]  \nA = 1\nB=  2  \n\tC=3\n", true);
    EXPECT_EQ(checked.value("S", "A"), Value("1"));
    EXPECT_EQ(checked.value("S", "B"), Value("2"));
    EXPECT_EQ(checked.value("S", "C"), Value("3"));
}

TEST(IniReader, RealsUseTheLocaleSeparatorAndTheFallback) {
    const std::string original = decimal_separator();
    const IniReader ini("[S]\nDot=45.5\nComma=45,5\nWord=abc\n", false);
    set_decimal_separator(",");
    EXPECT_EQ(ini.real("S", "Dot", -10.0), -10.0);
    EXPECT_EQ(ini.real("S", "Comma", -10.0), 45.5);
    set_decimal_separator(".");
    EXPECT_EQ(ini.real("S", "Dot", -10.0), 45.5);
    EXPECT_EQ(ini.real("S", "Comma", -10.0), -10.0);
    EXPECT_EQ(ini.real("S", "Word", -10.0), -10.0);
    EXPECT_EQ(ini.real("S", "Missing", -10.0), -10.0);
    set_decimal_separator(original);
}

TEST(IniReader, UnreadableFilesReadAsEmpty) {
    const testing::TempDir dir;
    const std::string file = testing::write_text_file(dir.path(), "a.ini", "[S]\r\nA=1\r\n");
    EXPECT_EQ(IniReader::from_file(file.c_str(), false).value("S", "A"), Value("1"));
    EXPECT_EQ(IniReader::from_file((dir.path() + "/missing.ini").c_str(), false).value("S", "A"), std::nullopt);
    EXPECT_EQ(IniReader::from_file(dir.path().c_str(), false).value("S", "A"), std::nullopt);
    EXPECT_EQ(IniReader::from_file(nullptr, false).value("S", "A"), std::nullopt);
    // A named pipe nobody writes to, or a device (where the tests may make one), reads as
    // empty at once, without being opened: opening a terminal or a tape has effects.
    const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    ASSERT_GE(::inotify_add_watch(watch, dir.path().c_str(), IN_OPEN), 0);
    const std::string fifo = dir.path() + "/pipe.ini", device = dir.path() + "/null.ini";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(IniReader::from_file(fifo.c_str(), false).value("S", "A"), std::nullopt);
    if (::mknod(device.c_str(), S_IFCHR | 0666, ::makedev(1, 3)) == 0) {
        EXPECT_EQ(IniReader::from_file(device.c_str(), false).value("S", "A"), std::nullopt);
    }
    char events[4096];
    EXPECT_LT(::read(watch, events, sizeof events), 0) << "a special file was opened";
    ::close(watch);
    // Nor is one kept open that took a regular file's place and inode number between the look
    // and the open.
    testing::FailingCalls calls;
    calls.seeRegularFileAt(fifo);
    EXPECT_FALSE(ReadOnlyFile(fifo.c_str()).is_open());
}

} // namespace
} // namespace quarnel
