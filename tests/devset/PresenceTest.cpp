#include "DevSetFixture.h"

#include "devset/DevSetTexts.h"

namespace qozel::test {
namespace {

namespace texts = devset_texts;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

using Presence = DevSetTest;

TEST_F(Presence, NewDeviceIsLoggedOutAndRefreshedOnceThenOnlyReadState)
{
    sim::ArkanModel::MasterKey key;
    key.signature = 0x6543'2100;
    arkan->PreloadMasterKey(key);
    PlugArkan(arkan);

    EXPECT_EQ(set.PollPresence(DevKind::Arkan), ZelDevSet::Presence::Opened);
    EXPECT_THAT(Codes(*arkan), ElementsAre(108, 77, 115));
    EXPECT_EQ(set.ar.keySignature, 0x6543'2100u);
    EXPECT_EQ(set.PollPresence(DevKind::Arkan), ZelDevSet::Presence::Unchanged);
    EXPECT_THAT(Codes(*arkan), ElementsAre(108, 77, 115, 77));
    EXPECT_THAT(Messages(), IsEmpty());
}

TEST_F(Presence, ProgrammerWithoutKeysIsNotAskedForItsSignature)
{
    PlugProgrammer(programmer);
    EXPECT_EQ(set.PollPresence(DevKind::Programmer), ZelDevSet::Presence::Opened);
    EXPECT_THAT(Codes(*programmer), ElementsAre(108, 77));
    EXPECT_EQ(set.prgr.keySignature, 0u);
}

TEST_F(Presence, NoDeviceIsNothingNewAndEnsurePresentReportsIt)
{
    EXPECT_EQ(set.PollPresence(DevKind::Arkan), ZelDevSet::Presence::Unchanged);
    EXPECT_EQ(set.PollPresence(DevKind::KbReader), ZelDevSet::Presence::Unchanged);
    EXPECT_THAT(Messages(), IsEmpty());

    EXPECT_FALSE(set.EnsurePresent(DevKind::Arkan));
    EXPECT_FALSE(set.EnsurePresent(DevKind::Programmer));
    EXPECT_FALSE(set.EnsurePresent(DevKind::KbReader));
    EXPECT_THAT(Messages(), ElementsAre(texts::kArNoConnection, texts::kPrgrNoConnection, texts::kKbRdNoConnection));
}

TEST_F(Presence, TwoArkansAreWarnedOnceAndNeitherIsUsed)
{
    auto second = std::make_shared<sim::ArkanModel>(0x0999);
    PlugArkan(arkan);
    auto secondDevice = PlugArkan(second);

    for (int tick = 0; tick < 3; ++tick)
        EXPECT_EQ(set.PollPresence(DevKind::Arkan), ZelDevSet::Presence::Unchanged);
    EXPECT_THAT(Messages(), ElementsAre(texts::kArOneDevice));
    EXPECT_FALSE(set.ar.IsOpen());
    EXPECT_FALSE(set.ar.info.HasDevice());
    EXPECT_THAT(arkan->requests(), IsEmpty());
    EXPECT_THAT(second->requests(), IsEmpty());

    // An operation needing the Arkan meanwhile: no warning any more.
    EXPECT_FALSE(set.EnsurePresent(DevKind::Arkan));
    EXPECT_THAT(Messages(), ElementsAre(texts::kArOneDevice, texts::kArNoConnection));

    // One removed: the remaining one is opened and logged out, the warning re-armed.
    usb.Detach(*secondDevice);
    EXPECT_EQ(set.PollPresence(DevKind::Arkan), ZelDevSet::Presence::Opened);
    EXPECT_THAT(Codes(*arkan), ElementsAre(108, 77));

    // Plugged back while the first was dropped: warned again.
    set.ar.Close();
    PlugArkan(second);
    EXPECT_EQ(set.PollPresence(DevKind::Arkan), ZelDevSet::Presence::Unchanged);
    EXPECT_THAT(Messages(), ElementsAre(texts::kArOneDevice, texts::kArNoConnection, texts::kArOneDevice));
}

TEST_F(Presence, WarningRearmedWhenNoDeviceIsFound)
{
    auto first = PlugProgrammer(programmer);
    auto second = PlugProgrammer(std::make_shared<sim::ProgrammerModel>(0x0777));
    EXPECT_EQ(set.PollPresence(DevKind::Programmer), ZelDevSet::Presence::Unchanged);
    usb.Detach(*first);
    usb.Detach(*second);
    EXPECT_EQ(set.PollPresence(DevKind::Programmer), ZelDevSet::Presence::Unchanged);
    PlugProgrammer(programmer);
    PlugProgrammer(std::make_shared<sim::ProgrammerModel>(0x0777));
    EXPECT_EQ(set.PollPresence(DevKind::Programmer), ZelDevSet::Presence::Unchanged);
    EXPECT_THAT(Messages(), ElementsAre(texts::kPrgrOneDevice, texts::kPrgrOneDevice));
}

TEST_F(Presence, TwoWarningWhileArmedComesBeforeTheNoConnectionMessage)
{
    PlugKbReader(kbReader);
    PlugKbReader(std::make_shared<sim::KbReaderModel>(0x0555));
    EXPECT_FALSE(set.EnsurePresent(DevKind::KbReader));
    EXPECT_THAT(Messages(), ElementsAre(texts::kKbRdOneDevice, texts::kKbRdNoConnection));
    EXPECT_FALSE(set.kbRd.IsOpen());
}

TEST_F(Presence, DeviceThatStopsAnsweringIsDroppedSilentlyAndReopenedByEnsurePresent)
{
    sim::ArkanModel::MasterKey key;
    key.signature = 77;
    arkan->PreloadMasterKey(key);
    PlugArkan(arkan);
    ASSERT_EQ(set.PollPresence(DevKind::Arkan), ZelDevSet::Presence::Opened);
    ASSERT_EQ(set.ar.keySignature, 77u);

    arkan->faults.silent = true;
    EXPECT_EQ(set.PollPresence(DevKind::Arkan), ZelDevSet::Presence::Dropped);
    EXPECT_FALSE(set.ar.IsOpen());
    EXPECT_EQ(set.ar.keySignature, 0u);
    EXPECT_FALSE(set.ar.info.HasDevice());
    EXPECT_THAT(Messages(), IsEmpty());

    // Still silent: opened twice (each time Logout goes unanswered), then reported.
    arkan->ClearRequests();
    EXPECT_FALSE(set.EnsurePresent(DevKind::Arkan));
    EXPECT_EQ(arkan->CountOf(108), 4u);  // two openings, each request sent and resent once
    EXPECT_THAT(Messages(), ElementsAre(texts::kArNoConnection));

    arkan->faults.silent = false;
    EXPECT_TRUE(set.EnsurePresent(DevKind::Arkan));
    EXPECT_EQ(set.ar.keySignature, 77u);
}

TEST_F(Presence, EnsurePresentReopensADeviceDroppedByItsOwnFirstPoll)
{
    arDevice = PlugArkan(arkan);
    ASSERT_EQ(set.PollPresence(DevKind::Arkan), ZelDevSet::Presence::Opened);
    arDevice = Replug(arDevice);
    arkan->ClearRequests();
    EXPECT_TRUE(set.EnsurePresent(DevKind::Arkan));
    EXPECT_THAT(Codes(*arkan), ElementsAre(108, 77));
    EXPECT_THAT(Messages(), IsEmpty());
}

TEST_F(Presence, DropDeviceForgetsEverythingAndReports)
{
    kbReader->PreloadKeys(0xABCD, false);
    PlugKbReader(kbReader);
    ASSERT_TRUE(set.EnsurePresent(DevKind::KbReader));
    ASSERT_EQ(set.kbRd.keySignature, 0xABCDu);

    set.DropDevice(DevKind::KbReader);
    EXPECT_FALSE(set.kbRd.IsOpen());
    EXPECT_EQ(set.kbRd.keySignature, 0u);
    EXPECT_EQ(set.kbRd.info, DevInfo{});
    EXPECT_THAT(Messages(), ElementsAre(texts::kKbRdNoConnection));
}

TEST_F(Presence, ReplugOrReplacementWhileADialogIsOpenBreaksContinuity)
{
    PlugBoth();
    set.MarkContinuity(DevKind::Arkan);
    set.MarkContinuity(DevKind::Programmer);
    // Nothing happened: both pass.
    EXPECT_TRUE(set.EnsurePresent(DevKind::Arkan) && set.CheckContinuity(DevKind::Arkan));
    EXPECT_TRUE(set.EnsurePresent(DevKind::Programmer) && set.CheckContinuity(DevKind::Programmer));

    // The Arkan unplugged and plugged back; the programmer replaced by another one.
    arDevice = Replug(arDevice);
    usb.Detach(*prDevice);
    auto other = std::make_shared<sim::ProgrammerModel>(0x0888);
    PlugProgrammer(other);
    EXPECT_TRUE(set.EnsurePresent(DevKind::Arkan));
    EXPECT_FALSE(set.CheckContinuity(DevKind::Arkan));
    EXPECT_TRUE(set.EnsurePresent(DevKind::Programmer));
    EXPECT_FALSE(set.CheckContinuity(DevKind::Programmer));
    EXPECT_EQ(set.prgr.info.nr, 0x0888);
    EXPECT_THAT(Messages(), ElementsAre(texts::kArReplugged, texts::kPrgrReplugged));
}

TEST_F(Presence, ClosingTheSetSendsNothingAndReleasesEveryDevice)
{
    PlugArkan(arkan);
    PlugProgrammer(programmer);
    PlugKbReader(kbReader);
    {
        ZelDevSet first(usb, hid, clock, prompts);
        ASSERT_EQ(first.PollPresence(DevKind::Arkan), ZelDevSet::Presence::Opened);
        ASSERT_EQ(first.PollPresence(DevKind::Programmer), ZelDevSet::Presence::Opened);
        ASSERT_EQ(first.PollPresence(DevKind::KbReader), ZelDevSet::Presence::Opened);
        // Held by `first`, so another set finds none of them.
        EXPECT_EQ(set.PollPresence(DevKind::Arkan), ZelDevSet::Presence::Unchanged);
        EXPECT_EQ(set.PollPresence(DevKind::KbReader), ZelDevSet::Presence::Unchanged);
        arkan->ClearRequests();
        programmer->ClearRequests();
        kbReader->ClearRequests();
    }
    EXPECT_THAT(arkan->requests(), IsEmpty());
    EXPECT_THAT(programmer->requests(), IsEmpty());
    EXPECT_THAT(kbReader->requests(), IsEmpty());
    EXPECT_EQ(set.PollPresence(DevKind::Arkan), ZelDevSet::Presence::Opened);
    EXPECT_EQ(set.PollPresence(DevKind::Programmer), ZelDevSet::Presence::Opened);
    EXPECT_EQ(set.PollPresence(DevKind::KbReader), ZelDevSet::Presence::Opened);
}

} // namespace
} // namespace qozel::test
