// TUsbIoBuf: one pipe transfer over a caller's buffer.
#pragma once

#include <cstdint>

namespace quarnel {

class TUsbIoBuf {
public:
    TUsbIoBuf(void* _buffer, std::uint32_t _buffersize);
    virtual ~TUsbIoBuf();
    TUsbIoBuf(const TUsbIoBuf&) = delete;
    TUsbIoBuf& operator=(const TUsbIoBuf&) = delete;

    void* BufferMem;
    std::uint32_t BufferSize;
    bool BufferMemAllocated = false; // BufferMem is owned (never set by the library)
    std::uint32_t NumberOfBytesToTransfer = 0;
    std::uint32_t BytesTransferred = 0;
    std::uint32_t Status = 0; // 0 good, 997 pending, else an error
    TUsbIoBuf* Next = nullptr;
    bool OperationFinished = false;

    // In place of the overlapped record: the transfer that Read or Write started.
    bool TransferIsRead = false;
    bool TransferRan = false;               // the driver has run the transfer
    std::uint32_t CompletionStatus = 0;     // how it ended, once TransferRan
};

} // namespace quarnel
