#pragma once

#include "platform/Guid.h"

#include <cstdint>
#include <span>
#include <vector>

namespace qozel {

// The GUIDs in a registry string value as devices store it: UTF-16LE text,
// one string (REG_SZ) or several separated by NULs (REG_MULTI_SZ). Strings that
// are not a well-formed GUID are skipped; an odd trailing byte is ignored.
std::vector<Guid> ParseGuidStrings(std::span<const std::uint8_t> utf16le);

// True when the UTF-16LE `name` (with or without its terminating NUL) equals
// the ASCII `expected`, letters compared case-insensitively as registry names are.
bool Utf16NameEquals(std::span<const std::uint8_t> name, const char* expected);

} // namespace qozel
