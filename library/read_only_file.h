// A regular file opened for reading; directories, devices, FIFOs, sockets and missing files
// are not even opened, and opening never waits.
// Closed when the object goes out of scope.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quarnel {

class ReadOnlyFile {
public:
    explicit ReadOnlyFile(const char* name);
    ~ReadOnlyFile();
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    bool is_open() const { return fd_ >= 0; }
    std::uint64_t size() const { return size_; } // in bytes, when it was opened

    // Reads up to n bytes: the count read, 0 at the end, -1 after an error.
    std::ptrdiff_t read(void* buffer, std::size_t n);
    // Reads exactly n bytes; false when the file ends before or fails.
    bool read_exactly(void* buffer, std::size_t n);

private:
    int fd_ = -1;
    std::uint64_t size_ = 0;
};

} // namespace quarnel
