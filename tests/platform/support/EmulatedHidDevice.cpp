#include "EmulatedHidDevice.h"

#include <sys/ioctl.h>
#include <linux/hidraw.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace qozel::test {
namespace {

constexpr int kHidrawMajor = 241;
constexpr std::uint8_t kFirstReportId = 0x41;
constexpr std::uint8_t kLastReportId = 0x49;

// Vendor page, one collection, feature reports 0x41..0x49 of 64k+63 data bytes.
std::vector<std::uint8_t> ReportDescriptor()
{
    std::vector<std::uint8_t> d = {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08};
    for (std::uint8_t id = kFirstReportId; id <= kLastReportId; ++id) {
        const unsigned count = 64u * (id - kFirstReportId) + 62u;
        d.insert(d.end(), {0x85, id, 0x96, static_cast<std::uint8_t>(count), static_cast<std::uint8_t>(count >> 8),
                           0x09, 0x01, 0xB1, 0x02});
    }
    d.push_back(0xC0);
    return d;
}

std::string Hex(unsigned v, int width)
{
    char text[16];
    std::snprintf(text, sizeof text, "%0*X", width, v);
    return text;
}

UMockdevIoctlData* Resolve(UMockdevIoctlData* data, std::size_t length)
{
    GError* error = nullptr;
    UMockdevIoctlData* child = umockdev_ioctl_data_resolve(data, 0, length, &error);
    if (error)
        g_error_free(error);
    return child;
}

} // namespace

EmulatedHidDevice::EmulatedHidDevice(Testbed& bed, EmulatedHidSetup setup, std::shared_ptr<sim::SimDeviceModel> model)
    : bed_(bed), spec_(std::move(setup)), model_(std::move(model)),
      node_("/dev/hidraw" + std::to_string(spec_.hidrawMinor))
{
    auto lower = [](std::string s) {
        std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
        return s;
    };
    gchar* usb = umockdev_testbed_add_device(
        bed_.get(), "usb", spec_.usbName.c_str(), nullptr, "idVendor", lower(Hex(spec_.vendorId, 4)).c_str(),
        "idProduct", lower(Hex(spec_.productId, 4)).c_str(), "bcdDevice", lower(Hex(spec_.release, 4)).c_str(),
        "manufacturer", "QoZEL", "product", "K31", "serial", "K31-0001", nullptr, "DEVTYPE", "usb_device", nullptr);
    const std::string interfaceName = spec_.usbName + ":1.0";
    gchar* itf = umockdev_testbed_add_device(bed_.get(), "usb", interfaceName.c_str(), usb, "bInterfaceNumber", "00",
                                             nullptr, "DEVTYPE", "usb_interface", nullptr);
    const std::string hidName = "0003:" + Hex(spec_.vendorId, 4) + ':' + Hex(spec_.productId, 4) + '.' +
                                Hex(static_cast<unsigned>(spec_.hidrawMinor + 1), 4);
    const std::string hidId = "0003:" + Hex(spec_.vendorId, 8) + ':' + Hex(spec_.productId, 8);
    gchar* hid = umockdev_testbed_add_device(bed_.get(), "hid", hidName.c_str(), itf, nullptr, "HID_ID",
                                             hidId.c_str(), "HID_NAME", "QoZEL K31", "HID_UNIQ", "K31-0001",
                                             nullptr);
    auto descriptor = ReportDescriptor();
    umockdev_testbed_set_attribute_binary(bed_.get(), hid, "report_descriptor", descriptor.data(),
                                          static_cast<gssize>(descriptor.size()));
    const std::string rawName = "hidraw" + std::to_string(spec_.hidrawMinor);
    const std::string dev = std::to_string(kHidrawMajor) + ':' + std::to_string(spec_.hidrawMinor);
    gchar* raw = umockdev_testbed_add_device(bed_.get(), "hidraw", rawName.c_str(), hid, "dev", dev.c_str(),
                                             nullptr, "DEVNAME", node_.c_str(), nullptr);
    usbPath_ = usb ? usb : "";
    g_free(usb);
    g_free(itf);
    g_free(hid);
    g_free(raw);
    if (!usb || !itf || !hid || !raw)
        throw std::runtime_error("cannot add the HID device to the testbed");
    std::ofstream(bed_.RootDir() + node_).flush(); // the node itself; only its ioctls matter

    handler_ = umockdev_ioctl_base_new();
    g_signal_connect(handler_, "handle-ioctl", G_CALLBACK(OnIoctl), this);
    GError* error = nullptr;
    if (!umockdev_testbed_attach_ioctl(bed_.get(), node_.c_str(), handler_, &error)) {
        const std::string message = error ? error->message : "unknown";
        g_clear_error(&error);
        throw std::runtime_error("attach_ioctl: " + message);
    }
}

