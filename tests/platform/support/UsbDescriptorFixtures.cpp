#include "UsbDescriptorFixtures.h"

namespace qozel::test {
namespace {

void Put16(Bytes& b, std::uint16_t v)
{
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}

void Put32(Bytes& b, std::uint32_t v)
{
    Put16(b, static_cast<std::uint16_t>(v));
    Put16(b, static_cast<std::uint16_t>(v >> 16));
}

void Set16(Bytes& b, std::size_t at, std::size_t v)
{
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

void Append(Bytes& b, const Bytes& more)
{
    b.insert(b.end(), more.begin(), more.end());
}

} // namespace

Bytes DeviceDescriptor(std::uint16_t vendorId, std::uint16_t productId, std::uint16_t bcdUsb,
                       std::uint16_t bcdDevice)
{
    Bytes d = {18, 1};
    Put16(d, bcdUsb);
    Append(d, {0, 0, 0, 64});
    Put16(d, vendorId);
    Put16(d, productId);
    Put16(d, bcdDevice);
    Append(d, {1, 2, 3, 1});
    return d;
}

Bytes ConfigDescriptor(const std::vector<FixtureInterface>& interfaces)
{
    Bytes d = {9, 2, 0, 0, static_cast<std::uint8_t>(interfaces.size()), 1, 0, 0x80, 50};
    for (const FixtureInterface& itf : interfaces) {
        Append(d, {9, 4, itf.number, 0, static_cast<std::uint8_t>(itf.bulkEndpoints.size()), 0xFF, 0, 0, 0});
        for (std::uint8_t ep : itf.bulkEndpoints)
            Append(d, {7, 5, ep, 2, 64, 0, 0});
    }
    Set16(d, 2, d.size());
    return d;
}

Bytes StringDescriptor(const std::u16string& text)
{
    Bytes d = {static_cast<std::uint8_t>(2 + 2 * text.size()), 3};
    for (char16_t c : text)
        Put16(d, c);
    return d;
}

Bytes Utf16z(const std::string& ascii)
{
    Bytes b;
    for (char c : ascii)
        Put16(b, static_cast<std::uint8_t>(c));
    Put16(b, 0);
    return b;
}

Bytes MultiSz(const std::vector<std::string>& strings)
{
    Bytes b;
    for (const std::string& s : strings)
        Append(b, Utf16z(s));
    Put16(b, 0);
    return b;
}

Bytes RegistryProperty(const std::string& name, const Bytes& data, std::uint16_t dataType)
{
    const Bytes n = Utf16z(name);
    Bytes d;
    Put16(d, static_cast<std::uint16_t>(10 + n.size() + data.size()));
    Put16(d, 4);
    Put16(d, dataType);
    Put16(d, static_cast<std::uint16_t>(n.size()));
    Append(d, n);
    Put16(d, static_cast<std::uint16_t>(data.size()));
    Append(d, data);
    return d;
}

Bytes FunctionSubset(std::uint8_t firstInterface, const Bytes& contents)
{
    Bytes d = {8, 0, 2, 0, firstInterface, 0};
    Put16(d, static_cast<std::uint16_t>(8 + contents.size()));
    Append(d, contents);
    return d;
}

Bytes ConfigurationSubset(const Bytes& contents)
{
    Bytes d = {8, 0, 1, 0, 0, 0};
    Put16(d, static_cast<std::uint16_t>(8 + contents.size()));
    Append(d, contents);
    return d;
}

Bytes MsOs20Set(const Bytes& contents)
{
    Bytes d = {10, 0, 0, 0};
    Put32(d, 0x06030000);
    Put16(d, static_cast<std::uint16_t>(10 + contents.size()));
    Append(d, contents);
    return d;
}

Bytes BosWithMsOs20(std::uint16_t setLength, std::uint8_t vendorCode)
{
    Bytes d = {5, 0x0F, 0, 0, 1};
    Append(d, {28, 0x10, 0x05, 0x00, 0xDF, 0x60, 0xDD, 0xD8, 0x89, 0x45, 0xC7, 0x4C, 0x9C, 0xD2, 0x65, 0x9D,
               0x9E, 0x64, 0x8A, 0x9F});
    Put32(d, 0x06030000);
    Put16(d, setLength);
    Append(d, {vendorCode, 0});
    Set16(d, 2, d.size());
    return d;
}

Bytes MsOsString(std::uint8_t vendorCode)
{
    Bytes d = {18, 3};
    for (char c : std::string("MSFT100"))
        Put16(d, static_cast<std::uint8_t>(c));
    Append(d, {vendorCode, 0});
    return d;
}

Bytes ExtendedProperties(const std::vector<ExtendedProperty>& properties)
{
    Bytes d(4, 0);
    Put16(d, 0x0100);
    Put16(d, 5);
    Put16(d, static_cast<std::uint16_t>(properties.size()));
    for (const ExtendedProperty& p : properties) {
        const Bytes n = Utf16z(p.name);
        Put32(d, static_cast<std::uint32_t>(14 + n.size() + p.data.size()));
        Put32(d, p.dataType);
        Put16(d, static_cast<std::uint16_t>(n.size()));
        Append(d, n);
        Put32(d, static_cast<std::uint32_t>(p.data.size()));
        Append(d, p.data);
    }
    const auto total = static_cast<std::uint32_t>(d.size());
    for (int i = 0; i < 4; ++i)
        d[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(total >> (8 * i));
    return d;
}

} // namespace qozel::test
