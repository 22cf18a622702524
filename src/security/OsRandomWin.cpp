// The C runtime's rand_s draws from the system's random source
// (RtlGenRandom), with no library beyond the runtime itself.
#define _CRT_RAND_S
#include <stdlib.h>

#include "security/OsRandom.h"

#include <algorithm>
#include <cstring>
#include <system_error>

namespace qozel {

void OsRandom(std::span<std::uint8_t> out)
{
    std::size_t done = 0;
    while (done < out.size()) {
        unsigned int word = 0;
        if (const errno_t error = rand_s(&word); error != 0)
            throw std::system_error(error, std::generic_category(), "rand_s");
        const std::size_t n = std::min(sizeof(word), out.size() - done);
        std::memcpy(out.data() + done, &word, n);
        word = 0;
        done += n;
    }
}

} // namespace qozel
