#pragma once

#include "security/Sha256.h"

namespace qozel {

// SHA-256 of the SHA-256 digest of the message.
class Sha256d : public Sha256 {
public:
    void Final(std::uint8_t* output) override;
};

} // namespace qozel
