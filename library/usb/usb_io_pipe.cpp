#include "usb/usb_io_pipe.h"

namespace quarnel {

std::uint32_t TUsbIoPipe::Bind(int DeviceNumber, std::uint8_t EndpointAddress,
                               const DeviceList* list, const InterfaceGuid* guid) {
    std::uint32_t status = Open(DeviceNumber, list, guid);
    if (status != kStatusSuccess)
        return status;
    USBIO_BIND_PIPE bind{EndpointAddress};
    return IoctlSync(kIoctlBind, &bind, sizeof bind, nullptr, 0, nullptr);
}

std::uint32_t TUsbIoPipe::ResetPipe() {
    return IoctlSync(kIoctlResetPipe, nullptr, 0, nullptr, 0, nullptr);
}

bool TUsbIoPipe::Start(TUsbIoBuf& Buf, bool read) {
    Buf.TransferIsRead = read;
    Buf.TransferRan = false;
    if (!FileHandle) {
        Buf.Status = kStatusDeviceNotOpen;
        return false;
    }
    Buf.Status = kStatusPending;
    return true;
}

bool TUsbIoPipe::Read(TUsbIoBuf& Buf) { return Start(Buf, true); }

bool TUsbIoPipe::Write(TUsbIoBuf& Buf) { return Start(Buf, false); }

std::uint32_t TUsbIoPipe::WaitForCompletion(TUsbIoBuf& Buf, std::uint32_t Timeout) {
    if (Buf.Status != kStatusPending)
        return Buf.Status;
    if (!Buf.TransferRan) {
        std::uint32_t count = Buf.NumberOfBytesToTransfer;
        bool timed_out = false;
        Buf.CompletionStatus =
            FileHandle ? FileHandle->transfer(Buf.TransferIsRead,
                                              static_cast<std::uint8_t*>(Buf.BufferMem), count,
                                              Timeout, timed_out)
                       : kStatusDeviceNotOpen;
        Buf.BytesTransferred = FileHandle ? count : 0;
        Buf.TransferRan = true;
        if (timed_out && Timeout != kWaitForever)
            return kStatusTimeout; // Status stays pending until the completion is fetched
    }
    Buf.Status = Buf.CompletionStatus;
    Buf.OperationFinished = true;
    return Buf.Status;
}

std::uint32_t TUsbIoPipe::TransferSync(void* Buffer, std::uint32_t& ByteCount,
                                       std::uint32_t Timeout, bool read) {
    TUsbIoBuf buf(Buffer, ByteCount);
    buf.NumberOfBytesToTransfer = ByteCount;
    buf.BytesTransferred = 0;
    if (read ? Read(buf) : Write(buf)) {
        std::uint32_t status = WaitForCompletion(buf, Timeout);
        if (status == kStatusTimeout) {
            CancelIo();
            WaitForCompletion(buf, kWaitForever);
        }
    }
    ByteCount = buf.BytesTransferred;
    return buf.Status;
}

std::uint32_t TUsbIoPipe::ReadSync(void* Buffer, std::uint32_t& ByteCount, std::uint32_t Timeout) {
    return TransferSync(Buffer, ByteCount, Timeout, true);
}

std::uint32_t TUsbIoPipe::WriteSync(const void* Buffer, std::uint32_t& ByteCount,
                                    std::uint32_t Timeout) {
    // The buffer is only read by an OUT transfer.
    return TransferSync(const_cast<void*>(Buffer), ByteCount, Timeout, false);
}

} // namespace quarnel
