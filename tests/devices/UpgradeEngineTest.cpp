#include "devices/firmware/BuiltInImages.h"
#include "devices/kbreader/QoK31.h"
#include "link/DeviceErrors.h"
#include "link/QoWUsbBulkD.h"

#include "KbReaderModel.h"
#include "SimHidHost.h"
#include "SimUpgradeTarget.h"
#include "SimUsbHost.h"
#include "TestImageMaker.h"
#include "TestImages.h"

#include <gtest/gtest.h>

namespace qozel {
namespace {

using sim::Bytes;

const std::vector<int> kProgress24 = {4,  8,  12, 16, 20, 25, 29, 33, 37, 41, 45, 50,
                                      54, 58, 62, 66, 70, 75, 79, 83, 87, 91, 95, 100};

// A bulk device that answers its state and the upgrade commands.
class UpgradableModel final : public sim::SimDeviceModel {
public:
    explicit UpgradableModel(DevInfo identity) : info(identity) {}
    DevInfo info;
    sim::SimUpgradeTarget upgrade;

protected:
    std::optional<Bytes> HandleCommand(std::uint8_t code, std::span<const std::uint8_t> payload) override
    {
        if (code == 77) {
            Bytes reply(DevInfo::kSize);
            info.ToBytes(std::span<std::uint8_t, DevInfo::kSize>(reply));
            return reply;
        }
        return upgrade.HandleUsb(code, payload, info);
    }
};

// The payloads of every request of one code, in order.
std::vector<Bytes> PayloadsOf(const sim::SimDeviceModel& model, std::uint8_t code)
{
    std::vector<Bytes> payloads;
    for (const auto& request : model.requests())
        if (request.code == code)
            payloads.push_back(request.payload);
    return payloads;
}

// The keyboard reader with an image placed in its slot (the product's slot is empty).
class HidUpgrade : public ::testing::Test {
protected:
    void SetUp() override
    {
        sim::UseTestImages();
        BuiltInImage(ImageSlot::KbReader) = FirmwareImage(image);
        Plug(model);
    }
    void TearDown() override { sim::UseTestImages(); }

    void Plug(std::shared_ptr<sim::KbReaderModel> m)
    {
        auto device = std::make_shared<sim::SimHidDevice>(m, HidAttributes{DeviceVendorId, KbRdProductId, 1});
        devices.push_back(device);
        host.Attach(device);
    }

    std::vector<int> RunAll(QoK31& reader, int steps)
    {
        std::vector<int> progress;
        for (int i = 0; i < steps; ++i)
            progress.push_back(reader.UpgradeStep());
        return progress;
    }

