#include "link/QoHID.h"

#include "link/DeviceErrors.h"
#include "link/Frame.h"
#include "link/TraceSet.h"
#include "platform/SecureMemory.h"

#include <algorithm>

namespace qozel {

QoHID::QoHID(HidHost& host, std::uint16_t productId)
    : trace(&GlobalTrace()), host_(host), productId_(productId)
{
}

QoHID::~QoHID() = default;

int QoHID::ImageVersion()
{
    blockCounter = 0;
    return image ? image->VersionFor(info.type) : 0;
}

bool QoHID::Open()
{
    const auto paths = host_.ListInterfaces();
    if (!paths)
        return false;
    for (const std::string& path : *paths) {
        auto handle = host_.Open(path);
        if (!handle)
            continue;
        const auto attributes = handle->GetAttributes();
        if (attributes && attributes->vendorId == DeviceVendorId && attributes->productId == productId_) {
            release_ = attributes->versionNumber;
            handle_ = std::move(handle);
            return true;
        }
    }
    return false;
}

void QoHID::Close()
{
    handle_.reset();
    info = {};
    image = nullptr;
}

std::size_t QoHID::Exchange(std::uint8_t command, std::span<const std::uint8_t> request,
                            std::span<std::uint8_t> reply)
{
    std::array<std::uint8_t, kHidReportBuffer> report{};
    const std::size_t length = request.size() + kFrameOverhead;
    if (!handle_)
        throw QoHIDErr{QoHIDErr::NotOpen, 0};
    if (length > kHidMaxFrame)
        throw QoHIDErr{QoHIDErr::FrameTooLong, 0};

    // Requests carry key certificates: the report that sent one is cleared
    // before the reply comes into the same buffer, and the reply on the way out.
    const std::size_t requestReport = HidReportLength(length);
    ScopedWipe wipe(report, requestReport);
    report[0] = static_cast<std::uint8_t>(0x41 + HidReportIndex(length));
    BuildFrame(command, request, std::span(report).subspan(1));
    trace->TraceBytes(1, std::span(report).subspan(1, length), info.nr, kTraceMark);
    const bool sent = handle_->SetFeature(std::span(report).first(requestReport));
    wipe.Wipe();
    if (!sent)
        throw QoHIDErr{QoHIDErr::FeatureRefused, 0};

    wipe.Cover(kHidReplyReportSize);
    report[0] = kHidReplyReportId;
    if (!handle_->GetFeature(std::span(report).first(kHidReplyReportSize)))
        throw QoHIDErr{QoHIDErr::FeatureRefused, 0};
    // The length field is not checked yet: hand the sink no more than the buffer holds.
    const std::size_t m = GetLe16(&report[1]);
    trace->TraceBytes(0, std::span(report).subspan(1, std::min(m, kHidReportBuffer - 1)), info.nr, kTraceMark);

    const bool valid = report[0] == kHidReplyReportId && report[3] == (command | kReplyBit) &&
                       m >= kFrameOverhead && m <= kHidReplyReportSize - 1 &&
                       Crc16(std::span(report).subspan(1, m)) == 0;
    if (!valid)
        throw QoHIDErr{QoHIDErr::BadReply, 0};
    const std::size_t payload = m - kFrameOverhead;
    std::copy_n(report.begin() + 4, std::min(payload, reply.size()), reply.begin());
    return payload;
}

std::uint8_t QoHID::ExchangeStatus(std::uint8_t command, std::span<const std::uint8_t> request)
{
    std::array<std::uint8_t, 1> status{};
    if (Exchange(command, request, status) != 1)
        throw QoHIDErr{QoHIDErr::BadLength, command};
    return status[0];
}

void QoHID::ReadState()
{
    std::array<std::uint8_t, DevInfo::kSize> reply{};
    // The record is the first eight bytes; a reader may send more.
    if (Exchange(kCmdReadState, {}, reply) < DevInfo::kSize)
        throw QoHIDErr{QoHIDErr::BadLength, kCmdReadState};
    info = DevInfo::FromBytes(reply);
}

} // namespace qozel
