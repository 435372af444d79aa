#include "whole_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace ondrel {
namespace {

constexpr int kOpenFlags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK;

// Opens the regular file `seen` describes; anything else is refused before it is opened, and
// a file that changed between the look and the open is refused after it, also a FIFO or
// device made in its place that got its inode number.
int OpenSeen(const std::string& path, int flags, const struct stat& seen) {
    if (!S_ISREG(seen.st_mode)) {
        errno = EINVAL;
        return -1;
    }
    const int fd = ::open(path.c_str(), flags | kOpenFlags);
    if (fd < 0) return -1;
    struct stat opened {};
    if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode) || opened.st_dev != seen.st_dev ||
        opened.st_ino != seen.st_ino) {
        ::close(fd);
        errno = ESTALE;
        return -1;
    }
    return fd;
}

// Reads from `fd` to its end; nothing after an error.
std::optional<std::string> ReadToEnd(int fd) {
    std::string text;
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::pread(fd, buffer, sizeof buffer, static_cast<off_t>(text.size()));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return std::nullopt;
        if (got == 0) return text;
        text.append(buffer, static_cast<std::size_t>(got));
    }
}

// Writes `bytes` from the start of the file; gives how many reached it (errno tells why not all).
std::size_t WriteFromStart(int fd, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::pwrite(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) break;
        done += static_cast<std::size_t>(written);
    }
    return done;
}

// Writes, flushes to the disk and closes; errno tells the first failure.
bool WriteAndClose(int fd, std::string_view bytes) {
    const bool done = WriteFromStart(fd, bytes) == bytes.size() && ::fsync(fd) == 0;
    const int failure = errno;
    if (::close(fd) != 0) return false;
    errno = failure;
    return done;
}

// Done: the new text is in the file. Failed: the old text is, untouched or put back.
// InPlace: the file is to be rewritten in place. Damaged: a rewrite in place failed and so did
// putting the old text back.
enum class Replacement { Done, Failed, InPlace, Damaged };

// Rewrites the open file in place: the new text is written over the old and flushed, and only
// then is the file cut to its length and flushed again, so that the file is never cut before
// the new text is on the disk. After any failure (also of the last flush, after which the cut
// may or may not have reached the disk) the whole old text is written back, the file is given
// its old length and flushed.
Replacement RewriteInPlace(int fd, std::string_view bytes) {
    const std::optional<std::string> old = ReadToEnd(fd);
    if (!old) return Replacement::Failed;
    const std::size_t written = WriteFromStart(fd, bytes);
    if (written == bytes.size() && ::fsync(fd) == 0 &&
        (old->size() <= bytes.size() || (::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0 && ::fsync(fd) == 0)))
        return Replacement::Done;
    if (written == 0 && !bytes.empty()) return Replacement::Failed; // nothing of the old text was overwritten
    const int failure = errno;
    const bool restored = WriteFromStart(fd, *old) == old->size() &&
                          ::ftruncate(fd, static_cast<off_t>(old->size())) == 0 && ::fsync(fd) == 0;
    errno = failure;
    return restored ? Replacement::Failed : Replacement::Damaged;
}

