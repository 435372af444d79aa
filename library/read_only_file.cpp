#include "read_only_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quarnel {

ReadOnlyFile::ReadOnlyFile(const char* name) {
    if (name == nullptr) return;
    // Anything but a regular file is refused before it is opened: opening a terminal or a
    // tape has effects of its own, and a FIFO would wait for a writer. The file opened must
    // be the one looked at, and still a regular file: a FIFO made in its place can get its
    // inode number.
    struct stat seen {};
    if (::stat(name, &seen) != 0 || !S_ISREG(seen.st_mode)) return;
    const int fd = ::open(name, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_dev != seen.st_dev || info.st_ino != seen.st_ino) {
        ::close(fd);
        return;
    }
    fd_ = fd;
    size_ = static_cast<std::uint64_t>(info.st_size);
}

ReadOnlyFile::~ReadOnlyFile() {
    if (fd_ >= 0) ::close(fd_);
}

std::ptrdiff_t ReadOnlyFile::read(void* buffer, std::size_t n) {
    if (fd_ < 0) return -1;
    for (;;) {
        const ssize_t got = ::read(fd_, buffer, n);
        if (got >= 0) return got;
        if (errno != EINTR) return -1;
    }
}

bool ReadOnlyFile::read_exactly(void* buffer, std::size_t n) {
    auto* bytes = static_cast<unsigned char*>(buffer);
    for (std::size_t done = 0; done < n;) {
        const std::ptrdiff_t got = read(bytes + done, n - done);
        if (got <= 0) return false;
        done += static_cast<std::size_t>(got);
    }
    return true;
}

} // namespace quarnel
