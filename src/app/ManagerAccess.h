#pragma once

#include "app/AppTexts.h"
#include "devices/manager/ZelManager.h"
#include "link/DeviceErrors.h"
#include "platform/Prompts.h"

#include <functional>
#include <type_traits>
#include <utility>

namespace qozel {

// What the tabs' actions need of the Manager beyond its commands: one that
// is open (a Manager pass finds and opens it, as the poll would), its
// continuity across a dialog, and one way of handling its device errors.
class ManagerAccess {
public:
    // `runPass` runs one Manager pass of the poll cycle, the only thing the
    // actions reach of the cycle.
    ManagerAccess(ZelManager& manager, Prompts& prompts, std::function<void()> runPass)
        : manager_(manager), prompts_(prompts), runPass_(std::move(runPass))
    {
    }

    // True when the Manager is open after at most two passes; else shows
    // that there is no connection.
    bool EnsureManager();
    // True when the Manager was not unplugged or replaced since the action
    // set its continuity flag; else shows the replugged message.
    bool CheckManagerContinuity();

    // Runs `step` (true = done; a refusal shows its own message and gives
    // false; a step without a result counts as done). A device error closes
    // the Manager, runs `afterClose`, says that there is no connection and
    // gives false.
    template <class F, class AfterClose = void (*)()>
    bool Guarded(F&& step, AfterClose&& afterClose = [] {})
    {
        try {
            if constexpr (std::is_void_v<std::invoke_result_t<F&>>) {
                step();
                return true;
            } else {
                return step();
            }
        } catch (const WUsbErr&) {
            manager_.CloseManager();
            afterClose();
            prompts_.ShowErrorMsg(app_texts::kManagerNoConnection);
            return false;
        }
    }

private:
    ZelManager& manager_;
    Prompts& prompts_;
    std::function<void()> runPass_;
};

} // namespace qozel
