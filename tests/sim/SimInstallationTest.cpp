#include "devices/arkan/ZelArkan.h"
#include "devices/kbreader/ZelCfgKbRd.h"
#include "devices/manager/ZelManager.h"
#include "devices/programmer/QoG30.h"
#include "security/DeviceLogin.h"
#include "security/PasswordKey.h"

#include "link/DeviceErrors.h"

#include "SimInstallation.h"
#include "TestImages.h"

#include <gtest/gtest.h>

namespace qozel::sim {
namespace {

class Installation : public ::testing::Test {
protected:
    void TearDown() override { UseTestImages(); }

    SimInstallation site;
};

TEST_F(Installation, EveryDeviceIsFoundAndOfferedItsImage)
{
    ZelArkan arkan(site.usb, site.clock);
    QoG30 programmer(site.usb, site.clock);
    ZelManager manager(site.usb, site.clock);
    ZelCfgKbRd kbReader(site.hid);
    ASSERT_TRUE(arkan.Open());
    ASSERT_TRUE(programmer.Open());
    ASSERT_TRUE(manager.Open());
    ASSERT_TRUE(kbReader.Open());
    arkan.ReadState();
    programmer.ReadState();
    manager.ReadState();
    kbReader.ReadState();
    EXPECT_EQ(arkan.ImageVersion(), 4);
    EXPECT_EQ(programmer.ImageVersion(), 5);
    EXPECT_EQ(manager.ImageVersion(), 4);
    EXPECT_EQ(kbReader.ImageVersion(), 0) << "the keyboard reader's slot is empty";
    EXPECT_LT(arkan.info.soft, 4);
    EXPECT_LT(programmer.info.soft, 5);
    EXPECT_LT(manager.info.soft, 4);
}

TEST_F(Installation, TheBusHoldsEveryReaderTypeAndAModule)
{
    ZelManager manager(site.usb, site.clock);
    ASSERT_TRUE(manager.Open());
    manager.RefreshReaders();
    ASSERT_EQ(manager.readerCount, 7);
    std::vector<int> versions;
    for (int i = 0; i < manager.readerCount; ++i)
        versions.push_back(manager.ReaderImageVersion(i));
    // Types 70, 72, 75, 76, 78, 71 and the QO-L74 module.
    EXPECT_EQ(versions, (std::vector<int>{3, 3, 3, 3, 3, 0, 3}));
    EXPECT_EQ(ShortName(manager.readers[6].info), "QO-L74");
}

TEST_F(Installation, AReaderOfType72TakesTwoHundredFiftyThreeSteps)
{
    ZelManager manager(site.usb, site.clock);
    ASSERT_TRUE(manager.Open());
    manager.RefreshReaders();
    ASSERT_EQ(manager.ReaderImageVersion(1), 3);
    std::vector<int> progress;
    for (int step = 0; step < 253; ++step)
        progress.push_back(manager.UpgradeReaderStep(1));
    EXPECT_EQ(progress.front(), 0);
    EXPECT_EQ(progress.back(), 100);
    EXPECT_EQ(site.manager->bus[1]->soft, 3);
    EXPECT_EQ(site.manager->bus[1]->upgrade.upgradesCompleted(), 1);
}

TEST_F(Installation, KeysFromTheArkanReachTheKeyboardReader)
{
    site.arkan->PreloadMasterKey({false, {}, 0x6553F100, {}});
    ZelArkan arkan(site.usb, site.clock);
    ZelCfgKbRd kbReader(site.hid);
    ASSERT_TRUE(arkan.Open());
    ASSERT_TRUE(ChallengeLogin(arkan, LoginDevice::Arkan, "admin", FactoryKey()));
    ASSERT_TRUE(site.arkan->login.adminLoggedIn());
    ASSERT_TRUE(kbReader.Open());
    arkan.Refresh();
    kbReader.Refresh();
    EXPECT_FALSE(kbReader.HasKeys());

    ZelArkan::Certificate first{}, second{};
    const std::uint32_t id = kbReader.info.DeviceId();
    ASSERT_TRUE(arkan.IssueCertificate(1, 21, id, first));
    ASSERT_TRUE(arkan.IssueCertificate(1, 22, id, second));
    EXPECT_TRUE(kbReader.LoadKeyCertificate(first));
    EXPECT_TRUE(kbReader.LoadKeyCertificate(second));
    kbReader.Refresh();
    EXPECT_TRUE(kbReader.HasKeys());
    EXPECT_FALSE(kbReader.HasTemporaryKeys());
    EXPECT_EQ(kbReader.keySignature, arkan.keySignature);

    // A certificate issued for another device is refused.
    ZelArkan::Certificate foreign{};
    ASSERT_TRUE(arkan.IssueCertificate(1, 21, id + 1, foreign));
    EXPECT_FALSE(kbReader.LoadKeyCertificate(foreign));
}

TEST_F(Installation, DevicesCanBeUnpluggedAndPluggedAgain)
{
    ZelCfgKbRd kbReader(site.hid);
    site.Unplug(SimInstallation::Device::KbReader);
    EXPECT_FALSE(site.IsPlugged(SimInstallation::Device::KbReader));
    EXPECT_FALSE(kbReader.Open());
    site.Plug(SimInstallation::Device::KbReader);
    EXPECT_TRUE(kbReader.Open());

    ZelArkan arkan(site.usb, site.clock);
    site.arkan->faults.disconnectAt = 77;
    ASSERT_TRUE(arkan.Open());
    EXPECT_THROW(arkan.ReadState(), qozel::WUsbErr);
    arkan.Close();
    EXPECT_FALSE(site.IsPlugged(SimInstallation::Device::Arkan));
    site.arkan->faults = {};
    site.Plug(SimInstallation::Device::Arkan);
    ASSERT_TRUE(arkan.Open());
    arkan.ReadState();
    EXPECT_EQ(arkan.info.type, ArkanModel::kDefaultType);
}

} // namespace
} // namespace qozel::sim
