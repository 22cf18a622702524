#pragma once

#include "platform/SecureMemory.h"

#include <string>
#include <string_view>

namespace qozel {

// Conversion between UTF-8 (the texts of the program and of the widgets) and
// Windows-1250 (the 8-bit code page the devices expect in password fields).
//
// The five bytes Windows-1250 leaves undefined (0x81, 0x83, 0x88, 0x90, 0x98)
// map to the C1 control characters of the same number, so every byte value
// converts to UTF-8 and back unchanged.

// Every byte becomes one character.
std::string Win1250ToUtf8(std::string_view text);

// Every character becomes one byte; a character the code page lacks, and every
// malformed UTF-8 sequence, becomes '?'.
std::string Utf8ToWin1250(std::string_view text);

// Writes the Windows-1250 form of `utf8` into `field`: at most its 20 bytes,
// the rest zero. A 20-character text fills the field with no terminating zero.
// No copy of the converted text is left anywhere else.
void FillPasswordField(std::string_view utf8, PasswordField& field);

} // namespace qozel
