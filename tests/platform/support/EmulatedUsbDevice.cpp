#include "EmulatedUsbDevice.h"

#include <sys/ioctl.h>
#include <linux/usbdevice_fs.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <stdexcept>

namespace qozel::test {
namespace {

constexpr std::uint8_t kUrbControl = USBDEVFS_URB_TYPE_CONTROL;
constexpr std::uint8_t kUrbBulk = USBDEVFS_URB_TYPE_BULK;
constexpr std::size_t kSetupSize = 8;
constexpr int kUsbDeviceMajor = 189;
constexpr int kFifoSize = 4096;

std::string Hex4(unsigned v)
{
    char text[8];
    std::snprintf(text, sizeof text, "%04x", v & 0xFFFF);
    return text;
}

std::string Padded3(unsigned v)
{
    char text[8];
    std::snprintf(text, sizeof text, "%03u", v & 0xFF);
    return text;
}

UMockdevIoctlData* Resolve(UMockdevIoctlData* data, std::size_t offset, std::size_t length)
{
    GError* error = nullptr;
    UMockdevIoctlData* child = umockdev_ioctl_data_resolve(data, offset, length, &error);
    if (error)
        g_error_free(error);
    return child;
}

} // namespace

// One submitted URB: the client's copy of the request and its data buffer.
struct EmulatedUsbDevice::Urb {
    Urb(UMockdevIoctlClient* client, UMockdevIoctlData* urb, UMockdevIoctlData* buffer)
        : client(client), urb(urb), buffer(buffer)
    {
    }
    ~Urb()
    {
        g_object_unref(urb);
        if (buffer)
            g_object_unref(buffer);
    }
    Urb(const Urb&) = delete;
    Urb& operator=(const Urb&) = delete;

    usbdevfs_urb& request() const { return *reinterpret_cast<usbdevfs_urb*>(urb->data); }
    std::uint8_t* bytes() const { return buffer ? buffer->data : nullptr; }
    std::size_t length() const { return buffer ? static_cast<std::size_t>(buffer->data_len) : 0; }
    void Finish(int status, std::size_t actual)
    {
        request().status = status;
        request().actual_length = static_cast<int>(actual);
    }

