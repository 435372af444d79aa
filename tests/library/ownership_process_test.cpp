// Board ownership between two real processes: this test process and the example host
// program, which loads the shared library and prints what it found.
#include "sim_bus.h"

#include <cstdio>
#include <sys/wait.h>

#ifdef QUARNEL_EXAMPLE_PATH

namespace quarnel::testing {
namespace {

std::string run_example(const std::string& lock_dir, const std::string& arguments) {
    const std::string command = "QUARNEL_SIM=2d,3d QUARNEL_SIM_TRACE= QUARNEL_LOCK_DIR='" +
                                lock_dir + "' " QUARNEL_EXAMPLE_EMULATOR " '" QUARNEL_EXAMPLE_PATH "' " +
                                arguments + " 2>&1";
    std::string output;
    if (std::FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, pipe))
            output += buffer;
        EXPECT_EQ(::pclose(pipe), 0);
    }
    return output;
}

TEST(OwnershipAcrossProcesses, FirstProcessOwnsTheBoards) {
    TempDir locks;
    const std::string output = run_example(locks.path(), "");
    EXPECT_NE(output.find("quarnel_count_cards: 2\n"), std::string::npos) << output;
    EXPECT_NE(output.find("usb_status: 0x00000000\n"), std::string::npos) << output;
}

// A lock folder whose parents are missing is made with them; one that cannot be made leaves
// the process without boards, and it says why on one line.
TEST(OwnershipAcrossProcesses, LockFolderIsMadeOrTheFailureSaid) {
    TempDir locks;
    std::string output = run_example(locks.path() + "/missing/parents", "");
    EXPECT_NE(output.find("quarnel_count_cards: 2\n"), std::string::npos) << output;
    EXPECT_EQ(output.find("quarnel4:"), std::string::npos) << output;

    const std::string file = locks.path() + "/file";
    std::FILE* made = std::fopen(file.c_str(), "w");
    ASSERT_NE(made, nullptr);
    std::fclose(made);
    output = run_example(file + "/locks", "");
    EXPECT_NE(output.find("quarnel_count_cards: 0\n"), std::string::npos) << output;
    const std::size_t said = output.find("quarnel4: cannot take the board lock \"" + file + "/locks/");
    EXPECT_NE(said, std::string::npos) << output;
    EXPECT_EQ(output.find("quarnel4:", said + 1), std::string::npos) << "said more than once: " << output;
}

TEST(OwnershipAcrossProcesses, SecondProcessFindsNoBoardsUntilItReinitializes) {
    TempDir locks;
    Context owner;
    owner.platform.lock_dir = locks.path();
    claim_instance(owner, kInstanceName);
    ASSERT_EQ(owner.owns_boards, 1);

    const std::string output = run_example(locks.path(), "--reinitialize");
    const std::string before = output.substr(0, output.find("usb_reinitialize"));
    const std::string after = output.substr(before.size());
    EXPECT_NE(before.find("quarnel_count_cards: 0\n"), std::string::npos) << output;
    EXPECT_NE(before.find("usb_status: 0x0000100a\n"), std::string::npos) << output;
    EXPECT_NE(after.find("usb_reinitialize: 0x00000000, count 2\n"), std::string::npos) << output;
    EXPECT_NE(after.find("quarnel_count_cards: 2\n"), std::string::npos) << output;
}

TEST(OwnershipAcrossProcesses, OwnershipPassesOnWhenTheOwnerLetsGo) {
    TempDir locks;
    {
        Context owner;
        owner.platform.lock_dir = locks.path();
        claim_instance(owner, kInstanceName);
        ASSERT_EQ(owner.owns_boards, 1);
    }
    const std::string output = run_example(locks.path(), "");
    EXPECT_NE(output.find("quarnel_count_cards: 2\n"), std::string::npos) << output;
}

} // namespace
} // namespace quarnel::testing

#endif
