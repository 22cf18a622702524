#pragma once

#include "support/DeviceErrorOf.h"
#include "devices/manager/ZelManager.h"
#include "link/DeviceErrors.h"

#include "ManagerModel.h"
#include "SimUsbHost.h"

#include <gtest/gtest.h>

#include <memory>

namespace qozel {

// A Manager object opened on a simulated Manager whose bus the test fills.
class ManagerFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        host.Attach(device);
        ASSERT_TRUE(manager.Open());
    }

    // The request frame last written to the Manager, as the device parsed it.
    sim::ParsedFrame LastFrame() const
    {
        const auto frame = sim::ParseFrame(device->written.back());
        EXPECT_TRUE(frame.has_value());
        return frame.value_or(sim::ParsedFrame{});
    }

    static sim::Bytes IdBytes(std::uint32_t id)
    {
        return {static_cast<std::uint8_t>(id), static_cast<std::uint8_t>(id >> 8), static_cast<std::uint8_t>(id >> 16),
                static_cast<std::uint8_t>(id >> 24)};
    }

    sim::VirtualClock clock;
    sim::SimUsbHost host{clock};
    std::shared_ptr<sim::ManagerModel> model = std::make_shared<sim::ManagerModel>();
    std::shared_ptr<sim::SimUsbDevice> device = std::make_shared<sim::SimUsbDevice>(kManagerGuid, model);
    ZelManager manager{host, clock};
};

} // namespace qozel
