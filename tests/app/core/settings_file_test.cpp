#include "settings_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <locale>
#include <vector>

#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "failing_calls.h"
#include "ini_store.h"
#include "read_only_folder.h"
#include "temp_dir.h"
#include "whole_file.h"

namespace ondrel {
namespace {

using fakes::TempDir;
using quarnel::testing::Call;
using quarnel::testing::FailingCalls;
using quarnel::testing::Failure;

Parameters LoadText(const std::string& text) {
    TempDir dir;
    Parameters p;
    LoadSettings(dir.Write("s.ini", text), p);
    return p;
}

// One key of one section, read from a file that holds only it.
Parameters LoadKey(const std::string& section, const std::string& key, const std::string& value) {
    return LoadText("[" + section + "]\r\n" + key + "=" + value + "\r\n");
}

TEST(LoadSettings, AbsentOrEmptyFileGivesTheDefaults) {
    TempDir dir;
    for (const std::string& path : {dir.File("missing.ini"), dir.Write("empty.ini", "")}) {
        Parameters p;
        p.LaserMode = 3;
        p.Kx = 7;
        p.FileName = "x";
        LoadSettings(path, p);
        EXPECT_EQ(p.FileName, " ");
        EXPECT_EQ(p.LaserMode, 0);
        EXPECT_EQ(p.LaserOutputPeriod, 100);
        EXPECT_EQ(p.Laser1PulseWidth, 5);
        EXPECT_EQ(p.Laser2PulseWidth, 5);
        EXPECT_EQ(p.FirstPulseKillerLength, 5);
        EXPECT_EQ(p.StandByPeriod, 0);
        EXPECT_EQ(p.StandByPulseWidth, 0);
        EXPECT_EQ(p.DigitalAnalogConverter1, 0);
        EXPECT_EQ(p.LampDelay, 0);
        EXPECT_EQ(p.EightBitPort, 0);
        EXPECT_EQ(p.LaserOnDelay, 100);
        EXPECT_EQ(p.LaserOffDelay, 100);
        EXPECT_EQ(p.MarkSpeed, 100);
        EXPECT_EQ(p.JumpSpeed, 1000);
        EXPECT_EQ(p.MarkDelay, 200);
        EXPECT_EQ(p.JumpDelay, 500);
        EXPECT_EQ(p.PolyDelay, 100);
        EXPECT_EQ(p.EdgeLevel, 65500);
        EXPECT_EQ(p.Scans, 1);
        EXPECT_EQ(p.Kx, 0);
        EXPECT_EQ(p.Ky, 0);
        EXPECT_EQ(p.StartDelay, 0);
        EXPECT_FALSE(p.EnableMOF || p.SimulateEncoderX || p.SimulateEncoderY || p.ExtStart ||
                     p.UseVarPolyDelay || p.UseDirectZMove);
    }
}

TEST(LoadSettings, ValuesLandOnTheirStepOrFallBack) {
    const struct {
        const char* section;
        const char* key;
        const char* value;
        double expected;
        double (*field)(const Parameters&);
    } cases[] = {
        {"Laser", "LaserOutputPeriod", "12.3", 12.25, [](const Parameters& p) { return p.LaserOutputPeriod; }},
        {"Laser", "Laser1PulseWidth", "0.3", 0.25, [](const Parameters& p) { return p.Laser1PulseWidth; }},
        {"Laser", "DigitalAnalogConverter1", "33.36", 33.4, [](const Parameters& p) { return p.DigitalAnalogConverter1; }},
        {"Laser", "LaserMode", "4.1", 4, [](const Parameters& p) { return double(p.LaserMode); }},
        {"Laser", "LaserMode", "4.2", 0, [](const Parameters& p) { return double(p.LaserMode); }},
        {"Laser", "LaserMode", "2.5", 2, [](const Parameters& p) { return double(p.LaserMode); }}, // half to even
        {"Laser", "8BitPort", "256", 0, [](const Parameters& p) { return double(p.EightBitPort); }},
        {"Laser", "8BitPort", "255", 255, [](const Parameters& p) { return double(p.EightBitPort); }},
        {"Marking", "Scans", "0", 1, [](const Parameters& p) { return double(p.Scans); }},
        {"Marking", "Scans", "101", 101, [](const Parameters& p) { return double(p.Scans); }},
        {"Marking", "LaserOffDelay", "0", 100, [](const Parameters& p) { return double(p.LaserOffDelay); }},
        {"Marking", "LaserOnDelay", "-50", -50, [](const Parameters& p) { return double(p.LaserOnDelay); }},
        {"Marking", "EdgeLevel", "70000", 65500, [](const Parameters& p) { return double(p.EdgeLevel); }},
        {"Marking", "JumpSpeed", "100.0", 100, [](const Parameters& p) { return double(p.JumpSpeed); }},
        {"Marking", "JumpSpeed", "50001", 50001, [](const Parameters& p) { return double(p.JumpSpeed); }},
        {"Marking", "MarkDelay", "-0.1", 0, [](const Parameters& p) { return double(p.MarkDelay); }},
        {"Marking", "MarkDelay", "abc", 200, [](const Parameters& p) { return double(p.MarkDelay); }},
        {"Marking", "MarkDelay", "", 200, [](const Parameters& p) { return double(p.MarkDelay); }},
        {"Marking", "MarkDelay", "300 ", 200, [](const Parameters& p) { return double(p.MarkDelay); }},
        {"Marking", "MarkDelay", "1e999", 200, [](const Parameters& p) { return double(p.MarkDelay); }},
        {"Fly", "Kx", "-1000.5", -1000.5, [](const Parameters& p) { return p.Kx; }},
        {"Fly", "StartDelay", "-500000.5", -500000, [](const Parameters& p) { return double(p.StartDelay); }},
        // Top ends the dialogs can store read back unchanged.
        {"Laser", "Laser1PulseWidth", "0.25", 0.25, [](const Parameters& p) { return p.Laser1PulseWidth; }},
        {"Laser", "Laser2PulseWidth", "8191", 8191, [](const Parameters& p) { return p.Laser2PulseWidth; }},
        {"Laser", "LaserOutputPeriod", "16370", 16370, [](const Parameters& p) { return p.LaserOutputPeriod; }},
        {"Laser", "FirstPulseKillerLength", "8191", 8191, [](const Parameters& p) { return p.FirstPulseKillerLength; }},
        {"Laser", "StandByPulseWidth", "8191", 8191, [](const Parameters& p) { return p.StandByPulseWidth; }},
        {"Laser", "LampDelay", "65000", 65000, [](const Parameters& p) { return double(p.LampDelay); }},
        {"Laser", "LampDelay", "65001", 0, [](const Parameters& p) { return double(p.LampDelay); }},
        {"Marking", "LaserOnDelay", "-8101", -8101, [](const Parameters& p) { return double(p.LaserOnDelay); }},
        {"Marking", "LaserOffDelay", "8101", 8101, [](const Parameters& p) { return double(p.LaserOffDelay); }},
        {"Marking", "LaserOnShift", "101", 101, [](const Parameters& p) { return p.LaserOnShift; }},
        {"Marking", "MinJumpDelay", "32501", 32501, [](const Parameters& p) { return double(p.MinJumpDelay); }},
        {"Marking", "JumpLengthLimit", "32501", 32501, [](const Parameters& p) { return double(p.JumpLengthLimit); }},
        {"Fly", "Ky", "1000.9", 1000.9, [](const Parameters& p) { return p.Ky; }},
        {"Fly", "StartDelay", "500001", 500001, [](const Parameters& p) { return double(p.StartDelay); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.key) + "=" + c.value);
        EXPECT_EQ(c.field(LoadKey(c.section, c.key, c.value)), c.expected);
    }
}

TEST(LoadSettings, BooleansAreIntegers) {
    EXPECT_TRUE(LoadKey("Fly", "EnableMOF", "0x1").EnableMOF);
    EXPECT_TRUE(LoadKey("Fly", "EnableMOF", "-3").EnableMOF);
    EXPECT_FALSE(LoadKey("Fly", "EnableMOF", "yes").EnableMOF);
    EXPECT_FALSE(LoadKey("Fly", "EnableMOF", "0").EnableMOF);
    EXPECT_FALSE(LoadKey("Fly", "EnableMOF", "1.0").EnableMOF);
}

TEST(LoadSettings, NamesWithoutCaseButLinesUntrimmed) {
    EXPECT_EQ(LoadText("[laser]\nlampdelay=25\n").LampDelay, 25);
    EXPECT_EQ(LoadText("[Laser]\nLampDelay = 25\n").LampDelay, 0);
    EXPECT_EQ(LoadText("LampDelay=25\n[Laser]\n").LampDelay, 0); // before the first section
    EXPECT_EQ(LoadText("[Correction]\r\nFileName=/opt/cor/a b.ctb\r\n").FileName, "/opt/cor/a b.ctb");
}

TEST(LoadSettings, LeavesTheFieldsThatAreNotStored) {
    TempDir dir;
    Parameters p;
    p.ZCalibration = 77;
    p.ZPosition = 1.5;
    p.ZPlaneEnabled = true;
    p.GridPoints = 9;
    LoadSettings(dir.Write("s.ini", "[Laser]\nLampDelay=3\n"), p);
    EXPECT_EQ(p.ZCalibration, 77);
    EXPECT_EQ(p.ZPosition, 1.5);
    EXPECT_TRUE(p.ZPlaneEnabled);
    EXPECT_EQ(p.GridPoints, 9);
}

Parameters UnusualParameters() {
    Parameters p;
    p.FileName = "/home/op/cor/board one.ctb";
    p.LaserMode = 4;
    p.LaserOutputPeriod = 16369.75;
    p.Laser1PulseWidth = 0.25;
    p.Laser2PulseWidth = 8190.875;
    p.FirstPulseKillerLength = 0.125;
    p.StandByPeriod = 12.25;
    p.StandByPulseWidth = 8191;
    p.DigitalAnalogConverter1 = 33.4;
    p.LampDelay = 65000;
    p.EightBitPort = 255;
    p.EnableMOF = true;
    p.SimulateEncoderY = true;
    p.Kx = -1000.123456789012;
    p.Ky = 0.1;
    p.StartDelay = -500001;
    p.UseVarPolyDelay = true;
    p.LaserOnDelay = -8101;
    p.LaserOffDelay = 8101;
    p.MarkSpeed = 50001;
    p.JumpSpeed = 1;
    p.MarkDelay = 32500;
    p.JumpDelay = 0;
    p.PolyDelay = 10;
    p.EdgeLevel = 0;
    p.WobbelAmpl = 5001;
    p.WobbelFreq = 1001;
    p.Scans = 100;
    p.LaserOnShift = 100.875;
    p.JumpLengthLimit = 32501;
    p.MinJumpDelay = 32501;
    return p;
}

TEST(SaveSettings, RoundTripKeepsEveryStoredField) {
    TempDir dir;
    const Parameters saved = UnusualParameters();
    std::string error;
    ASSERT_TRUE(SaveSettings(dir.File("s.ini"), saved, error)) << error;
    Parameters back;
    LoadSettings(dir.File("s.ini"), back);
    EXPECT_EQ(back.FileName, saved.FileName);
    EXPECT_EQ(back.LaserMode, saved.LaserMode);
    EXPECT_EQ(back.LaserOutputPeriod, saved.LaserOutputPeriod);
    EXPECT_EQ(back.Laser1PulseWidth, saved.Laser1PulseWidth);
    EXPECT_EQ(back.Laser2PulseWidth, saved.Laser2PulseWidth);
    EXPECT_EQ(back.FirstPulseKillerLength, saved.FirstPulseKillerLength);
    EXPECT_EQ(back.StandByPeriod, saved.StandByPeriod);
    EXPECT_EQ(back.StandByPulseWidth, saved.StandByPulseWidth);
    EXPECT_EQ(back.DigitalAnalogConverter1, saved.DigitalAnalogConverter1);
    EXPECT_EQ(back.LampDelay, saved.LampDelay);
    EXPECT_EQ(back.EightBitPort, saved.EightBitPort);
    EXPECT_EQ(back.EnableMOF, saved.EnableMOF);
    EXPECT_EQ(back.SimulateEncoderX, saved.SimulateEncoderX);
    EXPECT_EQ(back.SimulateEncoderY, saved.SimulateEncoderY);
    EXPECT_EQ(back.ExtStart, saved.ExtStart);
    EXPECT_EQ(back.Kx, saved.Kx);
    EXPECT_EQ(back.Ky, saved.Ky);
    EXPECT_EQ(back.StartDelay, saved.StartDelay);
    EXPECT_EQ(back.UseVarPolyDelay, saved.UseVarPolyDelay);
    EXPECT_EQ(back.UseDirectZMove, saved.UseDirectZMove);
    EXPECT_EQ(back.LaserOnDelay, saved.LaserOnDelay);
    EXPECT_EQ(back.LaserOffDelay, saved.LaserOffDelay);
    EXPECT_EQ(back.MarkSpeed, saved.MarkSpeed);
    EXPECT_EQ(back.JumpSpeed, saved.JumpSpeed);
    EXPECT_EQ(back.MarkDelay, saved.MarkDelay);
    EXPECT_EQ(back.JumpDelay, saved.JumpDelay);
    EXPECT_EQ(back.PolyDelay, saved.PolyDelay);
    EXPECT_EQ(back.EdgeLevel, saved.EdgeLevel);
    EXPECT_EQ(back.WobbelAmpl, saved.WobbelAmpl);
    EXPECT_EQ(back.WobbelFreq, saved.WobbelFreq);
    EXPECT_EQ(back.Scans, saved.Scans);
    EXPECT_EQ(back.LaserOnShift, saved.LaserOnShift);
    EXPECT_EQ(back.JumpLengthLimit, saved.JumpLengthLimit);
    EXPECT_EQ(back.MinJumpDelay, saved.MinJumpDelay);
}

TEST(SaveSettings, WritesTheFileFormat) {
    TempDir dir;
    std::string error;
    ASSERT_TRUE(SaveSettings(dir.File("s.ini"), Parameters{}, error));
    const std::string text = dir.Read("s.ini");
    EXPECT_EQ(text.rfind("[Correction]\r\nFileName= \r\n\r\n[Laser]\r\nLaserMode=0\r\nLaserOutputPeriod=100\r\n", 0), 0u)
        << text;
    EXPECT_NE(text.find("\r\nLaserOnDelay=100\r\n"), std::string::npos);
    EXPECT_NE(text.find("[Fly]\r\nEnableMOF=0\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nStartDelay=0\r\n\r\n"), std::string::npos);
    EXPECT_EQ(text.find("ZPosition"), std::string::npos);
    EXPECT_EQ(text.find("Grid"), std::string::npos);
    // No bare LF anywhere.
    std::size_t bareLineFeeds = 0;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) ++bareLineFeeds;
    EXPECT_EQ(bareLineFeeds, 0u);
}

TEST(SaveSettings, KeepsForeignSectionsAndReplacesKeysInPlace) {
    TempDir dir;
    const std::string path = dir.Write("s.ini",
                                       "; comment\n[VarPolyTable0]\nAngle1=10\nScale1=0.5\n\n"
                                       "[laser]\nlampdelay=7\nExtra=x\n[Other]\nA=1\n");
    Parameters p;
    p.LampDelay = 42;
    std::string error;
    ASSERT_TRUE(SaveSettings(path, p, error));
    const std::string text = dir.Read("s.ini");
    EXPECT_EQ(text.find("; comment"), std::string::npos);
    EXPECT_EQ(text.rfind("[VarPolyTable0]\r\nAngle1=10\r\nScale1=0.5\r\n\r\n[laser]\r\nlampdelay=42\r\nExtra=x\r\n", 0), 0u)
        << text;
    EXPECT_NE(text.find("[Other]\r\nA=1\r\n\r\n[Correction]"), std::string::npos) << text;
    IniStore store = IniStore::FromFile(path);
    EXPECT_EQ(store.Read("VarPolyTable0", "Scale1"), "0.5");
    EXPECT_EQ(store.Read("LASER", "LaserMode"), "0");
}

struct CommaDecimal : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
};