    UMockdevIoctlClient* client;
    UMockdevIoctlData* urb;
    UMockdevIoctlData* buffer;
};

EmulatedUsbDevice::EmulatedUsbDevice(Testbed& bed, EmulatedUsbSetup setup, std::shared_ptr<sim::SimDeviceModel> model)
    : bed_(bed), spec_(std::move(setup)), model_(std::move(model)), config_(ConfigDescriptor(spec_.interfaces))
{
    const std::string name = std::to_string(spec_.bus) + '-' + spec_.ports;
    devNode_ = "/dev/bus/usb/" + Padded3(spec_.bus) + '/' + Padded3(spec_.address);
    const std::string dev = std::to_string(kUsbDeviceMajor) + ':' + std::to_string((spec_.bus - 1) * 128 + spec_.address);
    gchar* path = umockdev_testbed_add_device(
        bed_.get(), "usb", name.c_str(), nullptr,
        "busnum", std::to_string(spec_.bus).c_str(), "devnum", std::to_string(spec_.address).c_str(),
        "idVendor", Hex4(spec_.vendorId).c_str(), "idProduct", Hex4(spec_.productId).c_str(),
        "bcdDevice", "0100", "speed", "480", "bConfigurationValue", "1", "bNumConfigurations", "1",
        "dev", dev.c_str(), nullptr,
        "DEVTYPE", "usb_device", "DEVNAME", devNode_.c_str(), "BUSNUM", Padded3(spec_.bus).c_str(),
        "DEVNUM", Padded3(spec_.address).c_str(), nullptr);
    if (!path)
        throw std::runtime_error("cannot add the USB device to the testbed");
    sysPath_ = path;
    g_free(path);

    Bytes descriptors = DeviceDescriptor(spec_.vendorId, spec_.productId);
    descriptors.insert(descriptors.end(), config_.begin(), config_.end());
    umockdev_testbed_set_attribute_binary(bed_.get(), sysPath_.c_str(), "descriptors", descriptors.data(),
                                          static_cast<gssize>(descriptors.size()));

    const std::filesystem::path node = bed_.RootDir() + devNode_;
    std::filesystem::create_directories(node.parent_path());
    std::filesystem::remove(node);
    if (mkfifo(node.c_str(), 0666) != 0)
        throw std::runtime_error("mkfifo failed for the emulated node");
    fifo_ = open(node.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fifo_ < 0)
        throw std::runtime_error("cannot open the emulated node's FIFO");
    fcntl(fifo_, F_SETPIPE_SZ, kFifoSize);
    UpdateReadiness();

    handler_ = umockdev_ioctl_base_new();
    g_signal_connect(handler_, "handle-ioctl", G_CALLBACK(OnIoctl), this);
    g_signal_connect(handler_, "client-vanished", G_CALLBACK(OnVanished), this);
    GError* error = nullptr;
    if (!umockdev_testbed_attach_ioctl(bed_.get(), devNode_.c_str(), handler_, &error)) {
        const std::string message = error ? error->message : "unknown";
        g_clear_error(&error);
        throw std::runtime_error("attach_ioctl: " + message);
    }
    umockdev_testbed_uevent(bed_.get(), sysPath_.c_str(), "add");
}

EmulatedUsbDevice::~EmulatedUsbDevice()
{
    umockdev_testbed_detach_ioctl(bed_.get(), devNode_.c_str(), nullptr);
    g_signal_handlers_disconnect_by_data(handler_, this);
    g_object_unref(handler_);
    std::lock_guard lock(mutex_);
    pendingIn_.clear();
    completed_.clear();
    close(fifo_);
}

void EmulatedUsbDevice::Unplug()
{
    {
        std::lock_guard lock(mutex_);
        gone_ = true;
        FailPending();
        UpdateReadiness();
        if (removed_)
            return;
        removed_ = true;
    }
    umockdev_testbed_uevent(bed_.get(), sysPath_.c_str(), "remove");
    umockdev_testbed_remove_device(bed_.get(), sysPath_.c_str());
}

void EmulatedUsbDevice::SetConfigured(bool configured)
{
    umockdev_testbed_set_attribute(bed_.get(), sysPath_.c_str(), "bConfigurationValue", configured ? "1" : "");
}

void EmulatedUsbDevice::QueueIn(Bytes transfer)
{
    std::lock_guard lock(mutex_);
    inQueue_.push_back(std::move(transfer));
}

bool EmulatedUsbDevice::Gone() const
{
    std::lock_guard lock(mutex_);
    return gone_;
}

int EmulatedUsbDevice::ControlRequests() const
{
    std::lock_guard lock(mutex_);
    return controlRequests_;
}

int EmulatedUsbDevice::Ioctls() const
{
    std::lock_guard lock(mutex_);
    return ioctls_;
}

std::vector<Bytes> EmulatedUsbDevice::Written() const
{
    std::lock_guard lock(mutex_);
    return written_;
}

gboolean EmulatedUsbDevice::OnIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer self)
{
    static_cast<EmulatedUsbDevice*>(self)->HandleIoctl(client);
    return TRUE;
}

void EmulatedUsbDevice::OnVanished(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer self)
{
    auto& device = *static_cast<EmulatedUsbDevice*>(self);
    std::lock_guard lock(device.mutex_);
    auto ofClient = [client](const std::shared_ptr<Urb>& u) { return u->client == client; };
    std::erase_if(device.pendingIn_, ofClient);
    std::erase_if(device.completed_, ofClient);
    device.UpdateReadiness();
}

