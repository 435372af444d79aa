#include "instance_mutex.h"

#include <cerrno>
#include <cstdlib>
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
    const bool held = errno == EWOULDBLOCK;
    ::close(fd);
    fd = -1;
    return held ? Claim::HeldElsewhere : Claim::Failed;
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
    int global = -1;
    if (claim(directory + "/" + LockFileName("Global\\" + Name), global) != Claim::Taken)
        return;
    mGlobalMutexHandle = global;
    int plain = -1;
    switch (claim(directory + "/" + LockFileName(Name), plain)) {
    case Claim::Taken:
        mMutexHandle = plain;
        break;
    case Claim::HeldElsewhere:
        mMutexHandle = mGlobalMutexHandle;
        break;
    case Claim::Failed:
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
        ::mkdir(dir, 0755); // a missing directory is made; an existing one stays as it is
        return dir;
    }
    if (::access("/run/lock", W_OK) == 0)
        return "/run/lock";
    return "/tmp";
}

} // namespace quarnel
