#include "instance_mutex.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quarnel {
namespace {

enum class Claim { Taken, HeldElsewhere, Failed };

// Opens (creating) the lock file and tries to hold it without waiting.
Claim claim(const std::string& path, int& fd) {
    fd = ::open(path.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return Claim::Failed;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
        return Claim::Taken;
    const int failure = errno;
    ::close(fd);
    fd = -1;
    errno = failure;
    return failure == EWOULDBLOCK ? Claim::HeldElsewhere : Claim::Failed;
}

// Says once per process why the boards stay unowned, which nothing else would tell.
void report_failed_claim(const std::string& path) {
    static std::atomic_flag said = ATOMIC_FLAG_INIT;
    if (said.test_and_set())
        return;
    std::fprintf(stderr,
                 "quarnel4: cannot take the board lock \"%s\": %s; this process finds no boards "
                 "until it calls usb_reinitialize\n",
                 path.c_str(), std::strerror(errno));
}

// Makes the directory and its missing parents; an existing one stays as it is, and one that
// cannot be made shows when its lock file is opened.
void make_directories(const std::string& directory) {
    for (std::size_t slash = directory.find('/', 1);; slash = directory.find('/', slash + 1)) {
        ::mkdir(directory.substr(0, slash).c_str(), 0755);
        if (slash == std::string::npos)
            break;
    }
}

void release(int fd) {
    ::flock(fd, LOCK_UN);
    ::close(fd);
}

} // namespace

std::string TInstanceMutex::LockFileName(const std::string& name) {
    std::string file = name;
    for (char& c : file)
        if (c == '\\' || c == '/')
            c = '_';
    return file + ".lock";
}

TInstanceMutex::TInstanceMutex(const std::string& Name, const std::string& directory) {
    const std::string global_path = directory + "/" + LockFileName("Global\\" + Name);
    int global = -1;
    const Claim global_claim = claim(global_path, global);
    if (global_claim == Claim::Failed)
        report_failed_claim(global_path);
    if (global_claim != Claim::Taken)
        return;
    mGlobalMutexHandle = global;
    const std::string plain_path = directory + "/" + LockFileName(Name);
    int plain = -1;
    switch (claim(plain_path, plain)) {
    case Claim::Taken:
        mMutexHandle = plain;
        break;
    case Claim::HeldElsewhere:
        mMutexHandle = mGlobalMutexHandle;
        break;
    case Claim::Failed:
        report_failed_claim(plain_path);
        mMutexHandle = -1;
        break;
    }
}

TInstanceMutex::~TInstanceMutex() {
    if (mMutexHandle >= 0 && mMutexHandle != mGlobalMutexHandle)
        release(mMutexHandle);
    if (mGlobalMutexHandle >= 0)
        release(mGlobalMutexHandle);
}

std::string instance_lock_directory(const std::string& configured) {
    if (!configured.empty())
        return configured;
    if (const char* dir = std::getenv("QUARNEL_LOCK_DIR"); dir && *dir) {
        make_directories(dir);
        return dir;
    }
    if (::access("/run/lock", W_OK) == 0)
        return "/run/lock";
    return "/tmp";
}

} // namespace quarnel
