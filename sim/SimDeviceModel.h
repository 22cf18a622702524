#pragma once

#include "SimFrame.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <span>
#include <utility>
#include <vector>

namespace qozel::sim {

// Misbehaviour a test can order from any device model.
struct Faults {
    bool silent = false;                      // never answers
    bool answerOnlyResend = false;            // ignores each request until it is repeated
    std::optional<std::uint8_t> refuseCommand;  // this command is answered with `refusalStatus`
    std::uint8_t refusalStatus = 1;
    std::optional<std::uint8_t> wrongLengthFor; // this command's reply gets one byte too many
    std::optional<int> disconnectAfter;       // unplugged when a command arrives after this many
    std::optional<std::uint8_t> disconnectAt; // unplugged when this command arrives
};

// One fault at one request, counted over every device model that shares the
// plan, so that a test can strike each exchange of an operation in turn.
struct FaultPlan {
    enum class Kind { Silence, AnswerOnlyResend, WrongLength, Refusal, Unplug };

    std::optional<int> at;   // index of the request to strike; none = no fault
    Kind kind = Kind::Silence;
    int seen = 0;            // requests counted so far
};

struct Request {
    std::uint8_t code = 0;
    Bytes payload;
};

// The firmware side of a simulated device: takes one request, returns the
// reply payload (the transport adds the reply code and framing) or nothing.
// Concrete models keep their own state and refuse what the device would.
class SimDeviceModel {
public:
    virtual ~SimDeviceModel() = default;

    Faults faults;
    std::shared_ptr<FaultPlan> plan;

    // Runs one well-formed request through the fault settings and the model.
    std::optional<Bytes> Process(std::uint8_t code, std::span<const std::uint8_t> payload);

    // Every request that reached the device, in order, answered or not.
    const std::vector<Request>& requests() const noexcept { return requests_; }
    std::size_t CountOf(std::uint8_t code) const noexcept;
    void ClearRequests() noexcept { requests_.clear(); }

    // Set when a fault unplugged the device; the transport then drops it.
    bool unplugged() const noexcept { return unplugged_; }
    void Replug() noexcept { unplugged_ = false; }

    // Frames the device sends on its own (events), oldest first: code and payload.
    std::optional<std::pair<std::uint8_t, Bytes>> TakeUnsolicited();

protected:
    virtual std::optional<Bytes> HandleCommand(std::uint8_t code, std::span<const std::uint8_t> payload) = 0;
    void Emit(std::uint8_t code, Bytes payload) { unsolicited_.emplace_back(code, std::move(payload)); }

    static Bytes Status(std::uint8_t status) { return Bytes{status}; }

private:
    // Applies a planned fault to this request: true when it was answered
    // (or not) by the fault; `reply` then holds what goes back.
    bool Planned(const Request& request, std::optional<Bytes>& reply);

    std::vector<Request> requests_;
    std::deque<std::pair<std::uint8_t, Bytes>> unsolicited_;
    std::optional<Request> ignored_;
    // The struck request of a planned silence, whose resend goes unanswered too.
    std::optional<Request> silenced_;
    int handled_ = 0;
    bool unplugged_ = false;
};

} // namespace qozel::sim
