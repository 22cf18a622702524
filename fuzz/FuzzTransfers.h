#pragma once

#include "FuzzInput.h"

#include "SimFrame.h"
#include "SimUsbHost.h"

#include <span>

namespace qozel::fuzz {

// Queues `count` device transfers read from the input on `device`. Each is a
// form byte, a length byte L (L bytes below 128, else (L - 128) x 16 bytes,
// so that transfers longer than the frame buffer occur) and the bytes. Random bytes are seldom a
// frame, so the form also wraps them into well-formed frames, reaching the
// paths that accept or skip a frame as well as those that drop a transfer:
//   form % 4 == 0  the bytes as they are
//   form % 4 == 1  a frame whose code is the first byte
//   form % 4 == 2  a frame of `replyCode` carrying `prefix`, then the bytes
//   form % 4 == 3  an empty transfer
// and form / 4 * 4 ms is how long after now the transfer becomes readable,
// so that the channels' time bounds are reached too.
inline void QueueTransfers(Input& in, sim::SimUsbDevice& device, int count, std::uint8_t replyCode,
                           std::span<const std::uint8_t> prefix = {})
{
    for (int i = 0; i < count && !in.empty(); ++i) {
        const std::uint8_t form = in.Byte();
        const std::uint8_t length = in.Byte();
        Bytes bytes = in.Take(length < 128 ? length : (length - 128) * 16u);
        switch (form % 4) {
        case 1:
            if (!bytes.empty())
                bytes = sim::MakeFrame(bytes[0], std::span(bytes).subspan(1));
            break;
        case 2:
            bytes.insert(bytes.begin(), prefix.begin(), prefix.end());
            bytes = sim::MakeFrame(replyCode, bytes);
            break;
        case 3:
            bytes.clear();
            break;
        default:
            break;
        }
        device.QueueTransfer(std::move(bytes), form / 4 * 4u);
    }
}

} // namespace qozel::fuzz
