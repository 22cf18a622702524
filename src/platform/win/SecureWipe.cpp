#include "platform/SecureMemory.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace qozel {

void SecureWipe(void* data, std::size_t size) noexcept
{
    if (size != 0)
        SecureZeroMemory(data, size);
}

} // namespace qozel
