#pragma once

#include <string_view>

namespace qozel {

class Clock;
class Prompts;
class QoHID;
class QoWUsbBulkD;
class UpgradeBox;
class ZelManager;

// Offers and runs the firmware upgrades of devices and bus readers whose
// software is older than the image carried for their type, showing each in
// the upgrade box. It holds the user-interface thread while it runs.
class Upgrader {
public:
    Upgrader(UpgradeBox& box, Prompts& prompts, Clock& clock) noexcept
        : box_(box), prompts_(prompts), clock_(clock)
    {
    }

    // True when the device was upgraded to the end; it is then closed and forgotten.
    bool UpgradeBulkDevice(QoWUsbBulkD& device, std::string_view title);
    bool UpgradeHidDevice(QoHID& device, std::string_view title);
    // True unless a reader that needs an upgrade is offline or a device error
    // interrupted one; the first device error of the Manager ends the round.
    bool UpgradeReaders(ZelManager& manager);
    // True unless a device error interrupted the upgrade of reader `index`.
    bool UpgradeReader(ZelManager& manager, int index);

private:
    template <class Device>
    bool UpgradeDevice(Device& device, std::string_view title);
    // Runs `step` until it reports 100 %, moving the bar. False when the
    // device refused a step: the message is shown and the box closed.
    template <class Step>
    bool RunSteps(Step&& step);

    UpgradeBox& box_;
    Prompts& prompts_;
    Clock& clock_;
};

} // namespace qozel
