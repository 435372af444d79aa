// Writing as an operator without the rights to write, also when the tests run as root (as in
// CI): as root, the writing runs in a child process that becomes the unprivileged user nobody.
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

constexpr uid_t kNobody = 65534;

// Runs `save` in a child process as nobody when `check` holds there; gives save's result.
inline bool SavedAsNobody(const std::function<bool()>& check, const std::function<bool()>& save) {
    const pid_t child = ::fork();
    if (child == 0) {
        const bool dropped = ::setgroups(0, nullptr) == 0 && ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0;
        ::_exit(dropped && check() && save() ? 0 : 1);
    }
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Runs `save` as a user who cannot create files in `dir`: as root, as nobody, who owns
// `file`; otherwise with the folder made read-only. Gives save's result.
inline bool SavedInReadOnlyFolder(const TempDir& dir, const std::string& file, const std::function<bool()>& save) {
    if (::geteuid() != 0) {
        std::filesystem::permissions(dir.Dir(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
        const bool saved = save();
        std::filesystem::permissions(dir.Dir(), std::filesystem::perms::owner_all);
        return saved;
    }
    if (::chown(file.c_str(), kNobody, kNobody) != 0 || ::chmod(dir.Dir().c_str(), 0755) != 0) return false;
    return SavedAsNobody([&] { return ::access(dir.Dir().c_str(), W_OK) != 0; }, save);
}

// Runs `save` as a user who may create files in `dir` but may not write `file`, made
// read-only (mode 0444): as root, as nobody, with the folder open to everyone; otherwise as
// this user, whom the mode bars from the own file. Gives save's result.
inline bool SavedBesideAReadOnlyFile(const TempDir& dir, const std::string& file, const std::function<bool()>& save) {
    if (::chmod(file.c_str(), 0444) != 0) return false;
    if (::geteuid() != 0) return save();
    if (::chmod(dir.Dir().c_str(), 0777) != 0) return false;
    return SavedAsNobody(
        [&] { return ::access(dir.Dir().c_str(), W_OK) == 0 && ::access(file.c_str(), W_OK) != 0; }, save);
}

} // namespace ondrel::fakes
