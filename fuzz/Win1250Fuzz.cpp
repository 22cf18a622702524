// Feeds arbitrary text to the Windows-1250 conversions of passwords and
// reader PINs. Every byte value must come back from UTF-8 unchanged, a
// conversion to Windows-1250 yields at most one byte per input byte, and a
// password field holds the first 20 bytes of that conversion, zeros after.
#include "platform/Win1250.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace qozel;
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    if (Utf8ToWin1250(Win1250ToUtf8(text)) != text)
        std::abort();

    const std::string encoded = Utf8ToWin1250(text);
    if (encoded.size() > text.size())
        std::abort();
    PasswordField field;
    FillPasswordField(text, field);
    const std::size_t kept = std::min(encoded.size(), field.size());
    if (!std::equal(encoded.begin(), encoded.begin() + static_cast<std::ptrdiff_t>(kept), field.bytes.begin(),
                    [](char c, std::uint8_t b) { return static_cast<std::uint8_t>(c) == b; }) ||
        std::any_of(field.bytes.begin() + static_cast<std::ptrdiff_t>(kept), field.bytes.end(),
                    [](std::uint8_t b) { return b != 0; }))
        std::abort();
    return 0;
}
