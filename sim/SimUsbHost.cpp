#include "SimUsbHost.h"

#include <algorithm>
#include <array>

namespace qozel::sim {
namespace {

// Virtual time one transfer takes on the bus.
constexpr std::uint64_t kTransferUs = 100;
// A read with no time-out set waits this long before the simulation gives up.
constexpr std::uint64_t kForeverUs = 60'000'000;

} // namespace

SimUsbDevice::SimUsbDevice(const Guid& cls, std::shared_ptr<SimDeviceModel> model, UsbDescriptors desc)
    : interfaceClass(cls), descriptors(std::move(desc)), model_(std::move(model))
{
}

void SimUsbDevice::QueueTransfer(Bytes transfer, std::uint32_t delayMs)
{
    const std::uint64_t now = clock_ ? clock_->Microseconds() : 0;
    inQueue_.push_back({now + std::uint64_t{delayMs} * 1000, std::move(transfer)});
}

void SimUsbDevice::QueueUnsolicited()
{
    while (auto frame = model_->TakeUnsolicited())
        QueueTransfer(MakeFrame(frame->first, frame->second));
}

std::optional<std::size_t> SimUsbDevice::Read(std::span<std::uint8_t> buffer, std::uint32_t timeoutMs)
{
    if (!plugged())
        return std::nullopt;
    QueueUnsolicited();

    if (transport.babble) {
        // Too short to be a frame, and different every time.
        const std::array<std::uint8_t, 4> garbage = {0xA5, static_cast<std::uint8_t>(babbleCounter_++), 0x5A, 0x00};
        clock_->AdvanceUs(kTransferUs);
        const std::size_t n = std::min(buffer.size(), garbage.size());
        std::copy_n(garbage.begin(), n, buffer.begin());
        return n;
    }
    const std::uint64_t now = clock_->Microseconds();
    const std::uint64_t waitUs = timeoutMs ? std::uint64_t{timeoutMs} * 1000 : kForeverUs;
    if (inQueue_.empty() || inQueue_.front().readyAtUs > now + waitUs) {
        clock_->AdvanceUs(waitUs);
        return std::nullopt; // time-out
    }
    Pending next = std::move(inQueue_.front());
    inQueue_.pop_front();
    if (next.readyAtUs > now)
        clock_->AdvanceUs(next.readyAtUs - now);
    clock_->AdvanceUs(kTransferUs);
    // A transfer longer than the buffer is cut, as a real short read would be.
    const std::size_t n = std::min(buffer.size(), next.bytes.size());
    std::copy_n(next.bytes.begin(), n, buffer.begin());
    return n;
}

std::optional<std::size_t> SimUsbDevice::Write(std::span<const std::uint8_t> data)
{
    if (!plugged())
        return std::nullopt;
    clock_->AdvanceUs(kTransferUs);
    written.emplace_back(data.begin(), data.end());
    // What the device sent on its own before this request (events) leaves
    // ahead of the reply, as on a real bus.
    QueueUnsolicited();
    if (const auto frame = ParseFrame(data)) {
        const auto reply = model_->Process(frame->code, frame->payload);
        if (reply) {
            for (int i = 0; i < transport.strayFramesBeforeReply; ++i) {
                const Bytes stray = {static_cast<std::uint8_t>(i)};
                QueueTransfer(MakeFrame(static_cast<std::uint8_t>((frame->code ^ 0x40) | 0x80), stray),
                              transport.replyDelayMs);
            }
            QueueTransfer(MakeFrame(static_cast<std::uint8_t>(frame->code | 0x80), *reply), transport.replyDelayMs);
        }
    }
    return transport.shortWrites && !data.empty() ? data.size() - 1 : data.size();
}

// An open interface of a simulated device; fails every call once unplugged.
class SimUsbHandle final : public UsbHandle {
public:
    SimUsbHandle(std::shared_ptr<SimUsbDevice> device, std::string path, std::shared_ptr<std::set<std::string>> held)
        : device_(std::move(device)), path_(std::move(path)), held_(std::move(held))
    {
        held_->insert(path_);
    }
    ~SimUsbHandle() override { held_->erase(path_); }