TEST(SaveSettings, PointWhateverTheLocale) {
    std::locale previous = std::locale::global(std::locale(std::locale::classic(), new CommaDecimal));
    TempDir dir;
    Parameters p;
    p.LaserOutputPeriod = 12.25;
    p.Kx = -0.5;
    std::string error;
    ASSERT_TRUE(SaveSettings(dir.File("s.ini"), p, error));
    const std::string text = dir.Read("s.ini");
    EXPECT_NE(text.find("LaserOutputPeriod=12.25\r\n"), std::string::npos);
    EXPECT_NE(text.find("Kx=-0.5\r\n"), std::string::npos);
    Parameters back;
    LoadSettings(dir.File("s.ini"), back);
    EXPECT_EQ(back.LaserOutputPeriod, 12.25);
    EXPECT_EQ(LoadKey("Laser", "LaserOutputPeriod", "12,25").LaserOutputPeriod, 100);
    std::locale::global(previous);
}

// A settings file stays the same file when it is saved: through a second name (each name then
// shows every save), through a symbolic link (which stays a link, also one whose file is not
// made yet), and when another user owns it (who still does).
TEST(SaveSettings, LinksAndOwnerStay) {
    TempDir dir;
    const std::string file = dir.Write("s.ini", "[VarPolyTable0]\r\nAngle1=5\r\n");
    std::filesystem::create_hard_link(file, dir.File("second.ini"));
    std::filesystem::create_symlink("s.ini", dir.File("link.ini"));
    std::filesystem::create_symlink("made.ini", dir.File("ahead.ini"));
    struct stat before {};
    ASSERT_EQ(::stat(file.c_str(), &before), 0);
    const struct {
        const char* saved;
        std::vector<std::string> names; // every name that must show the save
    } cases[] = {{"s.ini", {"s.ini", "second.ini", "link.ini"}},
                 {"second.ini", {"s.ini", "second.ini", "link.ini"}},
                 {"link.ini", {"s.ini", "second.ini", "link.ini"}},
                 {"ahead.ini", {"ahead.ini", "made.ini"}}};
    std::uint16_t lampDelay = 100;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.saved);
        Parameters saved;
        saved.LampDelay = ++lampDelay;
        std::string error;
        ASSERT_TRUE(SaveSettings(dir.File(c.saved), saved, error)) << error;
        for (const std::string& name : c.names) {
            Parameters back;
            LoadSettings(dir.File(name), back);
            EXPECT_EQ(back.LampDelay, lampDelay) << name;
        }
    }
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("link.ini")));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("ahead.ini")));
    EXPECT_NE(dir.Read("second.ini").find("[VarPolyTable0]\r\nAngle1=5\r\n"), std::string::npos);
    struct stat after {};
    ASSERT_EQ(::stat(file.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_nlink, 2u);

    // Root saving a file of nobody's: it stays nobody's (only root may give a file away).
    if (::geteuid() != 0) return;
    const std::string owned = dir.Write("owned.ini", "");
    ASSERT_EQ(::chown(owned.c_str(), 65534, 65534), 0);
    std::string error;
    ASSERT_TRUE(SaveSettings(owned, Parameters{}, error)) << error;
    ASSERT_EQ(::stat(owned.c_str(), &after), 0);
    EXPECT_EQ(after.st_uid, 65534u);
    EXPECT_EQ(after.st_gid, 65534u);
    EXPECT_NE(dir.Read("owned.ini").find("[Laser]"), std::string::npos);
}

