#include "devices/manager/ZelManager.h"
#include "link/DeviceErrors.h"

#include "ManagerModel.h"
#include "SimCertificate.h"
#include "SimInstallation.h"
#include "SimUsbHost.h"
#include "TestImageMaker.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace qozel::sim {
namespace {

constexpr std::array<std::uint8_t, 8> kUid = {1, 2, 3, 4, 5, 6, 7, 8};

// The simulated Manager and its readers, driven through the product's Manager class.
class ManagerModelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        host.Attach(device);
        ASSERT_TRUE(manager.Open());
    }

    Bytes KeyCertificate(const SimReader& reader, std::uint8_t number, std::uint32_t signature,
                         std::uint8_t certClass = 1)
    {
        return SealCertificate({.certClass = certClass, .number = number, .targetId = reader.id(),
                                .keySignature = signature},
                               80);
    }
    std::uint8_t Load(int index, const Bytes& cert)
    {
        return manager.WriteReaderKeyCertificate(index, std::span<const std::uint8_t, 80>(cert.data(), 80));
    }

    VirtualClock clock;
    SimUsbHost host{clock};
    std::shared_ptr<ManagerModel> model = std::make_shared<ManagerModel>();
    std::shared_ptr<SimUsbDevice> device = std::make_shared<SimUsbDevice>(kManagerGuid, model);
    ZelManager manager{host, clock};
};

TEST_F(ManagerModelTest, ReaderTakesOnlyKeyCertificatesIssuedForIt)
{
    SimReader& a = model->AddReader(0x0401, 72);
    SimReader& b = model->AddReader(0x0402, 72);
    manager.RefreshReaders();

    EXPECT_NE(Load(0, KeyCertificate(b, 21, 0xAB)), 0);          // another reader's
    EXPECT_NE(Load(0, KeyCertificate(a, 21, 0xAB, 2)), 0);       // another class
    EXPECT_NE(Load(0, KeyCertificate(a, 30, 0xAB)), 0);          // not a reader key
    Bytes forged = KeyCertificate(a, 21, 0xAB);
    forged[6] ^= 1;                                              // the signature altered
    EXPECT_NE(Load(0, forged), 0);
    EXPECT_EQ(a.keyBits, 0);

    EXPECT_EQ(Load(0, KeyCertificate(a, 21, 0xAB)), 0);
    EXPECT_EQ(Load(0, KeyCertificate(a, 22, 0xAB)), 0);
    EXPECT_TRUE(a.HoldsKeys());
    EXPECT_EQ(a.keySignature, 0xABu);

    // The key state shows the match only once the Manager knows the signature.
    manager.RefreshReaders();
    EXPECT_EQ(manager.readers[0].keyState(), 0x03);
    manager.SetKeySignature(0xAB);
    manager.RefreshReaders();
    EXPECT_EQ(manager.readers[0].keyState(), 0x07);

    // A key of another master key starts a new set.
    EXPECT_EQ(Load(0, KeyCertificate(a, 21, 0xCD)), 0);
    EXPECT_EQ(a.keyBits, SimReader::kKey21);
    manager.RefreshReaders();
    EXPECT_EQ(manager.readers[0].keyState(), 0x01);
}

TEST_F(ManagerModelTest, BusRateDecidesWhichReadersAnswer)
{
    SimReader& fast = model->AddReader(1, 70);
    fast.baud100 = 1152;
    model->AddReader(2, 70);
    manager.RefreshReaders();
    EXPECT_FALSE(manager.readers[0].online);
    EXPECT_TRUE(manager.readers[1].online);
    EXPECT_THROW(manager.IdentifyReader(0), WUsbErr);

    manager.SetBusRate(115200);
    EXPECT_EQ(manager.info.flags, 1152);
    manager.RefreshReaders();
    EXPECT_TRUE(manager.readers[0].online);
    EXPECT_FALSE(manager.readers[1].online);
    manager.IdentifyReader(0);
    EXPECT_EQ(fast.identifyCount, 1);
}

TEST_F(ManagerModelTest, ReaderRefusesWhatItCannotDo)
{
    SimReader& r = model->AddReader(1, 70);
    manager.RefreshReaders();
    EXPECT_EQ(manager.SetReaderAddress(0, 127), SimReader::kBadRequest);
    EXPECT_EQ(r.address, 0);
    EXPECT_EQ(manager.SetReaderAddress(0, 126), 0);
    EXPECT_EQ(r.address, 126);

    std::array<std::uint8_t, 8> data{};
    EXPECT_EQ(manager.ReadModuleData(0, ZelManager::ModuleReader1, data), SimReader::kRefused);

    // Command 117 in order only: a block before the header is refused.
    std::array<std::uint8_t, 520> block{};
    EXPECT_NE(manager.SendReaderBlock(0, 0, block), 0);
}

