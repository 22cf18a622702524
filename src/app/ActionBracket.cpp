#include "app/ActionBracket.h"

#include "app/AppTexts.h"
#include "app/WindowView.h"
#include "platform/Clock.h"

#include <string>

namespace qozel {

void ActionBracket::BeginUserFunction()
{
    userFunctionActive = true;
    view_.SetTimerEnabled(false);
    if (!timerPassActive)
        return;
    view_.Diagnostic(app_texts::kUserFunctionInPass);
    int sleeps = 0;
    while (timerPassActive && sleeps < kUserWaitSleeps) {
        clock_.SleepMs(kUserWaitSleepMs);
        ++sleeps;
    }
    view_.Diagnostic(app_texts::kWaitLoopEnded + std::to_string(sleeps));
}

void ActionBracket::EndUserFunction()
{
    userFunctionActive = false;
    view_.SetTimerEnabled(pollRunning);
}

bool ActionBracket::BeginPass()
{
    if (timerPassActive || userFunctionActive)
        return false;
    timerPassActive = true;
    view_.SetTimerEnabled(false);
    return true;
}

void ActionBracket::EndPass()
{
    if (!userFunctionActive)
        view_.SetTimerEnabled(pollRunning);
    timerPassActive = false;
}

void ActionBracket::ToggleRunning()
{
    pollRunning = !pollRunning;
    view_.SetTimerEnabled(pollRunning);
}

} // namespace qozel
