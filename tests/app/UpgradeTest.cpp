// Firmware upgrades offered by the poll cycle: a device newly attached, the
// Manager, and the readers on its bus.
#include "CycleFixture.h"

#include <gmock/gmock.h>

namespace qozel::test {
namespace {

using ::testing::ElementsAreArray;

std::vector<int> FinishPositions()
{
    std::vector<int> positions;
    for (int p = 100; p <= 200; p += 4)
        positions.push_back(p);
    return positions;
}

TEST_F(CycleTest, AnOlderArkanIsUpgradedWithTheBarRunningOnToTwoHundred)
{
    install.arkan->identity.soft = 3;
    install.Unplug(sim::SimInstallation::Device::Arkan);
    Pass(3);
    install.Plug(sim::SimInstallation::Device::Arkan);
    const auto before = install.clock.Microseconds();
    Pass();
    ASSERT_EQ(box.showings.size(), 1u);
    const auto& shown = box.showings[0];
    EXPECT_EQ(shown.device, "QoZEL Arkan, Soft: 3");
    EXPECT_EQ(shown.newSoft, "4");
    EXPECT_EQ(shown.maximum, 200);
    ASSERT_EQ(shown.positions.size(), 23u + 26u);  // 24 blocks, the last one reaching 100
    EXPECT_EQ(shown.positions.front(), 4);
    EXPECT_THAT(std::vector<int>(shown.positions.end() - 26, shown.positions.end()),
                ElementsAreArray(FinishPositions()));
    EXPECT_TRUE(shown.closed);
    EXPECT_GE(install.clock.Microseconds() - before, 2'600'000u);
    EXPECT_FALSE(cycle.devices.ar.IsOpen());
    EXPECT_TRUE(prompts.shown.empty());
    Pass(3);
    EXPECT_TRUE(cycle.devices.ar.IsOpen());
    EXPECT_EQ(cycle.devices.ar.info.soft, 4);
    EXPECT_EQ(box.showings.size(), 1u);
}

TEST_F(CycleTest, AnOlderManagerIsUpgradedBeforeEventsAndTheListAndReopenedLater)
{
    install.manager->soft = 3;
    Pass();
    ASSERT_EQ(box.showings.size(), 1u);
    EXPECT_EQ(box.showings[0].device, "QoZEL Manager, Soft: 3");
    EXPECT_EQ(ManagerCount(ZelManager::kCmdReaderList), 0u);
    EXPECT_FALSE(cycle.manager.IsOpen());
    Pass();
    EXPECT_TRUE(cycle.manager.IsOpen());
    EXPECT_EQ(cycle.manager.info.soft, 4);
    EXPECT_EQ(ManagerCount(ZelManager::kCmdReaderList), 1u);
}

TEST_F(CycleTest, AnOlderReaderIsUpgradedAtTheReaderCheck)
{
    Reader(0).soft = 2;
    Pass(9);
    ASSERT_EQ(box.showings.size(), 1u);
    EXPECT_EQ(box.showings[0].device, "Czytnik QO-V70, Soft: 2");
    EXPECT_EQ(box.showings[0].newSoft, "3");
    EXPECT_EQ(box.showings[0].maximum, 100);
    EXPECT_EQ(box.showings[0].positions.back(), 100);
    EXPECT_EQ(Reader(0).soft, 3);
    EXPECT_EQ(cycle.lastCheckedReaderCount, 7);
}

TEST_F(CycleTest, AReaderRefusingABlockIsReportedAndItsImageOfferedToNoOtherReader)
{
    install.manager->AddReader(0x0108, 70, 2).address = 8;
    Reader(0).soft = 2;
    Reader(0).upgrade.refuseBlock = 1;
    Pass(9);
    EXPECT_EQ(prompts.Messages(), std::vector<std::string>{app_texts::kUpgradeFailedText});
    EXPECT_EQ(box.showings.size(), 1u);
    EXPECT_TRUE(box.showings[0].closed);
    EXPECT_EQ(cycle.lastCheckedReaderCount, 8);  // a refusal still completes the check
}

TEST_F(CycleTest, AManagerLostDuringAReaderUpgradeEndsTheRoundAfterOneMessage)
{
    Reader(0).soft = 2;
    Reader(1).soft = 2;
    install.manager->faults.disconnectAt = ZelManager::kCmdReaderUpgrade;
    Pass(9);
    EXPECT_EQ(prompts.Messages(), std::vector<std::string>{app_texts::kUpgradeFailedText});
    EXPECT_EQ(box.showings.size(), 1u);
    EXPECT_EQ(cycle.readerCheckCountdown, PollCycle::kReaderRecheckTicks);
}

} // namespace
} // namespace qozel::test