void EmulatedUsbDevice::HandleIoctl(UMockdevIoctlClient* client)
{
    std::lock_guard lock(mutex_);
    ++ioctls_;
    const gulong request = umockdev_ioctl_client_get_request(client);
    if (gone_ && request != USBDEVFS_REAPURBNDELAY && request != USBDEVFS_REAPURB) {
        umockdev_ioctl_client_complete(client, -1, ENODEV);
        return;
    }
    switch (request) {
    case USBDEVFS_GET_CAPABILITIES: {
        UMockdevIoctlData* caps = Resolve(umockdev_ioctl_client_get_arg(client), 0, sizeof(std::uint32_t));
        const std::uint32_t value = USBDEVFS_CAP_BULK_CONTINUATION | USBDEVFS_CAP_NO_PACKET_SIZE_LIM |
                                    USBDEVFS_CAP_REAP_AFTER_DISCONNECT | USBDEVFS_CAP_ZERO_PACKET;
        std::memcpy(caps->data, &value, sizeof value);
        g_object_unref(caps);
        umockdev_ioctl_client_complete(client, 0, 0);
        break;
    }
    case USBDEVFS_CLAIMINTERFACE:
    case USBDEVFS_RELEASEINTERFACE:
        umockdev_ioctl_client_complete(client, 0, 0);
        break;
    case USBDEVFS_SUBMITURB:
        Submit(client);
        break;
    case USBDEVFS_DISCARDURB:
        Discard(client);
        break;
    case USBDEVFS_REAPURB:
    case USBDEVFS_REAPURBNDELAY:
        Reap(client);
        break;
    default:
        umockdev_ioctl_client_complete(client, -1, ENOTTY);
        break;
    }
    UpdateReadiness();
}

void EmulatedUsbDevice::Submit(UMockdevIoctlClient* client)
{
    UMockdevIoctlData* urbData = Resolve(umockdev_ioctl_client_get_arg(client), 0, sizeof(usbdevfs_urb));
    if (!urbData) {
        umockdev_ioctl_client_complete(client, -1, EFAULT);
        return;
    }
    const auto& raw = *reinterpret_cast<usbdevfs_urb*>(urbData->data);
    UMockdevIoctlData* buffer =
        raw.buffer_length > 0
            ? Resolve(urbData, offsetof(usbdevfs_urb, buffer), static_cast<std::size_t>(raw.buffer_length))
            : nullptr;
    auto urb = std::make_shared<Urb>(client, urbData, buffer);
    const std::uint8_t type = urb->request().type;
    const bool in = (urb->request().endpoint & 0x80) != 0;
    if (type == kUrbControl && urb->length() >= kSetupSize) {
        AnswerControl(*urb);
        completed_.push_back(urb);
    } else if (type == kUrbBulk && in) {
        pendingIn_.push_back(urb);
    } else if (type == kUrbBulk) {
        TakeOut(*urb);
        completed_.push_back(urb);
    } else {
        umockdev_ioctl_client_complete(client, -1, EINVAL);
        return;
    }
    if (gone_)
        FailPending();
    ServeIn();
    umockdev_ioctl_client_complete(client, 0, 0);
}

void EmulatedUsbDevice::Reap(UMockdevIoctlClient* client)
{
    const auto it = std::find_if(completed_.begin(), completed_.end(),
                                 [client](const std::shared_ptr<Urb>& u) { return u->client == client; });
    if (it == completed_.end()) {
        umockdev_ioctl_client_complete(client, -1, gone_ ? ENODEV : EAGAIN);
        return;
    }
    UMockdevIoctlData* slot = Resolve(umockdev_ioctl_client_get_arg(client), 0, sizeof(void*));
    umockdev_ioctl_data_set_ptr(slot, 0, (*it)->urb);
    g_object_unref(slot);
    completed_.erase(it);
    umockdev_ioctl_client_complete(client, 0, 0);
}

void EmulatedUsbDevice::Discard(UMockdevIoctlClient* client)
{
    gulong address = 0;
    std::memcpy(&address, umockdev_ioctl_client_get_arg(client)->data, sizeof address);
    const auto it = std::find_if(pendingIn_.begin(), pendingIn_.end(),
                                 [address](const std::shared_ptr<Urb>& u) { return u->urb->client_addr == address; });
    if (it == pendingIn_.end()) {
        umockdev_ioctl_client_complete(client, -1, EINVAL);
        return;
    }
    (*it)->Finish(-ENOENT, 0);
    completed_.push_back(*it);
    pendingIn_.erase(it);
    umockdev_ioctl_client_complete(client, 0, 0);
}