// A new file beside `target` with a name of its own, made with `mode` less the umask.
int CreateBeside(const std::string& target, mode_t mode, std::string& name) {
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::random_device random;
    std::uniform_int_distribution<std::size_t> letter(0, sizeof kLetters - 2);
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = target + ".";
        for (int i = 0; i < 6; ++i) name += kLetters[letter(random)];
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// The file a chain of symbolic links ends at, whether or not it exists; the path itself when
// it is no link.
std::string LinkTarget(const std::string& path) {
    std::filesystem::path at = path;
    std::error_code failed;
    for (int hop = 0; hop < 40 && std::filesystem::is_symlink(std::filesystem::symlink_status(at, failed)); ++hop) {
        const std::filesystem::path link = std::filesystem::read_symlink(at, failed);
        if (failed) break;
        at = link.is_absolute() ? link : at.parent_path() / link;
    }
    return at.string();
}

std::string Failure(const char* what, const std::string& path) {
    return std::string(what) + " \"" + path + "\". " + std::strerror(errno);
}

// Writes a new file at `target` whole, or leaves none there.
bool WriteNew(const std::string& target, std::string_view bytes) {
    std::string temporary;
    const int fd = CreateBeside(target, 0666, temporary);
    if (fd < 0) return false;
    if (WriteAndClose(fd, bytes) && ::rename(temporary.c_str(), target.c_str()) == 0) return true;
    const int failure = errno;
    ::unlink(temporary.c_str());
    errno = failure;
    return false;
}

// Whether the open file has extended attributes; a list that cannot be read counts as some,
// unless the file system has none.
bool HasAttributes(int fd) {
    const ssize_t listed = ::flistxattr(fd, nullptr, 0);
    return listed > 0 || (listed < 0 && errno != ENOTSUP);
}

// Puts a new file with the old one's permissions in the place of `old` (open as `fd`). InPlace
// when the new file would not be the same file to the system as the old (it would get another
// owner or group, or extended attributes such as an access list the folder hands down, or the
// old one has further names or extended attributes) or when the folder takes no new file. Only
// Done touches the old file.
Replacement ReplaceByNew(const std::string& target, int fd, const struct stat& old, std::string_view bytes) {
    if (old.st_nlink > 1 || HasAttributes(fd)) return Replacement::InPlace;
    std::string temporary;
    const int created = CreateBeside(target, 0600, temporary);
    if (created < 0)
        return errno == EACCES || errno == EPERM || errno == EROFS ? Replacement::InPlace : Replacement::Failed;
    struct stat made {};
    const bool looked = ::fstat(created, &made) == 0;
    Replacement result = Replacement::Failed;
    if (looked && (made.st_uid != old.st_uid || made.st_gid != old.st_gid || HasAttributes(created))) {
        result = Replacement::InPlace;
    } else if (looked && ::fchmod(created, old.st_mode & 07777) == 0) {
        const bool written = WriteAndClose(created, bytes);
        if (written && ::rename(temporary.c_str(), target.c_str()) == 0) return Replacement::Done;
        const int failure = errno;
        ::unlink(temporary.c_str());
        errno = failure;
        return Replacement::Failed;
    }
    const int failure = errno;
    ::close(created);
    ::unlink(temporary.c_str());
    errno = failure;
    return result;
}

} // namespace

std::optional<std::string> ReadRegularFile(const std::string& path) {
    struct stat seen {};
    if (::stat(path.c_str(), &seen) != 0) return std::nullopt;
    const int fd = OpenSeen(path, O_RDONLY, seen);
    if (fd < 0) return std::nullopt;
    std::optional<std::string> text = ReadToEnd(fd);
    ::close(fd);
    return text;
}

bool ReplaceRegularFile(const std::string& path, std::string_view bytes, std::string& error) {
    // A link is followed: the file it names is written, the link stays.
    const std::string target = LinkTarget(path);
    struct stat seen {};
    if (::stat(target.c_str(), &seen) != 0) {
        if (errno == ENOENT && WriteNew(target, bytes)) return true;
        error = Failure("Cannot create file", path);
        return false;
    }
    if (!S_ISREG(seen.st_mode)) {
        error = "Cannot write file \"" + path + "\". It is not a regular file.";
        return false;
    }
    // A file the process may not write is not replaced either.
    const int fd = OpenSeen(target, O_RDWR, seen);
    if (fd < 0) {
        error = Failure("Cannot write file", path);
        return false;
    }
    Replacement replaced = ReplaceByNew(target, fd, seen, bytes);
    if (replaced == Replacement::InPlace) replaced = RewriteInPlace(fd, bytes);
    if (replaced != Replacement::Done) error = Failure("Cannot write file", path);
    if (replaced == Replacement::Damaged)
        error += ". Its old text could not be put back either: the file may be damaged.";
    ::close(fd);
    return replaced == Replacement::Done;
}

} // namespace ondrel
