#include "ManagerFixture.h"

#include "TestImages.h"

#include "devices/firmware/BuiltInImages.h"

namespace qozel {
namespace {

class ReaderUpgrade : public ManagerFixture {
protected:
    void SetUp() override
    {
        sim::UseTestImages();
        ManagerFixture::SetUp();
        model->AddReader(0x0301, 71);
        model->AddReader(0x0302, 72);
        model->AddModule(0x0303, 70, 70);
        manager.RefreshReaders();
        ASSERT_EQ(manager.readerCount, 3);
        model->ClearRequests();
    }
    sim::SimReader& Reader(std::size_t i) { return *model->bus[i]; }
};

TEST_F(ReaderUpgrade, ReaderOfType72TakesHeaderAnd253Blocks)
{
    ASSERT_EQ(manager.ReaderImageVersion(1), 3);
    std::vector<int> progress;
    int p = 0;
    while (p < 100) {
        p = manager.UpgradeReaderStep(1);
        ASSERT_GE(p, 0);
        progress.push_back(p);
    }
    ASSERT_EQ(progress.size(), 253u);
    EXPECT_EQ(progress.front(), 0);
    EXPECT_EQ(progress[1], 0);    // 200 / 253
    EXPECT_EQ(progress[2], 1);    // 300 / 253
    EXPECT_EQ(progress[251], 99);
    EXPECT_EQ(progress.back(), 100);
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));

    // One header, then every block in order; the reader runs the new version.
    EXPECT_EQ(model->CountOf(117), 254u);
    EXPECT_EQ(model->requests().front().payload.size(), 4u + 16u);
    EXPECT_EQ(model->requests().back().payload.size(), 4u + 522u);
    EXPECT_EQ(Reader(1).upgrade.upgradesCompleted(), 1);
    EXPECT_EQ(Reader(1).soft, 3);
    manager.RefreshReaders();
    EXPECT_EQ(manager.readers[1].info.soft, 3);
    // The image stays usable for the next reader of its type.
    EXPECT_EQ(manager.ReaderImageVersion(1), 3);
}

TEST_F(ReaderUpgrade, ModuleUpgradeEndsWithTheFinalEntryGroups)
{
    ASSERT_EQ(manager.ReaderImageVersion(2), 3);
    int steps = 0;
    for (int p = 0; p < 100; ++steps)
        p = manager.UpgradeReaderStep(2);
    EXPECT_EQ(steps, 101 + 4);
    EXPECT_EQ(Reader(2).upgrade.upgradesCompleted(), 1);
    // Past the end nothing more is sent: a step then is the device error of
    // a step without an image, as for the USB devices.
    try {
        manager.UpgradeReaderStep(2);
        ADD_FAILURE() << "a step past the end reported progress";
    } catch (const WUsbErr& e) {
        EXPECT_EQ(e.code, WUsbErr::NoImage);
        EXPECT_EQ(e.cmd, 0);
    }
    EXPECT_EQ(model->CountOf(117), 106u);
}

TEST_F(ReaderUpgrade, ReaderWithoutAnImageIsNeverOffered)
{
    EXPECT_EQ(manager.ReaderImageVersion(0), 0);
    EXPECT_EQ(manager.readerImage, nullptr);
    try {
        manager.UpgradeReaderStep(0);
        ADD_FAILURE() << "a step ran without an image";
    } catch (const WUsbErr& e) {
        EXPECT_EQ(e.code, WUsbErr::NoImage);
        EXPECT_EQ(e.cmd, 0);
    }
    EXPECT_EQ(model->CountOf(117), 0u);
}

TEST_F(ReaderUpgrade, RefusedBlockDisablesTheImageForTheRun)
{
    Reader(1).upgrade.refuseBlock = 10;
    ASSERT_EQ(manager.ReaderImageVersion(1), 3);
    int p = 0;
    for (int step = 0; step < 10; ++step)
        ASSERT_GE(p = manager.UpgradeReaderStep(1), 0);
    EXPECT_EQ(manager.UpgradeReaderStep(1), -1);
    EXPECT_EQ(BuiltInImage(ImageSlot::Reader72).type(), 0);
    EXPECT_EQ(manager.ReaderImageVersion(1), 0);
    EXPECT_EQ(manager.readerImage, nullptr);
    // Other reader images are not affected.
    EXPECT_EQ(manager.ReaderImageVersion(2), 3);
}

TEST_F(ReaderUpgrade, RefusedHeaderFailsTheFirstStep)
{
    Reader(1).forcedAnswers[117] = {1};
    ASSERT_EQ(manager.ReaderImageVersion(1), 3);
    EXPECT_EQ(manager.UpgradeReaderStep(1), -1);
    EXPECT_EQ(model->CountOf(117), 1u);
    EXPECT_EQ(manager.ReaderImageVersion(1), 0);
}

TEST_F(ReaderUpgrade, DeviceErrorLeavesTheImageUsable)
{
    ASSERT_EQ(manager.ReaderImageVersion(1), 3);
    ASSERT_EQ(manager.UpgradeReaderStep(1), 0);
    Reader(1).connected = false;
    EXPECT_THROW(manager.UpgradeReaderStep(1), WUsbErr);
    EXPECT_EQ(manager.ReaderImageVersion(1), 3);
}

TEST_F(ReaderUpgrade, ManagerAttachesItsOwnImage)
{
    manager.ReadState();
    EXPECT_EQ(manager.ImageVersion(), 4);
    EXPECT_EQ(manager.image, &BuiltInImage(ImageSlot::Manager));
    model->soft = 4;
    manager.ReadState();
    EXPECT_EQ(manager.ImageVersion(), 4);
}

} // namespace
} // namespace qozel
