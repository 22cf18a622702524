#pragma once

#include "platform/Clock.h"
#include "platform/Guid.h"
#include "platform/UsbHost.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

namespace qozel {

class TraceSet;

// Interface class GUIDs by which the three bulk device kinds are found.
inline constexpr Guid kArkanGuid = *Guid::Parse("{3D9A61C4-52E7-4F08-9B1D-7A2C5E34F810}");
inline constexpr Guid kProgrammerGuid = *Guid::Parse("{A7E04B19-C3D2-4E5A-8F61-20B9D4C7E5A2}");
inline constexpr Guid kManagerGuid = *Guid::Parse("{6F1B83D2-9A4C-47E3-B0D5-E8C2147A3B96}");

// USB bulk transport of one device kind: finds the first free interface of the
// kind's GUID with exactly one bulk IN and one bulk OUT pipe, and moves bytes.
class WUsbBulkD {
public:
    // Read time-out set by every successful Open.
    static constexpr std::int32_t kOpenTimeoutMs = 50;
    // The drain of stale input before the first write gives up after this long
    // or this many reads, so that a device that never stops sending cannot hold it.
    static constexpr std::uint64_t kDrainLimitUs = 500'000;
    static constexpr int kDrainMaxReads = 256;

    WUsbBulkD(UsbHost& host, Clock& clock, const Guid& interfaceClass);
    WUsbBulkD(const WUsbBulkD&) = delete;
    WUsbBulkD& operator=(const WUsbBulkD&) = delete;
    ~WUsbBulkD();

    // True when a device of the kind is open (also when it already was).
    bool Open();
    // Releases the device; safe when closed.
    void Close();
    // Read time-out of the IN pipe in ms; the platform is asked only on a change.
    // Throws WUsbErr 0 when the platform refuses.
    void SetTimeout(std::int32_t ms);
    // True only when every byte went out. Throws WUsbErr 1 when not open.
    bool Write(std::span<const std::uint8_t> data);
    // Bytes of one transfer, 0 on time-out or failure. Throws WUsbErr 1 when not open.
    std::size_t Read(std::span<std::uint8_t> buffer);

    bool IsOpen() const noexcept { return open_; }
    const Guid& interfaceClass() const noexcept { return guid_; }
    std::uint16_t vendorId() const noexcept { return vendorId_; }
    std::uint16_t productId() const noexcept { return productId_; }
    std::uint8_t inPipe() const noexcept { return inPipe_; }
    std::uint8_t outPipe() const noexcept { return outPipe_; }
    std::uint32_t serial() const noexcept { return serial_; }
    std::int32_t timeout() const noexcept { return timeout_; }

    // Trace sink of this device; the global do-nothing sink unless replaced.
    TraceSet* trace;
    // Cleared by Open and Close; the device set sets it and later tests it to
    // learn whether the device was unplugged or replaced in between.
    bool continuityFlag = false;

    // The clock the transport waits on; the login's pause between two
    // challenge requests uses it too.
    Clock& clock() noexcept { return clock_; }

private:
    bool ReadDescriptors(UsbHandle& handle);
    void Drain();

    UsbHost& host_;
    Clock& clock_;
    Guid guid_;
    std::unique_ptr<UsbHandle> handle_;
    std::uint16_t vendorId_ = 0;
    std::uint16_t productId_ = 0;
    std::uint8_t inPipe_ = 0;
    std::uint8_t outPipe_ = 0;
    std::uint32_t serial_ = 0;
    std::int32_t timeout_ = 0;
    bool open_ = false;
    bool drained_ = false;
};

// The USB serial-number text parsed like an unsigned base-16 conversion:
// leading white space skipped, optional 0x, stops at the first non-digit,
// 0 when there is none, 0xFFFFFFFF on overflow.
std::uint32_t ParseSerial(std::u16string_view text) noexcept;

} // namespace qozel