    std::optional<std::size_t> GetDescriptor(std::uint8_t type, std::uint8_t index, std::uint16_t,
                                             std::span<std::uint8_t> buffer) override
    {
        if (!Alive())
            return std::nullopt;
        const UsbDescriptors& d = device_->descriptors;
        Bytes desc;
        if (type == 1 && index == 0 && !d.failDeviceDescriptor) {
            desc = {18, 1, 0x00, 0x02, 0xFF, 0, 0, 64,
                    static_cast<std::uint8_t>(d.vendorId), static_cast<std::uint8_t>(d.vendorId >> 8),
                    static_cast<std::uint8_t>(d.productId), static_cast<std::uint8_t>(d.productId >> 8),
                    0x00, 0x01, 1, 2, d.iSerialNumber, 1};
        } else if (type == 3 && index != 0 && index == d.iSerialNumber && !d.failSerialDescriptor) {
            desc = {static_cast<std::uint8_t>(2 + 2 * d.serial.size()), 3};
            for (char16_t c : d.serial) {
                desc.push_back(static_cast<std::uint8_t>(c));
                desc.push_back(static_cast<std::uint8_t>(c >> 8));
            }
        } else {
            return std::nullopt;
        }
        const std::size_t n = std::min(buffer.size(), desc.size());
        std::copy_n(desc.begin(), n, buffer.begin());
        if (type == 3 && d.reportedSerialLength)
            return *d.reportedSerialLength;
        return n;
    }

    std::optional<UsbInterfaceInfo> QueryInterfaceSettings() override
    {
        if (!Alive())
            return std::nullopt;
        UsbInterfaceInfo info;
        info.numEndpoints = static_cast<std::uint8_t>(device_->descriptors.endpoints.size());
        info.interfaceClass = 0xFF;
        return info;
    }

    std::optional<UsbPipeInfo> QueryPipe(std::uint8_t endpointIndex) override
    {
        const auto& endpoints = device_->descriptors.endpoints;
        if (!Alive() || endpointIndex >= endpoints.size())
            return std::nullopt;
        return endpoints[endpointIndex];
    }

    bool SetPipeTimeout(std::uint8_t pipeId, std::uint32_t ms) override
    {
        if (!Alive() || device_->transport.refusePipeTimeout || !(pipeId & 0x80))
            return false;
        device_->pipeTimeouts.push_back(ms);
        timeoutMs_ = ms;
        return true;
    }

    std::optional<std::size_t> ReadPipe(std::uint8_t pipeId, std::span<std::uint8_t> buffer) override
    {
        if (!(pipeId & 0x80) || !Alive())
            return std::nullopt;
        return device_->Read(buffer, timeoutMs_);
    }

    std::optional<std::size_t> WritePipe(std::uint8_t pipeId, std::span<const std::uint8_t> data) override
    {
        if ((pipeId & 0x80) || !Alive())
            return std::nullopt;
        return device_->Write(data);
    }

private:
    bool Alive() const { return device_->plugged() && device_->path_ == path_; }

    std::shared_ptr<SimUsbDevice> device_;
    std::string path_;
    std::shared_ptr<std::set<std::string>> held_;
    std::uint32_t timeoutMs_ = 0;
};

SimUsbHost::SimUsbHost(SimClock& clock) : clock_(clock), held_(std::make_shared<std::set<std::string>>()) {}

SimUsbHost::~SimUsbHost() = default;

std::string SimUsbHost::Attach(std::shared_ptr<SimUsbDevice> device)
{
    device->clock_ = &clock_;
    device->plugged_ = true;
    device->model().Replug();
    std::string path = "sim-usb-" + std::to_string(nextPath_++);
    device->path_ = path;
    devices_.emplace_back(path, std::move(device));
    return path;
}

void SimUsbHost::Detach(const SimUsbDevice& device)
{
    for (auto it = devices_.begin(); it != devices_.end(); ++it) {
        if (it->second.get() == &device) {
            it->second->plugged_ = false;
            devices_.erase(it);
            return;
        }
    }
}

std::optional<std::vector<std::string>> SimUsbHost::ListInterfaces(const Guid& interfaceClass)
{
    if (failListing)
        return std::nullopt;
    std::vector<std::string> paths;
    for (const auto& [path, device] : devices_)
        if (device->plugged() && !device->deniedToUser && device->interfaceClass == interfaceClass)
            paths.push_back(path);
    return paths;
}

std::vector<DeniedDevice> SimUsbHost::DeniedDevices() const
{
    std::vector<DeniedDevice> denied;
    for (const auto& [path, device] : devices_)
        if (device->plugged() && device->deniedToUser)
            denied.push_back({path, device->descriptors.vendorId, device->descriptors.productId});
    return denied;
}

std::unique_ptr<UsbHandle> SimUsbHost::Open(const std::string& path)
{
    ++openCalls;
    if (held_->count(path))
        return nullptr;
    for (const auto& [p, device] : devices_)
        if (p == path && device->plugged() && !device->deniedToUser)
            return std::make_unique<SimUsbHandle>(device, path, held_);
    return nullptr;
}

} // namespace qozel::sim
