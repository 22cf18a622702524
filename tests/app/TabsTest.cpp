// The Cards, Installation key and Recovery tabs on the simulated installation.
#include "CycleFixture.h"

#include "SimCertificate.h"
#include "devices/programmer/QoG30.h"

#include <gmock/gmock.h>

namespace qozel::test {
namespace {

using ::testing::ElementsAre;
constexpr std::array<std::uint8_t, 8> kCardUid{0x04, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77};
constexpr std::uint8_t kWriteConfig = 67;

class Tabs : public CycleTest {
protected:
    void SetUp() override
    {
        GiveAdminPassword(install.arkan->login);
        GiveAdminPassword(install.programmer->login);
        std::array<std::uint8_t, 32> masterKey{};
        masterKey.fill(0x33);
        install.programmer->PreloadKeys(masterKey, 0x5EED, true);
        Pass(3);
    }
    void Show(WindowView::Tab tab)
    {
        view.tab = tab;
        cycle.RefreshShownTab();
    }
    std::vector<sim::Bytes> KbConfigHalves() const
    {
        std::vector<sim::Bytes> halves;
        for (const auto& request : install.kbReader->requests())
            if (request.code == kWriteConfig)
                halves.push_back(request.payload);
        return halves;
    }
    void FillGrain(int clicks)
    {
        for (int i = 0; i < clicks; ++i)
            cycle.keyTab.KeyGrainMemoMouseDown(10 * i, 20 * i);
    }
    // Gives the Arkan `key` and opens it again, as its signature is read when it is opened.
    void ReopenArkanWith(const sim::ArkanModel::MasterKey& key)
    {
        install.arkan->PreloadMasterKey(key);
        install.Unplug(sim::SimInstallation::Device::Arkan);
        Pass(3);
        install.Plug(sim::SimInstallation::Device::Arkan);
        Pass(3);
    }
    CardsTab& cards = cycle.cardsTab;
};

TEST_F(Tabs, PanesShowTheDevicesAndASignatureMismatch)
{
    sim::ArkanModel::MasterKey key;
    key.signature = 0x1111;
    ReopenArkanWith(key);
    Show(WindowView::Tab::Cards);
    const DevicePane& programmer = cards.Fields().programmer;
    EXPECT_EQ(programmer.line, "Programator QO-G30 Nr: 563, Soft: 5");
    EXPECT_EQ(programmer.keys, "tymczasowe");
    EXPECT_EQ(programmer.signature, "00005EED");
    EXPECT_TRUE(programmer.mismatch);
    install.Unplug(sim::SimInstallation::Device::KbReader);
    Pass(3);
    EXPECT_EQ(cards.Fields().kbReader.line, "Brak Czytnika klawiaturowego QO-K31");
    EXPECT_EQ(cards.Fields().kbReader.lineColour, Colour::Red);
    EXPECT_FALSE(cards.Fields().kbReader.present);
}

TEST_F(Tabs, ProgrammingACardLogsInFirstAndShowsItsUid)
{
    Show(WindowView::Tab::Cards);
    install.programmer->PlaceCard(sim::SimCard::Blank(kCardUid));
    prompts.AnswerDialog(kPassword);
    cards.TagProgrTagBtnClick();  // both edits empty: department 0, index 0
    EXPECT_EQ(prompts.shown.size(), 1u);  // the login dialog, no message
    EXPECT_EQ(cards.Fields().programmedUid, "0411223344556677");
    EXPECT_EQ(view.animations, std::vector<WindowView::SuccessBar>{WindowView::SuccessBar::CardProgrammed});

    cards.TagReadTagBtnClick();
    EXPECT_EQ(cards.Fields().readUid, "0411223344556677");
    EXPECT_EQ(cards.Fields().readDepartment, "0");
    EXPECT_EQ(cards.Fields().readIndex, "0");
}

TEST_F(Tabs, CardOperationsReportTheCardsResult)
{
    Show(WindowView::Tab::Cards);
    prompts.AnswerDialog(kPassword);
    cards.TagProgrTagBtnClick();
    sim::SimCard foreign = sim::SimCard::Blank(kCardUid);
    foreign.type = 1;
    install.programmer->PlaceCard(foreign);
    cards.TagClearTagBtnClick();
    install.programmer->PlaceCard(sim::SimCard::Blank(kCardUid));
    cards.TagReadTagBtnClick();
    EXPECT_THAT(prompts.Messages(),
                ElementsAre(CardResultText(NoCard), CardResultText(NotDesfire), CardResultText(CardBlank)));
    EXPECT_EQ(cards.Fields().programmedUid, "");
    EXPECT_EQ(cards.Fields().readUid, "");
}

TEST_F(Tabs, TheKeyboardReaderConfigurationComesFromTheControls)
{
    Show(WindowView::Tab::Cards);
    cards.TagWrCfgBtnClick();
    cards.Fields().outputFields[3].separatorItem = 6;  // ":" before the index, whose field is off
    cards.Fields().endItem = 13;                       // "|" at the end
    cards.TagWrCfgBtnClick();
    EXPECT_THAT(KbConfigHalves(), ElementsAre(sim::Bytes{0, 0, 0, 1, 0, 0, 0, 0, 0},
                                              sim::Bytes{1, 0, 0, 0, 0, 0, 0, 0, 0x84},
                                              sim::Bytes{0, 0, 0, 1, 0, 0, 0, 0, 0},
                                              sim::Bytes{1, 0, 0, 0, 0, 0xB3, 0xB1, 0, 0x84}));
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(Tabs, SixteenClicksFillTheGrainAndChangeItsLabelOnce)
{
    Show(WindowView::Tab::Key);
    FillGrain(15);
    EXPECT_EQ(cycle.keyTab.Fields().level, 60);
    cycle.keyTab.KeyGenKeyMiBtnClick();
    EXPECT_EQ(prompts.Messages(), std::vector<std::string>{kGrainTooLowText});
    EXPECT_EQ(cycle.keyTab.Fields().key, "");
    FillGrain(1);
    EXPECT_EQ(cycle.keyTab.Fields().level, 64);
    EXPECT_TRUE(cycle.keyTab.Fields().grainSufficient);
    const std::string grain = cycle.keyTab.Fields().grainFirstHalf;
    FillGrain(1);
    EXPECT_NE(cycle.keyTab.Fields().grainFirstHalf, grain);
    cycle.keyTab.KeyGenKeyMiBtnClick();
    EXPECT_EQ(cycle.keyTab.Fields().key.size(), 64u);
    EXPECT_EQ(cycle.keyTab.Fields().signature.size(), 8u);
}

TEST_F(Tabs, WithoutTheSystemsRandomBytesNoKeyIsGenerated)
{
    Show(WindowView::Tab::Key);
    FillGrain(16);
    cycle.grain.UseRandomSource([](std::span<std::uint8_t>) { throw std::runtime_error("no entropy"); });
    cycle.keyTab.KeyGenKeyMiBtnClick();
    EXPECT_EQ(prompts.Messages(), std::vector<std::string>{app_texts::kNoRandomness});
    EXPECT_EQ(cycle.keyTab.Fields().key, "");
}

TEST_F(Tabs, ATargetKeyWarningClosedWithoutOkStoresNothingAndKeepsTheKey)
{
    Show(WindowView::Tab::Key);
    FillGrain(16);
    cycle.keyTab.KeyGenKeyMiBtnClick();
    cycle.keyTab.Fields().target = true;
    cycle.keyTab.Fields().symbol = "FIRMA";
    install.arkan->ClearRequests();
    prompts.CloseNextMessage();
    cycle.keyTab.ArkamKeyMIBtnClick();
    EXPECT_EQ(install.arkan->CountOf(ZelArkan::kCmdStore), 0u);
    EXPECT_EQ(cycle.keyTab.Fields().key.size(), 64u);

    prompts.AnswerDialog(kPassword);
    cycle.keyTab.ArkamKeyMIBtnClick();
    ASSERT_TRUE(install.arkan->masterKey().has_value());
    EXPECT_FALSE(install.arkan->masterKey()->temporary);
    EXPECT_EQ(cycle.keyTab.Fields().key, "");
    EXPECT_EQ(cycle.keyTab.Fields().symbol, "");
    Pass(3);
    EXPECT_FALSE(cycle.keyTab.Fields().editable);
}

TEST_F(Tabs, RecoveringATemporaryKeyArkanResetsItWithoutAnyDialogAndDropsItsSignature)
{
    sim::ArkanModel::MasterKey key;
    key.temporary = true;
    key.signature = 0x4444;
    ReopenArkanWith(key);
    ASSERT_EQ(install.manager->keySignature, 0x4444u);
    Show(WindowView::Tab::Recovery);
    cycle.recoveryTab.OdzArPassSetBtnClick();
    EXPECT_EQ(prompts.Messages(), std::vector<std::string>{"Arkan został przywrócony do ustawień fabrycznych."});
    EXPECT_EQ(prompts.shown.size(), 1u);
    EXPECT_FALSE(install.arkan->masterKey().has_value());
    Pass();
    EXPECT_EQ(install.manager->keySignature, 0u);
    Show(WindowView::Tab::Key);
    EXPECT_EQ(cycle.keyTab.Fields().arkan.signature, "--------");
}

TEST_F(Tabs, RecoveringATargetKeyArkanWithoutAMatchingReaderFailsAfterTheDialog)
{
    sim::ArkanModel::MasterKey key;
    key.signature = 0x7777;
    install.arkan->PreloadMasterKey(key);
    Pass(3);
    prompts.AnswerDialog("nowehaslo1");
    cycle.recoveryTab.OdzArPassSetBtnClick();
    ASSERT_EQ(prompts.shown.size(), 2u);
    EXPECT_EQ(prompts.shown[0].kind, sim::ScriptedPrompts::Kind::SetPass2Dlg);
    EXPECT_EQ(prompts.shown[1].text,
              "Żaden z czytników na szynie RS485 nie ma kluczy\no tej samej sygnaturze co klucze w Arkan.");
}

class RestoreFromBackupCard : public Tabs {
protected:
    void SetUp() override
    {
        Tabs::SetUp();
        Reader(0).keyBits = sim::SimReader::kKey21 | sim::SimReader::kKey22;
        Reader(0).keySignature = 0xABCD;
        Pass();
        prompts.AnswerDialog(kPassword);
        cycle.recoveryTab.OdzKeyMiFromTagBtnClick();
        install.manager->ClearRequests();
    }
    sim::Bytes BackupCertificate() const
    {
        sim::CertificateContent content;
        content.certClass = 3;
        content.number = 17;
        content.issuerId = install.arkan->DeviceId();
        content.keySignature = 0xABCD;
        content.cardUid = kCardUid;
        content.key.fill(0x42);
        return sim::SealCertificate(content, 112);
    }
};

TEST_F(RestoreFromBackupCard, ACardPresentedStoresTheMasterKeyAndEndsBackupReading)
{
    EXPECT_EQ(Reader(0).readingMode, 7);
    ASSERT_TRUE(install.manager->PresentBackupCard(Reader(0), kCardUid, BackupCertificate()));
    Pass();
    ASSERT_TRUE(install.arkan->masterKey().has_value());
    EXPECT_EQ(install.arkan->masterKey()->signature, 0xABCDu);
    EXPECT_EQ(Reader(0).readingMode, 1);
    EXPECT_EQ(prompts.Messages().back(), "Klucz Master Instalacji z karty backup zapisany w Arkan.");
    // The restored key's signature reaches the Manager and the key tab at the next pass.
    Pass();
    EXPECT_EQ(install.manager->keySignature, 0xABCDu);
    Show(WindowView::Tab::Key);
    EXPECT_EQ(cycle.keyTab.Fields().arkan.signature, "0000ABCD");
}

TEST_F(RestoreFromBackupCard, WithoutACardTheReadersReturnToNormalOnceAndNothingIsSaid)
{
    const auto messages = prompts.Messages().size();
    Pass(250);
    EXPECT_EQ(ManagerCount(ZelManager::kCmdSetReadingMode), 1u);
    EXPECT_EQ(Reader(0).readingMode, 1);
    EXPECT_EQ(prompts.Messages().size(), messages);
}

} // namespace
} // namespace qozel::test
