#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

// The rules generated for this build: both device lines carry the build's ids
// in the lower-case form udev compares against sysfs, and nothing applies
// outside add and change events.
TEST(UdevRules, GeneratedFromTheBuildIds)
{
    std::ifstream file(QOZEL_UDEV_RULES_FILE);
    ASSERT_TRUE(file) << QOZEL_UDEV_RULES_FILE;
    std::stringstream text;
    text << file.rdbuf();
    const std::string rules = text.str();

    EXPECT_NE(rules.find("ACTION!=\"add|change\", GOTO=\"qozel_config_end\""), std::string::npos);
    EXPECT_NE(rules.find("LABEL=\"qozel_config_end\""), std::string::npos);
    EXPECT_NE(rules.find("SUBSYSTEM==\"usb\", ENV{DEVTYPE}==\"usb_device\", ATTR{idVendor}==\"" QOZEL_VENDOR_HEX
                         "\", TAG+=\"uaccess\""),
              std::string::npos);
    EXPECT_NE(rules.find("SUBSYSTEM==\"hidraw\", ATTRS{idVendor}==\"" QOZEL_VENDOR_HEX
                         "\", ATTRS{idProduct}==\"" QOZEL_KBRD_HEX "\", TAG+=\"uaccess\""),
              std::string::npos);
    EXPECT_EQ(rules.find('@'), std::string::npos) << "a placeholder was left unreplaced";
    // udev runs the rule files in name order; the uaccess tag is turned into
    // an access list by the seat rules, so this file must come before them.
    EXPECT_LT(std::filesystem::path(QOZEL_UDEV_RULES_FILE).filename().string(), "73-seat-late.rules");
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
