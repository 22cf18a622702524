// Feeds arbitrary settings to the keyboard reader's output configuration
// record, and arbitrary answers of the reader to writing it and to its
// refresh (state and key signature). The record may carry only the bits and
// key codes of its layout; the two halves reach the reader as they are, the
// second only after the first was accepted; the write succeeds exactly when
// both were accepted and otherwise reports one error; a refresh takes a
// signature only from a whole answer of a reader that shows keys.
#include "devices/kbreader/QoK31.h"
#include "link/DeviceErrors.h"
#include "link/Frame.h"

#include "FuzzInput.h"
#include "ScriptedPrompts.h"
#include "SimHidHost.h"

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <map>

namespace {

using namespace qozel;
using fuzz::Bytes;
using fuzz::Input;

// A reader that answers each command with the next of the answers queued
// for it, and not at all when none is left.
class QueuedModel final : public sim::SimDeviceModel {
public:
    std::map<std::uint8_t, std::deque<Bytes>> answers;

protected:
    std::optional<Bytes> HandleCommand(std::uint8_t code, std::span<const std::uint8_t>) override
    {
        auto& queue = answers[code];
        if (queue.empty())
            return std::nullopt;
        Bytes answer = std::move(queue.front());
        queue.pop_front();
        return answer;
    }
};

bool IsKeyCode(std::uint8_t code)
{
    return std::find(KeyCodeTable.begin(), KeyCodeTable.end(), code) != KeyCodeTable.end();
}

KbRdConfig BuildChecked(Input& in, std::array<KbRdFieldSetting, 4>& fields)
{
    for (KbRdFieldSetting& field : fields) {
        const std::uint8_t bits = in.Byte();
        field = {(bits & 1) != 0, (bits & 2) != 0, static_cast<int>(in.Le32())};
    }
    const int endItem = static_cast<int>(in.Le32());
    const bool enter = (in.Byte() & 1) != 0;
    const KbRdConfig config = BuildKbRdConfig(fields, endItem, enter);
    // Only bytes 1, 2, 9-13 and 15 carry anything, and only their bits.
    for (const std::size_t zero : {0, 3, 4, 5, 6, 7, 8, 14})
        if (config[zero] != 0)
            std::abort();
    if ((config[1] & ~0x20) != 0 || (config[2] & ~0x07) != 0 || (config[15] & ~0x9E) != 0 ||
        ((config[15] & 0x80) != 0) != enter)
        std::abort();
    for (std::size_t k = 0; k < fields.size(); ++k) {
        const int item = fields[k].separatorItem;
        const std::uint8_t code = item >= 0 && item < static_cast<int>(KeyCodeTable.size()) ? KeyCodeTable[item] : 0;
        if (config[9 + k] != code || ((config[15] >> (k + 1)) & 1) != (fields[k].hex ? 1 : 0))
            std::abort();
    }
    if (!IsKeyCode(config[13]))
        std::abort();
    return config;
}

// An answer of arbitrary length, mostly the one status byte.
Bytes Answer(Input& in)
{
    const std::uint8_t form = in.Byte();
    return form % 4 == 0 ? in.Take(form / 4 % 8) : Bytes{static_cast<std::uint8_t>(form / 4 % 2)};
}

void Write(Input& in, QoK31& reader, QueuedModel& model, const KbRdConfig& config)
{
    const Bytes first = Answer(in);
    const Bytes second = Answer(in);
    model.answers[QoK31::kCmdWriteConfig] = {first, second};
    model.ClearRequests();
    sim::ScriptedPrompts prompts;
    reader.keySignature = 0x5A5A5A5A;
    const bool written = reader.WriteConfig(config, prompts);

    const auto& requests = model.requests();
    const bool firstAccepted = first == Bytes{0};
    const Bytes half0 = [&] { Bytes b{0}; b.insert(b.end(), config.begin(), config.begin() + 8); return b; }();
    const Bytes half1 = [&] { Bytes b{1}; b.insert(b.end(), config.begin() + 8, config.end()); return b; }();
    if (requests.empty() || requests[0].payload != half0 || requests.size() != (firstAccepted ? 2u : 1u) ||
        (firstAccepted && requests[1].payload != half1))
        std::abort();
    if (written != (firstAccepted && second == Bytes{0}) || prompts.shown.size() != (written ? 0u : 1u))
        std::abort();
    if (written)
        return;
    const std::string& text = prompts.shown[0].text;
    const bool lost = text == kKbRdNoConnectionMsg;
    if (prompts.shown[0].kind != sim::ScriptedPrompts::Kind::Error || (!lost && text != kKbRdConfigRefusedMsg) ||
        lost != !reader.IsOpen() || (lost && reader.keySignature != 0))
        std::abort();
}

void Refresh(Input& in, QoK31& reader, QueuedModel& model)
{
    const Bytes state = in.Take(in.Byte() % 12);
    const Bytes signature = in.Take(in.Byte() % 8);
    model.answers[kCmdReadState] = {state};
    model.answers[QoK31::kCmdKeySignature] = {signature};
    const std::uint32_t before = reader.keySignature;
    try {
        reader.Refresh();
    } catch (const QoHIDErr&) {
        if (reader.keySignature != before)
            std::abort();
        return;
    }
    if (state.size() < 8 || reader.info.flags != GetLe16(&state[6]))
        std::abort();
    const bool keys = (reader.info.flags & QoK31::kKeysLoaded) == QoK31::kKeysLoaded;
    if (keys ? signature.size() < 4 || reader.keySignature != GetLe32(signature.data()) : reader.keySignature != before)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    sim::SimHidHost host;
    auto model = std::make_shared<QueuedModel>();
    host.Attach(std::make_shared<sim::SimHidDevice>(model, HidAttributes{DeviceVendorId, KbRdProductId, 1}));
    QoK31 reader(host);
    Input in{data, size};
    std::array<KbRdFieldSetting, 4> fields;
    const KbRdConfig config = BuildChecked(in, fields);
    while (!in.empty()) {
        if (!reader.IsOpen() && !reader.Open())
            std::abort();
        if (in.Byte() % 2 == 0)
            Write(in, reader, *model, config);
        else
            Refresh(in, reader, *model);
    }
    return 0;
}
