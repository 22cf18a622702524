#pragma once

#include "security/AES.h"

namespace qozel {

// AES with a 16-byte key.
class AES128 : public AES {
public:
    AES128() : AES(4, 10) {}
};

} // namespace qozel
