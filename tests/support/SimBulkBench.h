#pragma once

#include "SimUsbHost.h"
#include "VirtualClock.h"

#include "platform/Guid.h"

#include <memory>
#include <utility>

namespace qozel::test {

// One device class opened on one simulated USB device of the given model.
template <typename Device, typename Model>
struct SimBulkBench {
    explicit SimBulkBench(const Guid& interfaceClass, std::shared_ptr<Model> m = std::make_shared<Model>())
        : model(std::move(m)), usb(std::make_shared<sim::SimUsbDevice>(interfaceClass, model))
    {
        host.Attach(usb);
        opened = device.Open();
    }

    sim::VirtualClock clock;
    sim::SimUsbHost host{clock};
    std::shared_ptr<Model> model;
    std::shared_ptr<sim::SimUsbDevice> usb;
    Device device{host, clock};
    bool opened = false;
};

} // namespace qozel::test
