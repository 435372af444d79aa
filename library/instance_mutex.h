// TInstanceMutex: which process owns the boards. Each name stands for a lock file, held with
// flock for the life of the object; the kernel lets go of it when the process ends.
#pragma once

#include <string>

namespace quarnel {

class TInstanceMutex {
public:
    // Takes "Global\" + Name and, if that was free, Name, in `directory`. A lock that cannot
    // be taken (not merely held by another process) is reported on stderr, once per process.
    TInstanceMutex(const std::string& Name, const std::string& directory);
    virtual ~TInstanceMutex();
    TInstanceMutex(const TInstanceMutex&) = delete;
    TInstanceMutex& operator=(const TInstanceMutex&) = delete;

    // True when both locks are held: this process owns the boards.
    bool hasMutex() const { return mMutexHandle >= 0 && mGlobalMutexHandle >= 0; }

    // The lock file that stands for a mutex name ("Global\QuarnelDLL" -> "Global_QuarnelDLL.lock").
    static std::string LockFileName(const std::string& name);

    int mMutexHandle = -1;
    int mGlobalMutexHandle = -1;
};

// The directory of the lock files: `configured` when not empty, else QUARNEL_LOCK_DIR (made
// with its missing parents), else /run/lock when it is writable, else /tmp.
std::string instance_lock_directory(const std::string& configured);

} // namespace quarnel
