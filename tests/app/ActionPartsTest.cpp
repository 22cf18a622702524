// The pieces the cycle hands its tab models for their actions: the bracket
// that keeps actions and poll passes apart, the Manager access with its
// device-error guard, and the backup-card wait.
#include "CycleFixture.h"

#include "app/ActionBracket.h"
#include "app/AppTexts.h"
#include "app/BackupCardWait.h"
#include "app/ManagerAccess.h"

namespace qozel::test {
namespace {

using Kind = sim::ScriptedPrompts::Kind;

class ActionParts : public CycleTest {
protected:
    ActionParts() { Pass(); }

    int passes = 0;
    ManagerAccess access{cycle.manager, prompts, [this] {
                             ++passes;
                             cycle.ManagerTick();
                         }};
};

TEST_F(ActionParts, NoPassStartsUnderAnActionAndTheTimerResumesOnlyIfPollingRuns)
{
    ActionBracket bracket(view, install.clock);
    {
        UserFunction action(bracket);
        EXPECT_FALSE(view.timerEnabled);
        EXPECT_FALSE(bracket.BeginPass()) << "a tick from a box's nested loop";
    }
    EXPECT_TRUE(view.timerEnabled);
    ASSERT_TRUE(bracket.BeginPass());
    EXPECT_FALSE(bracket.BeginPass()) << "a pass inside a pass";
    bracket.EndPass();

    bracket.ToggleRunning();
    { UserFunction action(bracket); }
    EXPECT_FALSE(view.timerEnabled) << "stopped polling stays stopped after an action";
}

TEST_F(ActionParts, ADeviceErrorClosesTheManagerThenRunsTheStepAfterTheCloseThenSaysSo)
{
    ASSERT_TRUE(cycle.manager.IsOpen());
    bool openWhenAfterCloseRan = true;
    std::size_t messagesWhenAfterCloseRan = 99;
    const bool done = access.Guarded([]() -> bool { throw WUsbErr{WUsbErr::NoReply, 0}; },
                                     [&] {
                                         openWhenAfterCloseRan = cycle.manager.IsOpen();
                                         messagesWhenAfterCloseRan = prompts.Messages().size();
                                     });
    EXPECT_FALSE(done);
    EXPECT_FALSE(openWhenAfterCloseRan);
    EXPECT_EQ(messagesWhenAfterCloseRan, 0u);
    EXPECT_EQ(prompts.Messages(), std::vector<std::string>{app_texts::kManagerNoConnection});
}

TEST_F(ActionParts, AStepsOwnResultPassesThroughTheGuardAndAStepWithoutOneCountsAsDone)
{
    EXPECT_TRUE(access.Guarded([] {}));
    EXPECT_TRUE(access.Guarded([] { return true; }));
    EXPECT_FALSE(access.Guarded([] { return false; }));
    EXPECT_TRUE(cycle.manager.IsOpen());
    EXPECT_TRUE(prompts.Messages().empty());
}

TEST_F(ActionParts, EnsureManagerRunsOnePassWithAManagerAndTwoBeforeGivingUp)
{
    ASSERT_TRUE(access.EnsureManager());
    EXPECT_EQ(passes, 1);

    install.Unplug(sim::SimInstallation::Device::Manager);
    passes = 0;
    EXPECT_FALSE(access.EnsureManager());
    EXPECT_EQ(passes, 2);
    EXPECT_EQ(prompts.Messages(), std::vector<std::string>{app_texts::kManagerNoConnection});
}

TEST_F(ActionParts, TheBackupCardWaitEndsAfterAMinuteOrWhenEnded)
{
    BackupCardWait wait(install.clock);
    auto& clock = install.clock;
    EXPECT_FALSE(wait.Awaited());
    wait.Start();
    clock.AdvanceMs(60'000);
    EXPECT_TRUE(wait.Awaited());
    EXPECT_FALSE(wait.TimedOut()) << "a full minute is waited";
    clock.AdvanceMs(1);
    EXPECT_TRUE(wait.TimedOut());
    wait.End();
    EXPECT_FALSE(wait.Awaited());
    EXPECT_FALSE(wait.TimedOut());
}

} // namespace
} // namespace qozel::test
