#include "whole_file.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ondrel {
namespace {

constexpr int kOpenFlags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK;

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// Writes, flushes to the disk and closes; errno tells the first failure.
bool WriteAndClose(int fd, std::string_view bytes) {
    const bool done = WriteAll(fd, bytes) && ::fsync(fd) == 0;
    const int failure = errno;
    if (::close(fd) != 0) return false;
    errno = failure;
    return done;
}

std::string Failure(const char* what, const std::string& path) {
    return std::string(what) + " \"" + path + "\". " + std::strerror(errno);
}

// The mode a new file gets from the process's umask.
mode_t NewFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

std::optional<std::string> ReadRegularFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | kOpenFlags);
    if (fd < 0) return std::nullopt;
    struct stat info {};
    std::optional<std::string> text;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        text.emplace();
        char buffer[65536];
        for (;;) {
            const ssize_t got = ::read(fd, buffer, sizeof buffer);
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) text.reset();
            if (got <= 0) break;
            text->append(buffer, static_cast<std::size_t>(got));
        }
    }
    ::close(fd);
    return text;
}

bool ReplaceRegularFile(const std::string& path, std::string_view bytes, std::string& error) {
    // A link is followed: the file it names is replaced, the link stays.
    std::string target = path;
    if (char* resolved = ::realpath(path.c_str(), nullptr)) {
        target = resolved;
        std::free(resolved);
    }
    struct stat info {};
    const bool exists = ::stat(target.c_str(), &info) == 0;
    if (exists && !S_ISREG(info.st_mode)) {
        error = "Cannot write file \"" + path + "\". It is not a regular file.";
        return false;
    }

    std::string temporary = target + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        if (!exists) {
            error = Failure("Cannot create file", path);
            return false;
        }
        // The folder takes no new file: the old file, if it may be written, is rewritten.
        const int direct = ::open(target.c_str(), O_WRONLY | O_TRUNC | kOpenFlags);
        if (direct < 0) {
            error = Failure("Cannot create file", path);
            return false;
        }
        if (!WriteAndClose(direct, bytes)) {
            error = Failure("Cannot write file", path);
            return false;
        }
        return true;
    }
    // The new file keeps the old one's permissions.
    const bool moded = ::fchmod(fd, exists ? (info.st_mode & 07777) : NewFileMode()) == 0;
    if (!moded) {
        const int failure = errno;
        ::close(fd);
        errno = failure;
    }
    if (!moded || !WriteAndClose(fd, bytes) || ::rename(temporary.c_str(), target.c_str()) != 0) {
        error = Failure("Cannot write file", path);
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

} // namespace ondrel
