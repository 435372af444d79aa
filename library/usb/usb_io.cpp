#include "usb/usb_io.h"

#include <cstring>

namespace quarnel {

TUsbIo::TUsbIo(std::shared_ptr<UsbDriver> driver) : driver_(std::move(driver)) {}

TUsbIo::~TUsbIo() { Close(); }

std::unique_ptr<DeviceList> TUsbIo::CreateDeviceList(const InterfaceGuid* guid) {
    if (!guid || !driver_ ||
        std::memcmp(guid, &kBoardInterfaceClass, sizeof(InterfaceGuid)) != 0)
        return nullptr;
    auto list = std::make_unique<DeviceList>();
    list->paths = driver_->list_devices();
    return list;
}

void TUsbIo::DestroyDeviceList(std::unique_ptr<DeviceList>& list) { list.reset(); }

std::uint32_t TUsbIo::Open(int DeviceNumber, const DeviceList* list, const InterfaceGuid* guid) {
    if (FileHandle)
        return kStatusSuccess;
    std::string path;
    if (!list) {
        path = kLegacyDevicePathPrefix + std::to_string(DeviceNumber);
    } else {
        if (!guid)
            return kStatusNoInterfaceClass;
        mDevDetail.reset();
        if (DeviceNumber < 0 || static_cast<std::size_t>(DeviceNumber) >= list->paths.size())
            return kStatusNoSuchDeviceInterface;
        path = list->paths[static_cast<std::size_t>(DeviceNumber)];
    }
    if (!driver_)
        return kStatusDeviceOpenFailed;
    FileHandle = driver_->open_path(path);
    if (!FileHandle)
        return kStatusDeviceOpenFailed;
    mDevDetail = std::make_unique<std::string>(path);

    USBIO_DRIVER_INFO info{};
    const std::uint32_t status = GetDriverInfo(info);
    if (status != kStatusSuccess) {
        Close();
        return status;
    }
    if (info.APIVersion < kMinimumDriverApiVersion) {
        Close();
        return kStatusDriverTooOld;
    }
    return kStatusSuccess;
}

void TUsbIo::Close() {
    FileHandle.reset();
    mDevDetail.reset();
}

std::uint32_t TUsbIo::IoctlSync(std::uint32_t IoctlCode, const void* InBuffer,
                                std::uint32_t InBufferSize, void* OutBuffer,
                                std::uint32_t OutBufferSize, std::uint32_t* BytesReturned) {
    if (!FileHandle)
        return kStatusDeviceNotOpen;
    std::uint32_t returned = 0;
    std::uint32_t status;
    {
        std::lock_guard<std::mutex> hold(CritSect);
        status = FileHandle->request(IoctlCode, InBuffer, InBufferSize, OutBuffer, OutBufferSize,
                                     returned);
    }
    if (BytesReturned)
        *BytesReturned = returned;
    return status;
}

std::uint32_t TUsbIo::GetDriverInfo(USBIO_DRIVER_INFO& info) {
    return IoctlSync(kIoctlGetDriverInfo, nullptr, 0, &info, sizeof info, nullptr);
}

std::uint32_t TUsbIo::GetDescriptor(void* Buffer, std::uint32_t& ByteCount,
                                    std::uint32_t Recipient, std::uint8_t DescriptorType,
                                    std::uint8_t DescriptorIndex, std::uint16_t LanguageId) {
    USBIO_DESCRIPTOR_REQUEST request{Recipient, DescriptorType, DescriptorIndex, LanguageId};
    std::uint32_t returned = 0;
    const std::uint32_t status =
        IoctlSync(kIoctlGetDescriptor, &request, sizeof request, Buffer, ByteCount, &returned);
    ByteCount = returned;
    return status;
}

std::uint32_t TUsbIo::GetDeviceDescriptor(USB_DEVICE_DESCRIPTOR& desc) {
    std::uint32_t count = sizeof desc;
    return GetDescriptor(&desc, count, 0, kDescriptorTypeDevice, 0, 0);
}

std::uint32_t TUsbIo::SetConfiguration(const USBIO_SET_CONFIGURATION& conf) {
    return IoctlSync(kIoctlSetConfiguration, &conf, sizeof conf, nullptr, 0, nullptr);
}

std::uint32_t TUsbIo::UnconfigureDevice() {
    return IoctlSync(kIoctlUnconfigureDevice, nullptr, 0, nullptr, 0, nullptr);
}

std::uint32_t TUsbIo::GetConfigurationInfo(USBIO_CONFIGURATION_INFO& info) {
    std::memset(&info, 0, sizeof info);
    return IoctlSync(kIoctlGetConfigurationInfo, nullptr, 0, &info, sizeof info, nullptr);
}

} // namespace quarnel
