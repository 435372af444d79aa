// Writing into a folder that takes no new file, also when the tests run as root (as in CI).
#pragma once

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>

#include "temp_dir.h"

namespace ondrel::fakes {

// Runs `save` as a user who cannot create files in `dir`: as root, in a child process that
// becomes the unprivileged user nobody, who owns `file`; otherwise with the folder made
// read-only. Gives save's result.
inline bool SavedInReadOnlyFolder(const TempDir& dir, const std::string& file, const std::function<bool()>& save) {
    if (::geteuid() != 0) {
        std::filesystem::permissions(dir.Dir(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
        const bool saved = save();
        std::filesystem::permissions(dir.Dir(), std::filesystem::perms::owner_all);
        return saved;
    }
    constexpr uid_t kNobody = 65534;
    if (::chown(file.c_str(), kNobody, kNobody) != 0 || ::chmod(dir.Dir().c_str(), 0755) != 0) return false;
    const pid_t child = ::fork();
    if (child == 0) {
        const bool dropped = ::setgroups(0, nullptr) == 0 && ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0;
        ::_exit(dropped && ::access(dir.Dir().c_str(), W_OK) != 0 && save() ? 0 : 1);
    }
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace ondrel::fakes
