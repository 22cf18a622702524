#include "support/UsbDescriptorFixtures.h"

#include "link/WUsbBulkD.h"
#include "platform/usb/MsOs10Descriptors.h"
#include "platform/usb/MsOs20Descriptors.h"
#include "platform/usb/UsbGuidStrings.h"

#include <gtest/gtest.h>

namespace qozel::test {
namespace {

std::span<const std::uint8_t> Cut(const Bytes& b, std::size_t n)
{
    return std::span(b).first(std::min(n, b.size()));
}

TEST(GuidStrings, SingleAndMultiStringsWithBadEntriesSkipped)
{
    EXPECT_EQ(ParseGuidStrings(Utf16z(kArkanGuid.ToString())), std::vector<Guid>{kArkanGuid});
    const Bytes multi = MultiSz({kArkanGuid.ToString(), "not a guid", "3d9a61c4-52e7-4f08-9b1d-7a2c5e34f810",
                                 kManagerGuid.ToString()});
    EXPECT_EQ(ParseGuidStrings(multi), (std::vector<Guid>{kArkanGuid, kArkanGuid, kManagerGuid}));
    Bytes odd = Utf16z(kManagerGuid.ToString());
    odd.pop_back(); // the NUL cut in half: the text still ends where the bytes end
    EXPECT_EQ(ParseGuidStrings(odd), std::vector<Guid>{kManagerGuid});
    Bytes wide = Utf16z(kArkanGuid.ToString());
    wide[3] = 0x01; // a non-ASCII unit inside the text
    EXPECT_TRUE(ParseGuidStrings(wide).empty());
    EXPECT_TRUE(Utf16NameEquals(Utf16z("deviceinterfaceguids"), "DeviceInterfaceGUIDs"));
    EXPECT_FALSE(Utf16NameEquals(Utf16z("DeviceInterfaceGUIDsX"), "DeviceInterfaceGUIDs"));
}

TEST(MsOs20, BosCapabilityFoundAmongOthersAndRefusedWhenCutOrBent)
{
    Bytes bos = BosWithMsOs20(0x00B2, 0x21);
    const auto location = FindMsOs20Capability(bos);
    ASSERT_TRUE(location);
    EXPECT_EQ(location->vendorCode, 0x21);
    EXPECT_EQ(location->totalLength, 0x00B2);

    // A USB 2.0 extension capability before it is stepped over.
    Bytes withOther = {5, 0x0F, 0, 0, 2, 7, 0x10, 0x02, 0x02, 0, 0, 0};
    withOther.insert(withOther.end(), bos.begin() + 5, bos.end());
    withOther[2] = static_cast<std::uint8_t>(withOther.size());
    EXPECT_TRUE(FindMsOs20Capability(withOther));

    for (std::size_t n = 0; n < bos.size(); ++n)
        EXPECT_FALSE(FindMsOs20Capability(Cut(bos, n))) << "cut at " << n;
    Bytes longCap = bos;
    longCap[5] = 200; // capability claims more than the BOS holds
    EXPECT_FALSE(FindMsOs20Capability(longCap));
    Bytes otherUuid = bos;
    otherUuid[9] ^= 1;
    EXPECT_FALSE(FindMsOs20Capability(otherUuid));
    Bytes zeroLength = bos;
    zeroLength[5] = 0;
    EXPECT_FALSE(FindMsOs20Capability(zeroLength));
}

TEST(MsOs20, DeviceLevelAndPerFunctionPropertiesOfAMultiFunctionSet)
{
    const Bytes set = MsOs20Set(ConfigurationSubset(
        FunctionSubset(0, RegistryProperty("DeviceInterfaceGUIDs", MultiSz({kArkanGuid.ToString()}))) +
        FunctionSubset(2, RegistryProperty("Other", MultiSz({kProgrammerGuid.ToString()})) +
                              RegistryProperty("DeviceInterfaceGUID", Utf16z(kManagerGuid.ToString()), 1))));
    const auto found = ParseMsOs20DescriptorSet(set, 0);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].interfaceNumber, 0);
    EXPECT_EQ(found[0].guids, std::vector<Guid>{kArkanGuid});
    EXPECT_EQ(found[1].interfaceNumber, 2);
    EXPECT_EQ(found[1].guids, std::vector<Guid>{kManagerGuid});

