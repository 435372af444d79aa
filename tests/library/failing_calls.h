// File system calls that fail when a test says so. The test program defines open, stat,
// pread, pwrite, ftruncate, fsync, fchmod, rename and flistxattr itself, in front of the C
// library's, and passes every call on to the C library's unless a FailingCalls is armed.
#pragma once

#include <cerrno>
#include <string>
#include <vector>

namespace quarnel::testing {

// Open is an open without O_CREAT, Create one with it.
enum class Call { Open, Create, Pread, Pwrite, Ftruncate, Fsync, Fchmod, Rename, Flistxattr };
inline constexpr Call kEveryCall[] = {Call::Open,  Call::Create, Call::Pread,  Call::Pwrite,    Call::Ftruncate,
                                      Call::Fsync, Call::Fchmod, Call::Rename, Call::Flistxattr};
inline constexpr const char* kCallNames[] = {"open",  "create", "pread",  "pwrite",    "ftruncate",
                                             "fsync", "fchmod", "rename", "flistxattr"};

// One call that fails with errno `error`: the nth of its kind since the arming, counted from
// 1. A write that fails `partly` writes the first half of its bytes and gives their count, and
// the next write fails. `afterwards`: every call of its kind once the failure listed before
// it has happened, as on a disk that has gone bad (nth is not looked at).
struct Failure {
    Call call;
    int nth = 1;
    int error = EIO;
    bool partly = false;
    bool afterwards = false;
};

// Armed for its lifetime; one at a time. A child process forked meanwhile inherits it.
class FailingCalls {
public:
    explicit FailingCalls(std::vector<Failure> failures = {});
    ~FailingCalls();
    FailingCalls(const FailingCalls&) = delete;
    FailingCalls& operator=(const FailingCalls&) = delete;

    // The calls of this kind made since the arming, failed ones included.
    int count(Call call) const;
    // From now on, stat of `path` sees a regular file where there is something else: what it
    // saw a moment before that thing took the file's place and its inode number.
    void seeRegularFileAt(const std::string& path);
};

} // namespace quarnel::testing
