#include "support/EmulatedUsbDevice.h"

#include "ScriptedModel.h"
#include "link/QoWUsbBulkD.h"
#include "platform/Clock.h"
#include "platform/usb/LibUsbHost.h"

#include <gtest/gtest.h>

using namespace qozel;
using namespace qozel::test;

TEST(Smoke, ListAndReadState)
{
    Testbed bed;
    const Bytes set = MsOs20Set(RegistryProperty("DeviceInterfaceGUIDs", MultiSz({kArkanGuid.ToString()})));
    EmulatedUsbSpec spec;
    spec.bos = BosWithMsOs20(static_cast<std::uint16_t>(set.size()), 0x20);
    spec.msOs20Set = set;
    auto model = std::make_shared<sim::ScriptedModel>();
    EmulatedUsbDevice dev(bed, spec, model);
    LibUsbHost host;
    auto paths = host.ListInterfaces(kArkanGuid);
    ASSERT_TRUE(paths);
    ASSERT_EQ(paths->size(), 1u);
    EXPECT_EQ((*paths)[0], "usb:1-1:0");
    SystemClock clock;
    QoWUsbBulkD arkan(host, clock, kArkanGuid);
    ASSERT_TRUE(arkan.Open());
    arkan.ReadState();
    EXPECT_EQ(arkan.info.nr, 0x0102);
    EXPECT_EQ(arkan.serial(), 0xA1u);
}
