#include "DevSetFixture.h"

#include "devset/DevSetTexts.h"

#include "SimCard.h"
#include "SimCertificate.h"

namespace qozel::test {
namespace {

namespace texts = devset_texts;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr std::array<std::uint8_t, 8> kUid = {1, 2, 3, 4, 5, 6, 7, 8};
constexpr std::array<std::uint8_t, 32> kMaster = [] {
    std::array<std::uint8_t, 32> key{};
    key.fill(0x3C);  // as MasterKey() of the fixture
    return key;
}();

class BackupCard : public DevSetTest {
protected:
    // A target key in the Arkan, the programmer keyed from it, a blank card.
    void SetUp() override
    {
        programmer->PreloadKeys(kMaster, 0x4444, false);
        programmer->PlaceCard(sim::SimCard::Blank(kUid));
    }
};

TEST_F(BackupCard, WritesTheArkansCertificateForThisCard)
{
    PlugInstalled(MasterKey(false, 0x4444));
    prompts.AnswerDialog(kPassword);
    EXPECT_TRUE(set.MakeBackupCard());
    EXPECT_THAT(Messages(), ElementsAre(texts::kBackupCardWritten));
    const auto& card = programmer->card();
    ASSERT_TRUE(card);
    EXPECT_EQ(card->appState, 2);
    ASSERT_TRUE(card->files.count(7));
    EXPECT_EQ(card->files.at(7).size(), 112u);
    // What the certificate carries: the Arkan's master key for this card,
    // asked for on behalf of this programmer.
    const auto content = sim::OpenCertificate(card->files.at(7));
    ASSERT_TRUE(content);
    EXPECT_EQ(content->certClass, 3);
    EXPECT_EQ(content->number, 17);
    EXPECT_EQ(content->issuerId, arkan->DeviceId());
    EXPECT_EQ(content->targetId, programmer->DeviceId());
    EXPECT_EQ(content->keySignature, 0x4444u);
    EXPECT_TRUE(std::equal(kUid.begin(), kUid.end(), content->cardUid.begin()));
    EXPECT_EQ(content->key, MasterKey(false, 0x4444).key);
}

TEST_F(BackupCard, TemporaryKeyIsNotBackedUp)
{
    programmer->PreloadKeys(kMaster, 0x4444, true);
    PlugInstalled(MasterKey(true, 0x4444));
    prompts.AnswerDialog(kPassword);
    EXPECT_FALSE(set.MakeBackupCard());
    EXPECT_THAT(Messages(), ElementsAre(texts::kNoTargetKey));
    EXPECT_EQ(programmer->CountOf(82), 0u);
    EXPECT_EQ(arkan->CountOf(107), 0u);
}

TEST_F(BackupCard, ProgrammerWithoutKeysOrWithOtherKeysIsRefused)
{
    PlugInstalled(MasterKey(false, 0x5555));
    prompts.AnswerDialog(kPassword);
    EXPECT_FALSE(set.MakeBackupCard());
    EXPECT_THAT(Messages(), ElementsAre(texts::kSignaturesDiffer));
    EXPECT_EQ(programmer->CountOf(82), 0u);
}

TEST_F(BackupCard, CardHoldingDataIsRefusedBeforeTheArkanIsAsked)
{
    sim::SimCard card = sim::SimCard::Blank(kUid);
    card.appState = 1;
    programmer->PlaceCard(card);
    PlugInstalled(MasterKey(false, 0x4444));
    prompts.AnswerDialog(kPassword);
    EXPECT_FALSE(set.MakeBackupCard());
    EXPECT_THAT(Messages(), ElementsAre("Karta już zawiera jakieś dane."));
    EXPECT_EQ(arkan->CountOf(107), 0u);
}

TEST_F(BackupCard, CardSwappedAfterItsUidWasTakenIsNotWritten)
{
    arkan->PreloadMasterKey(MasterKey(false, 0x4444));
    GiveAdminPassword(arkan->login, kPassword);
    GiveAdminPassword(programmer->login, kPassword);
    // The installer swaps cards while the Arkan issues the certificate.
    const std::array<std::uint8_t, 8> otherUid = {9, 9, 9, 9, 9, 9, 9, 9};
    arDevice = PlugArkan(std::make_shared<Intercept>(arkan, [&](std::uint8_t code) -> std::optional<sim::Bytes> {
        if (code == 107)
            programmer->PlaceCard(sim::SimCard::Blank(otherUid));
        return std::nullopt;
    }));
    prDevice = PlugProgrammer(programmer);
    prompts.AnswerDialog(kPassword);
    EXPECT_FALSE(set.MakeBackupCard());
    EXPECT_THAT(Messages(), ElementsAre("Niespodziewana zmiana Uid karty."));
    EXPECT_EQ(programmer->card()->appState, 0);
    EXPECT_EQ(programmer->CountOf(112), 0u);
}

TEST_F(BackupCard, ArkanRefusingTheCertificate)
{
    PlugInstalled(MasterKey(false, 0x4444));
    arkan->faults.refuseCommand = 107;
    prompts.AnswerDialog(kPassword);
    EXPECT_FALSE(set.MakeBackupCard());
    EXPECT_THAT(Messages(), ElementsAre(texts::kArRefusesBackupCertificate));
    EXPECT_EQ(programmer->CountOf(112), 0u);
}

TEST_F(BackupCard, NoCardInTheField)
{
    programmer->TakeCard();
    PlugInstalled(MasterKey(false, 0x4444));
    prompts.AnswerDialog(kPassword);
    EXPECT_FALSE(set.MakeBackupCard());
    EXPECT_THAT(Messages(), ElementsAre("Brak karty w polu programatora."));
}

using ResetProgrammer = DevSetTest;

TEST_F(ResetProgrammer, TemporaryKeysNeedNeitherTheArkanNorALogin)
{
    programmer->PreloadKeys(kMaster, 0x4444, true);
    GiveAdminPassword(programmer->login, kPassword);
    prDevice = PlugProgrammer(programmer);
    EXPECT_TRUE(set.ResetProgrammer());
    EXPECT_THAT(Messages(), ElementsAre(texts::kPrgrResetDone));
    EXPECT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(programmer->keyBits(), 0);
    EXPECT_FALSE(programmer->login.adminPasswordSet());
    EXPECT_FALSE(set.prgr.HasKeys());
    EXPECT_EQ(set.prgr.keySignature, 0u);
}

TEST_F(ResetProgrammer, TargetKeysAreResetWithTheArkansCountersignature)
{
    programmer->PreloadKeys(kMaster, 0x4444, false);
    PlugInstalled(MasterKey(false, 0x4444));
    prompts.AnswerDialog(kPassword);
    EXPECT_TRUE(set.ResetProgrammer());
    EXPECT_THAT(Messages(), ElementsAre(texts::kPrgrResetDone));
    // The Arkan alone was logged in.
    EXPECT_EQ(prompts.shown.front().text, texts::kArLoginLine);
    EXPECT_EQ(prompts.shown.front().line2, "");
    EXPECT_EQ(arkan->CountOf(69), 1u);
    EXPECT_EQ(programmer->keyBits(), 0);
    EXPECT_EQ(set.prgr.keySignature, 0u);
}

TEST_F(ResetProgrammer, ProgrammerReplugedDuringTheArkanLoginGetsNoCommand)
{
    programmer->PreloadKeys(kMaster, 0x4444, false);
    PlugInstalled(MasterKey(false, 0x4444));
    prompts.AnswerDialog(kPassword);
    prompts.whileShown = [&](const auto& shown) {
        if (shown.kind == Kind::LoginDlg)
            Replug(prDevice);
    };
    programmer->ClearRequests();
    EXPECT_FALSE(set.ResetProgrammer());
    EXPECT_THAT(Messages(), ElementsAre(texts::kPrgrReplugged));
    EXPECT_EQ(programmer->CountOf(107), 0u);
    EXPECT_EQ(programmer->CountOf(104), 0u);
    EXPECT_EQ(arkan->CountOf(69), 0u);
    EXPECT_EQ(programmer->keyBits(), 7);
}

TEST_F(ResetProgrammer, TargetKeysOfAnotherMasterKeyAreNotReset)
{
    programmer->PreloadKeys(kMaster, 0x4444, false);
    PlugInstalled(MasterKey(false, 0x9999));
    prompts.AnswerDialog(kPassword);
    EXPECT_FALSE(set.ResetProgrammer());
    EXPECT_THAT(Messages(), ElementsAre(texts::kSignaturesDiffer));
    EXPECT_EQ(programmer->CountOf(107), 0u);
    EXPECT_EQ(programmer->keyBits(), 7);
}

TEST_F(ResetProgrammer, TargetKeysWithoutAnArkan)
{
    programmer->PreloadKeys(kMaster, 0x4444, false);
    prDevice = PlugProgrammer(programmer);
    EXPECT_FALSE(set.ResetProgrammer());
    EXPECT_THAT(Messages(), ElementsAre(texts::kArNoConnection));
    EXPECT_EQ(programmer->CountOf(107), 0u);
}

TEST_F(ResetProgrammer, RefusalsAtEachStep)
{
    programmer->PreloadKeys(kMaster, 0x4444, false);
    PlugInstalled(MasterKey(false, 0x4444));

    programmer->faults.refuseCommand = 107;
    prompts.AnswerDialog(kPassword);
    EXPECT_FALSE(set.ResetProgrammer());
    programmer->faults.refuseCommand.reset();

    arkan->faults.refuseCommand = 69;
    EXPECT_FALSE(set.ResetProgrammer());
    arkan->faults.refuseCommand.reset();

    programmer->faults.refuseCommand = 104;
    EXPECT_FALSE(set.ResetProgrammer());

    EXPECT_THAT(Messages(), ElementsAre(texts::kPrgrRefusesResetCertificate, texts::kArRefusesSigning,
                                        texts::kPrgrRefusesReset));
    EXPECT_EQ(programmer->keyBits(), 7);
}

TEST_F(ResetProgrammer, ProgrammerLostDuringTheResetIsDropped)
{
    programmer->PreloadKeys(kMaster, 0x4444, true);
    prDevice = PlugProgrammer(programmer);
    programmer->faults.disconnectAt = 104;
    EXPECT_FALSE(set.ResetProgrammer());
    EXPECT_THAT(Messages(), ElementsAre(texts::kPrgrNoConnection));
    EXPECT_FALSE(set.prgr.IsOpen());
}

} // namespace
} // namespace qozel::test