    std::vector<std::uint8_t> image = sim::MakeTestImage(sim::KbReaderModel::kDefaultType, 3, 24);
    std::shared_ptr<sim::KbReaderModel> model = std::make_shared<sim::KbReaderModel>(0x1247);
    std::vector<std::shared_ptr<sim::SimHidDevice>> devices;
    sim::SimHidHost host;
};

TEST_F(HidUpgrade, TwentyFourBlocksReportTheirProgressAndEndWithTheDevicesFinalEntry)
{
    QoK31 reader(host);
    ASSERT_TRUE(reader.Open());
    reader.ReadState();
    ASSERT_EQ(reader.ImageVersion(), 3);
    EXPECT_EQ(RunAll(reader, 24), kProgress24);
    EXPECT_EQ(model->upgrade.upgradesCompleted(), 1);
    EXPECT_EQ(model->identity.soft, 3);

    ASSERT_EQ(PayloadsOf(*model, 90).size(), 1u);
    EXPECT_EQ(PayloadsOf(*model, 90)[0], Bytes(image.begin(), image.begin() + 16));
    const auto blocks = PayloadsOf(*model, 89);
    ASSERT_EQ(blocks.size(), 24u);
    for (std::size_t n = 0; n < blocks.size(); ++n) {
        EXPECT_EQ(blocks[n][0] | blocks[n][1] << 8, static_cast<int>(n));
        EXPECT_TRUE(std::equal(blocks[n].begin() + 2, blocks[n].end(), image.begin() + 16 + n * 520));
    }
    // nr 0x1247: group 1, entry 7.
    const std::size_t at = 16 + 24 * 520 + 520 + 56;
    EXPECT_EQ(PayloadsOf(*model, 121), std::vector<Bytes>{Bytes(image.begin() + at, image.begin() + at + 8)});
    // A block of 522 bytes travels in the largest report.
    EXPECT_EQ(devices[0]->reports[2][0], 0x49);
    EXPECT_EQ(devices[0]->reports[2].size(), 575u);
}

TEST_F(HidUpgrade, EachDeviceGetsTheEntryOfTheLowByteOfItsNumber)
{
    for (std::uint16_t nr : {0x0000, 0x00FF, 0x3480}) {
        auto other = std::make_shared<sim::KbReaderModel>(nr);
        sim::SimHidHost alone;
        alone.Attach(std::make_shared<sim::SimHidDevice>(other, HidAttributes{DeviceVendorId, KbRdProductId, 1}));
        QoK31 reader(alone);
        ASSERT_TRUE(reader.Open());
        reader.ReadState();
        ASSERT_EQ(reader.ImageVersion(), 3);
        EXPECT_EQ(RunAll(reader, 24).back(), 100);
        const std::uint8_t b = nr & 0xFF;
        const std::size_t at = 16 + 24 * 520 + (b >> 6) * 520 + (b & 63) * 8;
        EXPECT_EQ(other->upgrade.lastFinalEntry, Bytes(image.begin() + at, image.begin() + at + 8)) << nr;
    }
}

TEST_F(HidUpgrade, ARefusedBlockDisablesTheImageForEveryDeviceOfItsType)
{
    model->upgrade.refuseBlock = 10;
    QoK31 reader(host);
    ASSERT_TRUE(reader.Open());
    reader.ReadState();
    ASSERT_EQ(reader.ImageVersion(), 3);
    const auto progress = RunAll(reader, 11);
    EXPECT_EQ(progress[9], 41);
    EXPECT_EQ(progress[10], -1);
    EXPECT_EQ(Bytes(image.begin(), image.begin() + 4), Bytes(4, 0));
    EXPECT_EQ(reader.ImageVersion(), 0);

    auto second = std::make_shared<sim::KbReaderModel>(0x0300);
    Plug(second);
    QoK31 another(host);
    ASSERT_TRUE(another.Open());
    another.ReadState();
    EXPECT_EQ(another.ImageVersion(), 0);
}

TEST_F(HidUpgrade, ARefusedHeaderOrFinalEntryFailsTheUpgradeToo)
{
    QoK31 reader(host);
    ASSERT_TRUE(reader.Open());
    reader.ReadState();
    model->faults.refuseCommand = 121;
    ASSERT_EQ(reader.ImageVersion(), 3);
    EXPECT_EQ(RunAll(reader, 24).back(), -1);
    EXPECT_EQ(reader.ImageVersion(), 0);

    sim::UseTestImages();
    image = sim::MakeTestImage(sim::KbReaderModel::kDefaultType, 3, 24);
    BuiltInImage(ImageSlot::KbReader) = FirmwareImage(image);
    model->faults.refuseCommand = 90;
    ASSERT_EQ(reader.ImageVersion(), 3);
    EXPECT_EQ(reader.UpgradeStep(), -1);
    EXPECT_EQ(model->CountOf(89), 24u) << "no block after a refused header";
    EXPECT_EQ(reader.ImageVersion(), 0);
}

TEST_F(HidUpgrade, ADeviceErrorLeavesTheImageUsable)
{
    QoK31 reader(host);
    ASSERT_TRUE(reader.Open());
    reader.ReadState();
    ASSERT_EQ(reader.ImageVersion(), 3);
    model->faults.disconnectAfter = 6;  // the state query, the header and four blocks
    EXPECT_EQ(RunAll(reader, 4).back(), 16);
    try {
        reader.UpgradeStep();
        ADD_FAILURE() << "no QoHIDErr";
    } catch (const QoHIDErr& e) {
        EXPECT_EQ(e.code, QoHIDErr::FeatureRefused);
    }
    reader.Close();

    model->faults = {};
    host.Detach(*devices[0]);
    host.Attach(devices[0]);
    ASSERT_TRUE(reader.Open());
    reader.ReadState();
    ASSERT_EQ(reader.ImageVersion(), 3);
    EXPECT_EQ(RunAll(reader, 24), kProgress24);
    EXPECT_EQ(model->identity.soft, 3);
}

TEST_F(HidUpgrade, AStepWithNothingToSendIsADeviceErrorNotARead)
{
    QoK31 reader(host);
    ASSERT_TRUE(reader.Open());
    reader.ReadState();
    auto errorOfStep = [&] {
        try {
            reader.UpgradeStep();
        } catch (const QoHIDErr& e) {
            return e;
        }
        return QoHIDErr{-1, 0};
    };
    EXPECT_EQ(errorOfStep().code, 9) << "no image attached";

    sim::UseTestImages();  // the keyboard reader's slot is an empty header again
    EXPECT_EQ(reader.ImageVersion(), 0);
    EXPECT_EQ(errorOfStep().code, 9) << "empty slot";

    BuiltInImage(ImageSlot::KbReader) = FirmwareImage(image);
    ASSERT_EQ(reader.ImageVersion(), 3);
    RunAll(reader, 24);
    const std::size_t sent = model->requests().size();
    EXPECT_EQ(errorOfStep().code, 9) << "after the last step";
    EXPECT_EQ(model->requests().size(), sent);
}

class BulkUpgrade : public ::testing::Test {
protected:
    void SetUp() override { sim::UseTestImages(); }
    void TearDown() override { sim::UseTestImages(); }

