#include "platform/win/GuidFields.h"
#include "platform/win/HidClassApi.h"
#include "platform/win/WinHidHost.h"
#include "platform/win/WinUsbHost.h"

#include <gtest/gtest.h>

#include <cstring>

namespace qozel {
namespace {

constexpr Guid kArkanClass = *Guid::Parse("{3D9A61C4-52E7-4F08-9B1D-7A2C5E34F810}");

TEST(WinHosts, ListingAClassWithNoDevicePresentGivesAnEmptyList)
{
    WinUsbHost usb;
    const auto paths = usb.ListInterfaces(kArkanClass);
    ASSERT_TRUE(paths.has_value());
    EXPECT_TRUE(paths->empty());
    EXPECT_TRUE(usb.DeniedDevices().empty());

    WinHidHost hid;
    EXPECT_TRUE(hid.ListInterfaces().has_value());
    EXPECT_TRUE(hid.DeniedDevices().empty());
}

// What SetupAPI is asked for must be the class the text names.
TEST(WinHosts, GuidFieldsMatchTheHidClassOfTheSystem)
{
    GUID system{};
    HidD_GetHidGuid(&system);
    const GuidFields f = ToGuidFields(*Guid::Parse("{4D1E55B2-F16F-11CF-88CB-001111000030}"));
    EXPECT_EQ(system.Data1, f.data1);
    EXPECT_EQ(system.Data2, f.data2);
    EXPECT_EQ(system.Data3, f.data3);
    EXPECT_EQ(std::memcmp(system.Data4, f.data4.data(), f.data4.size()), 0);
}

// Paths of other makers are never opened; an absent device of the family is
// absent, not denied.
TEST(WinHosts, OpenRefusesForeignAndAbsentPathsWithoutNotingThemDenied)
{
    const std::string foreign = R"(\\?\usb#vid_046d&pid_c52b#1#{3d9a61c4-52e7-4f08-9b1d-7a2c5e34f810})";
    const std::string absent = R"(\\?\usb#vid_1209&pid_0001#1#{3d9a61c4-52e7-4f08-9b1d-7a2c5e34f810})";
    WinUsbHost usb(0x1209);
    WinHidHost hid(0x1209);
    for (const std::string& path : {foreign, absent, std::string("not a path")}) {
        EXPECT_EQ(usb.Open(path), nullptr) << path;
        EXPECT_EQ(hid.Open(path), nullptr) << path;
    }
    EXPECT_TRUE(usb.DeniedDevices().empty());
    EXPECT_TRUE(hid.DeniedDevices().empty());
}

} // namespace
} // namespace qozel
