#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr const char* kUsbDevice = "SUBSYSTEM==\"usb\", ENV{DEVTYPE}==\"usb_device\", ATTR{idVendor}==\"" QOZEL_VENDOR_HEX "\"";

std::string Read(const char* path)
{
    std::ifstream file(path);
    EXPECT_TRUE(file) << path;
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// The lines of `rules` that grant a USB device.
std::vector<std::string> UsbDeviceLines(const std::string& rules)
{
    std::vector<std::string> lines;
    std::istringstream in(rules);
    for (std::string line; std::getline(in, line);)
        if (line.starts_with(kUsbDevice))
            lines.push_back(line);
    return lines;
}

// The rules generated for this build: both device lines carry the build's ids
// in the lower-case form udev compares against sysfs, and nothing applies
// outside add and change events.
TEST(UdevRules, GeneratedFromTheBuildIds)
{
    const std::string rules = Read(QOZEL_UDEV_RULES_FILE);

    EXPECT_NE(rules.find("ACTION!=\"add|change\", GOTO=\"qozel_config_end\""), std::string::npos);
    EXPECT_NE(rules.find("LABEL=\"qozel_config_end\""), std::string::npos);
    EXPECT_FALSE(UsbDeviceLines(rules).empty());
    EXPECT_NE(rules.find("SUBSYSTEM==\"hidraw\", ATTRS{idVendor}==\"" QOZEL_VENDOR_HEX
                         "\", ATTRS{idProduct}==\"" QOZEL_KBRD_HEX "\", TAG+=\"uaccess\""),
              std::string::npos);
    EXPECT_EQ(rules.find('@'), std::string::npos) << "a placeholder was left unreplaced";
    // udev runs the rule files in name order; the uaccess tag is turned into
    // an access list by the seat rules, so this file must come before them.
    EXPECT_LT(std::filesystem::path(QOZEL_UDEV_RULES_FILE).filename().string(), "73-seat-late.rules");
}

// Given the bulk devices' product ids, the rules name those devices one by
// one; without them, every USB device with the vendor id is granted.
TEST(UdevRules, NameTheBulkDevicesByProductIdOrElseTheWholeVendorId)
{
    const std::string uaccess = ", TAG+=\"uaccess\"";
    EXPECT_EQ(UsbDeviceLines(Read(QOZEL_UDEV_BY_PRODUCT_FILE)),
              (std::vector<std::string>{kUsbDevice + std::string(", ATTR{idProduct}==\"0001\"") + uaccess,
                                        kUsbDevice + std::string(", ATTR{idProduct}==\"00a2\"") + uaccess}));
    EXPECT_EQ(UsbDeviceLines(Read(QOZEL_UDEV_VENDOR_WIDE_FILE)), std::vector<std::string>{kUsbDevice + uaccess});
}

TEST(UdevRules, IdsAreFourLowerCaseHexDigits)
{
    const std::string vendor = QOZEL_VENDOR_HEX;
    EXPECT_EQ(vendor.size(), 4u);
    EXPECT_EQ(vendor.find_first_not_of("0123456789abcdef"), std::string::npos);
    EXPECT_EQ(std::stoul(vendor, nullptr, 16), static_cast<unsigned long>(QOZEL_DEVICE_VENDOR_ID));
    EXPECT_EQ(std::stoul(QOZEL_KBRD_HEX, nullptr, 16), static_cast<unsigned long>(QOZEL_KBRD_PRODUCT_ID));
}

} // namespace
