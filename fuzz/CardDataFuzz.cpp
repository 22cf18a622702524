// Feeds arbitrary answers of the card programmer to what it reads of a card:
// the card status (UID, type, application state) and the card file with
// department and index, through the operations that read and program cards.
// A card is reported only from a full status; a card read succeeds exactly
// when the status and file answers are whole and name the same card, and
// then yields the department and index of the file; programming writes them
// in the file's layout for the card the status named.
#include "devices/programmer/QoG30.h"
#include "link/DeviceErrors.h"

#include "FuzzInput.h"
#include "ScriptedModel.h"
#include "SimUsbHost.h"
#include "VirtualClock.h"

#include <algorithm>
#include <cstdlib>

namespace {

using namespace qozel;
using fuzz::Bytes;
using fuzz::Input;

constexpr std::size_t kStatusSize = 16;
constexpr std::size_t kFileAnswerSize = 8 + QoG30::kCardDataSize;

// An answer of arbitrary length (form % 4 == 0), a status instead of data
// (1), or mostly one of the length the programmer sends.
Bytes Answer(Input& in, std::size_t usual)
{
    const std::uint8_t form = in.Byte();
    return in.Take(form % 4 == 0 ? form / 4 % 32u : form % 4 == 1 ? 1u : usual);
}

bool IsCard(const Bytes& status)
{
    return status.size() == kStatusSize && status[8] >> 2 == QoG30::kDesfire;
}

void Read(QoG30& programmer, const Bytes& status, const Bytes& file)
{
    const CardStatus before = programmer.cardStatus;
    std::int32_t department = -7;
    std::int32_t index = -7;
    const int result = programmer.ReadCard(department, index);
    if (status.size() != kStatusSize) {
        if (result != NoCard || programmer.cardStatus.uid != before.uid)
            std::abort();
        return;
    }
    if (!std::equal(programmer.cardStatus.uid.begin(), programmer.cardStatus.uid.end(), status.begin()) ||
        programmer.cardStatus.type != status[8] >> 2 || programmer.cardStatus.appState != (status[8] & 3))
        std::abort();
    const bool whole = IsCard(status) && (status[8] & 3) != 0 && file.size() == kFileAnswerSize &&
                       std::equal(status.begin(), status.begin() + 8, file.begin());
    if ((result == CardOk) != whole || result < CardOk || result > ReadFileFailed)
        std::abort();
    if (result == CardOk ? department != static_cast<std::int32_t>(GetLe32(&file[8])) ||
                               index != static_cast<std::int32_t>(GetLe32(&file[12]))
                         : department != -7 || index != -7)
        std::abort();
}

void Program(QoG30& programmer, sim::ScriptedModel& model, const Bytes& status, std::int32_t department,
             std::int32_t index)
{
    model.ClearRequests();
    const int result = programmer.ProgramCard(department, index);
    const bool accepted = IsCard(status) && (status[8] & 3) == 0 &&
                          model.replies[QoG30::kCmdPrepareCard][0] == 0 &&
                          model.replies[QoG30::kCmdWriteCardFile][0] == 0;
    if ((result == CardOk) != accepted)
        std::abort();
    for (const sim::Request& request : model.requests()) {
        if (request.code != QoG30::kCmdWriteCardFile)
            continue;
        // File 1, the card's UID, department and index, then zeros.
        Bytes expected{QoG30::kDataFile};
        expected.insert(expected.end(), status.begin(), status.begin() + 8);
        expected.resize(1 + 8 + QoG30::kCardDataSize);
        PutLe32(&expected[9], static_cast<std::uint32_t>(department));
        PutLe32(&expected[13], static_cast<std::uint32_t>(index));
        if (request.payload != expected)
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    sim::VirtualClock clock;
    sim::SimUsbHost host(clock);
    auto model = std::make_shared<sim::ScriptedModel>();
    auto device = std::make_shared<sim::SimUsbDevice>(kProgrammerGuid, model);
    host.Attach(device);
    QoG30 programmer(host, clock);
    Input in{data, size};
    while (!in.empty()) {
        if (!programmer.IsOpen() && !programmer.Open())
            std::abort();
        const std::uint8_t op = in.Byte();
        const Bytes status = Answer(in, kStatusSize);
        model->replies[QoG30::kCmdQueryCard] = status;
        model->replies[QoG30::kCmdReadCardFile] = Answer(in, kFileAnswerSize);
        model->replies[QoG30::kCmdPrepareCard] = {static_cast<std::uint8_t>(op >> 2 & 1)};
        model->replies[QoG30::kCmdWriteCardFile] = {static_cast<std::uint8_t>(op >> 3 & 1)};
        try {
            if (op % 2 == 0)
                Read(programmer, status, model->replies[QoG30::kCmdReadCardFile]);
            else
                Program(programmer, *model, status, static_cast<std::int32_t>(in.Le32()),
                        static_cast<std::int32_t>(in.Le32()));
        } catch (const WUsbErr&) {
            programmer.Close();
        }
    }
    return 0;
}
