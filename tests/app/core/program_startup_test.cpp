#include "program_startup.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "fakes.h"
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

TEST(StopConverter, UnwritableSettingsFileShowsTheFailure) {
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
    EXPECT_NE(notifier.boxes[0].text.find("Quarnel4.ini"), std::string::npos);
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
