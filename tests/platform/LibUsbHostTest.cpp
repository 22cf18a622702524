// The libusb host against devices emulated at the usbdevfs level: libusb
// itself enumerates, opens, claims and transfers; umockdev carries its
// system calls to the emulated devices and their device models.
#include "support/EmulatedUsbDevice.h" // umockdev first
#include "support/PermissionChecks.h"

#include "ScriptedModel.h"
#include "link/DeviceErrors.h"
#include "link/QoWUsbBulkD.h"
#include "platform/Clock.h"
#include "platform/usb/LibUsbHost.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <time.h>

#include <chrono>

namespace qozel::test {
namespace {

// A device that names its interface GUID in an MS OS 2.0 descriptor set.
EmulatedUsbSetup Declaring20(const Guid& guid, std::string ports, std::uint8_t address)
{
    EmulatedUsbSetup setup;
    setup.ports = std::move(ports);
    setup.address = address;
    setup.msOs20Set = MsOs20Set(RegistryProperty("DeviceInterfaceGUIDs", MultiSz({guid.ToString()})));
    setup.bos = BosWithMsOs20(static_cast<std::uint16_t>(setup.msOs20Set.size()), setup.vendorCode);
    return setup;
}

// The same through the MS OS 1.0 extended properties, as older firmware does.
EmulatedUsbSetup Declaring10(const Guid& guid, std::string ports, std::uint8_t address)
{
    EmulatedUsbSetup setup;
    setup.ports = std::move(ports);
    setup.address = address;
    setup.msOsString = MsOsString(setup.vendorCode);
    setup.msOs10Properties = ExtendedProperties({{"DeviceInterfaceGUID", Utf16z(guid.ToString()), 1}});
    return setup;
}

double CpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

class LibUsbHostTest : public ::testing::Test {
protected:
    std::shared_ptr<sim::ScriptedModel> Model(std::uint16_t nr = 0x0102)
    {
        return std::make_shared<sim::ScriptedModel>(nr);
    }