// Where a settings file lies: a plain file of one's own (replaced by a new one), and the
// files that are rewritten in place: one with a second name, another user's (root saving),
// one with an extended attribute, one in a folder that takes no new file (every file made in
// it is refused), and one of mode 0640 without an access list in a folder whose default access
// list lets another user read what is made in it.
enum class Layout { Replaced, SecondName, OtherOwner, Attribute, ReadOnlyFolder, DefaultAccessList };

// Lays out `dir`/s.ini holding `text`; false where this system cannot make the layout.
bool LayOut(Layout layout, const TempDir& dir, const std::string& text) {
    const std::string file = dir.Write("s.ini", text);
    switch (layout) {
    case Layout::Replaced:
    case Layout::ReadOnlyFolder: return true;
    case Layout::SecondName: return ::link(file.c_str(), dir.File("second.ini").c_str()) == 0;
    case Layout::OtherOwner: return ::geteuid() == 0 && ::chown(file.c_str(), fakes::kNobody, fakes::kNobody) == 0;
    case Layout::Attribute: return ::setxattr(file.c_str(), "user.origin", "lab", 3, 0) == 0;
    case Layout::DefaultAccessList: {
        struct Entry {
            std::uint16_t tag, permissions;
            std::uint32_t id;
        };
        const struct {
            std::uint32_t version = 2;
            // Owner rw, nobody rw, group r, mask rw, others nothing.
            Entry entries[5] = {{0x01, 6, ~0u}, {0x02, 6, fakes::kNobody}, {0x04, 4, ~0u}, {0x10, 6, ~0u},
                                {0x20, 0, ~0u}};
        } list;
        return ::chmod(file.c_str(), 0640) == 0 &&
               ::setxattr(dir.Dir().c_str(), "system.posix_acl_default", &list, sizeof list, 0) == 0;
    }
    }
    return false;
}

