// The Readers tab's table, events and selected-reader pane, driven by passes
// and clicks on the simulated installation.
#include "CycleFixture.h"

#include "ArkanModel.h"

#include <gmock/gmock.h>

namespace qozel::test {
namespace {

using Cells = ReaderRowCells;
constexpr std::array<std::uint8_t, 8> kUid{0xDE, 0xAD, 0xBE, 0xEF, 0x01, 0x02, 0x03, 0x04};
constexpr std::uint8_t kModuleRow = 6;

class ReadersTab : public CycleTest {
protected:
    void SetUp() override { Pass(); }
    void Event(int reader, sim::Bytes bytes) { install.manager->EmitEvent(Reader(reader).id(), bytes); }
};

TEST_F(ReadersTab, RowsShowTheReadersWithAddressZeroInRedAndRegularType)
{
    Reader(2).address = 0;
    Pass();
    EXPECT_EQ(Row(0).text[Cells::Type], "QO-V70");
    EXPECT_EQ(Row(0).text[Cells::Baud], "9600");
    EXPECT_EQ(Row(0).addressColour, Colour::WindowText);
    EXPECT_TRUE(Row(0).bold);
    EXPECT_EQ(Row(2).text[Cells::Addr], "0");
    EXPECT_EQ(Row(2).addressColour, Colour::Red);
    EXPECT_FALSE(Row(2).bold);
    EXPECT_TRUE(Row(0).enabled);
    EXPECT_FALSE(Row(7).enabled);
}

TEST_F(ReadersTab, ARateOfZeroAsksForTheRateInRed)
{
    install.manager->baud100 = 0;
    install.Unplug(sim::SimInstallation::Device::Manager);
    Pass();
    install.Plug(sim::SimInstallation::Device::Manager);
    Pass();
    EXPECT_EQ(cycle.table.Header().rateLabel, "Ustaw Prędkość OSDP Bus:");
    EXPECT_EQ(cycle.table.Header().rateColour, Colour::Red);
    EXPECT_EQ(cycle.table.Header().rateItem, -1);
    EXPECT_EQ(Row(0).background[Cells::Type], Colour::Yellow);  // every reader is offline without a rate
}

TEST_F(ReadersTab, EventMarksLastFiveSecondsAfterTheLastCardAndStatusDoesNotExtendThem)
{
    install.manager->PresentCard(Reader(0), kUid);
    Pass();
    EXPECT_EQ(Row(0).text[Cells::Uid], kTickMark);
    EXPECT_EQ(Row(0).background[Cells::Uid], Colour::Lime);
    EXPECT_EQ(cycle.table.CardData().uid, "DEADBEEF01020304");
    install.clock.AdvanceMs(3000);
    install.manager->PresentCard(Reader(0), kUid);
    Pass();
    install.clock.AdvanceMs(4000);
    install.manager->ChangeInputs(Reader(0), 0, 0);
    Pass();
    EXPECT_EQ(Row(0).text[Cells::Uid], kTickMark);
    install.clock.AdvanceMs(1500);
    Pass();
    EXPECT_EQ(Row(0).text[Cells::Uid], "");
    EXPECT_EQ(Row(0).background[Cells::Uid], Colour::Window);
    EXPECT_EQ(Row(0).background[Cells::Pwr], Colour::Lime);
}

TEST_F(ReadersTab, StatusEventsColourPowerAndOnlyTheTamperInputsAReaderHas)
{
    Reader(1).options = ReaderRecord::kHasTamper1;
    Pass();
    Event(1, {ReaderEvent::InputStatus, 0x03, 0x01});
    Pass();
    EXPECT_EQ(Row(1).background[Cells::Pwr], Colour::Red);
    EXPECT_EQ(Row(1).background[Cells::Tamp1], Colour::Red);
    EXPECT_EQ(Row(1).background[Cells::Tamp2], Colour::Window);
}

TEST_F(ReadersTab, PinShowsAtMostEightCharactersThatArrived)
{
    Event(0, {ReaderEvent::Pin, '1', '2', '3', '4', '5', '6', '7', '8', '9'});
    Pass();
    EXPECT_EQ(Row(0).text[Cells::Pin], "12345678");
    Event(0, {ReaderEvent::Pin, '4', '2'});
    Pass();
    EXPECT_EQ(Row(0).text[Cells::Pin], "42");
}

TEST_F(ReadersTab, CardDataShowsTheFieldsTheReaderSends)
{
    Reader(0).config = {0, 0, 0x06};  // department and index
    Pass();
    Event(0, {ReaderEvent::CardData, 0, 0x9F, 0x86, 0x01, 0x00, 0xFF, 0xFF, 0xFF, 0xFF});
    Pass();
    EXPECT_EQ(cycle.table.CardData().uid, "");
    EXPECT_EQ(cycle.table.CardData().department, "99999");
    EXPECT_EQ(cycle.table.CardData().index, "-1");
    EXPECT_EQ(Row(0).text[Cells::Data], kTickMark);
}

TEST_F(ReadersTab, EventsTooShortForTheirKindChangeNothing)
{
    Reader(0).config = {0, 0, 0x07};
    Pass();
    const std::vector<sim::Bytes> shortEvents = {
        {ReaderEvent::CardUid, 0, 1, 2, 3, 4, 5, 6, 7},
        {ReaderEvent::RoRe, 0, 1, 2, 3, 4, 5, 6, 7},
        {ReaderEvent::CardData, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15},
        {ReaderEvent::InputStatus, 0},
    };
    for (const auto& bytes : shortEvents) {
        Event(0, bytes);
        Pass();
        EXPECT_EQ(Row(0).text[Cells::Uid] + Row(0).text[Cells::Data] + Row(0).text[Cells::Tel], "");
        EXPECT_EQ(Row(0).background[Cells::Pwr], Colour::Window);
        EXPECT_EQ(cycle.table.CardData(), CardDataBox{});
    }
}

TEST_F(ReadersTab, ASelectedReaderGoingOfflineIsDeselectedAndThePaneEmptied)
{
    cycle.pane.RdTabEditClick(1);
    EXPECT_EQ(Row(1).background[Cells::Type], Colour::Lime);
    EXPECT_EQ(cycle.pane.Fields().readerName, "QO-V72 Nr: 258, Soft: 3");
    EXPECT_EQ(cycle.pane.Fields().supplyU, "12.3");
    Reader(1).connected = false;
    Pass();
    EXPECT_EQ(cycle.table.Selected(), -1);
    EXPECT_EQ(Row(1).background[Cells::Type], Colour::Yellow);
    EXPECT_FALSE(Row(1).enabled);
    EXPECT_EQ(cycle.pane.Fields().readerName, "");
    EXPECT_EQ(cycle.pane.Fields().address, "");
    EXPECT_FALSE(cycle.pane.Fields().paneEnabled);
}

TEST_F(ReadersTab, ReadersLeavingTheListAreDrawnUnlistedAndLoseTheSelection)
{
    cycle.pane.RdTabEditClick(6);
    install.manager->bus.resize(4);
    Pass();
    EXPECT_EQ(cycle.table.Selected(), -1);
    for (int row : {4, 5, 6}) {
        EXPECT_EQ(Row(row).text[Cells::Type], "");
        EXPECT_FALSE(Row(row).enabled);
    }
    install.manager->AddReader(0x0105, 78, 3);
    Pass();
    EXPECT_EQ(Row(4).text[Cells::Type], "QO-V78");
    EXPECT_TRUE(Row(4).enabled);
}

TEST_F(ReadersTab, LosingTheManagerEmptiesEveryRowUsedEvenWithAllThirtyTwo)
{
    while (install.manager->bus.size() < 32)
        install.manager->AddReader(static_cast<std::uint16_t>(0x0200 + install.manager->bus.size()), 70, 3);
    Pass();
    install.Unplug(sim::SimInstallation::Device::Manager);
    Pass();
    for (int row = 0; row < 32; ++row)
        EXPECT_EQ(Row(row).text[Cells::Type], "") << row;
    EXPECT_EQ(cycle.table.Header().managerText, "Brak QoZEL Managera");
}

TEST_F(ReadersTab, AReaderWithoutAddressIsOfferedTheNextAndTypedAddressesAreClampedTo126)
{
    Reader(3).address = 0;
    Pass();
    cycle.pane.RdTabEditClick(3);
    EXPECT_EQ(cycle.pane.Fields().address, "8");  // the module has 7
    cycle.pane.Fields().address = "200";
    cycle.pane.RdAddrEditExit();
    EXPECT_EQ(cycle.pane.Fields().address, "126");
    cycle.pane.Fields().address = "250";  // typed, focus never left the edit
    cycle.pane.RdWrAddrBtnClick();
    EXPECT_EQ(Reader(3).address, 126);
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(ReadersTab, AddressZeroIsAnnouncedThenWrittenAndADuplicateIsRefused)
{
    cycle.pane.RdTabEditClick(0);
    cycle.pane.Fields().address = "0";
    cycle.pane.RdWrAddrBtnClick();
    EXPECT_EQ(Reader(0).address, 0);
    cycle.pane.Fields().address = "3";
    cycle.pane.RdWrAddrBtnClick();
    EXPECT_EQ(Reader(0).address, 0);
    EXPECT_THAT(prompts.Messages(),
                ::testing::ElementsAre(
                    "Ustawiając Adres = 0 oznaczasz czytnik jako nie posiadający jeszcze ustawionego adresu.",
                    "Ten adres jest już przypisany innemu czytnikowi."));
}

TEST_F(ReadersTab, AnActionWhoseReaderWentOfflineMeanwhileStopsWithTheSelectionMessage)
{
    cycle.pane.RdTabEditClick(0);
    Reader(0).connected = false;  // noticed only by the action's own pass
    install.manager->ClearRequests();
    cycle.pane.RdCfg0WrBtnClick();
    EXPECT_EQ(prompts.Messages(), std::vector<std::string>{app_texts::kSelectedReaderGone});
    EXPECT_EQ(ManagerCount(ZelManager::kCmdWriteReaderConfig), 0u);
}

TEST_F(ReadersTab, SelectingTheModuleReadsItsThreeRecordsAndARefusalLeavesTheControls)
{
    cycle.pane.RdTabEditClick(kModuleRow);
    EXPECT_EQ(ManagerCount(ZelManager::kCmdReadModuleData), 3u);
    EXPECT_TRUE(cycle.pane.Fields().moduleEnabled);
    EXPECT_EQ(cycle.pane.Fields().module.activityIndex, 1);
    EXPECT_EQ(cycle.pane.Fields().module1Name, "QO-V70 Nr: 2631, Soft: 1");
    cycle.pane.RdTabEditClick(0);
    EXPECT_EQ(cycle.pane.Fields().module1Name, "");
    EXPECT_FALSE(cycle.pane.Fields().moduleEnabled);

    cycle.pane.Fields().module.activityIndex = 9;
    Reader(kModuleRow).forcedAnswers[ZelManager::kCmdReadModuleData] = {1};
    cycle.pane.RdTabEditClick(kModuleRow);
    EXPECT_EQ(cycle.pane.Fields().module.activityIndex, 9);
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(ReadersTab, KeysGoToEveryOnlineReaderTwoCertificatesEach)
{
    install.manager->bus.resize(3);
    Reader(2).connected = false;
    sim::ArkanModel::MasterKey key;
    key.signature = 0x4242;
    install.arkan->PreloadMasterKey(key);
    GiveAdminPassword(install.arkan->login);
    Pass(3);
    prompts.AnswerDialog(kPassword);
    install.manager->ClearRequests();
    cycle.pane.RdWrKeysBtnClick();
    EXPECT_EQ(ManagerCount(ZelManager::kCmdWriteReaderKeyCertificate), 4u);
    EXPECT_TRUE(Reader(0).HoldsKeys() && Reader(1).HoldsKeys());
    EXPECT_FALSE(Reader(2).HoldsKeys());
    EXPECT_EQ(prompts.Messages().back(), "Klucze wpisane do wszystkich dostępnych czytników.");
}

TEST_F(ReadersTab, AManagerLostDuringAnActionIsClosedWithItsMessage)
{
    cycle.pane.RdTabEditClick(0);
    install.manager->faults.disconnectAt = ZelManager::kCmdWriteReaderConfig;
    cycle.pane.RdCfg0WrAllBtnClick();
    EXPECT_FALSE(cycle.manager.IsOpen());
    EXPECT_EQ(prompts.Messages(), std::vector<std::string>{app_texts::kManagerNoConnection});
    EXPECT_TRUE(view.timerEnabled);
}

} // namespace
} // namespace qozel::test
