#include "app/Upgrader.h"

#include "app/AppTexts.h"
#include "app/WindowView.h"
#include "devices/DevInfo.h"
#include "devices/manager/ZelManager.h"
#include "link/DeviceErrors.h"
#include "link/QoHID.h"
#include "platform/Clock.h"
#include "platform/Prompts.h"

#include <string>

namespace qozel {
namespace {

// After the last block the bar runs on from 100 to 200 in 26 steps of 100 ms,
// the time the device takes to check and start its new firmware.
constexpr int kDeviceBarMax = 200;
constexpr int kFinishStep = 4;
constexpr int kReaderBarMax = 100;
constexpr std::uint32_t kFinishPauseMs = 100;

std::string SoftLine(std::string_view name, int soft)
{
    return std::string(name) + ", Soft: " + std::to_string(soft);
}

void Forget(QoWUsbBulkD& device)
{
    device.Close();
    device.info = {};
    device.image = nullptr;
}

void Forget(QoHID& device)
{
    device.Close();
}

} // namespace

template <class Step>
bool Upgrader::RunSteps(Step&& step)
{
    for (;;) {
        const int progress = step();
        if (progress < 0) {
            prompts_.ShowErrorMsg(app_texts::kUpgradeFailedText);
            box_.Close();
            return false;
        }
        if (progress >= 100)
            return true;
        box_.SetProgress(progress);
    }
}

template <class Device>
bool Upgrader::UpgradeDevice(Device& device, std::string_view title)
{
    const int soft = device.info.soft;
    const int version = device.ImageVersion();
    if (soft >= version)
        return false;
    box_.Show(SoftLine(title, soft), std::to_string(version), kDeviceBarMax);
    bool upgraded = false;
    try {
        // A device that refused keeps its firmware and stays open.
        if (!RunSteps([&] { return device.UpgradeStep(); }))
            return false;
        for (int position = 100; position <= kDeviceBarMax; position += kFinishStep) {
            box_.SetProgress(position);
            clock_.SleepMs(kFinishPauseMs);
        }
        upgraded = true;
    } catch (const WUsbErr&) {
        prompts_.ShowErrorMsg(app_texts::kUpgradeFailedText);
    } catch (const QoHIDErr&) {
        prompts_.ShowErrorMsg(app_texts::kUpgradeFailedText);
    }
    // Whether it restarts with new firmware or lost the connection, the
    // device is found and identified again by a later poll.
    Forget(device);
    box_.Close();
    return upgraded;
}

bool Upgrader::UpgradeBulkDevice(QoWUsbBulkD& device, std::string_view title)
{
    return UpgradeDevice(device, title);
}

bool Upgrader::UpgradeHidDevice(QoHID& device, std::string_view title)
{
    return UpgradeDevice(device, title);
}

bool Upgrader::UpgradeReaders(ZelManager& manager)
{
    bool allCurrent = true;
    for (int i = 0; i < manager.readerCount; ++i) {
        const ReaderRecord& reader = manager.readers[static_cast<std::size_t>(i)];
        if (manager.ReaderImageVersion(i) <= reader.info.soft)
            continue;
        if (!reader.online) {
            allCurrent = false;
            continue;
        }
        // A device error means the Manager itself is gone: every further
        // reader would fail the same way, each with its own message.
        if (!UpgradeReader(manager, i))
            return false;
    }
    return allCurrent;
}

bool Upgrader::UpgradeReader(ZelManager& manager, int index)
{
    const ReaderRecord& reader = manager.readers[static_cast<std::size_t>(index)];
    const int version = manager.ReaderImageVersion(index);
    box_.Show(SoftLine(app_texts::kReaderPrefix + ShortName(reader.info), reader.info.soft), std::to_string(version),
              kReaderBarMax);
    try {
        if (!RunSteps([&] { return manager.UpgradeReaderStep(index); }))
            return true;
    } catch (const WUsbErr&) {
        prompts_.ShowErrorMsg(app_texts::kUpgradeFailedText);
        box_.Close();
        return false;
    }
    box_.SetProgress(kReaderBarMax);
    clock_.SleepMs(kFinishPauseMs);
    box_.Close();
    return true;
}

} // namespace qozel
