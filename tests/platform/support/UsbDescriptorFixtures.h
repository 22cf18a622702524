#pragma once

#include "platform/Guid.h"

#include <cstdint>
#include <string>
#include <vector>

namespace qozel::test {

using Bytes = std::vector<std::uint8_t>;

// Byte images of the descriptors a device of the family reports, built field
// by field so that tests can also cut or bend them.

struct FixtureInterface {
    std::uint8_t number = 0;
    std::vector<std::uint8_t> bulkEndpoints = {0x81, 0x01};
};

Bytes DeviceDescriptor(std::uint16_t vendorId, std::uint16_t productId, std::uint16_t bcdUsb = 0x0210,
                       std::uint16_t bcdDevice = 0x0100);
Bytes ConfigDescriptor(const std::vector<FixtureInterface>& interfaces);
Bytes StringDescriptor(const std::u16string& text);

// UTF-16LE bytes of one string, with its terminating NUL.
Bytes Utf16z(const std::string& ascii);
// REG_MULTI_SZ data: each GUID text NUL-terminated, one more NUL at the end.
Bytes MultiSz(const std::vector<std::string>& strings);

// MS OS 2.0: a registry property descriptor, a function subset around some
// descriptors, the whole set with its header, and a BOS announcing the set.
Bytes RegistryProperty(const std::string& name, const Bytes& data, std::uint16_t dataType = 7);
Bytes FunctionSubset(std::uint8_t firstInterface, const Bytes& contents);
Bytes ConfigurationSubset(const Bytes& contents);
Bytes MsOs20Set(const Bytes& contents);
Bytes BosWithMsOs20(std::uint16_t setLength, std::uint8_t vendorCode);

// MS OS 1.0: the "MSFT100" string and an extended-properties descriptor.
Bytes MsOsString(std::uint8_t vendorCode);
struct ExtendedProperty {
    std::string name;
    Bytes data;
    std::uint32_t dataType = 7;
};
Bytes ExtendedProperties(const std::vector<ExtendedProperty>& properties);

inline Bytes operator+(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

} // namespace qozel::test
