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
                                arguments;
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
