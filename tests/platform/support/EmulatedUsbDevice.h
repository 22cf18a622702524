#pragma once

#include "Testbed.h" // umockdev first

#include "SimDeviceModel.h"
#include "UsbDescriptorFixtures.h"

#include <deque>
#include <memory>
#include <mutex>

namespace qozel::test {

struct EmulatedUsbSetup {
    std::uint8_t bus = 1;
    std::string ports = "1";       // port chain below the root hub, "2" or "2.3"
    std::uint8_t address = 2;
    std::uint16_t vendorId = 0x1209;
    std::uint16_t productId = 0x0001;
    std::u16string serial = u"00A1";
    std::vector<FixtureInterface> interfaces = {FixtureInterface{}};
    // What the control pipe answers; an empty one is refused with a stall.
    Bytes bos;
    Bytes msOs20Set;
    Bytes msOsString;
    Bytes msOs10Properties;
    std::uint8_t vendorCode = 0x20; // the code the BOS or the OS string names
};

// One USB device in the testbed: sysfs entry with its descriptors, and a
// device node whose usbdevfs ioctls (URB submit, reap, discard, interface
// claim) are answered here, on umockdev's thread. Bulk OUT transfers carry
// frames to the device model; its replies come back on the bulk IN pipe.
//
// The node is a FIFO kept full while no request waits to be reaped and empty
// otherwise: libusb polls the node for POLLOUT, so it sleeps in poll() instead
// of spinning.
class EmulatedUsbDevice {
public:
    EmulatedUsbDevice(Testbed& bed, EmulatedUsbSetup setup, std::shared_ptr<sim::SimDeviceModel> model);
    ~EmulatedUsbDevice();
    EmulatedUsbDevice(const EmulatedUsbDevice&) = delete;
    EmulatedUsbDevice& operator=(const EmulatedUsbDevice&) = delete;

    // The kernel's side of a disconnect: I/O fails with ENODEV from now on, the
    // sysfs entry and the node go away, and a remove event is sent. Idempotent.
    void Unplug();

    // The device node, e.g. /dev/bus/usb/001/002 (under the testbed's root).
    const std::string& Node() const noexcept { return devNode_; }
    // As the kernel shows a device before and after it has set its
    // configuration: without one it has no interfaces.
    void SetConfigured(bool configured);
    // Raw bytes the device has queued for its IN pipe, e.g. stale input.
    void QueueIn(Bytes transfer);
    // True once the model unplugged itself (a fault) or Unplug ran.
    bool Gone() const;
    int ControlRequests() const;
    int Ioctls() const;
    std::vector<Bytes> Written() const;

    // Runs `f` on the model under the lock the emulation thread takes.
    template <class F>
    auto WithModel(F f)
    {
        std::lock_guard lock(mutex_);
        return f(*model_);
    }

private:
    struct Urb;

    static gboolean OnIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer self);
    static void OnVanished(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer self);

    void HandleIoctl(UMockdevIoctlClient* client);
    void Submit(UMockdevIoctlClient* client);
    void Reap(UMockdevIoctlClient* client);
    void Discard(UMockdevIoctlClient* client);
    void AnswerControl(Urb& urb);
    void TakeOut(Urb& urb);
    void ServeIn();
    void FailPending();
    bool ControlReply(const std::uint8_t* setup, Bytes& reply) const;
    void UpdateReadiness();

    Testbed& bed_;
    EmulatedUsbSetup spec_;
    std::shared_ptr<sim::SimDeviceModel> model_;
    std::string sysPath_;
    std::string devNode_;
    Bytes config_;
    UMockdevIoctlBase* handler_ = nullptr;
    int fifo_ = -1;

    mutable std::mutex mutex_;
    std::deque<std::shared_ptr<Urb>> pendingIn_;
    std::deque<std::shared_ptr<Urb>> completed_;
    std::deque<Bytes> inQueue_;
    std::vector<Bytes> written_;
    int controlRequests_ = 0;
    int ioctls_ = 0;
    bool gone_ = false;
    bool removed_ = false;
};

} // namespace qozel::test
