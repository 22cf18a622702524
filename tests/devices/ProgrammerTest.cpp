#include "ArkanModel.h"
#include "ProgrammerModel.h"
#include "ScriptedModel.h"
#include "SimCertificate.h"
#include "support/DeviceErrorOf.h"
#include "support/SimBulkBench.h"
#include "support/SimLogin.h"

#include "devices/arkan/ZelCfgAr.h"
#include "devices/programmer/ZelCfgPrgr.h"
#include "link/DeviceErrors.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <vector>

namespace qozel {
namespace {

using sim::Bytes;
using sim::ProgrammerModel;
using sim::SimCard;

constexpr std::array<std::uint8_t, 8> kUidA = {0x04, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0x80};
constexpr std::array<std::uint8_t, 8> kUidB = {0x04, 0xB1, 0xB2, 0xB3, 0xB4, 0xB5, 0xB6, 0x80};

std::array<std::uint8_t, 32> MasterKey(std::uint8_t seed)
{
    std::array<std::uint8_t, 32> key{};
    for (std::size_t i = 0; i < key.size(); ++i)
        key[i] = static_cast<std::uint8_t>(seed * 3 + i);
    return key;
}

Bytes Concat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

Bytes UidBytes(const std::array<std::uint8_t, 8>& uid)
{
    return Bytes(uid.begin(), uid.end());
}

class ProgrammerTest : public ::testing::Test {
protected:
    ProgrammerTest()
    {
        EXPECT_TRUE(bench.opened);
        model().PreloadKeys(MasterKey(1), 0x5EED0001, false);
        model().login.SetKey("admin", test::kAdminKey);
        EXPECT_TRUE(test::LogInAdmin(model()));
        model().ClearRequests();
    }

    ProgrammerModel& model() { return *bench.model; }
    ZelCfgPrgr& programmer() { return bench.device; }
    std::vector<std::uint8_t> Codes()
    {
        std::vector<std::uint8_t> codes;
        for (const auto& r : model().requests())
            codes.push_back(r.code);
        return codes;
    }
    const Bytes& PayloadOf(std::uint8_t code)
    {
        for (auto it = model().requests().rbegin(); it != model().requests().rend(); ++it)
            if (it->code == code)
                return it->payload;
        throw std::runtime_error("command not sent");
    }
    void Program(const std::array<std::uint8_t, 8>& uid, std::int32_t department, std::int32_t index)
    {
        model().PlaceCard(SimCard::Blank(uid));
        ASSERT_EQ(programmer().ProgramCard(department, index), CardOk);
        model().ClearRequests();
    }

