#include "quarnel4.h"

#include "correction_loader.h"
#include "loader_bus.h"
#include "locale_number.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

namespace quarnel {
namespace {

// The exports act on the process's context: here a context over simulated boards.
class LoaderExports : public ::testing::Test {
protected:
    testing::LoaderBus sim{"2d,3d"};

private:
    testing::CurrentContext current_{sim.ctx};
};

TEST_F(LoaderExports, SelectedBoardFormsActOnTheSelectedBoard) {
    std::vector<std::uint16_t> file(8450);
    for (std::size_t i = 0; i < file.size(); ++i) file[i] = static_cast<std::uint16_t>(i * 7);
    const std::string name = sim.write_words("t.ctb", file);

    EXPECT_EQ(::load_cor(name.c_str()), 0);                  // board 1 is 2-D
    EXPECT_EQ(sim.board(1).peek(kCorrectionTable1Address + 8449), file[8449]);
    EXPECT_EQ(::n_load_cor(2, name.c_str()), 15);            // board 2 is 3-D
    ::select_oru(2);
    EXPECT_EQ(::load_correction_file(name.c_str(), 1, 1, 1, 0, 0, 0), 15);
    EXPECT_EQ(::load_z_table(1, 1, 0.5), 0);
    EXPECT_EQ(::n_load_z_table(1, 1, 1, 0.5), 12);
    EXPECT_EQ(::n_load_correction_file(1, name.c_str(), 0xFFFF, 1, 1, 0, 0, 0), 10); // table -1
    EXPECT_EQ(::n_load_correction_file(1, name.c_str(), 0x10002, 1, 1, 0, 0, 0), 0); // table 2
    EXPECT_EQ(sim.board(1).peek(kCorrectionTable2Address + 1), file[1]);
}

TEST_F(LoaderExports, BoardReadyTestAndSignedPolygonResult) {
    EXPECT_EQ(::load_program_file(""), 0);
    EXPECT_EQ(::load_pro(""), 0);
    EXPECT_EQ(::n_load_pro(3, ""), 11);
    sim.ctx.owns_boards = 0;
    EXPECT_EQ(::load_program_file(""), 11);
    sim.ctx.owns_boards = 1;

    set_decimal_separator(".");
    const std::string ini = sim.write_text("Quarnel4.ini", "[VarPolyTable0]\nAngle1=10\nScale1=1\nAngle2=20\nScale2=1\n");
    EXPECT_EQ(::load_varpolydelay(ini.c_str(), 0), -2);
    EXPECT_EQ(::n_load_varpolydelay(2, ini.c_str(), 0x10000), -2); // the table number's low 16 bits
    EXPECT_EQ(::n_load_varpolydelay(2, ini.c_str(), 1), 13);
}

TEST(LoaderExportsWithoutContext, ReportABadBoard) {
    Context* saved = current_context();
    set_current_context(nullptr);
    EXPECT_EQ(::load_cor("x.ctb"), 11);
    EXPECT_EQ(::load_program_file(""), 11);
    EXPECT_EQ(::load_varpolydelay("x.ini", 0), 11);
    EXPECT_EQ(::load_z_table(0, 0, 0), 11);
    set_current_context(saved);
}

// ---- The two shared libraries ----

// Loads one build over a simulated 2-D board and asks it for the polygon-delay table of a file.
std::int16_t varpolydelay_in(const char* library, const std::string& ini) {
    void* handle = ::dlopen(library, RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        ADD_FAILURE() << ::dlerror();
        return 0;
    }
    using Load = std::int16_t (*)(const char*, std::uint32_t);
    const auto load = reinterpret_cast<Load>(::dlsym(handle, "load_varpolydelay"));
    const std::int16_t result = load ? load(ini.c_str(), 0) : std::int16_t{0};
    ::dlclose(handle);
    return result;
}

// The checked build trims blanks around keys and values; the plain build takes lines as
// they stand, so a key written with a blank before the "=" is not found.
TEST(LoaderBuilds, OnlyTheCheckedBuildTrimsIniLines) {
    const testing::TempDir dir;
    const testing::ScopedEnv sim("QUARNEL_SIM", "2d");
    const testing::ScopedEnv trace("QUARNEL_SIM_TRACE", "");
    const testing::ScopedEnv locks("QUARNEL_LOCK_DIR", dir.path().c_str());
    const std::string spaced = testing::write_text_file(dir.path(), "spaced.ini",
                                                        "[VarPolyTable0]\nAngle1 = 45\nScale1 = 1\n");
    const std::string plain = testing::write_text_file(dir.path(), "plain.ini",
                                                       "[VarPolyTable0]\nAngle1=45\nScale1=1\n");
    EXPECT_EQ(varpolydelay_in(QUARNEL4_LIBRARY_PATH, spaced), 13);
    EXPECT_EQ(varpolydelay_in(QUARNEL4_LIBRARY_PATH, plain), -1);
    EXPECT_EQ(varpolydelay_in(QUARNEL4X64_LIBRARY_PATH, spaced), -1);
    EXPECT_EQ(varpolydelay_in(QUARNEL4X64_LIBRARY_PATH, plain), -1);
}

} // namespace
} // namespace quarnel
