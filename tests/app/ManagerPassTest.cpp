// The Manager pass of the poll cycle on a simulated installation: attaching,
// the signature, reader maintenance, events, the backup-card wait, closing.
#include "CycleFixture.h"

#include "link/DeviceErrors.h"

#include <gmock/gmock.h>

namespace qozel::test {
namespace {

using ::testing::ElementsAre;
using sim::SimInstallation;

constexpr std::uint8_t kReadState = 77, kReaderList = 78, kSetReaderAddress = 65, kReadingMode = 114,
                       kSetKeySignature = 115, kSetTime = 116, kIdentify = 83;

sim::ArkanModel::MasterKey KeyWithSignature(std::uint32_t signature)
{
    sim::ArkanModel::MasterKey key;
    key.signature = signature;
    key.key.fill(0x5A);
    return key;
}

TEST_F(CycleTest, AttachingAManagerReadsItsStateSetsTheClockAndReadsTheList)
{
    Pass();
    EXPECT_THAT(ManagerCodes(), ElementsAre(kReadState, kSetTime, kReaderList));
    EXPECT_EQ(install.manager->clock, 1'700'000'000u);
    EXPECT_EQ(cycle.manager.readerCount, 7);
    EXPECT_TRUE(view.timerEnabled);
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_EQ(cycle.table.Header().managerText, "QoZEL Manager Nr: 49, Soft: 4");
}

TEST_F(CycleTest, NoDeviceAttachedShowsNoManagerAndNoMessage)
{
    for (auto device : {SimInstallation::Device::Arkan, SimInstallation::Device::Programmer,
                        SimInstallation::Device::KbReader, SimInstallation::Device::Manager})
        install.Unplug(device);
    Pass(6);
    EXPECT_EQ(cycle.table.Header().managerText, "Brak QoZEL Managera");
    EXPECT_EQ(cycle.table.Header().managerColour, Colour::Red);
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_TRUE(view.timerEnabled);
}

TEST_F(CycleTest, TwoManagersAreWarnedOnceAndTheRemainingOneIsOpened)
{
    auto second = std::make_shared<sim::ManagerModel>(0x0032);
    auto secondDevice = std::make_shared<sim::SimUsbDevice>(kManagerGuid, second);
    install.usb.Attach(secondDevice);
    Pass(5);
    EXPECT_EQ(prompts.Messages(), std::vector<std::string>{app_texts::kOneManagerOnly});
    EXPECT_FALSE(cycle.manager.IsOpen());
    install.usb.Detach(*secondDevice);
    Pass();
    EXPECT_TRUE(cycle.manager.IsOpen());
}

TEST_F(CycleTest, AnArkanAttachedLaterSendsItsSignatureAndRedrawsTheKeyTicks)
{
    install.Unplug(SimInstallation::Device::Arkan);
    install.arkan->PreloadMasterKey(KeyWithSignature(0x1234));
    for (int i : {0, 1}) {
        Reader(i).keyBits = sim::SimReader::kKey21 | sim::SimReader::kKey22;
        Reader(i).keySignature = i == 0 ? 0x1234 : 0x9999;
    }
    Pass(3);
    EXPECT_EQ(ManagerCount(kSetKeySignature), 0u);  // no signature known yet: keys 21 and 22 suffice
    EXPECT_EQ(Row(0).text[ReaderRowCells::Key], kTickMark);
    EXPECT_EQ(Row(1).text[ReaderRowCells::Key], kTickMark);

    install.Plug(SimInstallation::Device::Arkan);
    Pass(4);
    EXPECT_EQ(install.manager->keySignature, 0x1234u);
    EXPECT_EQ(ManagerCount(kSetKeySignature), 1u);
    EXPECT_EQ(Row(0).text[ReaderRowCells::Key], kTickMark);
    EXPECT_EQ(Row(1).text[ReaderRowCells::Key], "");
}

TEST_F(CycleTest, AReopenedManagerForgetsTheSelectionAndGetsTheSignatureAgain)
{
    install.arkan->PreloadMasterKey(KeyWithSignature(0x1234));
    Pass(4);
    cycle.pane.RdTabEditClick(2);
    ASSERT_EQ(cycle.table.Selected(), 2);
    install.Unplug(SimInstallation::Device::Manager);
    install.Plug(SimInstallation::Device::Manager);
    install.manager->ClearRequests();
    Pass(2);
    EXPECT_EQ(cycle.table.Selected(), -1);
    EXPECT_EQ(ManagerCount(kSetKeySignature), 1u);
}

TEST_F(CycleTest, AReaderAtFFIsGivenAddressZeroOnTheNinthPassWhileOnline)
{
    Reader(0).address = 0xFF;
    Reader(1).address = 0xFF;
    Reader(1).connected = false;  // offline: a relay to it would only time out
    Pass(8);
    EXPECT_EQ(ManagerCount(kSetReaderAddress), 0u);
    Pass();
    EXPECT_EQ(ManagerCount(kSetReaderAddress), 1u);
    EXPECT_EQ(Reader(0).address, 0);
    Pass();
    EXPECT_EQ(ManagerCount(kSetReaderAddress), 1u);
}

TEST_F(CycleTest, AnUnfinishedReaderCheckIsRetriedAfterFortyPasses)
{
    Reader(0).soft = 2;            // needs an upgrade
    Reader(0).connected = false;   // but cannot get it
    Pass(9);
    EXPECT_EQ(cycle.readerCheckCountdown, PollCycle::kReaderRecheckTicks);
    Pass(40);
    EXPECT_EQ(cycle.readerCheckCountdown, 0);
    Pass();
    EXPECT_EQ(cycle.readerCheckCountdown, PollCycle::kReaderRecheckTicks);
    EXPECT_TRUE(box.showings.empty());
    Reader(0).connected = true;
    Pass(41);
    ASSERT_EQ(box.showings.size(), 1u);
    EXPECT_EQ(cycle.lastCheckedReaderCount, 7);
    install.manager->ClearRequests();
    Pass(20);
    EXPECT_EQ(box.showings.size(), 1u);
}

TEST_F(CycleTest, TheEventPumpHandlesABoundedNumberOfEventsPerPass)
{
    Pass();
    for (int i = 1; i <= PollCycle::kMaxEventsPerPass + 10; ++i)
        install.manager->TypePin(Reader(0), std::to_string(i));
    Pass();
    EXPECT_EQ(Row(0).text[ReaderRowCells::Pin], std::to_string(PollCycle::kMaxEventsPerPass));
    EXPECT_TRUE(cycle.manager.IsOpen());
}

TEST_F(CycleTest, AnEventOfAnUnlistedReaderEndsThePump)
{
    Pass();
    install.manager->EmitEvent(0x00990099, {ReaderEvent::Pin, '1'});
    install.manager->TypePin(Reader(0), "2");
    Pass();
    EXPECT_EQ(Row(0).text[ReaderRowCells::Pin], "");
    EXPECT_TRUE(cycle.manager.IsOpen());
}

class BackupCardWait : public CycleTest {
protected:
    void SetUp() override
    {
        GiveAdminPassword(install.arkan->login);
        Pass();
        cycle.backupWait.Start();
        install.manager->ClearRequests();
    }
    // The certificates the Arkan was asked to store.
    std::vector<sim::Bytes> Stored() const
    {
        std::vector<sim::Bytes> stored;
        for (const auto& request : install.arkan->requests())
            if (request.code == ZelArkan::kCmdStore)
                stored.push_back(request.payload);
        return stored;
    }
    sim::Bytes BackupEvent() const
    {
        sim::Bytes event{ReaderEvent::BackupCertificate};
        for (int i = 0; i < 120; ++i)
            event.push_back(static_cast<std::uint8_t>(i));
        return event;
    }
};

TEST_F(BackupCardWait, EndsOnceWithNormalReadingAfterSixtySeconds)
{
    Pass(230);  // each pass also spends the event read's time-out
    EXPECT_EQ(ManagerCount(kReadingMode), 0u);
    Pass(20);
    EXPECT_EQ(ManagerCount(kReadingMode), 1u);
    EXPECT_FALSE(cycle.backupWait.Awaited());
    EXPECT_TRUE(Stored().empty());
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(BackupCardWait, AFailedReturnToNormalReadingStillStoresTheCertificateAndIsRetried)
{
    install.manager->faults.refuseCommand = kReadingMode;
    install.manager->EmitEvent(Reader(0).id(), BackupEvent());
    prompts.AnswerDialog(kPassword);
    Pass();
    ASSERT_EQ(Stored().size(), 1u);
    const sim::Bytes event = BackupEvent();
    EXPECT_EQ(Stored()[0], sim::Bytes(event.begin() + 1, event.end()));
    // The card's bytes are no certificate of this installation.
    EXPECT_EQ(prompts.Messages(),
              std::vector<std::string>{"Arkan nie przyjmuje certyfikatu z kluczem Master Instalacji z karty backup."});
    EXPECT_FALSE(cycle.backupWait.Awaited());
    install.manager->faults.refuseCommand.reset();
    Pass(2);
    EXPECT_EQ(install.manager->bus[0]->readingMode, 1);
    const auto modeRequests = ManagerCount(kReadingMode);
    Pass(4);
    EXPECT_EQ(ManagerCount(kReadingMode), modeRequests);
}

TEST_F(BackupCardWait, AShortCertificateOrOneWithoutAWaitIsIgnored)
{
    sim::Bytes shortEvent = BackupEvent();
    shortEvent.pop_back();
    install.manager->EmitEvent(Reader(0).id(), shortEvent);
    Pass();
    EXPECT_TRUE(Stored().empty());
    EXPECT_TRUE(cycle.backupWait.Awaited());
}

TEST_F(BackupCardWait, ClosingTheWindowReturnsTheReadersToNormalReadingOnly)
{
    cycle.Close();
    EXPECT_THAT(ManagerCodes(), ElementsAre(kReadingMode));
    EXPECT_FALSE(cycle.manager.IsOpen());
}

TEST_F(CycleTest, ClosingTheWindowSendsNothingAndClosesManagerArkanAndProgrammer)
{
    Pass(3);
    for (auto* model : std::initializer_list<sim::SimDeviceModel*>{install.manager.get(), install.arkan.get(),
                                                                    install.programmer.get()})
        model->ClearRequests();
    cycle.Close();
    EXPECT_FALSE(cycle.manager.IsOpen());
    EXPECT_FALSE(cycle.devices.ar.IsOpen());
    EXPECT_FALSE(cycle.devices.prgr.IsOpen());
    EXPECT_TRUE(cycle.devices.kbRd.IsOpen());
    EXPECT_TRUE(install.manager->requests().empty());
    EXPECT_TRUE(install.arkan->requests().empty());
    EXPECT_TRUE(install.programmer->requests().empty());
}

TEST_F(CycleTest, NoPassStartsDuringAUserActionAndTheTimerResumesAfterIt)
{
    Pass();
    install.manager->ClearRequests();
    {
        UserFunction action(cycle.bracket);
        EXPECT_FALSE(view.timerEnabled);
        cycle.Tick();
        EXPECT_TRUE(install.manager->requests().empty());
    }
    EXPECT_TRUE(view.timerEnabled);
    cycle.ToggleRunning();
    EXPECT_FALSE(view.timerEnabled);
    Pass();
    EXPECT_FALSE(view.timerEnabled);
}

TEST_F(CycleTest, AUserActionStartedUnderAPassWaitsTwoSecondsAndNotesIt)
{
    cycle.bracket.timerPassActive = true;  // as when a box of a pass runs a nested loop
    const auto before = install.clock.Microseconds();
    cycle.bracket.BeginUserFunction();
    EXPECT_EQ(install.clock.Microseconds() - before, 2'000'000u);
    EXPECT_THAT(view.diagnostics,
                ElementsAre(app_texts::kUserFunctionInPass, std::string(app_texts::kWaitLoopEnded) + "20"));
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(CycleTest, EnsureManagerReportsAMissingManager)
{
    install.Unplug(SimInstallation::Device::Manager);
    EXPECT_FALSE(cycle.managerAccess.EnsureManager());
    EXPECT_EQ(prompts.Messages(), std::vector<std::string>{app_texts::kManagerNoConnection});
}

TEST_F(CycleTest, ADeviceErrorInThePassClosesTheManagerSilentlyAndTheNextPassReopensIt)
{
    Pass();
    cycle.pane.RdTabEditClick(1);
    install.manager->faults.silent = true;
    Pass();
    EXPECT_FALSE(cycle.manager.IsOpen());
    EXPECT_EQ(cycle.table.Selected(), -1);
    EXPECT_TRUE(prompts.shown.empty());
    install.manager->faults.silent = false;
    Pass();
    EXPECT_TRUE(cycle.manager.IsOpen());
    EXPECT_EQ(ManagerCount(kIdentify), 0u);
}

} // namespace
} // namespace qozel::test
