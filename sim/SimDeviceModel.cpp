#include "SimDeviceModel.h"

#include <algorithm>

namespace qozel::sim {

std::optional<Bytes> SimDeviceModel::Process(std::uint8_t code, std::span<const std::uint8_t> payload)
{
    Request request{code, Bytes(payload.begin(), payload.end())};
    requests_.push_back(request);
    if (std::optional<Bytes> reply; Planned(request, reply))
        return reply;

    if ((faults.disconnectAt && *faults.disconnectAt == code) ||
        (faults.disconnectAfter && handled_ >= *faults.disconnectAfter)) {
        unplugged_ = true;
        return std::nullopt;
    }
    ++handled_;
    if (faults.silent)
        return std::nullopt;
    if (faults.answerOnlyResend) {
        const bool repeated = ignored_ && ignored_->code == code && ignored_->payload == request.payload;
        if (!repeated) {
            ignored_ = std::move(request);
            return std::nullopt;
        }
        ignored_.reset();
    }
    if (faults.refuseCommand && *faults.refuseCommand == code)
        return Status(faults.refusalStatus);

    auto reply = HandleCommand(code, payload);
    if (reply && faults.wrongLengthFor && *faults.wrongLengthFor == code)
        reply->push_back(0xEE);
    return reply;
}

bool SimDeviceModel::Planned(const Request& request, std::optional<Bytes>& reply)
{
    if (!plan)
        return false;
    const int index = plan->seen++;
    if (silenced_) {
        const bool resend = silenced_->code == request.code && silenced_->payload == request.payload;
        silenced_.reset();
        if (resend)
            return true;
    }
    if (index != plan->at)
        return false;
    switch (plan->kind) {
    case FaultPlan::Kind::Silence: silenced_ = request; return true;
    case FaultPlan::Kind::AnswerOnlyResend: return true;
    case FaultPlan::Kind::Unplug: unplugged_ = true; return true;
    case FaultPlan::Kind::Refusal: reply = Status(1); return true;
    case FaultPlan::Kind::WrongLength:
        reply = HandleCommand(request.code, request.payload);
        if (reply)
            reply->push_back(0xEE);
        return true;
    }
    return false;
}

std::size_t SimDeviceModel::CountOf(std::uint8_t code) const noexcept
{
    return static_cast<std::size_t>(
        std::count_if(requests_.begin(), requests_.end(), [code](const Request& r) { return r.code == code; }));
}

std::optional<std::pair<std::uint8_t, Bytes>> SimDeviceModel::TakeUnsolicited()
{
    if (unsolicited_.empty())
        return std::nullopt;
    auto frame = std::move(unsolicited_.front());
    unsolicited_.pop_front();
    return frame;
}

} // namespace qozel::sim
