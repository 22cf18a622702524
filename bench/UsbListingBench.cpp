// One poll's listing through the libusb backend under a umockdev testbed:
// the Manager alone, then with 20 devices of other vendors beside it.
// Prints usb_listing_us= (with the 20 foreign devices, a listing after the
// first), usb_listing_alone_us= (the reference, same run), their ratio, and
// usb_listing_control_requests= (control requests of that listing, all devices).
#include "BenchTiming.h"
#include "support/EmulatedUsbDevice.h" // umockdev first

// GCC 12 reports a false -Wrestrict in the inlined copy of the setup's
// default serial string.
#pragma GCC diagnostic ignored "-Wrestrict"

#include "ScriptedModel.h"
#include "link/WUsbBulkD.h"
#include "platform/usb/LibUsbHost.h"

#include <libusb.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace qozel;
using namespace qozel::test;

// A Manager that names its interface GUID in an MS OS 2.0 descriptor set.
EmulatedUsbSetup Manager()
{
    EmulatedUsbSetup setup;
    setup.ports = "1";
    setup.address = 2;
    setup.msOs20Set = MsOs20Set(RegistryProperty("DeviceInterfaceGUIDs", MultiSz({kManagerGuid.ToString()})));
    setup.bos = BosWithMsOs20(static_cast<std::uint16_t>(setup.msOs20Set.size()), setup.vendorCode);
    return setup;
}

// Median thread CPU of `runs` listings; false when a listing misses the Manager.
bool TimeListings(LibUsbHost& host, int runs, double& medianUs)
{
    std::vector<double> us;
    for (int i = 0; i < runs; ++i) {
        const double start = ThreadCpuUs();
        const auto paths = host.ListInterfaces(kManagerGuid);
        us.push_back(ThreadCpuUs() - start);
        if (!paths || paths->size() != 1)
            return false;
    }
    medianUs = Median(us);
    return true;
}

// Devices libusb lists on a context of its own, to confirm the testbed's.
int LibUsbDeviceCount()
{
    libusb_context* context = nullptr;
    if (libusb_init(&context) != LIBUSB_SUCCESS)
        return -1;
    libusb_device** list = nullptr;
    const ssize_t n = libusb_get_device_list(context, &list);
    if (n >= 0)
        libusb_free_device_list(list, 1);
    libusb_exit(context);
    return static_cast<int>(n);
}

} // namespace

int main()
{
    Testbed bed;
    EmulatedUsbDevice manager(bed, Manager(), std::make_shared<sim::ScriptedModel>());
    LibUsbHost host;
    constexpr int kRuns = 200;

    // The first listing identifies the Manager; the ones after it reuse that.
    double alone = 0;
    if (!host.ListInterfaces(kManagerGuid) || !TimeListings(host, kRuns, alone)) {
        std::printf("usb_listing_us=n/a\nusb_listing_control_requests=n/a\n");
        return 1;
    }

    std::vector<std::unique_ptr<EmulatedUsbDevice>> foreign;
    for (int i = 0; i < 20; ++i) {
        EmulatedUsbSetup setup = Manager();
        setup.ports = std::to_string(i + 2);
        setup.address = static_cast<std::uint8_t>(i + 3);
        setup.vendorId = 0x1234;
        setup.serial = u"F0";
        setup.serial[1] = static_cast<char16_t>(u'A' + i);
        foreign.push_back(std::make_unique<EmulatedUsbDevice>(bed, setup, std::make_shared<sim::ScriptedModel>()));
    }
    auto controlRequests = [&] {
        int n = manager.ControlRequests();
        for (const auto& device : foreign)
            n += device->ControlRequests();
        return n;
    };
    int foreignIoctls = 0;
    // The first listing after the plug-in, then the steady ones.
    const int before = controlRequests();
    if (!host.ListInterfaces(kManagerGuid)) {
        std::printf("usb_listing_us=n/a\nusb_listing_control_requests=n/a\n");
        return 1;
    }
    const int afterFirst = controlRequests();
    double crowded = 0;
    if (!TimeListings(host, kRuns, crowded)) {
        std::printf("usb_listing_us=n/a\nusb_listing_control_requests=n/a\n");
        return 1;
    }
    const int afterSteady = controlRequests();
    for (const auto& device : foreign)
        foreignIoctls += device->Ioctls();

    // A host that meets all 21 devices at its first listing, as at program start.
    LibUsbHost fresh;
    const double freshStart = ThreadCpuUs();
    const int freshBefore = controlRequests();
    const bool freshFound = fresh.ListInterfaces(kManagerGuid).has_value();
    const double freshUs = ThreadCpuUs() - freshStart;
    const int freshRequests = controlRequests() - freshBefore;

    std::printf("usb_listing_devices_seen=%d\n", LibUsbDeviceCount());
    std::printf("usb_listing_us=%.1f\n", crowded);
    std::printf("usb_listing_alone_us=%.1f\n", alone);
    std::printf("usb_listing_vs_alone=%.2f\n", crowded / std::max(alone, 0.001));
    std::printf("usb_listing_control_requests=%.2f\n", static_cast<double>(afterSteady - afterFirst) / kRuns);
    std::printf("usb_listing_first_control_requests=%d\n", afterFirst - before);
    std::printf("usb_listing_foreign_ioctls=%d\n", foreignIoctls);
    if (freshFound) {
        std::printf("usb_listing_cold_us=%.1f\n", freshUs);
        std::printf("usb_listing_cold_control_requests=%d\n", freshRequests);
    }
    return 0;
}