    const Bytes deviceLevel = MsOs20Set(RegistryProperty("DeviceInterfaceGUIDs", MultiSz({kArkanGuid.ToString()})));
    const auto device = ParseMsOs20DescriptorSet(deviceLevel, 3);
    ASSERT_EQ(device.size(), 1u);
    EXPECT_EQ(device[0].interfaceNumber, 3);
}

TEST(MsOs20, TruncatedOrInconsistentSetsYieldOnlyWhatIsWhole)
{
    const Bytes property = RegistryProperty("DeviceInterfaceGUIDs", MultiSz({kArkanGuid.ToString()}));
    const Bytes set = MsOs20Set(property);
    for (std::size_t n = 0; n < set.size(); ++n)
        EXPECT_TRUE(ParseMsOs20DescriptorSet(Cut(set, n), 0).empty()) << "cut at " << n;

    Bytes oversizedTotal = set;
    oversizedTotal[8] = 0xFF; // the header promises more than arrived
    EXPECT_EQ(ParseMsOs20DescriptorSet(oversizedTotal, 0).size(), 1u);

    Bytes nameTooLong = set;
    nameTooLong[10 + 6] = 0xF0; // name length past the descriptor
    EXPECT_TRUE(ParseMsOs20DescriptorSet(nameTooLong, 0).empty());
    Bytes dataTooLong = set;
    dataTooLong[10 + 8 + 42] = 0xF0; // data length past the descriptor
    EXPECT_TRUE(ParseMsOs20DescriptorSet(dataTooLong, 0).empty());
    Bytes zeroLength = set;
    zeroLength[10] = 0;
    zeroLength[11] = 0;
    EXPECT_TRUE(ParseMsOs20DescriptorSet(zeroLength, 0).empty());
    Bytes badHeader = set;
    badHeader[2] = 1;
    EXPECT_TRUE(ParseMsOs20DescriptorSet(badHeader, 0).empty());
}

TEST(MsOs10, OsStringAndExtendedProperties)
{
    EXPECT_EQ(ParseMsOsStringDescriptor(MsOsString(0x33)), 0x33);
    Bytes notMsft = MsOsString(0x33);
    notMsft[2] = 'N';
    EXPECT_FALSE(ParseMsOsStringDescriptor(notMsft));
    EXPECT_FALSE(ParseMsOsStringDescriptor(Cut(MsOsString(0x33), 17)));

    const Bytes props = ExtendedProperties({{"Label", Utf16z("x"), 1},
                                            {"DeviceInterfaceGUIDs", MultiSz({kArkanGuid.ToString(), kManagerGuid.ToString()})}});
    EXPECT_EQ(MsOs10PropertiesLength(props), props.size());
    EXPECT_EQ(ParseMsOs10ExtendedProperties(props), (std::vector<Guid>{kArkanGuid, kManagerGuid}));

    for (std::size_t n = 0; n + 1 < props.size(); ++n)
        EXPECT_NE(ParseMsOs10ExtendedProperties(Cut(props, n)).size(), 2u) << "cut at " << n;
    Bytes hugeSection = props;
    hugeSection[10] = 0xFF;
    hugeSection[11] = 0xFF; // the first section claims more than there is
    EXPECT_TRUE(ParseMsOs10ExtendedProperties(hugeSection).empty());
    Bytes moreCountThanSections = props;
    moreCountThanSections[8] = 9;
    EXPECT_EQ(ParseMsOs10ExtendedProperties(moreCountThanSections).size(), 2u);
    Bytes badIndex = props;
    badIndex[6] = 4;
    EXPECT_FALSE(MsOs10PropertiesLength(badIndex));
}

} // namespace
} // namespace qozel::test
