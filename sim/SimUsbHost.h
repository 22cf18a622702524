#pragma once

#include "SimDeviceModel.h"
#include "SimClock.h"
#include "VirtualClock.h"  // the clock the tests run the host on

#include "platform/UsbHost.h"

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace qozel::sim {

// What the device reports about itself; tests can make any of it wrong.
struct UsbDescriptors {
    std::uint16_t vendorId = 0x1209;
    std::uint16_t productId = 0x0001;
    std::uint8_t iSerialNumber = 3;
    std::u16string serial = u"00A1";
    std::vector<UsbPipeInfo> endpoints = {{UsbPipeType::Bulk, 0x81, 64}, {UsbPipeType::Bulk, 0x01, 64}};
    bool failDeviceDescriptor = false;
    bool failSerialDescriptor = false;
    // The serial string's length as the platform reports it, when it lies.
    std::optional<std::size_t> reportedSerialLength;
};

// Misbehaviour below the command level.
struct TransportFaults {
    bool babble = false;             // every read returns a fresh invalid transfer
    int strayFramesBeforeReply = 0;  // valid frames of another code before each reply
    std::uint32_t replyDelayMs = 0;  // replies become readable this long after the request
    bool refusePipeTimeout = false;
    bool shortWrites = false;        // writes move one byte less than asked
};

// One simulated USB device with a single interface: real descriptors, an IN
// queue of transfers, and a firmware model that answers each written frame.
class SimUsbDevice {
public:
    SimUsbDevice(const Guid& interfaceClass, std::shared_ptr<SimDeviceModel> model, UsbDescriptors descriptors = {});

    Guid interfaceClass;
    UsbDescriptors descriptors;
    TransportFaults transport;
    // This user may not open the device: the host leaves it out of its
    // listings and notes it as denied.
    bool deniedToUser = false;

    SimDeviceModel& model() noexcept { return *model_; }

    // Raw bytes for the IN pipe, readable `delayMs` after now.
    void QueueTransfer(Bytes transfer, std::uint32_t delayMs = 0);
    std::size_t queuedTransfers() const noexcept { return inQueue_.size(); }

    // Every transfer written to the OUT pipe, and every read time-out set.
    std::vector<Bytes> written;
    std::vector<std::uint32_t> pipeTimeouts;

    bool plugged() const noexcept { return plugged_ && !model_->unplugged(); }

private:
    friend class SimUsbHost;
    friend class SimUsbHandle;

    struct Pending {
        std::uint64_t readyAtUs;
        Bytes bytes;
    };

    std::optional<std::size_t> Read(std::span<std::uint8_t> buffer, std::uint32_t timeoutMs);
    std::optional<std::size_t> Write(std::span<const std::uint8_t> data);
    // Moves the frames the model sent on its own into the IN queue.
    void QueueUnsolicited();

    std::shared_ptr<SimDeviceModel> model_;
    SimClock* clock_ = nullptr;
    std::deque<Pending> inQueue_;
    bool plugged_ = false;
    // The path of the current attachment: a handle opened under an earlier
    // one stays dead after the device is plugged in again, as on a real host.
    std::string path_;
    std::uint32_t babbleCounter_ = 0;
};

// A UsbHost whose devices are simulated; attach and detach at any time. Its
// transfers, replies and read time-outs take their time on `clock`: a
// VirtualClock in the tests, real time in the demo.
class SimUsbHost final : public UsbHost {
public:
    explicit SimUsbHost(SimClock& clock);
    ~SimUsbHost() override;

    // Plugs the device in under a new path; returns the path.
    std::string Attach(std::shared_ptr<SimUsbDevice> device);
    void Detach(const SimUsbDevice& device);

    std::optional<std::vector<std::string>> ListInterfaces(const Guid& interfaceClass) override;
    std::unique_ptr<UsbHandle> Open(const std::string& path) override;
    std::vector<DeniedDevice> DeniedDevices() const override;

    bool failListing = false;
    int openCalls = 0;

private:
    SimClock& clock_;
    std::vector<std::pair<std::string, std::shared_ptr<SimUsbDevice>>> devices_;
    std::shared_ptr<std::set<std::string>> held_;
    int nextPath_ = 0;
};

} // namespace qozel::sim
