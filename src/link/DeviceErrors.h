#pragma once

#include <cstdint>

namespace qozel {

// Device failure on the bulk side. Thrown by value by the channel, caught by
// the operation that issued the command; never shown to the user.
struct WUsbErr {
    std::int32_t code = 0;
    std::uint8_t cmd = 0;

    enum Code : std::int32_t {
        TimeoutRefused = 0,   // the platform refused the IN pipe's read time-out
        NotOpen = 1,          // Write or Read on a closed device
        NoReply = 3,          // no valid reply to the request nor to its resend
        StatusNotOk = 4,      // a reply that must be status 0 carried another
        BadLength = 6,        // a reply of a length the caller cannot use
        ReplyTooShort = 11,   // a data request for fewer than 2 bytes
        ReplyTooLong = 12,    // a data request for more bytes than a reply frame carries
        NoImage = 13,         // an upgrade step without an attached image
    };
};

// Device failure of the HID channel (keyboard reader).
struct QoHIDErr {
    std::int32_t code = 0;
    std::uint8_t cmd = 0;

    enum Code : std::int32_t {
        FrameTooLong = 0,     // request frame over 574 bytes
        FeatureRefused = 1,   // Set Feature or Get Feature refused
        NotOpen = 2,
        BadReply = 3,         // the reply report is not a valid reply
        BadLength = 4,        // a reply of a length the caller cannot use
        NoImage = 9,
    };
};

} // namespace qozel
