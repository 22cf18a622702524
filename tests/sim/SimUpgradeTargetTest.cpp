#include "SimUpgradeTarget.h"
#include "TestImageMaker.h"

#include <gtest/gtest.h>

namespace qozel::sim {
namespace {

class UpgradeTarget : public ::testing::Test {
protected:
    Bytes Header() const { return Bytes(image.begin(), image.begin() + 16); }
    Bytes Block(std::uint16_t n) const
    {
        Bytes request{static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8)};
        request.insert(request.end(), image.begin() + 16 + n * 520, image.begin() + 16 + (n + 1) * 520);
        return request;
    }
    Bytes Entry(std::uint8_t b) const
    {
        const std::size_t at = 16 + 5 * 520 + (b >> 6) * 520 + (b & 63) * 8;
        return Bytes(image.begin() + at, image.begin() + at + 8);
    }
    std::uint8_t Usb(std::uint8_t code, const Bytes& payload) { return target.HandleUsb(code, payload, self)->at(0); }

    DevInfo self{0x1247, 0x004C, 2, 0};
    std::vector<std::uint8_t> image = MakeTestImage(0x004C, 3, 5);
    SimUpgradeTarget target;
};

TEST_F(UpgradeTarget, AcceptsTheImageInOrderAndTakesItsVersion)
{
    EXPECT_EQ(Usb(90, Header()), 0);
    for (std::uint16_t n = 0; n < 5; ++n)
        EXPECT_EQ(Usb(89, Block(n)), 0);
    EXPECT_EQ(Usb(121, Entry(0x47)), 0);
    EXPECT_EQ(self.soft, 3);
    EXPECT_EQ(target.upgradesCompleted(), 1);
    EXPECT_FALSE(target.HandleUsb(77, {}, self).has_value());
}

TEST_F(UpgradeTarget, RefusesAnythingOutOfOrderAndThenWantsTheHeaderAgain)
{
    EXPECT_EQ(Usb(89, Block(0)), SimUpgradeTarget::kRefused) << "block before header";
    EXPECT_EQ(Usb(90, Header()), 0);
    EXPECT_EQ(Usb(89, Block(1)), SimUpgradeTarget::kRefused) << "skipped block";
    EXPECT_EQ(Usb(89, Block(0)), SimUpgradeTarget::kRefused) << "aborted until a new header";
    EXPECT_EQ(Usb(90, Header()), 0);
    EXPECT_EQ(Usb(89, Block(0)), 0);
    EXPECT_EQ(Usb(121, Entry(0x47)), SimUpgradeTarget::kRefused) << "final entry before the last block";
    EXPECT_EQ(self.soft, 2);
}

TEST_F(UpgradeTarget, RefusesAnotherDevicesHeaderBlockOrEntry)
{
    Bytes header = Header();
    header[1] = 0x4B;  // another reader type
    EXPECT_EQ(Usb(90, header), SimUpgradeTarget::kRefused);
    header = Header();
    header[12] ^= 1;  // bytes 8..15 are checked too
    EXPECT_EQ(Usb(90, header), SimUpgradeTarget::kRefused);

    EXPECT_EQ(Usb(90, Header()), 0);
    Bytes block = Block(0);
    block[300] ^= 0x10;
    EXPECT_EQ(Usb(89, block), SimUpgradeTarget::kRefused);

    EXPECT_EQ(Usb(90, Header()), 0);
    for (std::uint16_t n = 0; n < 5; ++n)
        ASSERT_EQ(Usb(89, Block(n)), 0);
    EXPECT_EQ(Usb(121, Entry(0x48)), SimUpgradeTarget::kRefused) << "the neighbour's entry";
    EXPECT_EQ(self.soft, 2);
}

TEST_F(UpgradeTarget, AReaderTakesTheDataBlocksAndTheWholeTable)
{
    EXPECT_EQ(target.HandleReader(Header(), self), Bytes{0});
    for (std::uint16_t n = 0; n < 9; ++n) {
        EXPECT_EQ(target.HandleReader(Block(n), self), Bytes{0}) << n;
        EXPECT_EQ(self.soft, n < 8 ? 2 : 3);
    }
    // The image ends with the table: a block numbered after it carries the table's last bytes again.
    Bytes afterTable = Block(8);
    afterTable[0] = 9;
    EXPECT_EQ(target.HandleReader(afterTable, self), Bytes{SimUpgradeTarget::kRefused}) << "nothing after the table";
}

TEST_F(UpgradeTarget, AChosenBlockCanBeRefused)
{
    target.refuseBlock = 2;
    EXPECT_EQ(Usb(90, Header()), 0);
    EXPECT_EQ(Usb(89, Block(0)), 0);
    EXPECT_EQ(Usb(89, Block(1)), 0);
    EXPECT_EQ(Usb(89, Block(2)), SimUpgradeTarget::kRefused);
    EXPECT_FALSE(target.inProgress());
}

} // namespace
} // namespace qozel::sim