    test::SimBulkBench<ZelCfgPrgr, ProgrammerModel> bench{kProgrammerGuid};
};

TEST_F(ProgrammerTest, WithoutACardEveryOperationSendsOnlyTheQuery)
{
    std::int32_t department = 11, index = 22;
    const std::array<std::uint8_t, 112> backup{};
    EXPECT_EQ(programmer().CheckBlankCard(), NoCard);
    EXPECT_EQ(programmer().ProgramCard(1, 2), NoCard);
    EXPECT_EQ(programmer().ReadCard(department, index), NoCard);
    EXPECT_EQ(programmer().ClearCard(), NoCard);
    EXPECT_EQ(programmer().WriteBackupCard(kUidA, backup), NoCard);
    EXPECT_EQ(Codes(), std::vector<std::uint8_t>(5, 82));
    EXPECT_TRUE(PayloadOf(82).empty());
    EXPECT_FALSE(programmer().cardPresent);
    EXPECT_EQ(department, 11);
    EXPECT_EQ(index, 22);
    EXPECT_STREQ(CardResultText(NoCard), "Brak karty w polu programatora.");
}

TEST_F(ProgrammerTest, CardOfAnotherTypeIsRejectedWhateverItHolds)
{
    SimCard card = SimCard::Blank(kUidA);
    card.type = 2;
    card.appState = 1;
    model().PlaceCard(card);
    std::int32_t department = 0, index = 0;
    const std::array<std::uint8_t, 112> backup{};
    EXPECT_EQ(programmer().CheckBlankCard(), NotDesfire);
    EXPECT_EQ(programmer().ProgramCard(1, 2), NotDesfire);
    EXPECT_EQ(programmer().ReadCard(department, index), NotDesfire);
    EXPECT_EQ(programmer().ClearCard(), NotDesfire);
    EXPECT_EQ(programmer().WriteBackupCard(kUidA, backup), NotDesfire);
    EXPECT_EQ(Codes(), std::vector<std::uint8_t>(5, 82));
    EXPECT_EQ(programmer().cardStatus.type, 2);
    EXPECT_EQ(programmer().cardStatus.appState, 1);
}

TEST_F(ProgrammerTest, ProgramsDepartmentAndIndexAndReadsThemBack)
{
    model().PlaceCard(SimCard::Blank(kUidA));
    EXPECT_EQ(programmer().CheckBlankCard(), CardOk);
    model().ClearRequests();

    ASSERT_EQ(programmer().ProgramCard(99999, 0), CardOk);
    EXPECT_EQ(Codes(), (std::vector<std::uint8_t>{82, 112, 80}));
    EXPECT_EQ(PayloadOf(112), Concat({{1}, UidBytes(kUidA)}));
    EXPECT_EQ(PayloadOf(80), Concat({{1}, UidBytes(kUidA), {0x9F, 0x86, 0x01, 0x00, 0, 0, 0, 0}, Bytes(8, 0)}));
    EXPECT_EQ(model().card()->files.at(1), Concat({{0x9F, 0x86, 0x01, 0x00}, Bytes(12, 0)}));

    model().ClearRequests();
    std::int32_t department = -1, index = -1;
    ASSERT_EQ(programmer().ReadCard(department, index), CardOk);
    EXPECT_EQ(department, 99999);
    EXPECT_EQ(index, 0);
    EXPECT_EQ(Codes(), (std::vector<std::uint8_t>{82, 114}));
    EXPECT_EQ(PayloadOf(114), Bytes{1});
    EXPECT_EQ(programmer().cardStatus.uid, kUidA);
}

TEST_F(ProgrammerTest, CardThatHoldsDataIsNotWritten)
{
    Program(kUidA, 5, 6);
    EXPECT_EQ(programmer().ProgramCard(7, 8), CardHoldsData);
    EXPECT_EQ(programmer().CheckBlankCard(), CardHoldsData);
    EXPECT_EQ(Codes(), (std::vector<std::uint8_t>{82, 82}));
    std::int32_t department = 0, index = 0;
    ASSERT_EQ(programmer().ReadCard(department, index), CardOk);
    EXPECT_EQ(department, 5);
    EXPECT_EQ(index, 6);
}

TEST_F(ProgrammerTest, BlankCardReadsAsBlankAndMayBeCleared)
{
    model().PlaceCard(SimCard::Blank(kUidA));
    std::int32_t department = 0, index = 0;
    EXPECT_EQ(programmer().ReadCard(department, index), CardBlank);
    EXPECT_EQ(Codes(), std::vector<std::uint8_t>{82});
    EXPECT_EQ(programmer().ClearCard(), CardOk);
    EXPECT_EQ(PayloadOf(67), UidBytes(kUidA));
}

TEST_F(ProgrammerTest, ClearErasesTheCard)
{
    Program(kUidA, 1, 2);
    ASSERT_EQ(programmer().ClearCard(), CardOk);
    EXPECT_EQ(Codes(), (std::vector<std::uint8_t>{82, 67}));
    EXPECT_EQ(model().card()->appState, 0);
    EXPECT_TRUE(model().card()->files.empty());
}

TEST_F(ProgrammerTest, RefusedStepsGiveTheirCodes)
{
    model().PlaceCard(SimCard::Blank(kUidA));
    model().faults.refuseCommand = 112;
    EXPECT_EQ(programmer().ProgramCard(1, 1), PrepareFailed);
    EXPECT_EQ(model().CountOf(80), 0u);

    model().faults.refuseCommand = 80;
    EXPECT_EQ(programmer().ProgramCard(1, 1), WriteFileFailed);

    model().faults.refuseCommand = 67;
    EXPECT_EQ(programmer().ClearCard(), EraseFailed);

    model().faults.refuseCommand = 114;
    std::int32_t department = 0, index = 0;
    EXPECT_EQ(programmer().ReadCard(department, index), ReadFileFailed);
    // A status 0 in place of the file is no file either.
    model().faults.refusalStatus = 0;
    EXPECT_EQ(programmer().ReadCard(department, index), ReadFileFailed);
    EXPECT_EQ(department, 0);
    EXPECT_EQ(index, 0);
}

TEST_F(ProgrammerTest, NeverReturnsAnEarlierCardsData)
{
    Program(kUidA, 123, 456);
    std::int32_t department = 0, index = 0;
    ASSERT_EQ(programmer().ReadCard(department, index), CardOk);

    // A card of other keys: the programmer refuses its file.
    SimCard foreign = SimCard::Blank(kUidB);
    foreign.appState = 1;
    foreign.key = std::array<std::uint8_t, 16>{1};
    foreign.files[1] = Bytes(16, 0x77);
    model().PlaceCard(foreign);
    department = index = -5;
    EXPECT_EQ(programmer().ReadCard(department, index), ReadFileFailed);
    EXPECT_EQ(department, -5);
    EXPECT_EQ(index, -5);

    // The card was exchanged after the query: its file carries another UID.
    Program(kUidB, 9, 9);
    const auto programmedB = model().TakeCard();
    model().PlaceCard(SimCard::Blank(kUidA));
    ASSERT_TRUE(programmer().QueryCard());
    model().PlaceCard(*programmedB);
    std::array<std::uint8_t, 16> data;
    data.fill(0xEE);
    EXPECT_FALSE(programmer().ReadCardFile(1, data));
    EXPECT_TRUE(std::all_of(data.begin(), data.end(), [](std::uint8_t v) { return v == 0xEE; }));
}

TEST_F(ProgrammerTest, FileReplyOfWrongLengthIsAnError)
{
    Program(kUidA, 1, 2);
    model().faults.wrongLengthFor = 114;
    std::int32_t department = 0, index = 0;
    try {
        programmer().ReadCard(department, index);
        FAIL() << "no error";
    } catch (const WUsbErr& e) {
        EXPECT_EQ(e.code, 6);
        EXPECT_EQ(e.cmd, 114);
    }
}

TEST_F(ProgrammerTest, OversizedFileDataIsNotSent)
{
    model().PlaceCard(SimCard::Blank(kUidA));
    ASSERT_TRUE(programmer().QueryCard());
    model().ClearRequests();
    std::vector<std::uint8_t> big(245);
    EXPECT_NE(programmer().WriteCardFile(1, big), 0);
    EXPECT_FALSE(programmer().ReadCardFile(1, big));
    EXPECT_TRUE(model().requests().empty());
}

TEST_F(ProgrammerTest, BackupCardGoesOnlyToTheExpectedBlankCard)
{
    std::array<std::uint8_t, 112> cert;
    for (std::size_t i = 0; i < cert.size(); ++i)
        cert[i] = static_cast<std::uint8_t>(i);

    model().PlaceCard(SimCard::Blank(kUidB));
    EXPECT_EQ(programmer().WriteBackupCard(kUidA, cert), CardUidChanged);
    EXPECT_EQ(Codes(), std::vector<std::uint8_t>{82});
    EXPECT_STREQ(CardResultText(CardUidChanged), "Niespodziewana zmiana Uid karty.");

    Program(kUidA, 1, 1);
    EXPECT_EQ(programmer().WriteBackupCard(kUidA, cert), CardHoldsData);

    model().PlaceCard(SimCard::Blank(kUidA));
    model().ClearRequests();
    ASSERT_EQ(programmer().WriteBackupCard(kUidA, cert), CardOk);
    EXPECT_EQ(Codes(), (std::vector<std::uint8_t>{82, 112, 80}));
    EXPECT_EQ(PayloadOf(112), Concat({{2}, UidBytes(kUidA)}));
    EXPECT_EQ(PayloadOf(80), Concat({{7}, UidBytes(kUidA), Bytes(cert.begin(), cert.end())}));
    EXPECT_EQ(model().card()->appState, 2);
}

TEST_F(ProgrammerTest, ResultTexts)
{
    EXPECT_STREQ(CardResultText(2), "Karta innego typu (nie DesFire) w polu programatora.");
    EXPECT_STREQ(CardResultText(3), "Karta jest pusta.");
    EXPECT_STREQ(CardResultText(4), "Karta już zawiera jakieś dane.");
    EXPECT_STREQ(CardResultText(6), "Błąd przygotowania karty Qo ZEL.");
    EXPECT_STREQ(CardResultText(7), "Błąd przy zapisie pliku na karcie.");
    EXPECT_STREQ(CardResultText(8), "Błąd przy kasowaniu karty.");
    EXPECT_STREQ(CardResultText(9), "Błąd przy odczycie pliku z karty.");
    EXPECT_STREQ(CardResultText(0), "Błąd, ale brak opisu błądu.");
    EXPECT_STREQ(CardResultText(10), "Błąd, ale brak opisu błądu.");
}

TEST(PrgrKeyState, NeedsAllThreeKeyBits)
{
    EXPECT_STREQ(PrgrKeyStateText(0x0087), "tymczasowe");
    EXPECT_STREQ(PrgrKeyStateText(0x0007), "docelowe");
    EXPECT_STREQ(PrgrKeyStateText(0x0083), "brak");
    EXPECT_STREQ(PrgrKeyStateText(0x0006), "brak");
}

TEST_F(ProgrammerTest, RefreshReadsTheSignatureOfCompleteKeysOnly)
{
    programmer().Refresh();
    EXPECT_EQ(programmer().info.flags & 0x0087, 0x0007);
    EXPECT_EQ(programmer().keySignature, 0x5EED0001u);
}

TEST(ProgrammerSignature, IsTheFirstFourBytesOfALongEnoughReply)
{
    // A programmer with all three keys, answering command 115 as scripted.
    test::SimBulkBench<ZelCfgPrgr, sim::ScriptedModel> bench{
        kProgrammerGuid, std::make_shared<sim::ScriptedModel>(0x0233, 0x0230, 2, 0x0007)};
    ASSERT_TRUE(bench.opened);
    // The bytes of each reply count up from 1.
    for (std::size_t length : {1u, 3u, 4u, 5u, 32u}) {
        Bytes reply(length);
        for (std::size_t i = 0; i < length; ++i)
            reply[i] = static_cast<std::uint8_t>(i + 1);
        bench.model->replies[115] = reply;
        bench.device.keySignature = 0x11111111;
        if (length < 4) {
            const WUsbErr e = testing::ErrorOf<WUsbErr>([&] { bench.device.Refresh(); });
            EXPECT_EQ(e.code, 6) << length;
            EXPECT_EQ(e.cmd, 115) << length;
            EXPECT_EQ(bench.device.keySignature, 0x11111111u) << length;
        } else {
            EXPECT_NO_THROW(bench.device.Refresh()) << length;
            EXPECT_EQ(bench.device.keySignature, 0x04030201u) << length;
        }
    }
}

TEST_F(ProgrammerTest, ResetWithItsOwnCertificateWhileKeysAreTemporary)
{
    model().PreloadKeys(MasterKey(2), 0x7E3F, true);
    programmer().Refresh();
    ASSERT_EQ(programmer().keySignature, 0x7E3Fu);
    model().login.Logout();  // no login is needed

    const std::uint32_t ownId = model().DeviceId();
    QoG30::Certificate cert{};
    ASSERT_TRUE(programmer().IssueResetCertificate(ownId, cert));
    EXPECT_EQ(PayloadOf(107), (Bytes{2, 63, static_cast<std::uint8_t>(ownId), static_cast<std::uint8_t>(ownId >> 8),
                                     static_cast<std::uint8_t>(ownId >> 16), static_cast<std::uint8_t>(ownId >> 24)}));
    ASSERT_EQ(programmer().ResetWithCertificate(cert), 0);
    EXPECT_EQ(PayloadOf(104), Bytes(cert.begin(), cert.end()));

    programmer().Refresh();
    EXPECT_EQ(programmer().info.flags, 0x0100);
    EXPECT_EQ(programmer().keySignature, 0u);
}

TEST_F(ProgrammerTest, TargetKeysResetOnlyWithTheArkansCountersignature)
{
    test::SimBulkBench<ZelCfgAr, sim::ArkanModel> arkan{kArkanGuid};
    arkan.model->PreloadMasterKey({false, {}, 0x5EED0001, MasterKey(1)});
    EXPECT_TRUE(test::LogInAdmin(*arkan.model));
    const std::uint32_t arkanId = arkan.model->DeviceId();

    QoG30::Certificate own{};
    ASSERT_TRUE(programmer().IssueResetCertificate(model().DeviceId(), own));
    EXPECT_NE(programmer().ResetWithCertificate(own), 0);

    QoG30::Certificate cert{};
    ASSERT_TRUE(programmer().IssueResetCertificate(arkanId, cert));
    EXPECT_NE(programmer().ResetWithCertificate(cert), 0);  // not yet signed
    ZelArkan::Certificate signedCert{};
    ASSERT_TRUE(arkan.device.SignCertificate(cert, signedCert));
    ASSERT_EQ(programmer().ResetWithCertificate(signedCert), 0);
    programmer().Refresh();
    EXPECT_EQ(programmer().info.flags & 7, 0);
}

TEST_F(ProgrammerTest, KeysFromTheArkanGiveTheArkansSignature)
{
    test::SimBulkBench<ZelCfgAr, sim::ArkanModel> arkan{kArkanGuid};
    arkan.model->PreloadMasterKey({true, {}, 0x0C0FFEE0, MasterKey(3)});
    EXPECT_TRUE(test::LogInAdmin(*arkan.model));
    model().PreloadKeys(MasterKey(2), 0x7E3F, true);

    const std::uint32_t programmerId = model().DeviceId();
    std::array<QoG30::Certificate, 3> certs{};
    for (std::uint8_t k = 0; k < 3; ++k)
        ASSERT_TRUE(arkan.device.IssueCertificate(0, static_cast<std::uint8_t>(18 + k), programmerId, certs[k]));
    // A certificate for another device is refused.
    ZelArkan::Certificate foreign{};
    ASSERT_TRUE(arkan.device.IssueCertificate(0, 18, programmerId + 1, foreign));
    EXPECT_NE(programmer().LoadKeyCertificate(foreign), 0);

    for (const auto& cert : certs) {
        ASSERT_EQ(programmer().LoadKeyCertificate(cert), 0);
        EXPECT_EQ(PayloadOf(75), Bytes(cert.begin(), cert.end()));
    }
    programmer().Refresh();
    arkan.device.Refresh();
    EXPECT_EQ(programmer().keySignature, arkan.device.keySignature);
    EXPECT_EQ(programmer().info.flags & 0x0087, 0x0087);

    // Cards programmed now are read back by these keys.
    Program(kUidA, 42, 43);
    std::int32_t department = 0, index = 0;
    EXPECT_EQ(programmer().ReadCard(department, index), CardOk);
    EXPECT_EQ(department, 42);
}

TEST_F(ProgrammerTest, LogoutEndsTheLogin)
{
    programmer().Logout();
    EXPECT_FALSE(model().login.adminLoggedIn());
    EXPECT_TRUE(PayloadOf(108).empty());
    // Without the login nothing is written to a card.
    model().PlaceCard(SimCard::Blank(kUidA));
    EXPECT_EQ(programmer().ProgramCard(1, 1), PrepareFailed);
}

} // namespace
} // namespace qozel
