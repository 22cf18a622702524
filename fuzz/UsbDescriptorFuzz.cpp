// Feeds arbitrary device answers to the parsers of what a USB device declares
// about itself (BOS, MS OS 2.0 descriptor set, MS OS 1.0 OS string and
// extended properties, UTF-16 GUID strings). Whatever a device sends, they
// must stay inside the bytes received and return only well-formed results.
//
// Random bytes seldom get past the fixed fields at the start of a descriptor,
// so most inputs are read as records from which descriptors are built, each
// length field either the right one or one taken from the input.
#include "platform/usb/MsOs10Descriptors.h"
#include "platform/usb/MsOs20Descriptors.h"
#include "platform/usb/UsbGuidStrings.h"

#include "FuzzInput.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using namespace qozel;
using fuzz::Bytes;
using fuzz::Input;

void Put(Bytes& b, std::size_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        b.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void Append(Bytes& b, const Bytes& more)
{
    b.insert(b.end(), more.begin(), more.end());
}

// How one length field is written: mostly the right value, sometimes a near
// miss of it (wrapping below zero) or anything. Read before the bytes the
// field describes, so that the input's last record can still be bent.
struct Bend {
    std::uint8_t how = 0xFF;
    std::uint8_t value = 0;

    static Bend Read(Input& in)
    {
        Bend bend{in.Byte(), 0};
        if (bend.how < 24 && !(bend.how & 1))
            bend.value = in.Byte();
        return bend;
    }
    std::size_t Apply(std::size_t right) const
    {
        if (how >= 24)
            return right;
        return (how & 1) ? right + (how >> 1) % 8 - 4 : static_cast<std::size_t>(value | (how & 2) << 7);
    }
};

Bytes Utf16z(const std::string& text)
{
    Bytes out;
    for (const char c : text)
        Put(out, static_cast<unsigned char>(c), 2);
    Put(out, 0, 2);
    return out;
}

// A property name (one of those looked for, or another) and a value (a GUID
// list, or raw input).
std::pair<Bytes, Bytes> NameAndValue(std::uint8_t op, Input& in)
{
    static const char* const names[] = {"DeviceInterfaceGUIDs", "DeviceInterfaceGUID", "Label"};
    Bytes value = (op & 0x40) ? Utf16z("{3D9A61C4-52E7-4F08-9B1D-7A2C5E34F810}") : in.Take(in.Byte() % 64);
    if (op & 0x20)
        Put(value, 0, 2); // REG_MULTI_SZ's closing NUL
    return {Utf16z(names[(op >> 3) % 3]), value};
}

// What a device may answer: all of it, or a part. Each is a copy that fills
// its allocation exactly, so that a read past its end is caught.
std::vector<Bytes> Answers(const Bytes& b, Input& in)
{
    const auto part = static_cast<std::ptrdiff_t>(std::min<std::size_t>(b.size(), in.Byte()));
    return {Bytes(b.begin(), b.end()), Bytes(b.begin(), b.begin() + part)};
}

void MsOs20Set(Input& in)
{
    Bytes body;
    while (!in.empty()) {
        const std::uint8_t op = in.Byte();
        switch (op % 8) {
        case 0:
        case 1:
        case 2:
        case 3: { // registry property
            const Bend length = Bend::Read(in), nameLength = Bend::Read(in), dataLength = Bend::Read(in);
            const auto [name, value] = NameAndValue(op, in);
            Put(body, length.Apply(10 + name.size() + value.size()), 2);
            Put(body, 4, 2);
            Put(body, 7, 2);
            Put(body, nameLength.Apply(name.size()), 2);
            Append(body, name);
            Put(body, dataLength.Apply(value.size()), 2);
            Append(body, value);
            break;
        }
        case 4: // function subset header
            Put(body, Bend::Read(in).Apply(8), 2);
            Put(body, 2, 2);
            body.push_back(in.Byte());
            body.push_back(0);
            Put(body, in.Byte(), 2);
            break;
        case 5: // configuration subset header
            Put(body, Bend::Read(in).Apply(8), 2);
            Put(body, 1, 2);
            Put(body, in.Byte(), 4);
            break;
        case 6: // raw bytes
            Append(body, in.Take(in.Byte() % 32));
            break;
        default:
            break;
        }
    }
    Bytes set = {10, 0, 0, 0, 0, 0, 3, 6};
    Put(set, 10 + body.size(), 2);
    Append(set, body);
    for (const Bytes& answer : Answers(set, in)) {
        const auto found = ParseMsOs20DescriptorSet(answer, 0);
        for (std::size_t i = 0; i < found.size(); ++i) {
            if (found[i].guids.empty())
                std::abort();
            for (std::size_t j = 0; j < i; ++j)
                if (found[j].interfaceNumber == found[i].interfaceNumber)
                    std::abort();
        }
    }
}

void Bos(Input& in)
{
    static constexpr std::uint8_t uuid[] = {0xDF, 0x60, 0xDD, 0xD8, 0x89, 0x45, 0xC7, 0x4C,
                                            0x9C, 0xD2, 0x65, 0x9D, 0x9E, 0x64, 0x8A, 0x9F};
    Bytes body;
    while (!in.empty()) {
        const std::uint8_t op = in.Byte();
        const Bend length = Bend::Read(in);
        Bytes cap = {0, 0x10, static_cast<std::uint8_t>(op & 1 ? 5 : op), 0};
        if (op & 2)
            cap.insert(cap.end(), std::begin(uuid), std::end(uuid));
        Append(cap, in.Take(8 * (in.Byte() % 4)));
        cap[0] = static_cast<std::uint8_t>(length.Apply(cap.size()));
        Append(body, cap);
    }
    Bytes bos = {5, 0x0F};
    Put(bos, 5 + body.size(), 2);
    bos.push_back(0);
    Append(bos, body);
    for (const Bytes& answer : Answers(bos, in))
        if (const auto location = FindMsOs20Capability(answer); location && location->totalLength < 10)
            std::abort();
}

void MsOs10Properties(Input& in)
{
    Bytes body;
    std::size_t count = 0;
    while (!in.empty()) {
        const std::uint8_t op = in.Byte();
        const Bend size = Bend::Read(in), nameLength = Bend::Read(in), dataLength = Bend::Read(in);
        const auto [name, value] = NameAndValue(op, in);
        Put(body, size.Apply(14 + name.size() + value.size()), 4);
        Put(body, 7, 4);
        Put(body, nameLength.Apply(name.size()), 2);
        Append(body, name);
        Put(body, dataLength.Apply(value.size()), 4);
        Append(body, value);
        ++count;
    }
    Bytes all;
    Put(all, 10 + body.size(), 4);
    Put(all, 0x0100, 2);
    Put(all, 5, 2);
    Put(all, count, 2);
    Append(all, body);
    for (const Bytes& answer : Answers(all, in)) {
        const auto guids = ParseMsOs10ExtendedProperties(answer);
        for (std::size_t i = 0; i < guids.size(); ++i)
            if (std::find(guids.begin(), guids.begin() + static_cast<std::ptrdiff_t>(i), guids[i]) !=
                guids.begin() + static_cast<std::ptrdiff_t>(i))
                std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    Input in{data + 1, size - 1};
    const Bytes raw(in.data, in.data + in.size);
    switch (data[0] % 4) {
    case 0: MsOs20Set(in); break;
    case 1: Bos(in); break;
    case 2: MsOs10Properties(in); break;
    default:
        // Raw bytes for every parser, the fixed fields included.
        FindMsOs20Capability(raw);
        ParseMsOs20DescriptorSet(raw, data[0]);
        ParseMsOsStringDescriptor(raw);
        MsOs10PropertiesLength(raw);
        ParseMsOs10ExtendedProperties(raw);
        ParseGuidStrings(raw);
        Utf16NameEquals(raw, "DeviceInterfaceGUIDs");
    }
    return 0;
}