// What makes the file the same file to the system and to its other users.
struct Identity {
    ino_t inode;
    nlink_t names;
    uid_t owner;
    gid_t group;
    mode_t mode;
    std::string attributes;
    bool operator==(const Identity&) const = default;
};

Identity IdentityOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0);
    char list[4096];
    const ssize_t listed = ::listxattr(path.c_str(), list, sizeof list);
    return {info.st_ino, info.st_nlink, info.st_uid, info.st_gid, info.st_mode,
            std::string(list, static_cast<std::size_t>(std::max<ssize_t>(listed, 0)))};
}

// A save that fails at any one system call leaves the old text whole, and says so, or writes
// the new text whole; a rewrite in place flushes the new text before it cuts the file to it.
// With a second failure while the old text is put back, the file holds the old text or the
// error says it may be damaged. Every save keeps the file what it was to its other users.
TEST(SettingsFile, AFailedSaveLeavesTheOldTextOrTheNew) {
    // A long comment section that the save drops, as from an older program.
    std::string old = "; Written by hand\r\n";
    while (old.size() < 10800) old += "; setting " + std::to_string(old.size()) + " as it was at the commissioning\r\n";
    old += "[VarPolyTable0]\r\nAngle1=5\r\n";
    std::string text = "[VarPolyTable0]\r\nAngle1=5\r\n\r\n[Correction]\r\nFileName= \r\n\r\n[Laser]\r\n";
    while (text.size() < 600) text += "Key" + std::to_string(text.size()) + "=1\r\n";
    const auto contents = [&](const std::string& bytes) -> std::string {
        if (bytes == old) return "the old text";
        if (bytes == text) return "the new text";
        const auto nuls = std::count(bytes.begin(), bytes.end(), '\0');
        return std::to_string(bytes.size()) + " bytes, " + std::to_string(nuls) + " of them NUL";
    };
    const struct {
        Layout layout;
        const char* name;
    } layouts[] = {{Layout::Replaced, "replaced"},
                   {Layout::SecondName, "second name"},
                   {Layout::OtherOwner, "another user's"},
                   {Layout::Attribute, "extended attribute"},
                   {Layout::ReadOnlyFolder, "read-only folder"},
                   {Layout::DefaultAccessList, "default access list"}};
    for (const auto& [layout, name] : layouts) {
        std::vector<Failure> standing;
        if (layout == Layout::ReadOnlyFolder) standing.push_back({Call::Create, 1, EACCES});
        // One save with `failures` on top of the layout's own; gives the calls it made.
        const auto save = [&](const std::vector<Failure>& failures) -> std::vector<int> {
            TempDir dir;
            if (!LayOut(layout, dir, old)) return {};
            const std::string path = dir.File("s.ini");
            const Identity before = IdentityOf(path);
            const auto files = std::distance(std::filesystem::directory_iterator(dir.Dir()), {});
            std::vector<Failure> all = standing;
            all.insert(all.end(), failures.begin(), failures.end());
            std::string error;
            bool saved = false;
            std::vector<int> calls;
            {
                FailingCalls failing(all);
                saved = ReplaceRegularFile(path, text, error);
                for (const Call call : quarnel::testing::kEveryCall) calls.push_back(failing.count(call));
            }
            const std::string now = dir.Read("s.ini");
            if (saved) {
                EXPECT_EQ(contents(now), "the new text");
            } else {
                EXPECT_NE(error.find(path), std::string::npos) << error;
                const bool damaged = error.find("may be damaged") != std::string::npos;
                EXPECT_TRUE(failures.size() > 1 || !damaged) << error;
                if (!damaged) {
                    EXPECT_EQ(contents(now), "the old text") << error;
                }
            }
            Identity after = IdentityOf(path);
            if (layout == Layout::Replaced && saved) after.inode = before.inode;
            EXPECT_TRUE(after == before) << "no longer the same file";
            EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Dir()), {}), files) << "a file left beside";
            return calls;
        };
        SCOPED_TRACE(name);
        const std::vector<int> calls = save({});
        if (calls.empty()) continue; // not here
        ASSERT_GT(calls[static_cast<int>(Call::Fsync)], 0) << "the calls are not seen";
        for (std::size_t kind = 0; kind < calls.size(); ++kind) {
            const Call call = quarnel::testing::kEveryCall[kind];
            for (int nth = 1; nth <= calls[kind]; ++nth) {
                for (const bool partly : {false, true}) {
                    if (partly && call != Call::Pwrite) continue;
                    SCOPED_TRACE(testing::Message() << quarnel::testing::kCallNames[kind] << " " << nth
                                                    << (partly ? " partly" : ""));
                    const Failure first{call, nth, EIO, partly};
                    save({first});
                    for (const Call then : {Call::Pwrite, Call::Ftruncate, Call::Fsync}) {
                        SCOPED_TRACE(testing::Message()
                                     << "then every " << quarnel::testing::kCallNames[static_cast<int>(then)]);
                        save({first, {then, 0, EIO, false, true}});
                    }
                }
            }
        }
    }
}

