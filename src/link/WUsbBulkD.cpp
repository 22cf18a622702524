#include "link/WUsbBulkD.h"

#include "link/DeviceErrors.h"
#include "link/Frame.h"
#include "link/TraceSet.h"
#include "platform/SecureMemory.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace qozel {
namespace {

constexpr std::uint8_t kDescDevice = 1;
constexpr std::uint8_t kDescString = 3;
constexpr std::uint16_t kLangEnUs = 0x0409;
constexpr std::size_t kDeviceDescSize = 18;
constexpr std::size_t kSerialDescMax = 254;
constexpr std::size_t kDrainChunk = 1000;

} // namespace

std::uint32_t ParseSerial(std::u16string_view text) noexcept
{
    std::size_t i = 0;
    auto isSpace = [](char16_t c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
    auto digit = [](char16_t c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    while (i < text.size() && isSpace(text[i]))
        ++i;
    if (i + 2 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X') &&
        digit(text[i + 2]) >= 0)
        i += 2;
    std::uint64_t value = 0;
    for (; i < text.size(); ++i) {
        const int d = digit(text[i]);
        if (d < 0)
            break;
        value = value * 16 + static_cast<unsigned>(d);
        if (value > 0xFFFFFFFFu)
            return 0xFFFFFFFFu;
    }
    return static_cast<std::uint32_t>(value);
}

WUsbBulkD::WUsbBulkD(UsbHost& host, Clock& clock, const Guid& interfaceClass)
    : trace(&GlobalTrace()), host_(host), clock_(clock), guid_(interfaceClass)
{
}

WUsbBulkD::~WUsbBulkD() = default;

bool WUsbBulkD::Open()
{
    if (open_)
        return true;
    const auto paths = host_.ListInterfaces(guid_);
    if (!paths)
        return false;
    for (const std::string& path : *paths) {
        // The host refuses a path this process already holds, so a second
        // object of a kind lands on a second device.
        auto handle = host_.Open(path);
        if (!handle)
            continue;
        if (ReadDescriptors(*handle)) {
            handle_ = std::move(handle);
            break;
        }
    }
    if (!handle_)
        return false;
    timeout_ = 0;
    try {
        SetTimeout(kOpenTimeoutMs);
    } catch (...) {
        // Release the interface so that the next attempt can open it again.
        Close();
        throw;
    }
    drained_ = false;
    continuityFlag = false;
    open_ = true;
    return true;
}

bool WUsbBulkD::ReadDescriptors(UsbHandle& handle)
{
    std::array<std::uint8_t, kDeviceDescSize> device{};
    const auto deviceLen = handle.GetDescriptor(kDescDevice, 0, kLangEnUs, device);
    if (!deviceLen || *deviceLen < kDeviceDescSize)
        return false;
    vendorId_ = GetLe16(&device[8]);
    productId_ = GetLe16(&device[10]);

    std::array<std::uint8_t, 512> serialDesc;
    serialDesc.fill(0xFF);
    const auto serialLen =
        handle.GetDescriptor(kDescString, device[16], kLangEnUs, std::span(serialDesc).first(kSerialDescMax));
    if (!serialLen)
        return false;
    // The text ends where the received bytes end; a platform claiming more
    // than it could have put into the buffer is not believed.
    const std::size_t received = std::min(*serialLen, kSerialDescMax);
    const std::size_t textUnits = received > 2 ? (received - 2) / 2 : 0;
    std::u16string text(textUnits, u'\0');
    for (std::size_t k = 0; k < textUnits; ++k)
        text[k] = static_cast<char16_t>(GetLe16(&serialDesc[2 + 2 * k]));
    serial_ = ParseSerial(text);

    const auto settings = handle.QueryInterfaceSettings();
    if (!settings)
        return false;
    bool haveIn = false;
    bool haveOut = false;
    for (std::uint8_t i = 0; i < settings->numEndpoints; ++i) {
        const auto pipe = handle.QueryPipe(i);
        if (!pipe)
            return false;
        if (pipe->type != UsbPipeType::Bulk)
            continue;
        const bool in = (pipe->pipeId & 0x80) != 0;
        bool& have = in ? haveIn : haveOut;
        if (have)
            return false; // a second bulk pipe of one direction makes the device unusable
        have = true;
        (in ? inPipe_ : outPipe_) = pipe->pipeId;
    }
    return haveIn && haveOut;
}

void WUsbBulkD::Close()
{
    handle_.reset();
    continuityFlag = false;
    open_ = false;
}

void WUsbBulkD::SetTimeout(std::int32_t ms)
{
    if (ms == timeout_ || !handle_)
        return;
    if (!handle_->SetPipeTimeout(inPipe_, static_cast<std::uint32_t>(ms)))
        throw WUsbErr{WUsbErr::TimeoutRefused, 0};
    timeout_ = ms;
}

void WUsbBulkD::Drain()
{
    std::array<std::uint8_t, kDrainChunk> scratch;
    // Stale input may be a late reply with a certificate in it.
    ScopedWipe wipe(scratch, 0);
    const std::uint64_t start = clock_.Microseconds();
    for (int reads = 0; reads < kDrainMaxReads; ++reads) {
        const std::size_t count = Read(scratch);
        wipe.Cover(count);
        if (count == 0 || clock_.Microseconds() - start > kDrainLimitUs)
            break;
    }
    drained_ = true;
}

bool WUsbBulkD::Write(std::span<const std::uint8_t> data)
{
    if (!open_)
        throw WUsbErr{WUsbErr::NotOpen, 0};
    if (!drained_)
        Drain();
    trace->TraceBytes(1, data, serial_, kTraceMark);
    const auto written = handle_->WritePipe(outPipe_, data);
    if (!written)
        return false;
    if (*written < data.size())
        trace->TraceText("Nie wszystkie bajty zostały wysłane.");
    return *written == data.size();
}

std::size_t WUsbBulkD::Read(std::span<std::uint8_t> buffer)
{
    if (!open_)
        throw WUsbErr{WUsbErr::NotOpen, 0};
    const std::size_t count = std::min(handle_->ReadPipe(inPipe_, buffer).value_or(0), buffer.size());
    trace->TraceBytes(0, buffer.first(count), serial_, kTraceMark);
    return count;
}

} // namespace qozel
