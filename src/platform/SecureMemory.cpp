#include "platform/SecureMemory.h"

#include <cstring>

namespace qozel {

void SecureWipe(void* data, std::size_t size) noexcept
{
    if (size != 0)
        explicit_bzero(data, size);
}

} // namespace qozel
