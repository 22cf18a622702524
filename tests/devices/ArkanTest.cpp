#include "ArkanModel.h"
#include "SimCertificate.h"
#include "SimCrc32.h"
#include "TestImages.h"
#include "support/DeviceErrorOf.h"
#include "support/SimBulkBench.h"
#include "support/SimLogin.h"

#include "devices/arkan/ZelCfgAr.h"
#include "devices/firmware/BuiltInImages.h"
#include "link/DeviceErrors.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

namespace qozel {
namespace {

using sim::ArkanModel;
using sim::Bytes;

std::array<std::uint8_t, 32> SampleKey(std::uint8_t seed = 0x10)
{
    std::array<std::uint8_t, 32> key{};
    for (std::size_t i = 0; i < key.size(); ++i)
        key[i] = static_cast<std::uint8_t>(seed + 7 * i);
    return key;
}

std::uint32_t Le32(const Bytes& b, std::size_t at)
{
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

class ArkanTest : public ::testing::Test {
protected:
    ArkanTest() { EXPECT_TRUE(bench.opened); }

    void StoreKey(bool temporary, std::uint32_t signature = 0x6553F100, std::uint8_t seed = 0x10)
    {
        EXPECT_TRUE(test::LogInAdmin(*bench.model));
        const std::array<std::uint8_t, 5> symbol = {'Q', 'O', 'Z', 'E', 'L'};
        ASSERT_TRUE(arkan().StoreMasterKey(MasterKeyRecord::Make(temporary, symbol, signature, SampleKey(seed))));
    }

    ZelCfgAr& arkan() { return bench.device; }
    const Bytes& LastPayload() { return bench.model->requests().back().payload; }

    test::SimBulkBench<ZelCfgAr, ArkanModel> bench{kArkanGuid};
};

TEST_F(ArkanTest, RefreshReadsTheSignatureOnlyWhenAKeyIsHeld)
{
    arkan().keySignature = 0xDEADBEEF;
    arkan().Refresh();
    EXPECT_EQ(arkan().keySignature, 0u);
    EXPECT_EQ(arkan().info.flags, 0x0100);
    EXPECT_EQ(bench.model->CountOf(115), 0u);

    StoreKey(false, 0x12345678);
    arkan().Refresh();
    EXPECT_EQ(arkan().keySignature, 0x12345678u);
    EXPECT_TRUE(arkan().HasTargetKey());
    EXPECT_EQ(bench.model->CountOf(115), 1u);
    EXPECT_TRUE(bench.model->requests().back().payload.empty());
}

TEST_F(ArkanTest, APaddedSignatureIsReadAndAStatusByteIsAWrongLength)
{
    StoreKey(true);
    bench.model->faults.wrongLengthFor = 115;
    arkan().Refresh();
    EXPECT_EQ(arkan().keySignature, 0x6553F100u);

    bench.model->faults.wrongLengthFor.reset();
    bench.model->faults.refuseCommand = 115;
    const WUsbErr e = testing::ErrorOf<WUsbErr>([&] { arkan().ReadKeySignature(); });
    EXPECT_EQ(e.code, 6);
    EXPECT_EQ(e.cmd, 115);
}

TEST_F(ArkanTest, LogoutEndsTheLoginAndANonZeroStatusIsAnError)
{
    EXPECT_TRUE(test::LogInAdmin(*bench.model));
    arkan().Logout();
    EXPECT_FALSE(bench.model->login.adminLoggedIn());
    EXPECT_EQ(bench.model->requests().back().code, 108);
    EXPECT_TRUE(LastPayload().empty());

    bench.model->faults.refuseCommand = 108;
    try {
        arkan().Logout();
        FAIL() << "no error";
    } catch (const WUsbErr& e) {
        EXPECT_EQ(e.code, 4);
        EXPECT_EQ(e.cmd, 108);
    }
}

TEST_F(ArkanTest, MasterKeyRecordCarriesItsFieldsAndAValidCrc)
{
    StoreKey(true, 0xA1B2C3D4);
    const Bytes record = LastPayload();
    ASSERT_EQ(record.size(), 52u);
    EXPECT_EQ(record[0], 1);
    EXPECT_EQ(record[1], 0x80);
    EXPECT_EQ(record[2], 1);
    EXPECT_EQ(record[3], 0);
    EXPECT_EQ(Bytes(record.begin() + 4, record.begin() + 12), (Bytes{'Q', 'O', 'Z', 'E', 'L', 0, 0, 0}));
    EXPECT_EQ(Le32(record, 12), 0xA1B2C3D4u);
    const auto key = SampleKey();
    EXPECT_TRUE(std::equal(key.begin(), key.end(), record.begin() + 16));
    EXPECT_EQ(Le32(record, 48), sim::Mpeg2Crc32(std::span(record).first(48)));

    ASSERT_TRUE(bench.model->masterKey());
    EXPECT_TRUE(bench.model->masterKey()->temporary);
    EXPECT_EQ(bench.model->masterKey()->signature, 0xA1B2C3D4u);
    EXPECT_EQ(bench.model->masterKey()->key, key);
}

TEST_F(ArkanTest, StateFollowsTheFlags)
{
    arkan().Refresh();
    EXPECT_STREQ(ArkanStateText(arkan().State()), "brak");
    StoreKey(true);
    arkan().Refresh();
    EXPECT_STREQ(ArkanStateText(arkan().State()), "tymczasowy");
    StoreKey(false);
    arkan().Refresh();
    EXPECT_STREQ(ArkanStateText(arkan().State()), "docelowy");
    // 0x0080 means nothing without a key.
    arkan().info.flags = 0x0080;
    EXPECT_EQ(arkan().State(), ArkanState::None);
}

TEST_F(ArkanTest, TemporaryAndTargetRecordsDifferOnlyInByteOneAndTheCrc)
{
    const std::array<std::uint8_t, 8> symbol = {'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H'};
    const auto temporary = MasterKeyRecord::Make(true, symbol, 7, SampleKey());
    const auto target = MasterKeyRecord::Make(false, symbol, 7, SampleKey());
    for (std::size_t i = 0; i < 52; ++i) {
        const bool differs = temporary.bytes[i] != target.bytes[i];
        EXPECT_EQ(differs, i == 1 || i >= 48) << "byte " << i;
    }
    // An 8-character symbol fills its field without a terminator; a longer one is cut.
    EXPECT_EQ(target.bytes[11], 'H');
    const std::array<std::uint8_t, 10> longSymbol = {'1', '2', '3', '4', '5', '6', '7', '8', '9', '0'};
    EXPECT_EQ(MasterKeyRecord::Make(false, longSymbol, 7, SampleKey()).bytes[12], 7);
}

TEST_F(ArkanTest, TargetKeyIsNeverReplacedAndTemporaryKeyIs)
{
    StoreKey(true, 1, 0x10);
    StoreKey(false, 2, 0x20);
    EXPECT_EQ(bench.model->masterKey()->signature, 2u);
    const std::array<std::uint8_t, 1> symbol = {'X'};
    EXPECT_FALSE(arkan().StoreMasterKey(MasterKeyRecord::Make(true, symbol, 3, SampleKey(0x30))));
    EXPECT_EQ(bench.model->masterKey()->signature, 2u);
    EXPECT_FALSE(bench.model->masterKey()->temporary);
}

TEST_F(ArkanTest, StoringWithoutLoginIsRefused)
{
    const std::array<std::uint8_t, 1> symbol = {'X'};
    EXPECT_FALSE(arkan().StoreMasterKey(MasterKeyRecord::Make(true, symbol, 3, SampleKey())));
    EXPECT_FALSE(bench.model->masterKey());
}

TEST_F(ArkanTest, IssuedCertificateNamesItsTargetAndCarriesTheSignature)
{
    StoreKey(false, 0x0BADF00D);
    ZelArkan::Certificate cert{};
    for (std::uint32_t target : {0x001F0231u, 0x00460042u}) {
        ASSERT_TRUE(arkan().IssueCertificate(1, 21, target, cert));
        EXPECT_EQ(LastPayload(), (Bytes{1, 21, static_cast<std::uint8_t>(target), static_cast<std::uint8_t>(target >> 8),
                                        static_cast<std::uint8_t>(target >> 16), static_cast<std::uint8_t>(target >> 24)}));
        const auto content = sim::OpenCertificateFor(cert, target, 80);
        ASSERT_TRUE(content);
        EXPECT_EQ(content->keySignature, 0x0BADF00Du);
        EXPECT_EQ(content->issuerId, bench.model->DeviceId());
        EXPECT_FALSE(content->temporary);
    }
}

TEST_F(ArkanTest, RefusedCertificateLeavesTheCallersBufferAlone)
{
    ZelArkan::Certificate cert;
    cert.fill(0x5C);
    // Not logged in: the device answers with a status byte.
    EXPECT_FALSE(arkan().IssueCertificate(0, 18, 0x00AA0233, cert));
    EXPECT_EQ(bench.model->requests().back().code, 107);
    // Logged in but without a master key.
    EXPECT_TRUE(test::LogInAdmin(*bench.model));
    EXPECT_FALSE(arkan().IssueCertificate(0, 18, 0x00AA0233, cert));
    // A single 0 byte is no certificate either.
    StoreKey(false);
    bench.model->faults.refuseCommand = 107;
    bench.model->faults.refusalStatus = 0;
    EXPECT_FALSE(arkan().IssueCertificate(0, 18, 0x00AA0233, cert));
    EXPECT_TRUE(std::all_of(cert.begin(), cert.end(), [](std::uint8_t b) { return b == 0x5C; }));
}

TEST_F(ArkanTest, CertificateOfWrongLengthIsAnError)
{
    StoreKey(false);
    bench.model->faults.wrongLengthFor = 107;
    ZelArkan::Certificate cert{};
    try {
        arkan().IssueCertificate(0, 18, 1, cert);
        FAIL() << "no error";
    } catch (const WUsbErr& e) {
        EXPECT_EQ(e.code, 6);
        EXPECT_EQ(e.cmd, 107);
    }
}

TEST_F(ArkanTest, BackupCertificateIsBoundToProgrammerAndCard)
{
    StoreKey(false, 0x600D5EED);
    const std::array<std::uint8_t, 8> uid = {0x04, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77};
    ZelArkan::BackupCertificate cert{};
    ASSERT_TRUE(arkan().IssueBackupCertificate(0x00AA0233, uid, cert));
    const Bytes request = LastPayload();
    ASSERT_EQ(request.size(), 14u);
    EXPECT_EQ(request[0], 3);
    EXPECT_EQ(request[1], 17);
    EXPECT_EQ(Le32(request, 2), 0x00AA0233u);
    EXPECT_TRUE(std::equal(uid.begin(), uid.end(), request.begin() + 6));
    const auto content = sim::OpenCertificateFor(cert, 0x00AA0233, 112);
    ASSERT_TRUE(content);
    EXPECT_EQ(content->cardUid, uid);
    EXPECT_EQ(content->keySignature, 0x600D5EEDu);
}

TEST_F(ArkanTest, TemporaryKeyIsNotBackedUp)
{
    StoreKey(true);
    ZelArkan::BackupCertificate cert{};
    const std::array<std::uint8_t, 8> uid{};
    EXPECT_FALSE(arkan().IssueBackupCertificate(0x00AA0233, uid, cert));
}

TEST_F(ArkanTest, BackupCardRestoresTheTargetKeyInAnotherArkan)
{
    StoreKey(false, 0x600D5EED, 0x42);
    const std::array<std::uint8_t, 8> uid = {9, 8, 7, 6, 5, 4, 3, 2};
    ZelArkan::BackupCertificate cert{};
    ASSERT_TRUE(arkan().IssueBackupCertificate(0x00AA0233, uid, cert));

    test::SimBulkBench<ZelCfgAr, ArkanModel> fresh{kArkanGuid, std::make_shared<ArkanModel>(0x0200)};
    EXPECT_TRUE(test::LogInAdmin(*fresh.model));
    std::array<std::uint8_t, 120> cardData{};
    std::copy(uid.begin(), uid.end(), cardData.begin());
    std::copy(cert.begin(), cert.end(), cardData.begin() + 8);
    // Read from another card than the one it was written for: refused.
    cardData[0] ^= 1;
    EXPECT_FALSE(fresh.device.StoreBackupCertificate(cardData));
    cardData[0] ^= 1;
    ASSERT_TRUE(fresh.device.StoreBackupCertificate(cardData));
    EXPECT_EQ(fresh.model->requests().back().payload.size(), 120u);
    fresh.device.Refresh();
    EXPECT_TRUE(fresh.device.HasTargetKey());
    EXPECT_EQ(fresh.device.keySignature, 0x600D5EEDu);
    EXPECT_EQ(fresh.model->masterKey()->key, SampleKey(0x42));
}

TEST_F(ArkanTest, SignsOnlyResetCertificatesAddressedToItForItsKeys)
{
    StoreKey(false, 0x77);
    sim::CertificateContent reset;
    reset.certClass = 2;
    reset.number = 63;
    reset.targetId = bench.model->DeviceId();
    reset.issuerId = 0x00AA0233;
    reset.keySignature = 0x77;
    const Bytes unsignedCert = sim::SealCertificate(reset, 80);
    std::array<std::uint8_t, 80> request;
    std::copy(unsignedCert.begin(), unsignedCert.end(), request.begin());

    ZelArkan::Certificate signedCert{};
    ASSERT_TRUE(arkan().SignCertificate(request, signedCert));
    EXPECT_EQ(LastPayload(), unsignedCert);
    const auto content = sim::OpenCertificate(signedCert);
    ASSERT_TRUE(content);
    EXPECT_TRUE(content->signedByTarget);
    EXPECT_EQ(content->issuerId, 0x00AA0233u);

    reset.targetId ^= 1;  // meant for another Arkan
    const Bytes foreign = sim::SealCertificate(reset, 80);
    std::copy(foreign.begin(), foreign.end(), request.begin());
    EXPECT_FALSE(arkan().SignCertificate(request, signedCert));
}

TEST_F(ArkanTest, FactoryResetOnlyWithoutTargetKey)
{
    StoreKey(true);
    bench.model->login.SetKey("admin", test::kAdminKey);
    ASSERT_TRUE(arkan().FactoryReset());
    EXPECT_TRUE(LastPayload().empty());
    arkan().Refresh();
    EXPECT_EQ(arkan().info.flags, 0x0100);
    EXPECT_EQ(arkan().keySignature, 0u);

    StoreKey(false);
    EXPECT_FALSE(arkan().FactoryReset());
    EXPECT_TRUE(bench.model->masterKey());
}

TEST_F(ArkanTest, AdminPasswordIsResetWithAReaderSignedCertificate)
{
    StoreKey(false, 0x1234);
    const std::uint32_t readerId = 0x00460042;
    ZelArkan::Certificate cert{};
    ASSERT_TRUE(arkan().IssueCertificate(1, 79, readerId, cert));
    bench.model->login.Logout();

    Key16 newKey;
    for (std::size_t i = 0; i < 16; ++i)
        newKey[i] = static_cast<std::uint8_t>(0xC0 + i);
    // Unsigned, the certificate does not reset anything.
    EXPECT_FALSE(arkan().ResetAdminPassword(cert, newKey));

    // The reader countersigns it.
    auto content = sim::OpenCertificateFor(cert, readerId, 80);
    ASSERT_TRUE(content);
    content->signedByTarget = true;
    const Bytes signedCert = sim::SealCertificate(*content, 80);
    std::copy(signedCert.begin(), signedCert.end(), cert.begin());
    ASSERT_TRUE(arkan().ResetAdminPassword(cert, newKey));

    const Bytes request = LastPayload();
    ASSERT_EQ(request.size(), 108u);
    EXPECT_EQ(Bytes(request.begin(), request.begin() + 80), signedCert);
    EXPECT_EQ(Bytes(request.begin() + 80, request.begin() + 92), (Bytes{'a', 'd', 'm', 'i', 'n', 0, 0, 0, 0, 0, 0, 0}));
    const auto adminKey = bench.model->login.KeyOf("admin");
    ASSERT_TRUE(adminKey);
    EXPECT_TRUE(std::equal(newKey.bytes.begin(), newKey.bytes.end(), adminKey->begin()));
    // The new key opens the login.
    EXPECT_TRUE(test::LogInAdmin(*bench.model));
}

TEST_F(ArkanTest, CertificateComesThroughStrayFramesAndAResend)
{
    StoreKey(false, 0x31);
    bench.usb->transport.strayFramesBeforeReply = 2;
    bench.model->faults.answerOnlyResend = true;
    bench.model->ClearRequests();
    ZelArkan::Certificate cert{};
    ASSERT_TRUE(arkan().IssueCertificate(0, 19, 0x00AA0233, cert));
    EXPECT_EQ(bench.model->CountOf(107), 2u);
    EXPECT_TRUE(sim::OpenCertificateFor(cert, 0x00AA0233, 80));
}

TEST_F(ArkanTest, SilentOrUnpluggedArkanIsNoReply)
{
    bench.model->faults.silent = true;
    try {
        arkan().FactoryReset();
        FAIL() << "no error";
    } catch (const WUsbErr& e) {
        EXPECT_EQ(e.code, 3);
        EXPECT_EQ(e.cmd, 104);
    }
    bench.model->faults.silent = false;
    bench.model->faults.disconnectAt = 115;
    StoreKey(true);
    EXPECT_THROW(arkan().Refresh(), WUsbErr);
    EXPECT_TRUE(bench.model->masterKey());
}

TEST_F(ArkanTest, ImageVersionOffersTheArkanImage)
{
    sim::UseTestImages();
    arkan().ReadState();
    EXPECT_EQ(arkan().ImageVersion(), 4);
    EXPECT_EQ(arkan().image, &BuiltInImage(ImageSlot::Arkan));
    // A device of another type is offered nothing.
    bench.model->identity.type = 0x00AA;
    arkan().ReadState();
    EXPECT_EQ(arkan().ImageVersion(), 0);
}

} // namespace
} // namespace qozel
