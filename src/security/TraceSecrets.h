#pragma once

#include <cstdint>
#include <span>

namespace qozel {

// Whether a whole frame, sent or received, of one device kind carries a
// password, a key, a key certificate or a card's or reader's secret: the
// login and password commands, the master key store, certificate issue,
// signing and load, the reset and backup certificates, card files (a backup
// card's file is a certificate), and the reader events that carry a PIN or a
// backup card's certificate. A support trace writes such frames without bytes.
bool ArkanFrameCarriesSecret(std::span<const std::uint8_t> frame);
bool ProgrammerFrameCarriesSecret(std::span<const std::uint8_t> frame);
bool ManagerFrameCarriesSecret(std::span<const std::uint8_t> frame);
bool KbReaderFrameCarriesSecret(std::span<const std::uint8_t> frame);

} // namespace qozel
