#pragma once

#include "ScriptedPrompts.h"
#include "SilentWindow.h"
#include "SimInstallation.h"

#include "app/PollCycle.h"

namespace qozel::sim {

// The poll cycle, with a window nobody sees, on a simulated installation of
// 32 readers that run the firmware the program carries: for benchmarks and
// tests where only the cycle's work counts. No pass has run yet.
struct SilentCycle {
    SilentCycle()
    {
        install.AddReadersUpTo(32);
        install.RunCarriedFirmware();
    }
    SilentCycle(const SilentCycle&) = delete;
    SilentCycle& operator=(const SilentCycle&) = delete;

    // Runs `n` timer ticks 250 ms apart.
    void Pass(int n = 1)
    {
        for (int i = 0; i < n; ++i) {
            cycle.Tick();
            install.clock.AdvanceMs(PollCycle::kTickMs);
        }
    }

    SimInstallation install;
    ScriptedPrompts prompts;
    SilentView view;
    SilentUpgradeBox box;
    PollCycle cycle{install.usb, install.hid, install.clock, prompts, view, box};
};

} // namespace qozel::sim
