#include "platform/win/GuidFields.h"
#include "platform/win/InterfacePath.h"

#include <gtest/gtest.h>

#include <ostream>

namespace qozel {
namespace {

struct PathCase {
    const char* path;
    std::optional<UsbIds> ids;

    // Names the case by its path in test listings.
    friend void PrintTo(const PathCase& c, std::ostream* out) { *out << c.path; }
};

class InterfacePathIds : public testing::TestWithParam<PathCase> {};

TEST_P(InterfacePathIds, ReadsVendorAndProductOfTheHardwareIdOnly)
{
    EXPECT_EQ(UsbIdsOfInterfacePath(GetParam().path), GetParam().ids);
}

INSTANTIATE_TEST_SUITE_P(
    SetupApiPaths, InterfacePathIds,
    testing::Values(
        PathCase{R"(\\?\usb#vid_1209&pid_0001#0001A2#{3d9a61c4-52e7-4f08-9b1d-7a2c5e34f810})", UsbIds{0x1209, 0x0001}},
        PathCase{R"(\\?\usb#vid_1209&pid_0002&mi_01#6&1a2b3c&0&0001#{a7e04b19-c3d2-4e5a-8f61-20b9d4c7e5a2})",
                 UsbIds{0x1209, 0x0002}},
        PathCase{R"(\\?\USB#VID_1209&PID_00A1#X#{6F1B83D2-9A4C-47E3-B0D5-E8C2147A3B96})", UsbIds{0x1209, 0x00A1}},
        PathCase{R"(\\?\hid#vid_1209&pid_0003#7&3c4d&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030})",
                 UsbIds{0x1209, 0x0003}},
        PathCase{R"(\\?\hid#vid_046d&pid_c52b&mi_02&col01#8&1&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030})",
                 UsbIds{0x046D, 0xC52B}},
        // A Bluetooth device names its ids in another form: not a USB device of the family.
        PathCase{R"(\\?\hid#{00001124-0000-1000-8000-00805f9b34fb}_vid&0002046d_pid&b342#9&1#{4d1e55b2})",
                 std::nullopt},
        // Ids in the instance part (a serial number, say) are not the device's.
        PathCase{R"(\\?\usb#root_hub30#vid_1209&pid_0001#{f18a0e88-c30c-11d0-8815-00a0c906bed8})", std::nullopt},
        PathCase{R"(\\?\usb#vid_129&pid_0001#x#{g})", std::nullopt},
        PathCase{R"(\\?\usb#vid_12G9&pid_0001#x#{g})", std::nullopt},
        PathCase{R"(\\?\usb#vid_1209#x#{g})", std::nullopt},
        PathCase{R"(\\?\usb#vid_1209&pid_0001)", std::nullopt},
        PathCase{"", std::nullopt}));

struct ClassCase {
    const char* path;
    bool ofArkanClass;

    friend void PrintTo(const ClassCase& c, std::ostream* out) { *out << c.path; }
};

class InterfacePathClass : public testing::TestWithParam<ClassCase> {};

TEST_P(InterfacePathClass, IsTheGuidOfTheLastPart)
{
    const Guid arkanClass = *Guid::Parse("{3D9A61C4-52E7-4F08-9B1D-7A2C5E34F810}");
    EXPECT_EQ(InterfacePathHasClass(GetParam().path, arkanClass), GetParam().ofArkanClass);
}

INSTANTIATE_TEST_SUITE_P(
    SetupApiPaths, InterfacePathClass,
    testing::Values(ClassCase{R"(\\?\usb#vid_1209&pid_0001#1#{3d9a61c4-52e7-4f08-9b1d-7a2c5e34f810})", true},
                    ClassCase{R"(\\?\USB#VID_1209&PID_0001#1#{3D9A61C4-52E7-4F08-9B1D-7A2C5E34F810})", true},
                    ClassCase{R"(\\?\usb#vid_1209&pid_0002#1#{a7e04b19-c3d2-4e5a-8f61-20b9d4c7e5a2})", false},
                    ClassCase{R"(\\?\usb#vid_1209&pid_0001#{3d9a61c4-52e7-4f08-9b1d-7a2c5e34f810}#{x})", false},
                    ClassCase{R"(\\?\usb#vid_1209&pid_0001#1#{3d9a61c4-52e7-4f08-9b1d-7a2c5e34f81})", false},
                    ClassCase{"{3d9a61c4-52e7-4f08-9b1d-7a2c5e34f810}", false}));

struct GuidCase {
    const char* text;
    GuidFields fields;

    friend void PrintTo(const GuidCase& c, std::ostream* out) { *out << c.text; }
};

class WindowsGuidLayout : public testing::TestWithParam<GuidCase> {};

TEST_P(WindowsGuidLayout, SplitsTheTextIntoNumbersAndTrailingBytes)
{
    EXPECT_EQ(ToGuidFields(*Guid::Parse(GetParam().text)), GetParam().fields);
}

INSTANTIATE_TEST_SUITE_P(
    DeviceClasses, WindowsGuidLayout,
    testing::Values(GuidCase{"{3D9A61C4-52E7-4F08-9B1D-7A2C5E34F810}",
                             GuidFields{0x3D9A61C4, 0x52E7, 0x4F08, {0x9B, 0x1D, 0x7A, 0x2C, 0x5E, 0x34, 0xF8, 0x10}}},
                    GuidCase{"{4D1E55B2-F16F-11CF-88CB-001111000030}",
                             GuidFields{0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}}}));

} // namespace
} // namespace qozel
