#include "failing_calls.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <iterator>
#include <utility>

namespace quarnel::testing {
namespace {

struct Armed {
    explicit Armed(std::vector<Failure> list) : failures(std::move(list)), happened(failures.size()) {}
    std::vector<Failure> failures;
    std::vector<bool> happened; // by each of them
    int counts[std::size(kEveryCall)] = {};
    int next_write_error = 0; // left by a write that failed partly
    std::string regular_at;
};

std::atomic<Armed*> armed{nullptr};

// The C library's own function of that name; the first argument only gives its type.
template <typename Function>
Function Next(Function, const char* name) {
    return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}

// The failure that hits this call, counted; nullptr when it goes through.
const Failure* Hit(Call call) {
    Armed* state = armed.load();
    if (state == nullptr) return nullptr;
    const int nth = ++state->counts[static_cast<int>(call)];
    for (std::size_t i = 0; i < state->failures.size(); ++i) {
        const Failure& failure = state->failures[i];
        if (failure.call != call) continue;
        if (failure.afterwards ? i > 0 && state->happened[i - 1] : failure.nth == nth) {
            state->happened[i] = true;
            return &failure;
        }
    }
    return nullptr;
}

// Whether this call fails; errno then says why.
bool Fails(Call call) {
    const Failure* failure = Hit(call);
    if (failure == nullptr) return false;
    errno = failure->error;
    return true;
}

} // namespace

FailingCalls::FailingCalls(std::vector<Failure> failures) { armed.store(new Armed(std::move(failures))); }

FailingCalls::~FailingCalls() { delete armed.exchange(nullptr); }

int FailingCalls::count(Call call) const { return armed.load()->counts[static_cast<int>(call)]; }

void FailingCalls::seeRegularFileAt(const std::string& path) { armed.load()->regular_at = path; }

} // namespace quarnel::testing

using quarnel::testing::Call;
using quarnel::testing::Fails;
using quarnel::testing::Next;

extern "C" {

int open(const char* path, int flags, ...) {
    static const auto real = Next(&::open, "open");
    mode_t mode = 0;
    if ((flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE) {
        va_list arguments;
        va_start(arguments, flags);
        mode = va_arg(arguments, mode_t);
        va_end(arguments);
    }
    if (Fails((flags & O_CREAT) != 0 ? Call::Create : Call::Open)) return -1;
    return real(path, flags, mode);
}

int stat(const char* path, struct stat* info) noexcept {
    static const auto real = Next(&::stat, "stat");
    const int result = real(path, info);
    quarnel::testing::Armed* state = quarnel::testing::armed.load();
    if (result == 0 && state != nullptr && !state->regular_at.empty() && state->regular_at == path)
        info->st_mode = (info->st_mode & ~S_IFMT) | S_IFREG;
    return result;
}

ssize_t pread(int fd, void* buffer, size_t n, off_t offset) {
    static const auto real = Next(&::pread, "pread");
    return Fails(Call::Pread) ? -1 : real(fd, buffer, n, offset);
}

ssize_t pwrite(int fd, const void* buffer, size_t n, off_t offset) {
    static const auto real = Next(&::pwrite, "pwrite");
    quarnel::testing::Armed* state = quarnel::testing::armed.load();
    if (state != nullptr && state->next_write_error != 0) {
        ++state->counts[static_cast<int>(Call::Pwrite)];
        errno = std::exchange(state->next_write_error, 0);
        return -1;
    }
    const quarnel::testing::Failure* failure = quarnel::testing::Hit(Call::Pwrite);
    if (failure == nullptr) return real(fd, buffer, n, offset);
    if (!failure->partly || n < 2) {
        errno = failure->error;
        return -1;
    }
    state->next_write_error = failure->error;
    return real(fd, buffer, n / 2, offset);
}

int ftruncate(int fd, off_t length) noexcept {
    static const auto real = Next(&::ftruncate, "ftruncate");
    return Fails(Call::Ftruncate) ? -1 : real(fd, length);
}

int fsync(int fd) {
    static const auto real = Next(&::fsync, "fsync");
    return Fails(Call::Fsync) ? -1 : real(fd);
}

int fchmod(int fd, mode_t mode) noexcept {
    static const auto real = Next(&::fchmod, "fchmod");
    return Fails(Call::Fchmod) ? -1 : real(fd, mode);
}

int rename(const char* from, const char* to) noexcept {
    static const auto real = Next(&::rename, "rename");
    return Fails(Call::Rename) ? -1 : real(from, to);
}

ssize_t flistxattr(int fd, char* list, size_t size) noexcept {
    static const auto real = Next(&::flistxattr, "flistxattr");
    return Fails(Call::Flistxattr) ? -1 : real(fd, list, size);
}

} // extern "C"