// A device or FIFO named as the settings file is neither read nor written, nor even opened:
// opening a terminal or a tape has effects of its own. Devices are made where the tests may
// (as root); a FIFO stands in for them everywhere.
TEST(SettingsFile, SpecialFilesAreNotOpened) {
    TempDir dir;
    std::vector<std::string> nodes{dir.File("fifo.ini")};
    ASSERT_EQ(::mkfifo(nodes[0].c_str(), 0666), 0);
    if (::mknod(dir.File("null.ini").c_str(), S_IFCHR | 0666, ::makedev(1, 3)) == 0) nodes.push_back(dir.File("null.ini"));
    const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    ASSERT_GE(::inotify_add_watch(watch, dir.Dir().c_str(), IN_OPEN), 0);
    for (const std::string& node : nodes) {
        SCOPED_TRACE(node);
        Parameters p;
        p.LampDelay = 7;
        LoadSettings(node, p);
        EXPECT_EQ(p.LampDelay, 0);
        std::string error;
        EXPECT_FALSE(SaveSettings(node, p, error));
        EXPECT_NE(error.find(node), std::string::npos) << error;
    }
    char events[4096];
    EXPECT_LT(::read(watch, events, sizeof events), 0) << "a special file was opened";
    ::close(watch);

    // A FIFO that took a regular file's place and inode number between the look and the open is
    // refused once opened, and stays.
    FailingCalls calls;
    calls.seeRegularFileAt(nodes[0]);
    std::string error;
    EXPECT_FALSE(SaveSettings(nodes[0], Parameters{}, error));
    EXPECT_TRUE(std::filesystem::is_fifo(nodes[0]));
}

TEST(SaveSettings, UnwritableFileIsReported) {
    TempDir dir;
    std::string error;
    EXPECT_FALSE(SaveSettings(dir.File("no/such/dir/s.ini"), Parameters{}, error));
    EXPECT_NE(error.find("no/such/dir/s.ini"), std::string::npos);
}

} // namespace
} // namespace ondrel
