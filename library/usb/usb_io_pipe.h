// TUsbIoPipe: a handle bound to one bulk endpoint of a board, and transfers on it.
#pragma once

#include "usb/usb_io.h"
#include "usb/usb_io_buf.h"

namespace quarnel {

class TUsbIoPipe : public TUsbIo {
public:
    using TUsbIo::TUsbIo;

    std::uint32_t Bind(int DeviceNumber, std::uint8_t EndpointAddress, const DeviceList* list,
                       const InterfaceGuid* guid);
    std::uint32_t ResetPipe();

    bool Read(TUsbIoBuf& Buf);
    bool Write(TUsbIoBuf& Buf);
    std::uint32_t WaitForCompletion(TUsbIoBuf& Buf, std::uint32_t Timeout);

    std::uint32_t ReadSync(void* Buffer, std::uint32_t& ByteCount, std::uint32_t Timeout);
    std::uint32_t WriteSync(const void* Buffer, std::uint32_t& ByteCount, std::uint32_t Timeout);

private:
    bool Start(TUsbIoBuf& Buf, bool read);
    std::uint32_t TransferSync(void* Buffer, std::uint32_t& ByteCount, std::uint32_t Timeout,
                               bool read);
};

} // namespace quarnel