    // An Arkan-typed device with the Arkan image attached as ZelArkan does.
    std::unique_ptr<QoWUsbBulkD> Open(std::shared_ptr<UpgradableModel> m)
    {
        if (device)
            host.Detach(*device);
        device = std::make_shared<sim::SimUsbDevice>(kArkanGuid, m);
        host.Attach(device);
        auto bulk = std::make_unique<QoWUsbBulkD>(host, clock, kArkanGuid);
        EXPECT_TRUE(bulk->Open());
        bulk->ReadState();
        bulk->image = &BuiltInImage(ImageSlot::Arkan);
        return bulk;
    }

    sim::VirtualClock clock;
    sim::SimUsbHost host{clock};
    std::shared_ptr<sim::SimUsbDevice> device;
};

TEST_F(BulkUpgrade, TheImageIsOfferedByTypeWordAndVersion)
{
    auto older = std::make_shared<UpgradableModel>(DevInfo{0x0010, 0x010E, 3, 0});
    EXPECT_EQ(Open(older)->ImageVersion(), 4);
    auto current = std::make_shared<UpgradableModel>(DevInfo{0x0011, 0x010E, 4, 0});
    EXPECT_EQ(Open(current)->ImageVersion(), 4);
    auto programmer = std::make_shared<UpgradableModel>(DevInfo{0x0012, 0x00AA, 1, 0});
    EXPECT_EQ(Open(programmer)->ImageVersion(), 0);
}

TEST_F(BulkUpgrade, TwentyFourBlocksWithTheTimeOutsOfEachCommand)
{
    auto model = std::make_shared<UpgradableModel>(DevInfo{0x1247, 0x010E, 3, 0});
    auto arkan = Open(model);
    ASSERT_EQ(arkan->ImageVersion(), 4);
    device->pipeTimeouts.clear();
    std::vector<int> progress;
    for (int i = 0; i < 24; ++i)
        progress.push_back(arkan->UpgradeStep());
    EXPECT_EQ(progress, kProgress24);
    EXPECT_EQ(model->info.soft, 4);
    const auto arkanImage = sim::MakeTestImage(sim::kTestImageLayouts[0]);
    const std::size_t at = 16 + 24 * 520 + 520 + 56;
    EXPECT_EQ(model->upgrade.lastFinalEntry, Bytes(arkanImage.begin() + at, arkanImage.begin() + at + 8));
    // Header 1000 ms, then 2000 ms for every block and the final entry (the
    // pipe is only told when the time-out changes).
    EXPECT_EQ(device->pipeTimeouts, (std::vector<std::uint32_t>{1000, 2000}));
}

TEST_F(BulkUpgrade, ARefusalDisablesTheSlotButADeviceErrorDoesNot)
{
    auto silent = std::make_shared<UpgradableModel>(DevInfo{0x0001, 0x010E, 3, 0});
    auto first = Open(silent);
    ASSERT_EQ(first->ImageVersion(), 4);
    EXPECT_EQ(first->UpgradeStep(), 4);
    silent->faults.silent = true;
    try {
        first->UpgradeStep();
        ADD_FAILURE() << "no WUsbErr";
    } catch (const WUsbErr& e) {
        EXPECT_EQ(e.code, WUsbErr::NoReply);
        EXPECT_EQ(e.cmd, 89);
    }
    EXPECT_EQ(first->ImageVersion(), 4);

    auto refusing = std::make_shared<UpgradableModel>(DevInfo{0x0002, 0x010E, 3, 0});
    refusing->upgrade.refuseBlock = 10;
    auto second = Open(refusing);
    ASSERT_EQ(second->ImageVersion(), 4);
    int last = 0;
    for (int i = 0; i < 11; ++i)
        last = second->UpgradeStep();
    EXPECT_EQ(last, -1);
    EXPECT_EQ(second->ImageVersion(), 0);
    EXPECT_EQ(first->ImageVersion(), 0);
    // Other slots keep their images.
    EXPECT_EQ(BuiltInImage(ImageSlot::Programmer).VersionFor(0x00AA), 5);
}

TEST_F(BulkUpgrade, WithoutAnImageAStepThrowsCode13)
{
    auto model = std::make_shared<UpgradableModel>(DevInfo{0x0001, 0x010E, 3, 0});
    auto arkan = Open(model);
    arkan->image = nullptr;
    try {
        arkan->UpgradeStep();
        ADD_FAILURE() << "no WUsbErr";
    } catch (const WUsbErr& e) {
        EXPECT_EQ(e.code, 13);
        EXPECT_EQ(e.cmd, 0);
    }
    EXPECT_EQ(model->CountOf(90), 0u);
}

} // namespace
} // namespace qozel
