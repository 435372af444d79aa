#include "usb/usb_io_buf.h"

namespace quarnel {

TUsbIoBuf::TUsbIoBuf(void* _buffer, std::uint32_t _buffersize)
    : BufferMem(_buffer), BufferSize(_buffersize) {}

TUsbIoBuf::~TUsbIoBuf() {
    if (BufferMemAllocated)
        delete[] static_cast<std::uint8_t*>(BufferMem);
}

} // namespace quarnel
