// TUsbIo: one opened board device and the driver requests sent to it.
#pragma once

#include "usb/driver_records.h"
#include "usb/usb_driver.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

namespace quarnel {

class TUsbIo {
public:
    explicit TUsbIo(std::shared_ptr<UsbDriver> driver);
    virtual ~TUsbIo();
    TUsbIo(const TUsbIo&) = delete;
    TUsbIo& operator=(const TUsbIo&) = delete;

    // The present devices of the interface class; null without a class.
    std::unique_ptr<DeviceList> CreateDeviceList(const InterfaceGuid* guid);
    static void DestroyDeviceList(std::unique_ptr<DeviceList>& list);

    std::uint32_t Open(int DeviceNumber, const DeviceList* list, const InterfaceGuid* guid);
    void Close();
    bool IsOpen() const { return FileHandle != nullptr; }
    const std::string* DevicePath() const { return mDevDetail.get(); }

    std::uint32_t GetDriverInfo(USBIO_DRIVER_INFO& info);
    std::uint32_t GetDescriptor(void* Buffer, std::uint32_t& ByteCount, std::uint32_t Recipient,
                                std::uint8_t DescriptorType, std::uint8_t DescriptorIndex,
                                std::uint16_t LanguageId);
    std::uint32_t GetDeviceDescriptor(USB_DEVICE_DESCRIPTOR& desc);
    std::uint32_t SetConfiguration(const USBIO_SET_CONFIGURATION& conf);
    std::uint32_t UnconfigureDevice();
    std::uint32_t GetConfigurationInfo(USBIO_CONFIGURATION_INFO& info);
    std::uint32_t IoctlSync(std::uint32_t IoctlCode, const void* InBuffer, std::uint32_t InBufferSize,
                            void* OutBuffer, std::uint32_t OutBufferSize,
                            std::uint32_t* BytesReturned);
    // Transfers run to completion or are cancelled inside the driver, so nothing is left
    // pending on the handle for a cancel to reach.
    void CancelIo() {}

protected:
    std::shared_ptr<UsbDriver> driver_;
    std::unique_ptr<UsbDeviceHandle> FileHandle;
    std::mutex CritSect;
    std::unique_ptr<std::string> mDevDetail; // the device path
};

} // namespace quarnel
