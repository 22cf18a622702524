#pragma once

#include "security/Coder.h"

#include <cstdint>

namespace qozel {

// FIPS-197 AES for any standard key length, table-driven on the byte state.
class AES : public Coder {
public:
    static constexpr int kMaxScheduleWords = 60;

    // Nk key words and Nr rounds must be one of the standard pairs
    // (4, 10), (6, 12) or (8, 14); anything else throws std::invalid_argument.
    AES(std::int32_t nk, std::int32_t nr);
    AES(const AES&) = delete;
    AES& operator=(const AES&) = delete;
    ~AES();

    // Takes the first 4*Nk bytes of `key` and expands the schedule.
    void SetKey(const std::uint8_t* key);

    void EncryptBlock(std::uint8_t* block) override;
    void DecryptBlock(std::uint8_t* block) override;

protected:
    std::int32_t Nk;
    std::int32_t Nr;
    std::uint32_t schedule[kMaxScheduleWords] = {};

private:
    void AddRoundKey(std::uint8_t* state, int round) const noexcept;
};

} // namespace qozel
