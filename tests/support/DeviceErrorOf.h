#pragma once

#include <gtest/gtest.h>

namespace qozel::testing {

// Runs `f` and returns the device error it throws (WUsbErr or QoHIDErr), so
// that a test can check both its code and its command byte. Records a
// failure when nothing is thrown.
template <typename Error, typename F>
Error ErrorOf(F f)
{
    try {
        f();
    } catch (const Error& e) {
        return e;
    }
    ADD_FAILURE() << "no device error thrown";
    return {-1, 0};
}

} // namespace qozel::testing