void EmulatedUsbDevice::AnswerControl(Urb& urb)
{
    ++controlRequests_;
    const std::uint8_t* setup = urb.bytes();
    Bytes reply;
    if (!ControlReply(setup, reply)) {
        urb.Finish(-EPIPE, 0);
        return;
    }
    const std::size_t wLength = static_cast<std::size_t>(setup[6] | setup[7] << 8);
    const std::size_t n = std::min({reply.size(), wLength, urb.length() - kSetupSize});
    std::copy_n(reply.begin(), n, urb.bytes() + kSetupSize);
    urb.Finish(0, n);
}

bool EmulatedUsbDevice::ControlReply(const std::uint8_t* setup, Bytes& reply) const
{
    const std::uint8_t requestType = setup[0];
    const std::uint8_t request = setup[1];
    const std::uint8_t type = setup[3];
    const std::uint8_t index = setup[2];
    const std::uint16_t wIndex = static_cast<std::uint16_t>(setup[4] | setup[5] << 8);
    if (requestType == 0x80 && request == 6) {
        switch (type) {
        case 1: reply = DeviceDescriptor(spec_.vendorId, spec_.productId); break;
        case 2: reply = config_; break;
        case 3:
            if (index == 0)
                reply = {4, 3, 0x09, 0x04};
            else if (index == 3)
                reply = StringDescriptor(spec_.serial);
            else if (index == 0xEE)
                reply = spec_.msOsString;
            break;
        case 0x0F: reply = spec_.bos; break;
        default: break;
        }
    } else if (requestType == 0xC0 && request == spec_.vendorCode && wIndex == 7) {
        reply = spec_.msOs20Set;
    } else if (requestType == 0xC1 && request == spec_.vendorCode && wIndex == 5) {
        reply = spec_.msOs10Properties;
    }
    return !reply.empty();
}

void EmulatedUsbDevice::TakeOut(Urb& urb)
{
    const Bytes data(urb.bytes(), urb.bytes() + urb.length());
    written_.push_back(data);
    urb.Finish(0, data.size());
    if (const auto frame = sim::ParseFrame(data)) {
        const auto reply = model_->Process(frame->code, frame->payload);
        if (model_->unplugged())
            gone_ = true;
        else if (reply)
            inQueue_.push_back(sim::MakeFrame(static_cast<std::uint8_t>(frame->code | 0x80), *reply));
    }
    while (const auto unsolicited = model_->TakeUnsolicited())
        inQueue_.push_back(sim::MakeFrame(unsolicited->first, unsolicited->second));
}

void EmulatedUsbDevice::ServeIn()
{
    while (!pendingIn_.empty() && !inQueue_.empty()) {
        const auto urb = pendingIn_.front();
        pendingIn_.pop_front();
        const Bytes transfer = std::move(inQueue_.front());
        inQueue_.pop_front();
        const std::size_t n = std::min(transfer.size(), urb->length());
        std::copy_n(transfer.begin(), n, urb->bytes());
        urb->Finish(0, n);
        completed_.push_back(urb);
    }
}

void EmulatedUsbDevice::FailPending()
{
    for (const auto& urb : pendingIn_) {
        urb->Finish(-ENODEV, 0);
        completed_.push_back(urb);
    }
    pendingIn_.clear();
}

void EmulatedUsbDevice::UpdateReadiness()
{
    std::array<char, kFifoSize> chunk{};
    if (completed_.empty()) {
        while (write(fifo_, chunk.data(), chunk.size()) > 0) {
        }
    } else {
        while (read(fifo_, chunk.data(), chunk.size()) > 0) {
        }
    }
}

} // namespace qozel::test
