#pragma once

#include "app/PollCycle.h"
#include "app/WindowView.h"
#include "security/PasswordKey.h"

#include "ScriptedPrompts.h"
#include "SimInstallation.h"
#include "TestImageMaker.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qozel::test {

// The window as the poll cycle sees it: which tab is shown, the timer, and
// the notes it was given.
class RecordingView final : public WindowView {
public:
    Tab ShownTab() const override { return tab; }
    void SetTimerEnabled(bool enabled) override { timerEnabled = enabled; }
    void Redraw() override { ++redraws; }
    void Diagnostic(std::string_view text) override { diagnostics.emplace_back(text); }
    void ShowPermissionHint(std::string_view text) override { permissionHint = text; }
    void AnimateProgress(SuccessBar bar) override { animations.push_back(bar); }

    Tab tab = Tab::Readers;
    bool timerEnabled = false;
    int redraws = 0;
    std::vector<std::string> diagnostics;
    std::string permissionHint;
    std::vector<SuccessBar> animations;
};

// Every showing of the upgrade box with the positions its bar took.
class RecordingUpgradeBox final : public UpgradeBox {
public:
    struct Showing {
        std::string device;
        std::string newSoft;
        int maximum = 0;
        std::vector<int> positions;
        bool closed = false;
    };

    void Show(std::string_view deviceText, std::string_view newSoftText, int maximum) override
    {
        showings.push_back({std::string(deviceText), std::string(newSoftText), maximum, {}, false});
    }
    void SetProgress(int position) override { showings.back().positions.push_back(position); }
    void Close() override
    {
        if (!showings.empty())
            showings.back().closed = true;
    }

    std::vector<Showing> showings;
};

// The poll cycle on a simulated installation whose devices and readers run
// the firmware the program carries, so that no upgrade is offered unless a
// test makes a device older.
struct CycleRig {
    CycleRig() { install.RunCarriedFirmware(); }
    CycleRig(const CycleRig&) = delete;
    CycleRig& operator=(const CycleRig&) = delete;

    static constexpr const char* kPassword = "tajne123";

    // The administrator password `kPassword` set in a simulated Arkan or programmer.
    static void GiveAdminPassword(sim::LoginResponder& login)
    {
        // Derived once: the derivation is made slow on purpose.
        static const Key16 key = DeriveKey(kAdminUser, sim::ScriptedPrompts::Field(kPassword));
        sim::Block16 block;
        std::copy(key.bytes.begin(), key.bytes.end(), block.begin());
        login.SetKey(kAdminUser, block);
    }

    // Runs `n` timer ticks 250 ms apart.
    void Pass(int n = 1)
    {
        for (int i = 0; i < n; ++i) {
            cycle.Tick();
            install.clock.AdvanceMs(PollCycle::kTickMs);
        }
    }
    // The Manager's own commands since the last ClearRequests, in order.
    std::vector<std::uint8_t> ManagerCodes() const
    {
        std::vector<std::uint8_t> codes;
        for (const auto& request : install.manager->requests())
            codes.push_back(request.code);
        return codes;
    }
    std::size_t ManagerCount(std::uint8_t code) const { return install.manager->CountOf(code); }
    const ReaderRowCells& Row(int i) const { return cycle.table.Row(i); }
    sim::SimReader& Reader(int i) { return *install.manager->bus[static_cast<std::size_t>(i)]; }

    sim::SimInstallation install;
    sim::ScriptedPrompts prompts;
    RecordingView view;
    RecordingUpgradeBox box;
    PollCycle cycle{install.usb, install.hid, install.clock, prompts, view, box};
};

class CycleTest : public ::testing::Test, public CycleRig {};

} // namespace qozel::test
