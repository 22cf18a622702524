#include "security/Sha256d.h"

namespace qozel {

void Sha256d::Final(std::uint8_t* output)
{
    Sha256::Final(output);
    Init();
    Update(output, kDigestSize);
    Sha256::Final(output);
}

} // namespace qozel