EmulatedHidDevice::~EmulatedHidDevice()
{
    umockdev_testbed_detach_ioctl(bed_.get(), node_.c_str(), nullptr);
    g_signal_handlers_disconnect_by_data(handler_, this);
    g_object_unref(handler_);
}

void EmulatedHidDevice::Unplug()
{
    umockdev_testbed_remove_device(bed_.get(), usbPath_.c_str());
}

std::vector<std::vector<std::uint8_t>> EmulatedHidDevice::Reports() const
{
    std::lock_guard lock(mutex_);
    return reports_;
}

int EmulatedHidDevice::Ioctls() const
{
    std::lock_guard lock(mutex_);
    return ioctls_;
}

gboolean EmulatedHidDevice::OnIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer self)
{
    static_cast<EmulatedHidDevice*>(self)->HandleIoctl(client);
    return TRUE;
}

void EmulatedHidDevice::HandleIoctl(UMockdevIoctlClient* client)
{
    std::lock_guard lock(mutex_);
    ++ioctls_;
    const gulong request = umockdev_ioctl_client_get_request(client);
    UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
    const std::size_t size = _IOC_SIZE(request);
    long result = -1;
    int error = ENOTTY;
    if (request == HIDIOCGRDESCSIZE) {
        UMockdevIoctlData* out = Resolve(arg, sizeof(int));
        const int length = static_cast<int>(ReportDescriptor().size());
        std::memcpy(out->data, &length, sizeof length);
        g_object_unref(out);
        result = 0;
    } else if (request == HIDIOCGRDESC) {
        UMockdevIoctlData* out = Resolve(arg, sizeof(hidraw_report_descriptor));
        auto* desc = reinterpret_cast<hidraw_report_descriptor*>(out->data);
        const auto bytes = ReportDescriptor();
        desc->size = static_cast<std::uint32_t>(bytes.size());
        std::copy(bytes.begin(), bytes.end(), desc->value);
        g_object_unref(out);
        result = 0;
    } else if (_IOC_TYPE(request) == 'H' && _IOC_NR(request) == _IOC_NR(HIDIOCSFEATURE(0)) && size > 0) {
        UMockdevIoctlData* report = Resolve(arg, size);
        result = SetFeature(report->data, size);
        g_object_unref(report);
    } else if (_IOC_TYPE(request) == 'H' && _IOC_NR(request) == _IOC_NR(HIDIOCGFEATURE(0)) && size > 0) {
        UMockdevIoctlData* report = Resolve(arg, size);
        result = GetFeature(report->data, size);
        g_object_unref(report);
    }
    if (result >= 0)
        error = 0;
    else if (error == ENOTTY && (_IOC_NR(request) == _IOC_NR(HIDIOCSFEATURE(0)) ||
                                 _IOC_NR(request) == _IOC_NR(HIDIOCGFEATURE(0))))
        error = EPIPE;
    umockdev_ioctl_client_complete(client, result, error);
}

long EmulatedHidDevice::SetFeature(const std::uint8_t* report, std::size_t length)
{
    const std::uint8_t id = report[0];
    if (id < kFirstReportId || id > kLastReportId || length != 64u * (id - kFirstReportId) + 63u)
        return -1;
    reports_.emplace_back(report, report + length);
    reply_.clear();
    const std::size_t frameLength = static_cast<std::size_t>(report[1] | report[2] << 8);
    if (frameLength > length - 1)
        return static_cast<long>(length);
    if (const auto frame = sim::ParseFrame(std::span(report + 1, frameLength)))
        if (const auto reply = model_->Process(frame->code, frame->payload))
            reply_ = sim::MakeFrame(static_cast<std::uint8_t>(frame->code | 0x80), *reply);
    return static_cast<long>(length);
}

long EmulatedHidDevice::GetFeature(std::uint8_t* report, std::size_t length)
{
    if (report[0] != kFirstReportId || length != 63)
        return -1;
    std::fill(report + 1, report + length, std::uint8_t{0});
    std::copy_n(reply_.begin(), std::min(reply_.size(), length - 1), report + 1);
    return static_cast<long>(length);
}

} // namespace qozel::test