    Testbed bed;
    SystemClock clock;
};

TEST_F(LibUsbHostTest, KindsAreToldApartByTheirDeclaredGuidAndOtherDevicesAreLeftAlone)
{
    EmulatedUsbDevice arkan(bed, Declaring20(kArkanGuid, "1", 2), Model());
    EmulatedUsbDevice programmer(bed, Declaring10(kProgrammerGuid, "2", 3), Model());
    EmulatedUsbSetup managerSetup = Declaring20(kManagerGuid, "3", 4);
    managerSetup.msOs20Set =
        MsOs20Set(RegistryProperty("DeviceInterfaceGUID", Utf16z(kManagerGuid.ToString()), 1));
    managerSetup.bos = BosWithMsOs20(static_cast<std::uint16_t>(managerSetup.msOs20Set.size()), 0x20);
    EmulatedUsbDevice manager(bed, managerSetup, Model());
    EmulatedUsbSetup foreignSetup = Declaring20(kArkanGuid, "4", 5);
    foreignSetup.vendorId = 0x1234;
    EmulatedUsbDevice foreign(bed, foreignSetup, Model());
    EmulatedUsbSetup plainSetup;
    plainSetup.ports = "5";
    plainSetup.address = 6;
    EmulatedUsbDevice plain(bed, plainSetup, Model());

    LibUsbHost host;
    EXPECT_EQ(host.ListInterfaces(kArkanGuid), std::vector<std::string>{"usb:1-1:0"});
    EXPECT_EQ(host.ListInterfaces(kProgrammerGuid), std::vector<std::string>{"usb:1-2:0"});
    EXPECT_EQ(host.ListInterfaces(kManagerGuid), std::vector<std::string>{"usb:1-3:0"});

    EXPECT_EQ(foreign.Ioctls(), 0) << "a device of another vendor must never be opened";
    EXPECT_GT(plain.ControlRequests(), 0);
    EXPECT_TRUE(host.DeniedDevices().empty());

    QoWUsbBulkD probe(host, clock, *Guid::Parse("{00000000-0000-0000-0000-000000000001}"));
    EXPECT_FALSE(probe.Open());
}

TEST_F(LibUsbHostTest, IdentificationIsReadOncePerAttachmentAndForgottenOnDetach)
{
    auto arkan = std::make_unique<EmulatedUsbDevice>(bed, Declaring20(kArkanGuid, "1", 2), Model());
    LibUsbHost host;
    ASSERT_EQ(host.ListInterfaces(kArkanGuid)->size(), 1u);
    const int afterFirst = arkan->ControlRequests();
    EXPECT_GT(afterFirst, 0);
    for (int poll = 0; poll < 3; ++poll) {
        EXPECT_EQ(host.ListInterfaces(kArkanGuid)->size(), 1u);
        EXPECT_EQ(host.ListInterfaces(kManagerGuid)->size(), 0u);
    }
    EXPECT_EQ(arkan->ControlRequests(), afterFirst) << "the poll must not ask an identified device again";

    arkan->Unplug();
    EXPECT_EQ(host.ListInterfaces(kArkanGuid)->size(), 0u);
    arkan.reset();

    // Plugged back at the same port it gets a new address and is asked afresh,
    // now declaring another kind.
    EmulatedUsbDevice manager(bed, Declaring20(kManagerGuid, "1", 7), Model());
    EXPECT_EQ(host.ListInterfaces(kArkanGuid)->size(), 0u);
    EXPECT_EQ(host.ListInterfaces(kManagerGuid), std::vector<std::string>{"usb:1-1:0"});
    EXPECT_GT(manager.ControlRequests(), 0);
}

TEST_F(LibUsbHostTest, ADeviceSeenBeforeItIsConfiguredIsIdentifiedOnceItIs)
{
    EmulatedUsbDevice arkan(bed, Declaring20(kArkanGuid, "1", 2), Model());
    arkan.SetConfigured(false); // just attached: the kernel has not set its configuration yet
    LibUsbHost host;
    EXPECT_EQ(host.ListInterfaces(kArkanGuid)->size(), 0u);
    EXPECT_EQ(arkan.ControlRequests(), 0);

    arkan.SetConfigured(true);
    EXPECT_EQ(host.ListInterfaces(kArkanGuid), std::vector<std::string>{"usb:1-1:0"});
}

TEST_F(LibUsbHostTest, OpenDrainsStaleInputThenReadsStateAndResendsAfterALostReply)
{
    EmulatedUsbSetup setup = Declaring20(kArkanGuid, "1", 2);
    setup.serial = u"00A1";
    auto model = Model(0x0BCD);
    EmulatedUsbDevice device(bed, setup, model);
    device.QueueIn(sim::MakeFrame(0xCD, sim::Bytes{1, 2, 3})); // left over from an earlier session

    LibUsbHost host;
    QoWUsbBulkD arkan(host, clock, kArkanGuid);
    ASSERT_TRUE(arkan.Open());
    EXPECT_EQ(arkan.serial(), 0xA1u);
    EXPECT_EQ(arkan.vendorId(), 0x1209);
    EXPECT_EQ(arkan.inPipe(), 0x81);
    EXPECT_EQ(arkan.outPipe(), 0x01);

    arkan.ReadState();
    EXPECT_EQ(arkan.info.nr, 0x0BCD);
    EXPECT_EQ(device.WithModel([](sim::SimDeviceModel& m) { return m.CountOf(kCmdReadState); }), 1u);

    device.WithModel([](sim::SimDeviceModel& m) { m.faults.answerOnlyResend = true; });
    arkan.info = {};
    arkan.ReadState();
    EXPECT_EQ(arkan.info.nr, 0x0BCD);
    EXPECT_EQ(device.WithModel([](sim::SimDeviceModel& m) { return m.CountOf(kCmdReadState); }), 3u)
        << "the lost reply is asked for again";
}

TEST_F(LibUsbHostTest, AReadTimeOutGivesNothingInAboutTheTimeOutWithoutSpinning)
{
    EmulatedUsbDevice device(bed, Declaring20(kArkanGuid, "1", 2), Model());
    LibUsbHost host;
    WUsbBulkD arkan(host, clock, kArkanGuid);
    ASSERT_TRUE(arkan.Open());
    arkan.SetTimeout(200);

    std::array<std::uint8_t, 64> buffer{};
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = CpuSeconds();
    EXPECT_EQ(arkan.Read(buffer), 0u);
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double cpu = CpuSeconds() - cpuStart;
    EXPECT_GE(wall, 0.19);
    EXPECT_LT(wall, 0.6);
    EXPECT_LT(cpu, wall / 2) << "waiting for data must sleep, not poll in a loop";

    // The channel is still usable after the time-out.
    QoWUsbBulkD channel(host, clock, kArkanGuid);
    arkan.Close();
    ASSERT_TRUE(channel.Open());
    channel.ReadState();
    EXPECT_EQ(channel.info.nr, 0x0102);
}

TEST_F(LibUsbHostTest, ASecondObjectOfAKindOpensTheSecondDeviceNeverTheFirst)
{
    EmulatedUsbSetup firstSetup = Declaring20(kArkanGuid, "1", 2);
    firstSetup.serial = u"00A1";
    EmulatedUsbSetup secondSetup = Declaring20(kArkanGuid, "2", 9);
    secondSetup.serial = u"00B2";
    EmulatedUsbDevice first(bed, firstSetup, Model(1));
    EmulatedUsbDevice second(bed, secondSetup, Model(2));

    LibUsbHost host;
    EXPECT_EQ(host.ListInterfaces(kArkanGuid), (std::vector<std::string>{"usb:1-1:0", "usb:1-2:0"}));
    QoWUsbBulkD a(host, clock, kArkanGuid);
    QoWUsbBulkD b(host, clock, kArkanGuid);
    QoWUsbBulkD c(host, clock, kArkanGuid);
    ASSERT_TRUE(a.Open());
    ASSERT_TRUE(b.Open());
    EXPECT_NE(a.serial(), b.serial());
    EXPECT_FALSE(c.Open()) << "both devices are held by this process";
    EXPECT_FALSE(host.Open("usb:1-1:0"));

    a.ReadState();
    b.ReadState();
    EXPECT_NE(a.info.nr, b.info.nr);

    a.Close();
    ASSERT_TRUE(c.Open());
    EXPECT_EQ(c.serial(), 0xA1u) << "a closed device is free again";
}

TEST_F(LibUsbHostTest, ADeviceUnpluggedDuringAnExchangeFailsIt_AndIsGoneForTheNextOpen)
{
    EmulatedUsbDevice device(bed, Declaring20(kArkanGuid, "1", 2), Model());
    LibUsbHost host;
    QoWUsbBulkD arkan(host, clock, kArkanGuid);
    ASSERT_TRUE(arkan.Open());
    arkan.ReadState();
    device.WithModel([](sim::SimDeviceModel& m) { m.faults.disconnectAt = kCmdReadState; });

    const auto start = std::chrono::steady_clock::now();
    EXPECT_THROW(arkan.ReadState(timeouts::kLong), WUsbErr);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    EXPECT_TRUE(device.Gone());

    device.Unplug();
    arkan.Close();
    EXPECT_FALSE(arkan.Open());
    EXPECT_EQ(host.ListInterfaces(kArkanGuid)->size(), 0u);
}

TEST_F(LibUsbHostTest, ADeviceThisUserMayNotOpenIsAbsentButNotedUntilItOpensOrGoesAway)
{
    auto arkan = std::make_unique<EmulatedUsbDevice>(bed, Declaring20(kArkanGuid, "3", 2), Model());
    const std::string node = bed.RootDir() + arkan->Node();
    LibUsbHost host;
    QoWUsbBulkD channel(host, clock, kArkanGuid);
    {
        PermissionChecks asUser;
        ASSERT_EQ(chmod(node.c_str(), 0), 0);
        EXPECT_EQ(host.ListInterfaces(kArkanGuid)->size(), 0u);
        EXPECT_FALSE(channel.Open());
        EXPECT_EQ(host.DeniedDevices(), (std::vector<DeniedDevice>{{"1-3", 0x1209, 0x0001}}));
        EXPECT_EQ(arkan->ControlRequests(), 0);
    }

    ASSERT_EQ(chmod(node.c_str(), 0666), 0); // access granted, as the udev rules do
    EXPECT_TRUE(channel.Open());
    EXPECT_TRUE(host.DeniedDevices().empty());
    channel.Close();

    {
        PermissionChecks asUser;
        ASSERT_EQ(chmod(node.c_str(), 0), 0);
        host.ListInterfaces(kArkanGuid); // identified before: nothing opened
        EXPECT_TRUE(host.DeniedDevices().empty());
        EXPECT_FALSE(host.Open("usb:1-3:0"));
        EXPECT_EQ(host.DeniedDevices().size(), 1u);
    }
    arkan->Unplug();
    arkan.reset();
    EXPECT_EQ(host.ListInterfaces(kArkanGuid)->size(), 0u);
    EXPECT_TRUE(host.DeniedDevices().empty()) << "a device that went away is no longer noted";
}

} // namespace
} // namespace qozel::test