TEST_F(ManagerModelTest, EventsFollowTheReadersConfiguration)
{
    SimReader& r = model->AddReader(1, 70);
    manager.RefreshReaders();
    ReaderEvent event;

    // Phone identifiers are read only when enabled.
    EXPECT_FALSE(model->ReadPhone(r, kUid));
    r.config[1] = 0x20;
    EXPECT_TRUE(model->ReadPhone(r, kUid));
    ASSERT_EQ(manager.NextEvent(event), 0);
    EXPECT_EQ(event.kind(), ReaderEvent::RoRe);
    EXPECT_EQ(event.length, 10u);

    // Without keys a QoZEL card shows only its UID.
    EXPECT_TRUE(model->PresentCard(r, kUid, std::pair{5, 6}));
    ASSERT_EQ(manager.NextEvent(event), 0);
    EXPECT_EQ(event.kind(), ReaderEvent::CardUid);

    // Tamper inputs the reader does not have stay quiet.
    r.options = ReaderRecord::kHasTamper2;
    EXPECT_TRUE(model->ChangeInputs(r, 0x03, 0x01));
    ASSERT_EQ(manager.NextEvent(event), 0);
    EXPECT_EQ(std::vector<std::uint8_t>(event.data().begin(), event.data().end()), (Bytes{8, 0x02, 0x01}));

    // A reader that is off the bus reports nothing.
    r.connected = false;
    EXPECT_FALSE(model->TypePin(r, "1"));
    EXPECT_EQ(manager.NextEvent(event), ZelManager::kNoEvent);
}

TEST_F(ManagerModelTest, BackupCardIsReadOnlyInBackupModeForTheNamedArkan)
{
    SimReader& r = model->AddReader(1, 70);
    r.keyBits = 3;
    r.keySignature = 0x600D;
    manager.RefreshReaders();
    const std::uint32_t arkanId = 0x010E1247;
    const Bytes file = SealCertificate(
        {.certClass = 3, .number = 17, .targetId = 0x00AA0005, .issuerId = arkanId, .keySignature = 0x600D}, 112);

    EXPECT_FALSE(model->PresentBackupCard(r, kUid, file));
    manager.SetReadingMode(ZelManager::BackupCardReading, 0x010E0001);
    EXPECT_FALSE(model->PresentBackupCard(r, kUid, file));
    manager.SetReadingMode(ZelManager::BackupCardReading, arkanId);
    r.keySignature = 0x0BAD;  // keys of another installation cannot read it
    EXPECT_FALSE(model->PresentBackupCard(r, kUid, file));
    r.keySignature = 0x600D;
    EXPECT_TRUE(model->PresentBackupCard(r, kUid, file));
    // Normal cards are not reported meanwhile.
    EXPECT_FALSE(model->PresentCard(r, kUid));

    ReaderEvent event;
    ASSERT_EQ(manager.NextEvent(event), 0);
    EXPECT_EQ(event.kind(), ReaderEvent::BackupCertificate);
    ASSERT_EQ(event.length, 121u);
    EXPECT_TRUE(std::equal(kUid.begin(), kUid.end(), event.bytes.begin() + 1));
    EXPECT_TRUE(std::equal(file.begin(), file.end(), event.bytes.begin() + 9));

    manager.SetReadingMode(ZelManager::NormalReading, 0);
    EXPECT_TRUE(model->PresentCard(r, kUid));
}

TEST_F(ManagerModelTest, BusHoldsAtMost32Readers)
{
    for (std::uint16_t nr = 1; nr <= 32; ++nr)
        model->AddReader(nr, 70);
    EXPECT_THROW(model->AddReader(33, 70), std::length_error);
    manager.RefreshReaders();
    EXPECT_EQ(manager.readerCount, 32);
}

TEST_F(ManagerModelTest, ModuleReportsItsTwoReaders)
{
    model->AddReader(1, 70);
    model->AddModule(2, 72, 76);
    manager.RefreshReaders();
    ASSERT_TRUE(IsModuleType(manager.readers[1].info.type));
    EXPECT_EQ(ShortName(manager.readers[1].info), "QO-L74");
    std::array<std::uint8_t, 8> data{};
    ASSERT_EQ(manager.ReadModuleData(1, ZelManager::ModuleReader1, data), 0);
    EXPECT_EQ(ShortName(DevInfo::FromBytes(data)), "QO-V72");
    ASSERT_EQ(manager.ReadModuleData(1, ZelManager::ModuleReader2, data), 0);
    EXPECT_EQ(ShortName(DevInfo::FromBytes(data)), "QO-V76");
}

constexpr TestImageLayout kManagerImage =
    *std::ranges::find(kTestImageLayouts, ImageSlot::Manager, &TestImageLayout::slot);

// The Manager of an installation upgrading its own firmware from the product's
// Manager image slot.
class ManagerUpgradeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(manager.Open());
        manager.ReadState();
        ASSERT_EQ(manager.ImageVersion(), kManagerImage.version);
    }
    void TearDown() override { UseTestImages(); }

    // Steps through the image; the last progress, or -1 at the first refusal.
    int RunUpgrade()
    {
        int progress = 0;
        for (int step = 0; step < kManagerImage.blocks && progress >= 0; ++step)
            progress = manager.UpgradeStep();
        return progress;
    }

    SimInstallation site;
    ZelManager manager{site.usb, site.clock};
};

TEST_F(ManagerUpgradeTest, FinishedUpgradeReportsTheImagesVersion)
{
    EXPECT_EQ(RunUpgrade(), 100);
    EXPECT_EQ(site.manager->soft, kManagerImage.version);

    manager.Close();
    ASSERT_TRUE(manager.Open());
    manager.ReadState();
    EXPECT_EQ(manager.info.soft, kManagerImage.version);
}

TEST_F(ManagerUpgradeTest, RefusedBlockLeavesTheOldFirmware)
{
    const std::uint16_t before = site.manager->soft;
    site.manager->upgrade.refuseBlock = 10;
    EXPECT_EQ(RunUpgrade(), -1);
    EXPECT_EQ(site.manager->soft, before);
}

} // namespace
} // namespace qozel::sim
