// The hidapi host against keyboard readers emulated at the hidraw level:
// hidapi enumerates through udev, opens the node and sends its feature
// report ioctls; umockdev hands them to the emulated reader and its model.
#include "support/EmulatedHidDevice.h" // umockdev first
#include "support/PermissionChecks.h"

#include "ScriptedModel.h"
#include "link/DeviceErrors.h"
#include "link/QoHID.h"
#include "platform/hid/HidApiHost.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace qozel::test {
namespace {

class HidApiHostTest : public ::testing::Test {
protected:
    std::shared_ptr<sim::ScriptedModel> Model(std::uint16_t nr = 0x0102)
    {
        return std::make_shared<sim::ScriptedModel>(nr);
    }

    Testbed bed;
};

TEST_F(HidApiHostTest, TheReaderIsFoundByVendorAndProductIdWithItsReleaseFromTheListing)
{
    EmulatedHidSetup other{.usbName = "3-1", .hidrawMinor = 0, .vendorId = 0x1209, .productId = 0x0005};
    EmulatedHidSetup reader{.usbName = "3-2", .hidrawMinor = 1, .vendorId = 0x1209, .productId = KbRdProductId,
                           .release = 0x0107};
    EmulatedHidDevice otherDevice(bed, other, Model(1));
    EmulatedHidDevice readerDevice(bed, reader, Model(2));

    HidApiHost host;
    const auto paths = host.ListInterfaces();
    ASSERT_TRUE(paths);
    EXPECT_EQ(paths->size(), 2u);

    QoHID k31(host, KbRdProductId);
    ASSERT_TRUE(k31.Open());
    EXPECT_EQ(k31.release(), 0x0107);
    k31.ReadState();
    EXPECT_EQ(k31.info.nr, 2) << "the reader, not the other device of the vendor";
    EXPECT_EQ(otherDevice.Reports().size(), 0u);
}

TEST_F(HidApiHostTest, RequestsTravelInReports0x41To0x49AtTheirSizes)
{
    auto model = Model();
    model->replies[0x30] = {0};
    EmulatedHidDevice device(bed, EmulatedHidSetup{}, model);
    HidApiHost host;
    QoHID k31(host, KbRdProductId);
    ASSERT_TRUE(k31.Open());

    k31.ReadState();
    EXPECT_EQ(k31.ExchangeStatus(0x30, std::vector<std::uint8_t>(569, 0x5A)), 0);
    EXPECT_THROW(k31.Exchange(0x30, std::vector<std::uint8_t>(570, 0), {}), QoHIDErr);

    const auto reports = device.Reports();
    ASSERT_EQ(reports.size(), 2u) << "the oversized request never reaches the device";
    EXPECT_EQ(reports[0][0], 0x41);
    EXPECT_EQ(reports[0].size(), 63u);
    EXPECT_EQ(reports[1][0], 0x49);
    EXPECT_EQ(reports[1].size(), 575u);
    EXPECT_EQ(model->CountOf(0x30), 1u);
}

TEST_F(HidApiHostTest, AReportTheDeviceDoesNotHaveIsRefused)
{
    EmulatedHidDevice device(bed, EmulatedHidSetup{}, Model());
    HidApiHost host;
    const auto paths = host.ListInterfaces();
    ASSERT_TRUE(paths && paths->size() == 1);
    auto handle = host.Open(paths->front());
    ASSERT_TRUE(handle);

    std::vector<std::uint8_t> unknownId(63, 0);
    unknownId[0] = 0x4A;
    EXPECT_FALSE(handle->SetFeature(unknownId));
    std::vector<std::uint8_t> wrongSize(64, 0);
    wrongSize[0] = 0x41;
    EXPECT_FALSE(handle->SetFeature(wrongSize));
    std::vector<std::uint8_t> notAReply(127, 0);
    notAReply[0] = 0x42;
    EXPECT_FALSE(handle->GetFeature(notAReply));
    EXPECT_TRUE(device.Reports().empty());

    const auto attributes = handle->GetAttributes();
    ASSERT_TRUE(attributes);
    EXPECT_EQ(attributes->vendorId, 0x1209);
    EXPECT_EQ(attributes->productId, KbRdProductId);
}

TEST_F(HidApiHostTest, AReaderHeldOpenCannotBeOpenedASecondTime)
{
    EmulatedHidDevice first(bed, EmulatedHidSetup{.usbName = "3-1", .hidrawMinor = 0}, Model(1));
    HidApiHost host;
    QoHID a(host, KbRdProductId);
    QoHID b(host, KbRdProductId);
    ASSERT_TRUE(a.Open());
    EXPECT_FALSE(b.Open());

    EmulatedHidDevice second(bed, EmulatedHidSetup{.usbName = "3-2", .hidrawMinor = 1}, Model(2));
    ASSERT_TRUE(b.Open());
    a.ReadState();
    b.ReadState();
    EXPECT_NE(a.info.nr, b.info.nr);
}

TEST_F(HidApiHostTest, AReaderThisUserMayNotOpenIsAbsentButNoted_OtherVendorsAreNot)
{
    EmulatedHidSetup foreign{.usbName = "3-1", .hidrawMinor = 0, .vendorId = 0x1234, .productId = KbRdProductId};
    EmulatedHidDevice foreignDevice(bed, foreign, Model(1));
    EmulatedHidDevice reader(bed, EmulatedHidSetup{.usbName = "3-2", .hidrawMinor = 1}, Model(2));
    const std::string readerNode = bed.RootDir() + reader.Node();
    ASSERT_EQ(chmod((bed.RootDir() + foreignDevice.Node()).c_str(), 0), 0);
    ASSERT_EQ(chmod(readerNode.c_str(), 0), 0);

    HidApiHost host;
    QoHID k31(host, KbRdProductId);
    {
        PermissionChecks asUser;
        EXPECT_FALSE(k31.Open());
    }
    EXPECT_EQ(host.DeniedDevices(),
              (std::vector<DeniedDevice>{{"/dev/hidraw1", 0x1209, KbRdProductId}}));

    ASSERT_EQ(chmod(readerNode.c_str(), 0666), 0); // access granted, as the udev rules do
    {
        PermissionChecks asUser;
        ASSERT_TRUE(k31.Open());
    }
    EXPECT_TRUE(host.DeniedDevices().empty());
    k31.Close();

    ASSERT_EQ(chmod(readerNode.c_str(), 0), 0);
    {
        PermissionChecks asUser;
        EXPECT_FALSE(k31.Open());
    }
    EXPECT_EQ(host.DeniedDevices().size(), 1u);
    reader.Unplug();
    EXPECT_EQ(host.ListInterfaces()->size(), 1u);
    EXPECT_TRUE(host.DeniedDevices().empty()) << "a reader that went away is no longer noted";
}

} // namespace
} // namespace qozel::test
